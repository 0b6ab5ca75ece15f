#pragma once

#include "ui_TForm9.h"

#include <QWidget>

namespace tirvon::station {

// The exchange monitor: one entry per notification of received characters,
// holding the whole modem reply buffer at that moment. It keeps the most recent
// lines only, so a station that runs for months keeps flat memory.
class TForm9 : public QWidget {
    Q_OBJECT
public:
    static constexpr int MaxLines = 2000;

    explicit TForm9(QWidget* parent = nullptr);
    Ui::TForm9& ui() { return ui_; }

    void appendEntry(const QByteArray& buffer);

private:
    Ui::TForm9 ui_;
};

} // namespace tirvon::station
