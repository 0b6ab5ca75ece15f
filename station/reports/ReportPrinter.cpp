#include "reports/ReportPrinter.h"

#include "text/Cp1251.h"
#include "text/DateStamps.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QPageLayout>
#include <QPainter>
#include <QPrinter>
#include <QTextLayout>

#include <algorithm>
#include <array>
#include <memory>

namespace tirvon::station {

namespace {

// A place across the page: left edge and width in millimetres from the left
// margin.
struct Span {
    double left;
    double width;
};

constexpr double printableWidth = 277.0; // A4 landscape less two 10 mm margins

// Vertical sizes in millimetres.
constexpr double titleHeight = 8.0;
constexpr double infoHeight = 5.0;
constexpr double headerHeight = 6.0;
constexpr double rowPadding = 0.7; // above and below the text of a row
constexpr double footerHeight = 17.0;
constexpr double footerLineHeight = 7.0;
constexpr double ruleWidth = 0.2;
constexpr double cellGap = 0.6; // free at the right of a one-line cell

constexpr double textPoints = 9.0;
constexpr double titlePoints = 12.0;
// A one-line text too wide for its place is set smaller, never below this.
constexpr double smallestPoints = 5.0;

const Span titleSpan{132.3, 60.0};
const Span periodSpan{0.0, 215.0};
const Span madeAtSpan{218.9, printableWidth - 218.9};
const Span countSpan{222.6, printableWidth - 222.6};

const Span footerCaptionSpan{0.0, 42.0};
const Span signatureSpan{43.0, 70.0};
const Span pageNumberSpan{249.7, printableWidth - 249.7};

// The column header and the detail row, in the order state, date, object,
// event, sent, arrived, operator.
constexpr int columnCount = 7;
const std::array<Span, columnCount> headerSpans{{{1.0, 9.3},
                                                 {11.6, 11.9},
                                                 {24.3, 55.3},
                                                 {79.9, 110.3},
                                                 {190.5, 13.5},
                                                 {204.3, 14.6},
                                                 {219.1, 56.4}}};
const std::array<Span, columnCount> detailSpans{{{5.0, 6.6},
                                                 {11.6, 11.9},
                                                 {24.1, 55.3},
                                                 {79.6, 110.3},
                                                 {190.5, 13.2},
                                                 {203.7, 14.8},
                                                 {218.9, 56.6}}};
// The object, the event and the operator wrap; the other cells are one line.
constexpr std::array<bool, columnCount> wrapping{false, false, true, true, false, false, true};

QString field(const QByteArray& cp1251) {
    return text::toUnicode(cp1251).trimmed();
}

log::LogRecord readRecord(const log::LogTable& copy, int index) {
    try {
        return copy.record(index);
    } catch (const log::LogError&) {
        return {}; // printed as a row of empty fields
    }
}

// A text laid out in a width of device pixels: it wraps at word boundaries,
// and anywhere within a word longer than the width, so nothing is cut off.
class Block {
public:
    Block(const QString& text, const QFont& font, QPaintDevice* device, double width)
        : layout_(text, font, device) {
        QTextOption option;
        option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
        layout_.setTextOption(option);
        layout_.beginLayout();
        for (QTextLine line = layout_.createLine(); line.isValid(); line = layout_.createLine()) {
            line.setLineWidth(width);
            line.setPosition(QPointF(0, height_));
            height_ += line.height();
        }
        layout_.endLayout();
    }
    double height() const { return height_; }
    void draw(QPainter& painter, QPointF at) const { layout_.draw(&painter, at); }

private:
    QTextLayout layout_;
    double height_ = 0;
};

// The report's pages under one painter, in millimetres from the top left of
// the printable area.
class Sheet {
public:
    Sheet(QPainter& painter, QPrinter& printer)
        : painter_(painter), printer_(printer), dotsPerMm_(printer.resolution() / 25.4),
          height_(printer.pageLayout().paintRect(QPageLayout::Millimeter).height()),
          text_(QGuiApplication::font()) {
        text_.setPointSizeF(textPoints);
        bold_ = text_;
        bold_.setBold(true);
        title_ = bold_;
        title_.setPointSizeF(titlePoints);
    }

    double bodyBottom() const { return height_ - footerHeight; }
    const QFont& text() const { return text_; }

    // The title band; returns where it ends.
    double paintTitle(const ReportHeading& heading, std::size_t rowCount) {
        line(QStringLiteral("Отчет"), title_, titleSpan, 0);
        rightLine(QStringLiteral("Время формирования отчета - ") +
                      heading.madeAt.toString(text::DateTimeFormat),
                  text_, madeAtSpan, 1.5);
        line(heading.periodLine, text_, periodSpan, titleHeight);
        rightLine(QStringLiteral("В отчет выведено строк - ") + QString::number(rowCount), text_,
                  countSpan, titleHeight);
        return titleHeight + infoHeight + 1.0;
    }

    // The column header band at top; returns where it ends.
    double paintHeader(const QString& objectWord, double top) {
        const std::array<QString, columnCount> captions{
            QStringLiteral("Сост."),       QStringLiteral("Дата"), objectWord,
            QStringLiteral("Событие"),     QStringLiteral("Ушло"), QStringLiteral("Пришло"),
            QStringLiteral("Пользователь")};
        for (int c = 0; c < columnCount; ++c)
            line(captions[c], bold_, headerSpans[c], top + 0.8);
        rule(0, printableWidth, top + headerHeight - 0.3);
        return top + headerHeight;
    }

    void paintFooter(int page) {
        const double top = height_ - footerHeight + 2.0;
        line(QStringLiteral("Руководитель отдела"), text_, footerCaptionSpan, top);
        line(QStringLiteral("Главный инженер"), text_, footerCaptionSpan, top + footerLineHeight);
        const double baseline = textPoints * 25.4 / 72.0; // about one text line lower
        rule(signatureSpan.left, signatureSpan.width, top + baseline);
        rule(signatureSpan.left, signatureSpan.width, top + footerLineHeight + baseline);
        line(QStringLiteral("Стр. - ") + QString::number(page), text_, pageNumberSpan,
             top + footerLineHeight);
    }

    std::unique_ptr<Block> block(const QString& text, const QFont& font, Span span) const {
        return std::make_unique<Block>(text, font, &printer_, px(span.width - cellGap));
    }
    // The font for one line of text in span: the given one or, when the text
    // would not fit, a condensed face of it, set smaller if that is still too
    // wide. A little room is kept on the right, so that neighbouring columns
    // never touch.
    QFont fitted(QFont font, const QString& text, Span span) const {
        const double width = px(span.width - cellGap);
        if (advance(font, text) <= width)
            return font;
        font.setStretch(QFont::Condensed);
        for (int tries = 0; tries < 4; ++tries) {
            const double wide = advance(font, text);
            if (wide <= width || font.pointSizeF() <= smallestPoints)
                break;
            font.setPointSizeF(std::max(smallestPoints, font.pointSizeF() * width / wide * 0.99));
        }
        return font;
    }
    void draw(const Block& block, Span span, double top) {
        block.draw(painter_, at(span.left, top));
    }
    double mm(double pixels) const { return pixels / dotsPerMm_; }

private:
    double px(double mm) const { return mm * dotsPerMm_; }
    QPointF at(double left, double top) const { return QPointF(px(left), px(top)); }

    double advance(const QFont& font, const QString& text) const {
        return QFontMetricsF(font, &printer_).horizontalAdvance(text);
    }
    void line(const QString& text, const QFont& font, Span span, double top) {
        draw(*block(text, fitted(font, text, span), span), span, top);
    }
    // A line of the heading at the right of the page: at its place when it
    // fits there, otherwise moved left so that it ends at the right margin.
    void rightLine(const QString& text, const QFont& font, Span span, double top) {
        const double width = mm(advance(font, text)) + cellGap + 0.1;
        const double left = std::max(0.0, std::min(span.left, printableWidth - width));
        line(text, font, {left, printableWidth - left}, top);
    }
    void rule(double left, double width, double y) {
        painter_.save();
        painter_.setPen(QPen(Qt::black, px(ruleWidth)));
        painter_.drawLine(at(left, y), at(left + width, y));
        painter_.restore();
    }

    QPainter& painter_;
    QPrinter& printer_;
    double dotsPerMm_;
    double height_;
    QFont text_, bold_, title_;
};

// One detail band, laid out before it is placed so that it can move to the
// next page whole.
class DetailRow {
public:
    DetailRow(const Sheet& sheet, const log::LogRecord& record, const QString& mark) {
        const std::array<QString, columnCount> texts{mark,
                                                     field(record.date),
                                                     field(record.bank),
                                                     field(record.mail),
                                                     field(record.timeo),
                                                     field(record.time),
                                                     field(record.admin)};
        double tallest = 0;
        for (int c = 0; c < columnCount; ++c) {
            const QFont font =
                wrapping[c] ? sheet.text() : sheet.fitted(sheet.text(), texts[c], detailSpans[c]);
            cells_[c] = sheet.block(texts[c], font, detailSpans[c]);
            tallest = std::max(tallest, cells_[c]->height());
        }
        height_ = sheet.mm(tallest) + 2 * rowPadding;
    }
    double height() const { return height_; }
    void paint(Sheet& sheet, double top) const {
        for (int c = 0; c < columnCount; ++c)
            sheet.draw(*cells_[c], detailSpans[c], top + rowPadding);
    }

private:
    std::array<std::unique_ptr<Block>, columnCount> cells_;
    double height_ = 0;
};

} // namespace

QString StateMark::take() {
    const QString mark = printed_ ? QStringLiteral("Ок") : QStringLiteral("-");
    printed_ = true;
    return mark;
}

void setUpReportPage(QPrinter& printer) {
    printer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Landscape,
                                      QMarginsF(10, 10, 10, 10), QPageLayout::Millimeter));
}

int paintReport(QPrinter& printer, const ReportHeading& heading, const log::LogTable& copy,
                const std::vector<int>& rows, StateMark& mark) {
    if (rows.empty())
        return 0;
    QPainter painter;
    if (!painter.begin(&printer))
        return 0;
    Sheet sheet(painter, printer);
    int page = 1;
    double y = sheet.paintHeader(heading.objectWord, sheet.paintTitle(heading, rows.size()));
    bool pageHasRows = false;
    for (const int index : rows) {
        const DetailRow row(sheet, readRecord(copy, index), mark.take());
        if (pageHasRows && y + row.height() > sheet.bodyBottom()) {
            sheet.paintFooter(page);
            printer.newPage();
            ++page;
            y = sheet.paintHeader(heading.objectWord, 0);
        }
        row.paint(sheet, y);
        y += row.height();
        pageHasRows = true;
    }
    sheet.paintFooter(page);
    painter.end();
    return page;
}

bool saveReportPdf(const QString& path, const ReportHeading& heading, const log::LogTable& copy,
                   const std::vector<int>& rows, StateMark& mark) {
    if (rows.empty() || !QFileInfo(path).absoluteDir().exists())
        return false;
    // The report is written beside its place and takes it only when complete.
    const QString unfinished = path + QStringLiteral(".tmp");
    bool written = false;
    {
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(unfinished);
        printer.setCreator(QStringLiteral("vartel"));
        setUpReportPage(printer);
        written = paintReport(printer, heading, copy, rows, mark) > 0 &&
                  printer.printerState() != QPrinter::Error;
    }
    written = written && QFileInfo(unfinished).size() > 0;
    if (written && QFile::exists(path))
        written = QFile::remove(path);
    if (written)
        written = QFile::rename(unfinished, path);
    if (!written)
        QFile::remove(unfinished);
    return written;
}

} // namespace tirvon::station
