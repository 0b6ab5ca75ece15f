#pragma once

#include "ini/IniFile.h"
#include "log/LogTable.h"
#include "log/LogTableModel.h"
#include "reports/ReportPrinter.h"
#include "ui/Prompt.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QDate>
#include <QString>
#include <QStringList>
#include <array>
#include <memory>
#include <optional>
#include <vector>

namespace tirvon::station {

// A kind of event that a report counts and selects: a record belongs to it
// when its log text holds the sought text, exactly, anywhere.
struct ReportCategory {
    QString caption;        // its check box
    QByteArray sought;      // code page 1251
    QString counterCaption; // its counter
};

inline constexpr int ReportCategoryCount = 6;

// Alarms, armings, disarmings, executed rules, incoming reports ("> " marks
// what a controller sent) and outgoing commands ("< " marks what an operator
// sent), in the order of the window's check boxes.
const std::array<ReportCategory, ReportCategoryCount>& reportCategories();

// The log text recording that an operator acknowledged an alarm row: "Принята
// тревога: " and what the row said after its "Тревога!!! ". Whatever in it would
// read as a category's marker is defused (a marker's first letter made small,
// the blank after "<" or ">" dropped), so that reports count the alarm, never
// its acknowledgement, whatever a controller's text held.
QByteArray acknowledgementText(const QByteArray& alarmText);

// A date as the station reads one: day.month.year, blanks around it allowed,
// a year of one or two digits taken as 2000 and on. nullopt for anything else,
// such as the "None" that a copy gives for an empty date.
std::optional<QDate> readReportDate(QByteArrayView text);

// What the operator chose in the reports window.
struct ReportRequest {
    QString object;          // the object filter's text
    bool wholePeriod = true; // "За весь период"
    QString from, to;        // the texts of the two date fields
    std::array<bool, ReportCategoryCount> shown{};
};

// The reports work area: counts the events of the chosen kinds over the whole
// statistics copy and marks the records of the chosen period and object in
// it, for the grid and the printed report.
class Reports {
public:
    static const QString AllObjects;

    Reports(const ini::IniFile& file, ui::Prompt& prompt);
    ~Reports();

    // The table that the statistics copy is made into.
    void setCopyPath(const QString& path) { copyPath_ = path; }
    const QString& copyPath() const { return copyPath_; }

    // "Все", then each object's name once, in section order.
    QStringList objectFilter() const;

    // Marks the copy and counts; true when done. Missing or inverted dates,
    // and a copy that cannot be opened, read or written, are told through the
    // prompt; the grid then stays empty.
    bool build(const ReportRequest& request);
    const std::array<int, ReportCategoryCount>& counters() const { return counters_; }
    // The marked records of the last build, in the copy's order.
    log::LogTableModel& grid() { return grid_; }
    const log::LogTable* copy() const { return copy_.get(); }
    const std::vector<int>& marked() const { return marked_; }

    // The state marks of the printed reports, for the program's run.
    StateMark& stateMark() { return stateMark_; }

    // The period line of the printed report; the two date fields as they read.
    static QString periodLine(const QString& from, const QString& to);

    // The window closes, or the copy is made again: the grid lets the copy go.
    void close();

private:
    const ini::IniFile& file_;
    ui::Prompt& prompt_;
    QString copyPath_;
    log::LogTableModel grid_;
    std::unique_ptr<log::LogTable> copy_;
    std::vector<int> marked_;
    std::array<int, ReportCategoryCount> counters_{};
    StateMark stateMark_;
};

} // namespace tirvon::station
