#pragma once

#include <QString>

namespace tirvon::text {

// The forms in which the programs write dates and times.
// A log record's date: day, month, two-digit year.
inline const QString LogDateFormat = QStringLiteral("dd.MM.yy");
// A log record's times.
inline const QString LogTimeFormat = QStringLiteral("hh:mm:ss");
// A test-message point of a controller.
inline const QString PointTimeFormat = QStringLiteral("hh:mm");
// The short date of the desk's computers, as the date fields show it.
inline const QString ShortDateFormat = QStringLiteral("dd.MM.yyyy");
// A moment in the call lists, the control panel and the printed report.
inline const QString DateTimeFormat = QStringLiteral("dd.MM.yyyy hh:mm:ss");
// A moment in a file name.
inline const QString FileStampFormat = QStringLiteral("yyyy-MM-dd hh-mm-ss");

} // namespace tirvon::text
