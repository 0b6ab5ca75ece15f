#pragma once

#include "ui_TForm8.h"

#include <QWidget>

namespace tirvon::station {

// The printed report.
class TForm8 : public QWidget {
    Q_OBJECT
public:
    explicit TForm8(QWidget* parent = nullptr);
    Ui::TForm8& ui() { return ui_; }

    void setObjectWord(const QString& word);

private:
    Ui::TForm8 ui_;
};

} // namespace tirvon::station
