#include "windows/TForm2.h"

#include <QApplication>

namespace tirvon::configurator {

TForm2::TForm2(QWidget* parent) : QDialog(parent) {
    ui_.setupUi(this);
    ui_.TitleLabel->setText(QApplication::applicationDisplayName());
    connect(ui_.Button1, &QPushButton::clicked, this, &QDialog::accept);
}

} // namespace tirvon::configurator
