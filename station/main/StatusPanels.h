#pragma once

#include "modem/ModemExchange.h"

#include <QList>
#include <QString>

class QLabel;
class QStatusBar;

namespace tirvon::station {

// The eight panels of the main window's status bar. Panel 7 shows how the last
// modem exchange ended; its font is the font of the whole bar.
class StatusPanels {
public:
    enum Panel {
        ModemLabel = 0,
        ModemName = 1,
        PortLabel = 2,
        PortName = 3,
        OutgoingLabel = 4,
        OutgoingCount = 5,
        Operator = 6,
        SystemInfo = 7,
    };
    static constexpr int Count = 8;

    explicit StatusPanels(QStatusBar& bar);

    void setText(Panel panel, const QString& text);
    QString text(Panel panel) const;
    QLabel* label(Panel panel) const { return labels_[panel]; }

    void showExchangeOutcome(modem::ExchangeOutcome outcome);
    // Trouble with the modem's data that no exchange's end shows, in the
    // error font.
    void showModemNote(const QString& text);

    static QString okText();
    static QString errorText();

private:
    void setFont(bool error);

    QStatusBar& bar_;
    QList<QLabel*> labels_;
};

} // namespace tirvon::station
