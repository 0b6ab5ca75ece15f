#pragma once

// The station's windows on a program directory of their own, for the tests that
// run the main window.
#include "LogRecords.h"
#include "RecordingPlayer.h"
#include "ScriptedPrompt.h"
#include "SimulatedModem.h"
#include "log/AliasStore.h"
#include "log/LogTable.h"
#include "text/Cp1251.h"
#include "windows/StationWindowSet.h"

#include <QFile>
#include <QTemporaryDir>

using namespace tirvon;
using namespace tirvon::station;

// The station's windows on a program directory of their own, with the simulated
// modem's model behind the link, a log table under an alias of their own, and
// the modal windows worked by hand: the login with the given account, the
// modem initialisation at once.
struct WindowedStation {
    QTemporaryDir dir;
    ScriptedPrompt prompt;
    SimulatedModemLink* link = new SimulatedModemLink;
    SimulatedModemPump* pump = new SimulatedModemPump(*link);
    RecordingPlayer* player = new RecordingPlayer;
    std::unique_ptr<StationWindowSet> windows;
    TForm1* form1 = nullptr;
    QString aliasStore;
    QByteArray loginName;
    QByteArray loginPassword;
    int loginShown = 0;
    TForm2& form2() { return windows->form2(); }
    TForm3& form3() { return windows->form3(); }
    TForm4& form4() { return windows->form4(); }
    TForm5& form5() { return windows->form5(); }
    TForm7& form7() { return windows->form7(); }
    TForm8& form8() { return windows->form8(); }
    TForm9& form9() { return windows->form9(); }

    explicit WindowedStation(const QByteArray& ini, bool withLog = true) {
        QFile f(dir.filePath(QStringLiteral("Vave_vev.ini")));
        if (!ini.isNull() && f.open(QIODevice::WriteOnly))
            f.write(ini);
        f.close();
        aliasStore = dir.filePath(QStringLiteral("config/aliases.ini"));
        if (withLog) {
            log::AliasStore(aliasStore).add(log::LogAlias, dir.path() + '/');
            log::LogTable::create(dir.filePath(QStringLiteral("events.dbf")));
            if (!ini::IniFile(f.fileName()).valueExists("BaseStation", "BASE"))
                ini::IniFile(f.fileName()).writeString("BaseStation", "BASE", "events.dbf");
        }
        windows = std::make_unique<StationWindowSet>(std::make_unique<TForm1>(
            dir.path() + '/', prompt, std::unique_ptr<SimulatedModemLink>(link),
            std::unique_ptr<SimulatedModemPump>(pump), std::unique_ptr<RecordingPlayer>(player)));
        form1 = &windows->form1();
        pump->setExchange(&form1->exchange());
        form1->setAliasStorePath(aliasStore);
        form1->setModalRunner([this](QDialog& dialog) {
            if (&dialog == &form7()) {
                form7().Timer1Timer();
            } else if (&dialog == &form3()) {
                ++loginShown;
                form3().ui().ComboBox1->setEditText(text::toUnicode(loginName));
                form3().ui().Edit1->setText(text::toUnicode(loginPassword));
                form3().SpeedButton1Click();
            }
        });
    }
    Ui::TForm1& ui() { return form1->ui(); }
    QString panel(StatusPanels::Panel p) { return form1->statusPanels().text(p); }
    QList<log::LogRecord> records() {
        return logRecords(dir.filePath(QStringLiteral("events.dbf")));
    }
};

inline const QByteArray sampleIni = "[BaseStation]\r\nCOMPort=1\r\n"
                                    "[Bank99]\r\nName=Last\r\nlArm=" +
                                    text::cp("На охране") +
                                    "\r\n"
                                    "[Bank3]\r\nName=" +
                                    text::cp("Банкомат на Ленина") +
                                    "\r\nlARM=" + text::cp("Тревога") +
                                    "\r\n"
                                    "[Bank100]\r\nName=Beyond\r\n"
                                    "[Bank1]\r\nName=First\r\nlArm=" +
                                    text::cp("Снят с охраны") + "\r\n";
