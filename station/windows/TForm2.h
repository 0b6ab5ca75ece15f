#pragma once

#include "ui_TForm2.h"

#include <QWidget>

namespace tirvon::station {

// The control panel of one object.
class TForm2 : public QWidget {
    Q_OBJECT
public:
    explicit TForm2(QWidget* parent = nullptr);
    Ui::TForm2& ui() { return ui_; }

    void setObjectWord(const QString& word);

private:
    Ui::TForm2 ui_;
};

} // namespace tirvon::station
