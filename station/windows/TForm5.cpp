#include "windows/TForm5.h"

namespace tirvon::station {

TForm5::TForm5(QWidget* parent) : QWidget(parent) {
    ui_.setupUi(this);
}

void TForm5::setObjectWord(const QString& word) {
    ui_.GroupBox1->setTitle(word);
    ui_.DBGrid1->horizontalHeaderItem(1)->setText(word);
}

} // namespace tirvon::station
