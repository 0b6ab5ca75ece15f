#pragma once

#include "ui_TForm6.h"

#include <QDialog>

namespace tirvon::station {

// The about window: the program's picture and title, closed by its button.
class TForm6 : public QDialog {
    Q_OBJECT
public:
    explicit TForm6(QWidget* parent = nullptr);
    Ui::TForm6& ui() { return ui_; }

private:
    Ui::TForm6 ui_;
};

} // namespace tirvon::station
