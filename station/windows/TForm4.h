#pragma once

#include "ui_TForm4.h"

#include <QWidget>

namespace tirvon::station {

// The list window: one text list of the program directory at a time.
class TForm4 : public QWidget {
    Q_OBJECT
public:
    explicit TForm4(QWidget* parent = nullptr);
    Ui::TForm4& ui() { return ui_; }

    // Sets the title, clears the memo, shows the window (not modal), then adds
    // every non-empty line of the file in file order. False, and nothing shown,
    // when the file cannot be read.
    bool showList(const QString& title, const QString& path);

private:
    Ui::TForm4 ui_;
};

} // namespace tirvon::station
