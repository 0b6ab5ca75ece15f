#include "config/ObjectDirectory.h"
#include "config/Schema.h"
#include "ini/IniFile.h"
#include "text/Cp1251.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <random>

#include <cerrno>
#include <fcntl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>
#include <utility>

using namespace tirvon;
using ini::IniDocument;
using ini::IniFile;

namespace {

QByteArray contentOf(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return "<absent>";
    return f.readAll();
}

void putContent(const QString& path, const QByteArray& content) {
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(content);
}

// Temporary files of a write left in a folder; the lock companions stay there
// by design.
QStringList strayTemporaries(const QString& folder) {
    QStringList left =
        QDir(folder).entryList({QStringLiteral(".*.ini.*")}, QDir::Files | QDir::Hidden);
    left.removeIf([](const QString& name) { return name.endsWith(QStringLiteral(".lock")); });
    return left;
}

// A disk on which the INI file is there but every read of it breaks off with
// `error` after its first `readable` bytes, for as long as it is installed.
class BrokenDisk {
public:
    BrokenDisk(int error, qsizetype readable)
        : saved_(std::exchange(ini::detail::readWholeFile, read)) {
        error_ = error;
        readable_ = readable;
    }
    ~BrokenDisk() { ini::detail::readWholeFile = saved_; }
    BrokenDisk(const BrokenDisk&) = delete;
    BrokenDisk& operator=(const BrokenDisk&) = delete;

private:
    static int read(const QByteArray& nativePath, QByteArray& content) {
        if (const int error = ini::detail::readWholeFromDisk(nativePath, content); error != 0)
            return error;
        content.truncate(readable_);
        return error_;
    }
    static inline int error_ = 0;
    static inline qsizetype readable_ = 0;
    ini::detail::WholeFileReader saved_;
};

} // namespace

class IniTest : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;
    int serial_ = 0;

    // A fresh file name per test, so no parse kept from another test applies.
    QString freshPath() { return dir_.filePath(QStringLiteral("t%1.ini").arg(++serial_)); }

private slots:
    void namesCompareWithoutCase() {
        const QString path = freshPath();
        IniFile file(path);
        file.writeString("BaseStation", "Init1", "AT+CMGF=1");
        file.writeString("Bank1", "lArm", text::cp("На охране"));
        QCOMPARE(file.readString("basestation", "INIT1", "x"), QByteArray("AT+CMGF=1"));
        QCOMPARE(file.readString("BANK1", "lARM", "x"), text::cp("На охране"));
        file.writeString("BASESTATION", "init1", "ATZ");
        QCOMPARE(contentOf(path), QByteArray("[BaseStation]\r\nInit1=ATZ\r\n[Bank1]\r\nlArm=") +
                                      text::cp("На охране") + "\r\n");
    }

    void valuesLoseBlanksAndOnePairOfQuotes_data() {
        QTest::addColumn<QByteArray>("line");
        QTest::addColumn<QByteArray>("expected");
        QTest::newRow("blanks") << QByteArray("Key =  \t value  ") << QByteArray("value");
        QTest::newRow("double quotes")
            << QByteArray("Key=\"  spaced \"") << QByteArray("  spaced ");
        QTest::newRow("single quotes") << QByteArray("Key='x'") << QByteArray("x");
        QTest::newRow("only one pair") << QByteArray("Key=\"\"x\"\"") << QByteArray("\"x\"");
        QTest::newRow("unbalanced") << QByteArray("Key=\"x") << QByteArray("\"x");
        QTest::newRow("mixed") << QByteArray("Key=\"x'") << QByteArray("\"x'");
        QTest::newRow("lone quote") << QByteArray("Key=\"") << QByteArray("\"");
        QTest::newRow("init string") << QByteArray("Key=AT+CPMS=\"ME\",\"ME\",\"MT\"")
                                     << QByteArray("AT+CPMS=\"ME\",\"ME\",\"MT\"");
        QTest::newRow("empty") << QByteArray("Key=") << QByteArray();
        QTest::newRow("equals inside") << QByteArray("Key=a=b") << QByteArray("a=b");
    }
    void valuesLoseBlanksAndOnePairOfQuotes() {
        QFETCH(QByteArray, line);
        QFETCH(QByteArray, expected);
        const QString path = freshPath();
        putContent(path, "[S]\r\n" + line + "\r\n");
        QCOMPARE(IniFile(path).readString("S", "Key", "default"), expected);
    }

    void longValuesAreCutTo2047Bytes() {
        const QString path = freshPath();
        IniFile file(path);
        const QByteArray longValue(3000, '\xC0');
        file.writeString("S", "Long", longValue);
        QCOMPARE(file.readString("S", "Long", ""), longValue.left(2047));
        file.writeString("S", "Exact", QByteArray(2047, 'x'));
        QCOMPARE(file.readString("S", "Exact", "").size(), 2047);
    }

    void aKeyThatExistsIsReplacedWhereItStands() {
        const QString path = freshPath();
        putContent(path, "[BaseStation]\r\nCOMPort=1\r\nService=ATM\r\n\r\n[Bank1]\r\nName=A\r\n"
                         "Phone=79001\r\n[Bank2]\r\nName=B\r\n");
        IniFile file(path);
        file.writeString("bank1", "NAME", "Renamed");
        QCOMPARE(contentOf(path), QByteArray("[BaseStation]\r\nCOMPort=1\r\nService=ATM\r\n\r\n"
                                             "[Bank1]\r\nName=Renamed\r\nPhone=79001\r\n"
                                             "[Bank2]\r\nName=B\r\n"));
    }

    void newKeysEndTheirSectionAndNewSectionsEndTheFile() {
        const QString path = freshPath();
        putContent(path, "[BaseStation]\r\nCOMPort=1\r\n\r\n[Bank1]\r\nName=A\r\n");
        IniFile file(path);
        file.writeString("BaseStation", "Init1", "ATE1");
        file.writeString("Bank1", "lArm", "x");
        file.writeInteger("Bank7", "Count", 12);
        file.writeBool("Bank7", "On", true);
        QCOMPARE(contentOf(path),
                 QByteArray("[BaseStation]\r\nCOMPort=1\r\nInit1=ATE1\r\n\r\n[Bank1]\r\nName=A\r\n"
                            "lArm=x\r\n[Bank7]\r\nCount=12\r\nOn=1\r\n"));
    }

    void everyKindOfLineBreakEndsALineAndIsRewrittenAsCrLf_data() {
        QTest::addColumn<QByteArray>("stored");
        QTest::addColumn<QByteArray>("rewritten"); // after A=3 is written
        QTest::newRow("LF alone") << QByteArray("[S]\nA=1\nB=2")
                                  << QByteArray("[S]\r\nA=3\r\nB=2\r\n");
        QTest::newRow("CR alone") << QByteArray("[S]\rA=1\rB=2\r")
                                  << QByteArray("[S]\r\nA=3\r\nB=2\r\n");
        QTest::newRow("one of each")
            << QByteArray("[S]\nA=1\rB=2\r\n") << QByteArray("[S]\r\nA=3\r\nB=2\r\n");
        QTest::newRow("CR before CR LF")
            << QByteArray("[S]\rA=1\r\r\nB=2") << QByteArray("[S]\r\nA=3\r\n\r\nB=2\r\n");
        QTest::newRow("LF before CR")
            << QByteArray("[S]\n\rA=1\n\rB=2") << QByteArray("[S]\r\n\r\nA=3\r\n\r\nB=2\r\n");
        QTest::newRow("blank lines of every kind")
            << QByteArray("[S]\r\r\n\n\rA=1\rB=2")
            << QByteArray("[S]\r\n\r\n\r\n\r\nA=3\r\nB=2\r\n");
    }
    void everyKindOfLineBreakEndsALineAndIsRewrittenAsCrLf() {
        QFETCH(QByteArray, stored);
        QFETCH(QByteArray, rewritten);
        const QString path = freshPath();
        putContent(path, stored);
        IniFile file(path);
        QCOMPARE(file.readString("S", "A", ""), QByteArray("1"));
        QCOMPARE(file.readString("S", "B", ""), QByteArray("2"));
        file.writeString("S", "A", "3");
        QCOMPARE(contentOf(path), rewritten);
    }

    void aNewKeyFollowsTheLastLineOfItsSectionThatIsNotBlank_data() {
        QTest::addColumn<QByteArray>("stored");
        QTest::addColumn<QByteArray>("expected"); // after A/New=v is set
        QTest::newRow("closing comment") << QByteArray("[A]\r\nk=1\r\n; note\r\n[B]\r\nj=2\r\n")
                                         << QByteArray("[A]\r\nk=1\r\n; note\r\nNew=v\r\n"
                                                       "[B]\r\nj=2\r\n");
        QTest::newRow("comment, then blank lines")
            << QByteArray("[A]\r\nk=1\r\n# note\r\n\r\n \t\r\n[B]\r\n")
            << QByteArray("[A]\r\nk=1\r\n# note\r\nNew=v\r\n\r\n \t\r\n[B]\r\n");
        QTest::newRow("text that is no key")
            << QByteArray("[A]\r\nk=1\r\nleft by hand\r\n[B]\r\n")
            << QByteArray("[A]\r\nk=1\r\nleft by hand\r\nNew=v\r\n[B]\r\n");
        QTest::newRow("comment between keys")
            << QByteArray("[A]\r\nk=1\r\n; note\r\nj=2\r\n\r\n[B]\r\n")
            << QByteArray("[A]\r\nk=1\r\n; note\r\nj=2\r\nNew=v\r\n\r\n[B]\r\n");
        QTest::newRow("no key, only a comment")
            << QByteArray("[A]\r\n; none yet\r\n\r\n[B]\r\n")
            << QByteArray("[A]\r\n; none yet\r\nNew=v\r\n\r\n[B]\r\n");
        QTest::newRow("nothing but blank lines")
            << QByteArray("[A]\r\n\r\n[B]\r\n") << QByteArray("[A]\r\nNew=v\r\n\r\n[B]\r\n");
        QTest::newRow("last section of the file")
            << QByteArray("[B]\r\n[A]\r\nk=1\r\n; end\r\n\r\n")
            << QByteArray("[B]\r\n[A]\r\nk=1\r\n; end\r\nNew=v\r\n\r\n");
        QTest::newRow("repeated header") << QByteArray("[A]\r\nk=1\r\n; a\r\n[A]\r\nx=1\r\n")
                                         << QByteArray("[A]\r\nk=1\r\n; a\r\nNew=v\r\n"
                                                       "[A]\r\nx=1\r\n");
    }
    void aNewKeyFollowsTheLastLineOfItsSectionThatIsNotBlank() {
        QFETCH(QByteArray, stored);
        QFETCH(QByteArray, expected);
        IniDocument doc = IniDocument::parse(stored);
        doc.setValue("a", "New", "v");
        QCOMPARE(doc.serialize(), expected);
        QCOMPARE(doc.value("A", "new"), std::optional<QByteArray>("v"));
    }

    void aSectionIsPresentOnlyWithAKey() {
        const QString path = freshPath();
        putContent(path, "[Empty]\r\n[Bank1]\r\nName=\r\n");
        IniFile file(path);
        QVERIFY(!file.sectionExists("Empty"));
        QVERIFY(file.sectionExists("bank1"));
        QVERIFY(file.valueExists("Bank1", "name"));
        QVERIFY(!file.valueExists("Bank1", "Phone"));
        QCOMPARE(file.readString("Bank1", "Name", "default"), QByteArray());
        QCOMPARE(file.readString("Empty", "Name", "default"), QByteArray("default"));
        file.writeString("Empty", "Name", "x");
        QCOMPARE(contentOf(path), QByteArray("[Empty]\r\nName=x\r\n[Bank1]\r\nName=\r\n"));
    }

    void theIndexAfterEditsAgreesWithAFreshParse() {
        IniDocument doc = IniDocument::parse("; head\r\n[A]\r\nk1=1\r\n; closing\r\n\r\n"
                                             "[B]\r\n\r\n[a]\r\nk1=hidden\r\n[C]\r\nk2=2\r\n");
        const QList<QByteArray> sections{"A", "b", "C", "D", "E"};
        const QList<QByteArray> keys{"k1", "K2", "k3", "k4"};
        std::mt19937 random(7);
        for (int step = 0; step < 400; ++step) {
            const QByteArray& section = sections[int(random() % sections.size())];
            if (random() % 10 == 0)
                doc.removeSection(section);
            else
                doc.setValue(section, keys[int(random() % keys.size())], QByteArray::number(step));
            const IniDocument fresh = IniDocument::parse(doc.serialize());
            for (const QByteArray& s : sections) {
                QCOMPARE(doc.hasSection(s), fresh.hasSection(s));
                for (const QByteArray& k : keys)
                    QCOMPARE(doc.value(s, k), fresh.value(s, k));
            }
            // The next insertion goes where a fresh parse would put it.
            IniDocument a = doc, b = fresh;
            a.setValue(section, "new", "x");
            b.setValue(section, "new", "x");
            QCOMPARE(a.serialize(), b.serialize());
        }
    }

    void removingASectionTakesItsKeysAlong() {
        const QString path = freshPath();
        putContent(path, "[A]\r\nk=1\r\n[B]\r\nk=2\r\nj=3\r\n[C]\r\nk=4\r\n");
        IniFile file(path);
        file.eraseSection("b");
        QCOMPARE(contentOf(path), QByteArray("[A]\r\nk=1\r\n[C]\r\nk=4\r\n"));
        QVERIFY(!file.sectionExists("B"));
        file.eraseSection("Missing");
        QCOMPARE(contentOf(path), QByteArray("[A]\r\nk=1\r\n[C]\r\nk=4\r\n"));
    }

    void anAbsentFileGivesDefaultsAndIsNotCreatedByReading() {
        const QString path = freshPath();
        IniFile file(path);
        QCOMPARE(file.readString("BaseStation", "Service", "Obj"), QByteArray("Obj"));
        QCOMPARE(file.readInteger("BaseStation", "COMPort", 7), 7);
        QVERIFY(!file.sectionExists("BaseStation"));
        QVERIFY(!QFile::exists(path));
        file.writeString("BaseStation", "COMPort", "2");
        QCOMPARE(contentOf(path), QByteArray("[BaseStation]\r\nCOMPort=2\r\n"));
    }

    void integersAndSwitches_data() {
        QTest::addColumn<QByteArray>("stored");
        QTest::addColumn<int>("integer");
        QTest::addColumn<int>("switchState"); // -1: the default (false) comes back
        QTest::newRow("decimal") << QByteArray("12") << 12 << 1;
        QTest::newRow("zero") << QByteArray("0") << 0 << 0;
        QTest::newRow("negative") << QByteArray("-1") << -1 << 1;
        QTest::newRow("hex lower") << QByteArray("0x1f") << 31 << 1;
        QTest::newRow("hex upper") << QByteArray("0X10") << 16 << 1;
        QTest::newRow("hex all ones") << QByteArray("0xFFFFFFFF") << -1 << 1;
        QTest::newRow("quoted") << QByteArray("\"5\"") << 5 << 1;
        QTest::newRow("word") << QByteArray("abc") << 99 << -1;
        QTest::newRow("trailing text") << QByteArray("12abc") << 99 << -1;
        QTest::newRow("bare 0x") << QByteArray("0x") << 99 << -1;
        QTest::newRow("empty") << QByteArray("") << 99 << -1;
        QTest::newRow("too large") << QByteArray("99999999999") << 99 << -1;
    }
    void integersAndSwitches() {
        QFETCH(QByteArray, stored);
        QFETCH(int, integer);
        QFETCH(int, switchState);
        const QString path = freshPath();
        putContent(path, "[S]\r\nK=" + stored + "\r\n");
        IniFile file(path);
        QCOMPARE(file.readInteger("S", "K", 99), integer);
        QCOMPARE(file.readBool("S", "K", false), switchState == 1);
        if (switchState == -1)
            QCOMPARE(file.readBool("S", "K", true), true);
        file.writeBool("S", "W", false);
        QCOMPARE(file.readString("S", "W", ""), QByteArray("0"));
    }

    void aRefusedWriteSaysSoWithThePath() {
        const QString path = dir_.filePath(QStringLiteral("no-such-folder/Vave_vev.ini"));
        IniFile file(path);
        try {
            file.writeString("S", "K", "v");
            QFAIL("the write should have been refused");
        } catch (const ini::IniWriteError& e) {
            QCOMPARE(e.message(), QStringLiteral("Unable to write to ") + path);
        }
        // A folder where the file should be refuses as well, and stays a folder.
        const QString folder = dir_.filePath(QStringLiteral("folder.ini"));
        QVERIFY(QDir().mkpath(folder));
        QVERIFY_THROWS_EXCEPTION(ini::IniWriteError, IniFile(folder).writeString("S", "K", "v"));
        QVERIFY(QFileInfo(folder).isDir());
    }

    void aFileThatCannotBeReadIsNeverWrittenOver_data() {
        QTest::addColumn<int>("error");
        QTest::addColumn<int>("readable"); // bytes read before the error
        QTest::addColumn<bool>("erase");   // the write erases a section
        QTest::newRow("open refused") << EACCES << 0 << false;
        QTest::newRow("no free descriptor") << EMFILE << 0 << false;
        QTest::newRow("read broken off") << EIO << 12 << false;
        QTest::newRow("read broken off, erasing") << EIO << 12 << true;
    }
    void aFileThatCannotBeReadIsNeverWrittenOver() {
        QFETCH(int, error);
        QFETCH(int, readable);
        QFETCH(bool, erase);
        const QString path = freshPath();
        const QByteArray stored = "[BaseStation]\r\nCOMPort=1\r\n[Bank1]\r\nName=A\r\n";
        putContent(path, stored);
        IniFile file(path);
        {
            const BrokenDisk disk(error, readable);
            try {
                if (erase)
                    file.eraseSection("Bank1");
                else
                    file.writeString("BaseStation", "Init1", "ATZ");
                QFAIL("the write should have been refused");
            } catch (const ini::IniWriteError& e) {
                QCOMPARE(e.message(), QStringLiteral("Unable to write to ") + path);
            }
            // Readers take such a file as absent and get their defaults.
            QCOMPARE(file.readString("BaseStation", "COMPort", "default"), QByteArray("default"));
        }
        QCOMPARE(contentOf(path), stored);
        QCOMPARE(strayTemporaries(dir_.path()), QStringList());
        QCOMPARE(file.readString("BaseStation", "COMPort", "default"), QByteArray("1"));
    }

    void aSocketAtThePathIsNeverWrittenOver() {
        // Opening a socket fails even for root, while a rename would replace it.
        const QString path = freshPath();
        const QByteArray native = QFile::encodeName(path);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        QVERIFY(size_t(native.size()) < sizeof address.sun_path);
        qstrcpy(address.sun_path, native.constData());
        const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
        QVERIFY(fd >= 0);
        const int bound = ::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address);
        ::close(fd);
        QCOMPARE(bound, 0);
        IniFile file(path);
        QCOMPARE(file.readString("S", "K", "default"), QByteArray("default"));
        QVERIFY_THROWS_EXCEPTION(ini::IniWriteError, file.writeString("S", "K", "v"));
        struct stat st {};
        QCOMPARE(::stat(native.constData(), &st), 0);
        QVERIFY(S_ISSOCK(st.st_mode));
        QCOMPARE(strayTemporaries(dir_.path()), QStringList());
    }

    void noValueOrNameCanAddLinesToTheFile() {
        const QString path = freshPath();
        IniFile file(path);
        file.writeString("Bank1", "lIN1", "OPEN\r\n[Bank1]\r\nPass=0000");
        file.writeString("Bank1", "lIN2", "CLOSE\r");
        file.writeString("Bank1", "lA=B\r\nPass", "x");
        QCOMPARE(file.readString("Bank1", "lIN1", ""), QByteArray("OPEN"));
        QCOMPARE(file.readString("Bank1", "lIN2", ""), QByteArray("CLOSE"));
        QVERIFY(!file.valueExists("Bank1", "Pass"));
        file.writeString("Bank1", "[Bank2]", "y");
        QCOMPARE(file.readString("Bank1", "[Bank2]", ""), QByteArray("y"));
        QVERIFY(!file.sectionExists("Bank2"));
        QCOMPARE(contentOf(path),
                 QByteArray("[Bank1]\r\nlIN1=OPEN\r\nlIN2=CLOSE\r\nlABPass=x\r\nBank2]=y\r\n"));
    }

    void readersSeeChangesMadeBehindTheirBack() {
        const QString path = freshPath();
        putContent(path, "[S]\r\nK=old\r\n");
        // An old file, so its parse is kept.
        const timespec past[2] = {{1, 0}, {1, 0}};
        QCOMPARE(::utimensat(AT_FDCWD, QFile::encodeName(path).constData(), past, 0), 0);
        IniFile file(path);
        QCOMPARE(file.readString("S", "K", ""), QByteArray("old"));
        QCOMPARE(file.readString("S", "K", ""), QByteArray("old"));
        // Edited in place by hand: same inode, same size.
        putContent(path, "[S]\r\nK=new\r\n");
        QCOMPARE(file.readString("S", "K", ""), QByteArray("new"));
        // Replaced by the other program through another handle.
        IniFile(path).writeString("S", "K", "third");
        QCOMPARE(file.readString("S", "K", ""), QByteArray("third"));
    }

    void aBatchWritesOnceAtItsCommitOverWhatOthersWroteMeanwhile() {
        const QString path = freshPath();
        putContent(path, "[Bank1]\r\nName=A\r\nlIN1=CLOSE\r\n");
        IniFile file(path);
        {
            ini::WriteBatch batch;
            file.writeString("Bank1", "lIN1", "OPEN");
            file.writeString("Bank1", "lIN2", QByteArray("CL") + "OSE"); // a temporary value
            QCOMPARE(file.readString("Bank1", "lIN1", ""), QByteArray("OPEN"));
            QCOMPARE(contentOf(path), QByteArray("[Bank1]\r\nName=A\r\nlIN1=CLOSE\r\n"));
            // The other program renames the object and writes lIN2 in between.
            putContent(path, "[Bank1]\r\nName=Bank B\r\nlIN1=CLOSE\r\nlIN2=x\r\n");
            QCOMPARE(file.readString("Bank1", "Name", ""), QByteArray("Bank B"));
            QCOMPARE(file.readString("Bank1", "lIN2", ""), QByteArray("CLOSE"));
            file.eraseSection("Bank7");
            batch.commit();
        }
        QCOMPARE(contentOf(path),
                 QByteArray("[Bank1]\r\nName=Bank B\r\nlIN1=OPEN\r\nlIN2=CLOSE\r\n"));
        QCOMPARE(strayTemporaries(dir_.path()), QStringList());
        // Without a commit nothing reaches the file.
        {
            ini::WriteBatch batch;
            file.writeString("Bank1", "lIN1", "ALARM");
        }
        QCOMPARE(file.readString("Bank1", "lIN1", ""), QByteArray("OPEN"));
    }

    void aBatchThatCannotBeWrittenSaysSoAndChangesNothing() {
        const QString path = freshPath();
        const QByteArray stored = "[Bank1]\r\nlIN1=CLOSE\r\n";
        putContent(path, stored);
        IniFile file(path);
        ini::WriteBatch batch;
        {
            ini::WriteBatch inner; // only the outermost batch writes
            file.writeString("Bank1", "lIN1", "OPEN");
            inner.commit();
        }
        QCOMPARE(contentOf(path), stored);
        const BrokenDisk disk(EIO, 4);
        QVERIFY_THROWS_EXCEPTION(ini::IniWriteError, batch.commit());
        QCOMPARE(contentOf(path), stored);
        QCOMPARE(strayTemporaries(dir_.path()), QStringList());
    }

    void aWriteKeepsTheFilePermissions() {
        const QString path = freshPath();
        putContent(path, "[S]\r\nK=1\r\n");
        QVERIFY(QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner));
        IniFile(path).writeString("S", "K", "2");
        struct stat st {};
        QCOMPARE(::stat(QFile::encodeName(path).constData(), &st), 0);
        QCOMPARE(st.st_mode & 07777, mode_t(0600));
        QCOMPARE(strayTemporaries(dir_.path()), QStringList());
    }

    void twoProgramsWritingAtOnceLoseNoKey() {
        const QString path = freshPath();
        constexpr int perWriter = 1000;
        QProcess a, b;
        a.start(QStringLiteral(INI_HAMMER),
                {path, QStringLiteral("a"), QString::number(perWriter)});
        b.start(QStringLiteral(INI_HAMMER),
                {path, QStringLiteral("b"), QString::number(perWriter)});
        QVERIFY(a.waitForFinished(120000));
        QVERIFY(b.waitForFinished(120000));
        QCOMPARE(a.exitCode(), 0);
        QCOMPARE(b.exitCode(), 0);
        const auto doc = IniFile(path).snapshot();
        for (int i = 0; i < perWriter; ++i) {
            QCOMPARE(doc->value("Shared", "a" + QByteArray::number(i)).value_or("lost"),
                     QByteArray::number(i));
            QCOMPARE(doc->value("Shared", "b" + QByteArray::number(i)).value_or("lost"),
                     QByteArray::number(i));
        }
    }

    void objectsAreBank1ToBank99InAscendingOrder() {
        const QString path = freshPath();
        putContent(path, "[Bank99]\r\nName=Last\r\nPhone=799\r\n"
                         "[Bank100]\r\nName=Beyond\r\nPhone=7100\r\n"
                         "[Bank3]\r\nName=Twin\r\nPhone=73\r\n"
                         "[Bank0]\r\nName=Zero\r\n"
                         "[Bank2]\r\n"
                         "[Bank1]\r\nName=Twin\r\nPhone=71\r\n"
                         "[Bank5]\r\nPhone=75\r\n");
        IniFile file(path);
        config::ObjectDirectory objects(file);
        QCOMPARE(objects.objectNumbers(), QList<int>({1, 3, 5, 99}));
        QCOMPARE(objects.findByName("Twin", "none"), std::optional<int>(1));
        QCOMPARE(objects.findByName("twin", "none"), std::nullopt);
        QCOMPARE(objects.findByName("Beyond", "none"), std::nullopt);
        QCOMPARE(objects.findByName("Zero", "none"), std::nullopt);
        QCOMPARE(objects.findByPhone("799", "none"), std::optional<int>(99));
        QCOMPARE(objects.findByPhone("7100", "none"), std::nullopt);
        QCOMPARE(objects.findByPhone("+799", "none"), std::nullopt);
        // A section without the key answers with its reader's default.
        QCOMPARE(objects.findByName(text::cp("Без имени"), text::cp("Без имени")),
                 std::optional<int>(5));
    }
};

QTEST_GUILESS_MAIN(IniTest)
#include "test_ini.moc"
