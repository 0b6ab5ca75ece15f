#include "windows/TForm3.h"

namespace tirvon::station {

TForm3::TForm3(QWidget* parent) : QDialog(parent) {
    ui_.setupUi(this);
}

} // namespace tirvon::station
