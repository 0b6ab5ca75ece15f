#pragma once

#include "ui_TForm2.h"

#include <QDialog>

namespace tirvon::configurator {

// The about window: the program's picture and title, closed by "Закрыть".
class TForm2 : public QDialog {
    Q_OBJECT
public:
    explicit TForm2(QWidget* parent = nullptr);
    ::Ui::TForm2& ui() { return ui_; }

private:
    ::Ui::TForm2 ui_;
};

} // namespace tirvon::configurator
