// Incoming calls: the policies, the call panel, the hang-up, missed calls and the
// three call lists, with a modem that says OK to everything and a panel that
// keeps what it is shown.
#include "AnsweringModem.h"
#include "FileContent.h"
#include "ScriptedPrompt.h"
#include "calls/Calls.h"
#include "text/Cp1251.h"

#include <QTemporaryDir>
#include <QTest>

using namespace tirvon;
using namespace tirvon::station;
using text::cp;

namespace {

const QByteArray installation = "[BaseStation]\r\nCOMPort=1\r\n"
                                "[Bank1]\r\nName=ATM 1\r\nPhone=79160000001\r\n"
                                "[Bank2]\r\nName=" +
                                cp("Вокзал") +
                                "\r\nPhone=791600000021\r\n"
                                "[Bank3]\r\nName=" +
                                cp("Касса") + "\r\nPhone=7916000003\r\n";

struct FakeCallPanel : CallPanelView {
    QString name;
    QString number;
    QString status;
    CallStatusColour colour = CallStatusColour::Red;
    bool visible = false;
    bool missedButton = true;
    QList<QStringList> lists; // title and path of every list shown

    void setCallerName(const QString& text) override { name = text; }
    void setCallerNumber(const QString& text) override { number = text; }
    void setCallStatus(const QString& text, CallStatusColour c) override {
        status = text;
        colour = c;
    }
    void setCallPanelVisible(bool on) override { visible = on; }
    void setMissedListButtonVisible(bool on) override { missedButton = on; }
    void showCallList(const QString& title, const QString& path) override {
        lists.append({title, path});
    }
};

struct CallDesk {
    QTemporaryDir dir;
    ini::IniFile iniFile{dir.filePath(QStringLiteral("Vave_vev.ini"))};
    AnsweringModemLink link{[](const QByteArray& written) {
        return written + "\r\nOK\r\n"; // echo and OK
    }};
    AnsweringModemPump pump{link};
    NullExchangeView exchangeView;
    modem::ModemExchange exchange{link, exchangeView, pump};
    QTimer timer1;
    SoundRequests sounds;
    ScriptedPrompt prompt;
    QDateTime now{QDate(2024, 3, 5), QTime(14, 7, 9)};
    Calls calls{exchange, timer1, iniFile, sounds, prompt, dir.path() + '/', [this] {
                    return now;
                }};
    FakeCallPanel panel;

    CallDesk() {
        QFile f(iniFile.path());
        if (f.open(QIODevice::WriteOnly))
            f.write(installation);
        link.open(QStringLiteral("COM1"));
        pump.setExchange(&exchange);
        calls.setView(panel);
    }
    // The modem reports a call as the exchange hands it over.
    void ring(const QByteArray& number) { calls.inccall("+CLIP: \"" + number + "\""); }
    QByteArray list(const QString& name) const { return contentOf(dir.filePath(name)); }
    void ticks(int count) {
        for (int i = 0; i < count; ++i)
            calls.Timer5Timer();
    }
    QByteArray rejected() const { return list(QStringLiteral("resanswer.txt")); }
};

const QByteArray stamp = "05.03.2024 14:07:09";

} // namespace

Q_DECLARE_METATYPE(tirvon::station::CallPolicy)

class CallsTest : public QObject {
    Q_OBJECT
private slots:
    void theCallerNumberIsWhatTheQuotesHold_data() {
        QTest::addColumn<QByteArray>("callerText");
        QTest::addColumn<QByteArray>("number");
        QTest::newRow("eleven") << QByteArray("+CLIP: \"+79160000001\"")
                                << QByteArray("79160000001");
        QTest::newRow("twelve") << QByteArray("+CLIP: \"+791600000021\"")
                                << QByteArray("791600000021");
        QTest::newRow("ten") << QByteArray("+CLIP: \"+7916000003\"") << QByteArray("7916000003");
        QTest::newRow("no plus") << QByteArray("+CLIP: \"89160000001\"")
                                 << QByteArray("89160000001");
        QTest::newRow("unclosed") << QByteArray("+CLIP: \"+7916") << QByteArray("7916");
        QTest::newRow("no quote") << QByteArray("+CLIP: 7916") << QByteArray();
    }
    void theCallerNumberIsWhatTheQuotesHold() {
        QFETCH(QByteArray, callerText);
        QFETCH(QByteArray, number);
        QCOMPARE(callerNumber(callerText), number);
    }

    void thePolicyShowsACallOrHangsItUp_data() {
        QTest::addColumn<CallPolicy>("policy");
        QTest::addColumn<QByteArray>("number");
        QTest::addColumn<QString>("shown");    // on the panel, empty when hung up
        QTest::addColumn<QString>("rejected"); // in resanswer.txt, empty when shown
        const auto listed = CallPolicy::AcceptListed;
        QTest::newRow("default, object") << listed << QByteArray("+79160000001") << "ATM 1"
                                         << "";
        QTest::newRow("default, stranger")
            << listed << QByteArray("+79990000000") << "" << QStringLiteral("Неизвестный");
        QTest::newRow("default, twelve digits")
            << listed << QByteArray("+791600000021") << QStringLiteral("Вокзал") << "";
        QTest::newRow("default, ten digits")
            << listed << QByteArray("+7916000003") << QStringLiteral("Касса") << "";
        QTest::newRow("all, stranger") << CallPolicy::AcceptAll << QByteArray("+79990000000")
                                       << QStringLiteral("Неизвестный") << "";
        QTest::newRow("none, object") << CallPolicy::RejectAll << QByteArray("+79160000001") << ""
                                      << "ATM 1";
    }
    void thePolicyShowsACallOrHangsItUp() {
        QFETCH(CallPolicy, policy);
        QFETCH(QByteArray, number);
        QFETCH(QString, shown);
        QFETCH(QString, rejected);
        CallDesk d;
        d.calls.setPolicy(policy);
        d.ring(number);
        QCOMPARE(d.panel.number, QString::fromLatin1(number.mid(1)));
        QCOMPARE(d.panel.visible, !shown.isEmpty());
        QCOMPARE(d.panel.name, shown);
        QCOMPARE(d.sounds.incomingCall, !shown.isEmpty());
        QCOMPARE(d.calls.timer4().isActive(), !rejected.isEmpty());
        const QByteArray line = stamp + '-' + text::fromUnicode(rejected) + '/' + number.mid(1);
        QCOMPARE(d.rejected(), rejected.isEmpty() ? QByteArray() : line + "\r\n");
        if (!shown.isEmpty()) {
            QCOMPARE(d.panel.status, QStringLiteral("Вызов Активен"));
            QCOMPARE(d.panel.colour, CallStatusColour::Blue);
            QVERIFY(!d.panel.missedButton);
        }
    }

    void aShownCallIsMissedAfterSevenQuietSeconds() {
        CallDesk d;
        d.ring("+79160000001");
        d.ticks(4);
        d.ring("+79160000001"); // the caller still waits: the count starts again
        d.ticks(6);
        QCOMPARE(d.panel.status, QStringLiteral("Вызов Активен"));
        d.ticks(1);
        QCOMPARE(d.panel.status, QStringLiteral("Вызов не принят!"));
        QCOMPARE(d.panel.colour, CallStatusColour::Red);
        QVERIFY(d.panel.missedButton);
        d.ticks(20);
        QCOMPARE(d.list(QStringLiteral("Noanswer.txt")), QByteArray("ATM 1/79160000001\r\n"));
        QVERIFY(d.link.written.isEmpty());
    }

    void theHangUpStopsThePollingWaitsAndSendsATH() {
        CallDesk d;
        d.timer1.start();
        d.ring("+79990000000");
        QCOMPARE(d.calls.timer4().interval(), 1000);
        const qint64 decided = d.pump.now;
        bool pollingDuringTheWait = true;
        d.pump.duringWait = [&d, &pollingDuringTheWait] {
            pollingDuringTheWait = d.timer1.isActive();
        };
        d.calls.Timer4Timer();
        QVERIFY(!pollingDuringTheWait);
        QVERIFY(!d.calls.timer4().isActive());
        QCOMPARE(d.link.writes.size(), 1);
        QCOMPARE(d.link.writes[0].second, QByteArray("ATH\r\n"));
        QVERIFY(d.link.writes[0].first - decided >= 5000);
        QVERIFY(d.timer1.isActive());
    }

    void closingRejectsOnlyAnActiveCall_data() {
        QTest::addColumn<QString>("before"); // the status when "Закрыть" is pressed
        QTest::addColumn<QString>("after");
        QTest::newRow("active") << Calls::Active << Calls::Rejected;
        QTest::newRow("missed") << Calls::NotAccepted << Calls::NotAccepted;
        QTest::newRow("ended") << Calls::Ended << Calls::Ended;
    }
    void closingRejectsOnlyAnActiveCall() {
        QFETCH(QString, before);
        QFETCH(QString, after);
        CallDesk d;
        d.ring("+79160000001");
        if (before == Calls::NotAccepted)
            d.ticks(7);
        if (before == Calls::Ended) {
            d.calls.SpeedButton1Click();
            d.calls.SpeedButton2Click();
            d.calls.timer4().stop();
        }
        QCOMPARE(d.panel.status, before);
        d.calls.SpeedButton3Click();
        QVERIFY(!d.panel.visible);
        QCOMPARE(d.panel.status, after);
        QCOMPARE(d.panel.colour, CallStatusColour::Red);
        const bool rejects = before == Calls::Active;
        QCOMPARE(d.calls.timer4().isActive(), rejects);
        QCOMPARE(d.rejected(), rejects ? stamp + "-ATM 1/79160000001\r\n" : QByteArray());
    }

    void acceptingAfterTheEndStillAnswersAndNotesIt() {
        CallDesk d;
        d.ring("+79160000001");
        d.ticks(7);
        d.calls.SpeedButton1Click();
        QCOMPARE(d.link.written, QByteArray("ATA\r\n"));
        QCOMPARE(d.panel.status, QStringLiteral("Сеанс связи"));
        QCOMPARE(d.panel.colour, CallStatusColour::Blue);
        QCOMPARE(d.list(QStringLiteral("answer.txt")), stamp + "-ATM 1/79160000001\r\n");
    }

    void aHangUpByPolicyLeavesTheEarlierCallOnThePanel() {
        CallDesk d;
        d.ring("+79160000001");
        d.ring("+79990000000");
        QCOMPARE(d.panel.number, QStringLiteral("79990000000"));
        QCOMPARE(d.panel.name, QStringLiteral("ATM 1"));
        QCOMPARE(d.panel.status, QStringLiteral("Вызов Активен"));
        QVERIFY(d.panel.visible);
        QVERIFY(d.calls.timer4().isActive());
    }

    void aListIsShownOnlyWhenItsFileExists_data() {
        QTest::addColumn<int>("item");
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("title");
        QTest::newRow("N29") << 29 << "Noanswer.txt" << QStringLiteral("Неотвеченые вызовы");
        QTest::newRow("Button3") << 3 << "Noanswer.txt" << QStringLiteral("Неотвеченые вызовы");
        QTest::newRow("N30") << 30 << "resanswer.txt" << QStringLiteral("Отбитые вызовы");
        QTest::newRow("N27") << 27 << "answer.txt" << QStringLiteral("Принятые вызовы");
    }
    void aListIsShownOnlyWhenItsFileExists() {
        QFETCH(int, item);
        QFETCH(QString, file);
        QFETCH(QString, title);
        CallDesk d;
        const QHash<int, void (Calls::*)()> items = {{29, &Calls::N29Click},
                                                     {3, &Calls::Button3Click},
                                                     {30, &Calls::N30Click},
                                                     {27, &Calls::N27Click}};
        (d.calls.*items[item])();
        QVERIFY(d.panel.lists.isEmpty());
        QFile f(d.dir.filePath(file));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.close();
        (d.calls.*items[item])();
        const QList<QStringList> shown = {{title, d.dir.path() + '/' + file}};
        QCOMPARE(d.panel.lists, shown);
    }
};

QTEST_GUILESS_MAIN(CallsTest)
#include "test_calls.moc"
