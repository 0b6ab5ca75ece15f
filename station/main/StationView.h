#pragma once

#include "main/StatusPanels.h"
#include "modem/ModemExchange.h"

#include <QByteArray>
#include <QList>
#include <QString>

namespace tirvon::log {
class LogTableModel;
}

namespace tirvon::station {

// What the station shows and which of its windows it asks to open. The main
// window implements it; it shows what it is told and decides nothing.
class StationView {
public:
    virtual ~StationView() = default;

    virtual void setPanelText(StatusPanels::Panel panel, const QString& text) = 0;
    virtual QString panelText(StatusPanels::Panel panel) const = 0;
    virtual void showExchangeOutcome(modem::ExchangeOutcome outcome) = 0;
    virtual void showModemNote(const QString& text) = 0;
    // A new row of the alarm list, as it is to be shown.
    virtual void addAlarmRow(const QString& object, const QString& text,
                             const QString& arrival) = 0;
    virtual int alarmRowCount() const = 0;
    virtual void setSignalBar(int position) = 0;
    virtual void showLogModel(log::LogTableModel& model) = 0;
    // The word the configuration calls an object by, in every title.
    virtual void setObjectWord(const QString& word) = 0;
    virtual void showMonitorEntry(const QByteArray& buffer) = 0;
    // The player cannot play on this machine: told where modem trouble is.
    virtual void showSoundNote(const QString& text) = 0;
    // A text list of the program directory in the list window, not modal.
    virtual void showList(const QString& title, const QString& path) = 0;
    // A document opened with the program the desktop has for its type.
    virtual void openDocument(const QString& path) = 0;

    // The login window, modal; the operator's request comes back through
    // Station::login.
    virtual void showLogin(const QList<QByteArray>& accounts, bool logReady) = 0;
    // The modem initialisation window, modal; it runs Station::runModemStartup.
    virtual void showModemInitialisation() = 0;
    virtual void setGauge(int percent) = 0;
    virtual void setResultLine(const QString& text) = 0;
    // The modal windows close: the program ends.
    virtual void closeModalWindows() = 0;
    virtual void showReports() = 0;
};

} // namespace tirvon::station
