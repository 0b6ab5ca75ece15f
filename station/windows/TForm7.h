#pragma once

#include "ui_TForm7.h"

#include <QDialog>

namespace tirvon::station {

// The modem initialisation window.
class TForm7 : public QDialog {
    Q_OBJECT
public:
    explicit TForm7(QWidget* parent = nullptr);
    Ui::TForm7& ui() { return ui_; }

private:
    Ui::TForm7 ui_;
};

} // namespace tirvon::station
