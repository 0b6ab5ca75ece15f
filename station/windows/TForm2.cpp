#include "windows/TForm2.h"

namespace tirvon::station {

TForm2::TForm2(QWidget* parent) : QWidget(parent) {
    ui_.setupUi(this);
}

void TForm2::setObjectWord(const QString& word) {
    ui_.GroupBox4->setTitle(QStringLiteral("Описание ") + word + QLatin1Char('a'));
    ui_.Label1->setText(QStringLiteral("Имя ") + word + QLatin1Char('a'));
}

} // namespace tirvon::station
