#pragma once

#include "log/LogTableModel.h"
#include "main/Station.h"
#include "objects/ObjectView.h"

#include <QList>
#include <QMap>
#include <QStringList>

// What the station shows, kept instead of shown: the status panels, the alarm
// list, the object rows and the control panel, and the modal windows it asks
// for, which are worked at once: the login with the given account, the modem
// initialisation by running its work.
class FakeStationView : public tirvon::station::StationView,
                        public tirvon::station::ObjectRowsView,
                        public tirvon::station::ControlPanelView {
public:
    using Panel = tirvon::station::StatusPanels::Panel;
    using StateIcon = tirvon::station::StateIcon;

    struct Row {
        QByteArray object;
        StateIcon icon;
        QString text;
    };

    // The station the modal windows answer to.
    tirvon::station::Station* station = nullptr;
    QByteArray loginName;
    QByteArray loginPassword;

    QStringList events; // the windows asked for and the panels set, in order
    QMap<int, QString> panels;
    QList<QStringList> alarmRows;
    QList<Row> rows;
    QList<QByteArray> monitor;
    QString objectWord;
    int signalBar = -1;
    int gauge = -1;
    int panelFills = 0;
    int modalWindowsClosed = 0;
    tirvon::log::LogTableModel* logModel = nullptr;

    // StationView
    void setPanelText(Panel panel, const QString& text) override {
        panels[panel] = text;
        events.append(QStringLiteral("panel %1 %2").arg(int(panel)).arg(text));
    }
    QString panelText(Panel panel) const override { return panels.value(panel); }
    void showExchangeOutcome(tirvon::modem::ExchangeOutcome) override {}
    void showModemNote(const QString& text) override { panels[Panel::SystemInfo] = text; }
    void addAlarmRow(const QString& object, const QString& text, const QString& arrival) override {
        alarmRows.append({object, text, arrival});
    }
    int alarmRowCount() const override { return int(alarmRows.size()); }
    void setSignalBar(int position) override { signalBar = position; }
    void showLogModel(tirvon::log::LogTableModel& model) override { logModel = &model; }
    void setObjectWord(const QString& word) override { objectWord = word; }
    void showMonitorEntry(const QByteArray& buffer) override { monitor.append(buffer); }
    void showSoundNote(const QString& text) override {
        panels[Panel::SystemInfo] = text;
        events.append(QStringLiteral("sound note ") + text);
    }
    void showList(const QString& title, const QString& path) override {
        events.append(QStringLiteral("list %1 %2").arg(title, path));
    }
    void openDocument(const QString& path) override {
        events.append(QStringLiteral("open ") + path);
    }
    void showLogin(const QList<QByteArray>&, bool) override {
        events.append(QStringLiteral("login"));
        if (station)
            station->login(loginName, loginPassword);
    }
    void showModemInitialisation() override {
        events.append(QStringLiteral("modem initialisation"));
        if (station)
            station->runModemStartup();
    }
    void setGauge(int percent) override { gauge = percent; }
    void setResultLine(const QString&) override {}
    void closeModalWindows() override { ++modalWindowsClosed; }
    void showReports() override { events.append(QStringLiteral("reports")); }

    // ObjectRowsView
    void clearRows() override { rows.clear(); }
    void addRow(const QByteArray& object, StateIcon icon) override {
        rows.append({object, icon, QString()});
    }
    int rowCount() const override { return int(rows.size()); }
    void setRowText(const QByteArray& object, const QString& cell) override {
        for (Row& row : rows)
            if (row.object == object)
                row.text = cell;
    }
    void setRowIcon(const QByteArray& object, StateIcon icon) override {
        for (Row& row : rows)
            if (row.object == object)
                row.icon = icon;
    }

    // ControlPanelView
    QString armingText() const override { return QString(); }
    void fill(const tirvon::station::ControlPanelData&) override { ++panelFills; }
};
