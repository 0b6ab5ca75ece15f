#include "TempIniFile.h"
#include "login/Login.h"
#include "text/Cp1251.h"
#include "windows/TForm3.h"

#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using namespace tirvon;
using namespace tirvon::station;

namespace {

struct Accounts : TempIniFile {
    explicit Accounts(const QByteArray& baseStation)
        : TempIniFile("[BaseStation]\r\n" + baseStation) {}
};

const QByteArray configuratorAccounts = "USER1=" + text::cp("Иванов") +
                                        "::1111:::0A\r\n"
                                        "USER2=None::None:::None\r\n"
                                        "USER3=Petrov::secret:::\r\n"
                                        "USER4=None::None:::None\r\n"
                                        "USER5=Twin::one:::\r\n"
                                        "USER6=Twin::two:::\r\n"
                                        "USER7=None\r\n"
                                        "USER8=::::::\r\n"
                                        "USER9=None::guess:::\r\n";

} // namespace

class LoginTest : public QObject {
    Q_OBJECT
private slots:
    void onlyAccountsInUseAreListed() {
        Accounts a(configuratorAccounts);
        QCOMPARE(accountNames(a.file),
                 QList<QByteArray>({text::cp("Иванов"), "Petrov", "Twin", "Twin"}));
        Accounts none("");
        QVERIFY(accountNames(none.file).isEmpty());
    }

    void nameAndPasswordCompareExactly() {
        Accounts a(configuratorAccounts);
        LoginCheck c = checkLogin(a.file, text::cp("Иванов"), "1111");
        QVERIFY(c.loggedIn);
        QCOMPARE(c.operatorName, text::cp("Иванов"));
        QCOMPARE(c.refusals, 0);
        c = checkLogin(a.file, "Petrov", "Secret");
        QVERIFY(!c.loggedIn);
        QCOMPARE(c.refusals, 1);
        c = checkLogin(a.file, "petrov", "secret");
        QVERIFY(!c.loggedIn);
        QCOMPARE(c.refusals, 0); // nobody of that name: nothing happens
    }

    void twoAccountsOfOneNameAreTriedInTurn() {
        Accounts a(configuratorAccounts);
        LoginCheck first = checkLogin(a.file, "Twin", "one");
        QVERIFY(first.loggedIn);
        QCOMPARE(first.refusals, 1); // the second account still says "not registered"
        LoginCheck second = checkLogin(a.file, "Twin", "two");
        QVERIFY(second.loggedIn);
        QCOMPARE(second.refusals, 1);
    }

    void emptySlotsAndTheNameNoneNeverLogIn() {
        Accounts a(configuratorAccounts);
        QVERIFY(!checkLogin(a.file, "None", "None").loggedIn);
        QVERIFY(!checkLogin(a.file, "None", "guess").loggedIn);
        QVERIFY(!checkLogin(a.file, "", "").loggedIn);
        QVERIFY(!checkLogin(a.file, "", ":::").loggedIn);
        Accounts never("");
        QVERIFY(!checkLogin(never.file, "", "").loggedIn);
        QVERIFY(!checkLogin(never.file, "None", "None").loggedIn);
    }

    void theWindowListsTheNamesAndEnterLogsIn() {
        TForm3 form;
        QSignalSpy login(&form, &TForm3::loginRequested);
        form.prepare({"Petrov", text::cp("Иванов")}, true);
        QCOMPARE(form.ui().ComboBox1->count(), 2);
        QCOMPARE(form.ui().ComboBox1->itemText(1), QStringLiteral("Иванов"));
        QCOMPARE(form.ui().ComboBox1->currentText(), QString());
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        form.ui().ComboBox1->setFocus();
        QTest::keyClick(form.ui().ComboBox1, Qt::Key_P);
        QVERIFY(form.ui().Edit1->hasFocus()); // the first character moves on to the password
        form.ui().ComboBox1->setEditText(QStringLiteral("Иванов"));
        QTest::keyClicks(form.ui().Edit1, QStringLiteral("1111"));
        QTest::keyClick(form.ui().Edit1, Qt::Key_Return);
        QCOMPARE(login.size(), 1);
        QCOMPARE(login.at(0).at(0).toByteArray(), text::cp("Иванов"));
        QCOMPARE(login.at(0).at(1).toByteArray(), QByteArray("1111"));
        QCOMPARE(form.ui().Edit1->echoMode(), QLineEdit::Password);
    }

    void withoutALogOnlyCancelIsLeft() {
        TForm3 form;
        QSignalSpy login(&form, &TForm3::loginRequested);
        form.prepare({"Petrov"}, false);
        QVERIFY(!form.ui().SpeedButton1->isEnabled());
        QVERIFY(!form.ui().Button1->isEnabled());
        QVERIFY(form.ui().SpeedButton2->isEnabled());
        form.ui().ComboBox1->setEditText(QStringLiteral("Petrov"));
        form.SpeedButton1Click();
        QTest::keyClick(form.ui().Edit1, Qt::Key_Return);
        QCOMPARE(login.size(), 0);
        form.prepare({"Petrov"}, true);
        QVERIFY(form.ui().SpeedButton1->isEnabled());
        QCOMPARE(form.ui().Edit1->text(), QString());
    }

    void escapeAndClosingAskToCancelButNeverCloseTheWindow() {
        TForm3 form;
        QSignalSpy cancel(&form, &TForm3::cancelRequested);
        form.prepare({}, true);
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        QTest::keyClick(&form, Qt::Key_Escape);
        QCOMPARE(cancel.size(), 1);
        QVERIFY(form.isVisible());
        form.close();
        QCOMPARE(cancel.size(), 2);
        QVERIFY(form.isVisible());
        form.ui().SpeedButton2->click();
        QCOMPARE(cancel.size(), 3);
    }
};

QTEST_MAIN(LoginTest)
#include "test_login.moc"
