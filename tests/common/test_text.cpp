#include "text/Cp1251.h"

#include <QTest>

using namespace tirvon::text;

class TextTest : public QObject {
    Q_OBJECT
private slots:
    void everyHighByteSurvivesTheRoundTrip() {
        for (int b = 0x80; b <= 0xFF; ++b) {
            const QByteArray byte(1, char(b));
            const QString decoded = toUnicode(byte);
            QCOMPARE(decoded.size(), 1);
            QCOMPARE(fromUnicode(decoded), byte);
        }
    }

    void cyrillicLettersSitWhereCodePage1251PutsThem() {
        QCOMPARE(toUnicode("\xC0\xDF\xE0\xFF\xA8\xB8\xB9"), QStringLiteral("АЯаяЁё№"));
        QCOMPARE(cp("Тревога"), QByteArray("\xD2\xF0\xE5\xE2\xEE\xE3\xE0"));
        QCOMPARE(cp("abc"), QByteArray("abc"));
    }

    void positionsAreOneBasedAndZeroWhenAbsent() {
        QCOMPARE(pos("OK", "\r\nOK\r\n"), 3);
        QCOMPARE(pos("ERROR", "\r\nOK\r\n"), 0);
        QCOMPARE(pos("", "abc"), 0);
        QCOMPARE(pos("abc", ""), 0);
        QCOMPARE(pos("c", "abc"), 3);
    }

    void copyIsClippedToTheString_data() {
        QTest::addColumn<QByteArray>("source");
        QTest::addColumn<qsizetype>("index");
        QTest::addColumn<qsizetype>("count");
        QTest::addColumn<QByteArray>("expected");
        QTest::newRow("inside") << QByteArray("abcdef") << qsizetype(2) << qsizetype(3)
                                << QByteArray("bcd");
        QTest::newRow("past the end")
            << QByteArray("abcdef") << qsizetype(5) << qsizetype(10) << QByteArray("ef");
        QTest::newRow("start beyond")
            << QByteArray("abc") << qsizetype(4) << qsizetype(1) << QByteArray();
        QTest::newRow("index zero")
            << QByteArray("abc") << qsizetype(0) << qsizetype(2) << QByteArray("a");
        QTest::newRow("negative index")
            << QByteArray("abc") << qsizetype(-5) << qsizetype(7) << QByteArray("a");
        QTest::newRow("negative count")
            << QByteArray("abc") << qsizetype(1) << qsizetype(-1) << QByteArray();
        QTest::newRow("huge count") << QByteArray("abc") << qsizetype(2)
                                    << std::numeric_limits<qsizetype>::max() << QByteArray("bc");
        QTest::newRow("empty") << QByteArray() << qsizetype(1) << qsizetype(3) << QByteArray();
    }
    void copyIsClippedToTheString() {
        QFETCH(QByteArray, source);
        QFETCH(qsizetype, index);
        QFETCH(qsizetype, count);
        QFETCH(QByteArray, expected);
        QCOMPARE(copy(source, index, count), expected);
    }

    void removeIsClippedToTheString_data() {
        QTest::addColumn<QByteArray>("source");
        QTest::addColumn<qsizetype>("index");
        QTest::addColumn<qsizetype>("count");
        QTest::addColumn<QByteArray>("expected");
        QTest::newRow("echo of a listing") << QByteArray("at+cmgl=all\r\r\n+CMGL") << qsizetype(1)
                                           << qsizetype(13) << QByteArray("\n+CMGL");
        QTest::newRow("past the end")
            << QByteArray("abcdef") << qsizetype(4) << qsizetype(99) << QByteArray("abc");
        QTest::newRow("start beyond")
            << QByteArray("abc") << qsizetype(9) << qsizetype(1) << QByteArray("abc");
        QTest::newRow("index zero")
            << QByteArray("abc") << qsizetype(0) << qsizetype(2) << QByteArray("bc");
        QTest::newRow("nothing") << QByteArray("abc") << qsizetype(2) << qsizetype(0)
                                 << QByteArray("abc");
    }
    void removeIsClippedToTheString() {
        QFETCH(QByteArray, source);
        QFETCH(qsizetype, index);
        QFETCH(qsizetype, count);
        QFETCH(QByteArray, expected);
        remove(source, index, count);
        QCOMPARE(source, expected);
    }

    void blanksAreTrimmedButNotOtherWhitespace() {
        QCOMPARE(trimBlanks(" \t value \t "), QByteArray("value"));
        QCOMPARE(trimBlanks("\r\nvalue\r\n"), QByteArray("\r\nvalue\r\n"));
        QCOMPARE(trimBlanks("   "), QByteArray());
    }
};

QTEST_GUILESS_MAIN(TextTest)
#include "test_text.moc"
