#include "windows/TForm7.h"

namespace tirvon::station {

TForm7::TForm7(QWidget* parent) : QDialog(parent) {
    ui_.setupUi(this);
    // No title bar: the window shows only its gauge and result line.
    setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint);
}

} // namespace tirvon::station
