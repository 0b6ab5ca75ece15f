#include "windows/TForm6.h"

#include <QApplication>

namespace tirvon::station {

TForm6::TForm6(QWidget* parent) : QDialog(parent) {
    ui_.setupUi(this);
    setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint);
    ui_.TitleLabel->setText(QApplication::applicationDisplayName());
    connect(ui_.Button1, &QPushButton::clicked, this, &QDialog::accept);
}

} // namespace tirvon::station
