#include "ScriptedPrompt.h"
#include "TempIniFile.h"
#include "accounts/AccountsWork.h"
#include "text/Cp1251.h"
#include "ui_TForm3.h"
#include "windows/TForm3.h"

#include <QFile>
#include <QTest>

using namespace tirvon;
using namespace tirvon::configurator;
using Field = config::AccountFault::Field;

namespace {

QByteArray contentOf(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QLineEdit* edit(TForm3& form, int number) {
    return form.findChild<QLineEdit*>(
        QStringLiteral("Edit%1").arg(number, 2, 10, QLatin1Char('0')));
}

void typeRow(TForm3& form, int row, const QString& name, const QString& password,
             const QString& keyCode) {
    edit(form, row)->setText(name);
    edit(form, row + 10)->setText(password);
    edit(form, row + 20)->setText(keyCode);
}

} // namespace

class AccountsTest : public QObject {
    Q_OBJECT
private slots:
    // An entry is saved only when the station reads back exactly what was typed.
    void entriesThatCannotBeReadBackAreRefused_data() {
        QTest::addColumn<QByteArray>("name");
        QTest::addColumn<QByteArray>("password");
        QTest::addColumn<QByteArray>("keyCode");
        QTest::addColumn<int>("fault"); // -1 none, else the Field

        const auto row = [](const char* tag, const QByteArray& name, const QByteArray& password,
                            const QByteArray& keyCode, int fault) {
            QTest::newRow(tag) << name << password << keyCode << fault;
        };
        row("untouched", "None", "None", "None", -1);
        row("empty password", "Petrov", "", "0A1B", -1);
        row("colons inside", "a:b", "p::w:x", ":::", -1);
        row("password starts with colon", "n", ":x", "k", -1);
        row("name with ::", "a::b", "pw", "k", int(Field::Name));
        row("name ends in colon", "adm:", "pw", "k", int(Field::Name));
        row("name starts with blank", " adm", "pw", "k", int(Field::Name));
        row("password with :::", "adm", "p:::w", "k", int(Field::Password));
        row("password ends in colon", "adm", "pw:", "k", int(Field::Password));
        row("key ends with blank", "adm", "pw", "k ", int(Field::KeyCode));
        row("quoted whole value", "\"adm", "pw", "k\"", int(Field::Name));
    }
    void entriesThatCannotBeReadBackAreRefused() {
        QFETCH(QByteArray, name);
        QFETCH(QByteArray, password);
        QFETCH(QByteArray, keyCode);
        QFETCH(int, fault);
        config::Accounts accounts;
        for (auto& entry : accounts.users)
            entry = {"None", "None", "None"};
        accounts.users[6] = {name, password, keyCode};

        const auto found = config::firstFault(accounts);
        const QString refusal = accountsRefusal(accounts);
        if (fault < 0) {
            QVERIFY(!found);
            QVERIFY(refusal.isEmpty());
            QCOMPARE(accounts.users[6].readBack(), accounts.users[6]);
            return;
        }
        QVERIFY(found);
        QCOMPARE(found->slot, 7);
        QCOMPARE(int(found->field), fault);
        const QString field = fault == int(Field::Name) ? QStringLiteral("Наименование")
                              : fault == int(Field::Password) ? QStringLiteral("Пароль")
                                                              : QStringLiteral("Ключ Touch memory");
        QVERIFY2(refusal.startsWith(field + QStringLiteral(" пользователя 7 ")),
                 qPrintable(refusal));
    }

    void noAccountsShowNoneAndSavedRowsReadBack() {
        TempIniFile ini("[BaseStation]\r\nCOMPort=2\r\n");
        ScriptedPrompt prompt;
        TForm3 form(ini.file, prompt);
        edit(form, 5)->setText(QStringLiteral("typed, never saved"));
        form.FormShow();
        for (int n = 1; n <= 30; ++n)
            QCOMPARE(edit(form, n)->text(), QStringLiteral("None"));
        form.ui().Button1->click();
        QByteArray expected = "[BaseStation]\r\nCOMPort=2\r\n";
        for (int n = 1; n <= 10; ++n)
            expected += "USER" + QByteArray::number(n) + "=None::None:::None\r\n";
        QCOMPARE(contentOf(ini.file.path()), expected);

        typeRow(form, 2, QStringLiteral("Иванов"), QStringLiteral("1234"), QStringLiteral("None"));
        typeRow(form, 3, QStringLiteral("Петров"), QString(), QStringLiteral("0A"));
        form.ui().Button1->click();
        QCOMPARE(ini.file.readString("BaseStation", "USER2", {}), text::cp("Иванов::1234:::None"));
        QCOMPARE(ini.file.readString("BaseStation", "USER3", {}), text::cp("Петров:::::0A"));
        TForm3 again(ini.file, prompt);
        again.FormShow();
        for (int n : {2, 3, 12, 13, 22, 23})
            QCOMPARE(edit(again, n)->text(), edit(form, n)->text());
        QVERIFY(prompt.messages.isEmpty());
    }

    void aRefusedSaveWritesNothing() {
        const QByteArray before = "[BaseStation]\r\nUSER1=a::b:::c\r\n";
        TempIniFile ini(before);
        ScriptedPrompt prompt;
        TForm3 form(ini.file, prompt);
        form.FormShow();
        typeRow(form, 2, QStringLiteral("Сидоров"), QStringLiteral("ok"), QStringLiteral("k"));
        typeRow(form, 9, QStringLiteral("ad::min"), QStringLiteral("pw"), QStringLiteral("k"));
        form.ui().Button1->click();
        QCOMPARE(prompt.messages.size(), 1);
        QVERIFY(prompt.messages[0].startsWith(QStringLiteral("Наименование пользователя 9")));
        QVERIFY(prompt.messages[0].contains(QStringLiteral("\"::\"")));
        QCOMPARE(contentOf(ini.file.path()), before);

        typeRow(form, 9, QStringLiteral("admin"), QStringLiteral("p:::w"), QStringLiteral("k"));
        form.ui().Button1->click();
        QCOMPARE(prompt.messages.size(), 2);
        QVERIFY(prompt.messages[1].startsWith(QStringLiteral("Пароль пользователя 9")));
        QCOMPARE(contentOf(ini.file.path()), before);

        edit(form, 19)->setText(QStringLiteral("p::w"));
        form.ui().Button1->click();
        QCOMPARE(prompt.messages.size(), 2);
        QCOMPARE(ini.file.readString("BaseStation", "USER9", {}), QByteArray("admin::p::w:::k"));
    }
};

QTEST_MAIN(AccountsTest)
#include "test_accounts.moc"
