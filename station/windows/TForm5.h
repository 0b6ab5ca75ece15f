#pragma once

#include "ui_TForm5.h"

#include <QWidget>

namespace tirvon::station {

// The reports and statistics window.
class TForm5 : public QWidget {
    Q_OBJECT
public:
    explicit TForm5(QWidget* parent = nullptr);
    Ui::TForm5& ui() { return ui_; }

    void setObjectWord(const QString& word);

private:
    Ui::TForm5 ui_;
};

} // namespace tirvon::station
