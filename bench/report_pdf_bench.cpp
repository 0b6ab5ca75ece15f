// Cost of the printed report of a large statistics copy: a log table of 10,000
// records with events of 60 to 250 characters, and the PDF of all of them as
// the report window saves it.
//
//   report_pdf_bench [OUTPUT.pdf]   (default: a temporary folder, removed after)
#include "BenchSupport.h"
#include "log/LogTable.h"
#include "reports/ReportPrinter.h"
#include "text/Cp1251.h"

#include <QFileInfo>
#include <QGuiApplication>
#include <QProcess>
#include <QTemporaryDir>

#include <chrono>
#include <cstdio>

using namespace tirvon;
using namespace tirvon::station;
using tirvon::bench::Clock;

namespace {

constexpr int recordCount = 10000;

const char* const events[] = {
    "Тревога: вскрытие корпуса, шлейф 3 разомкнут",
    "Снятие с охраны пользователем 12, код принят",
    "Пропало сетевое питание, работа от резервного аккумулятора",
    "Постановка на охрану, все шлейфы в норме, связь по основному каналу",
    "Неисправность датчика вибрации сейфа, требуется выезд технической службы",
};

log::LogRecord event(int n) {
    // An event of 60 to 250 characters: the base texts joined until long enough.
    const int length = 60 + n * 37 % 191;
    QString mail = QString::number(n) + QStringLiteral(". ");
    for (int k = n; mail.size() < length; ++k)
        mail += QString::fromUtf8(events[k % 5]) + QStringLiteral("; ");
    mail.truncate(length);
    const QString time = QStringLiteral("%1:%2:%3")
                             .arg(n / 3600 % 24, 2, 10, QLatin1Char('0'))
                             .arg(n / 60 % 60, 2, 10, QLatin1Char('0'))
                             .arg(n % 60, 2, 10, QLatin1Char('0'));
    return {text::cp("Банкомат отделения №") + QByteArray::number(n % 99 + 1) +
                text::cp(", ул. Первомайская, ") + QByteArray::number(n % 40 + 1),
            text::fromUnicode(time),
            text::fromUnicode(time),
            "0" + QByteArray::number(n % 9 + 1) + ".12.26",
            text::fromUnicode(mail),
            false,
            text::cp(n % 3 ? "Петрова Анна Сергеевна" : "Сидоров И. П., старший смены")};
}

} // namespace

int main(int argc, char* argv[]) {
    tirvon::bench::offscreenUnlessTold();
    QGuiApplication app(argc, argv);
    QTemporaryDir dir;
    const QString table = dir.filePath(QStringLiteral("stat.dbf"));
    const QString pdf =
        argc > 1 ? QString::fromLocal8Bit(argv[1]) : dir.filePath(QStringLiteral("report.pdf"));
    log::LogTable::create(table);
    {
        const auto writer = log::LogTable::open(table);
        for (int n = 0; n < recordCount; ++n)
            writer->append(event(n));
    }
    const auto copy = log::LogTable::open(table, log::LogTable::Access::ReadOnly);
    std::vector<int> rows(recordCount);
    for (int n = 0; n < recordCount; ++n)
        rows[n] = n;
    const ReportHeading heading{
        QStringLiteral("Отчет за период c 01.12.2026 00:00:00 по 09.12.2026 23:59:59"),
        QStringLiteral("Банкомат"), QDateTime::currentDateTime()};
    StateMark mark;

    const auto start = Clock::now();
    const bool saved = saveReportPdf(pdf, heading, *copy, rows, mark);
    const double seconds = tirvon::bench::seconds(Clock::now() - start);
    if (!saved) {
        std::printf("the report could not be written to %s\n", qPrintable(pdf));
        return 1;
    }
    // The page count as a PDF reader sees it, when poppler's pdfinfo is at hand.
    QProcess info;
    info.start(QStringLiteral("pdfinfo"), {pdf});
    info.waitForFinished();
    QString pages = QStringLiteral("?");
    for (const QString& line : QString::fromUtf8(info.readAllStandardOutput()).split('\n'))
        if (line.startsWith(QStringLiteral("Pages:")))
            pages = line.mid(6).trimmed();
    std::printf("records %d, pages %s, %.2f s, %.2f MB\n", recordCount, qPrintable(pages), seconds,
                QFileInfo(pdf).size() / 1e6);
    return 0;
}
