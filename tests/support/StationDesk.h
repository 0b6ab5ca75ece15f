#pragma once

// The station without any window: a fake view in place of the main window, a
// fake player, the given modem link behind the exchange.
#include "AnsweringModem.h"
#include "FakeStationView.h"
#include "LogRecords.h"
#include "RecordingPlayer.h"
#include "ScriptedPrompt.h"
#include "log/AliasStore.h"
#include "main/Station.h"

#include <QFile>
#include <QTemporaryDir>

// A program directory with the given configuration and its log table events.dbf
// under an alias of its own.
struct Installation {
    QTemporaryDir dir;
    QString aliasStore = dir.filePath(QStringLiteral("config/aliases.ini"));

    explicit Installation(const QByteArray& ini) {
        QFile f(dir.filePath(QStringLiteral("Vave_vev.ini")));
        if (f.open(QIODevice::WriteOnly))
            f.write(ini);
        tirvon::log::AliasStore(aliasStore).add(tirvon::log::LogAlias, dir.path() + '/');
        tirvon::log::LogTable::create(dir.filePath(QStringLiteral("events.dbf")));
    }
    QList<tirvon::log::LogRecord> records() const {
        return logRecords(dir.filePath(QStringLiteral("events.dbf")));
    }
};

// The station on that directory, logging in with the given account.
template <typename Link> struct Desk : Installation {
    ScriptedPrompt prompt;
    FakeStationView view;
    Link* link = new Link;
    AnsweringModemPump* pump = new AnsweringModemPump(*link);
    RecordingPlayer* player = new RecordingPlayer;
    tirvon::station::Station station{dir.path() + '/',
                                     prompt,
                                     std::unique_ptr<Link>(link),
                                     std::unique_ptr<AnsweringModemPump>(pump),
                                     std::unique_ptr<RecordingPlayer>(player),
                                     view,
                                     view,
                                     view};

    Desk(const QByteArray& ini, const QByteArray& loginName, const QByteArray& loginPassword)
        : Installation(ini) {
        pump->setExchange(&station.exchange());
        station.setAliasStorePath(aliasStore);
        view.station = &station;
        view.loginName = loginName;
        view.loginPassword = loginPassword;
    }
};
