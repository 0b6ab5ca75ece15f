#pragma once

#include "log/LogTable.h"

#include <QDateTime>
#include <QString>
#include <vector>

class QPrinter;

namespace tirvon::station {

// What the printed report shows besides its records.
struct ReportHeading {
    QString periodLine; // "Отчет за период c … по …", made by the reports window
    QString objectWord; // the column title in place of "Банк"
    QDateTime madeAt;   // the time the report is made
};

// The mark of the state column: "-" until the first detail row of the
// program's run has been printed, "Ок" from then on (kept for the whole run,
// across reports and repaints).
class StateMark {
public:
    // The mark for the row now printed; that row then counts as printed.
    QString take();
    bool printed() const { return printed_; }

private:
    bool printed_ = false;
};

// A4 landscape, 10 mm margins on every side, millimetre units.
void setUpReportPage(QPrinter& printer);

// Paints the report of the records `rows` of `copy` (record indices, in this
// order) on every page of printer; returns the number of pages.
//
// The first page starts with the title band; every page has the column header
// at the top of its rows and the signature footer at its bottom. A row grows to
// its tallest cell (the object, the event and the operator wrap within their
// columns) and never splits across pages. A record that cannot be read prints
// as a row of empty fields. No rows: nothing is painted and the result is 0.
int paintReport(QPrinter& printer, const ReportHeading& heading, const log::LogTable& copy,
                const std::vector<int>& rows, StateMark& mark);

// The report as a PDF file at path; false (and no file left behind) when it
// cannot be written or there is no row to print. A file already at path is
// replaced only by a complete report.
bool saveReportPdf(const QString& path, const ReportHeading& heading, const log::LogTable& copy,
                   const std::vector<int>& rows, StateMark& mark);

} // namespace tirvon::station
