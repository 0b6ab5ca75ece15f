#pragma once

#include "ui_TForm3.h"

#include <QDialog>

namespace tirvon::station {

// The operator login window.
class TForm3 : public QDialog {
    Q_OBJECT
public:
    explicit TForm3(QWidget* parent = nullptr);
    Ui::TForm3& ui() { return ui_; }

private:
    Ui::TForm3 ui_;
};

} // namespace tirvon::station
