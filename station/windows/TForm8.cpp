#include "windows/TForm8.h"

namespace tirvon::station {

TForm8::TForm8(QWidget* parent) : QWidget(parent) {
    ui_.setupUi(this);
}

void TForm8::setObjectWord(const QString& word) {
    ui_.QRLabel2->setText(word);
}

} // namespace tirvon::station
