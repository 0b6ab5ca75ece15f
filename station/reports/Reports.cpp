#include "reports/Reports.h"

#include "log/MarkingPass.h"
#include "objects/ObjectRows.h"
#include "report/ReportInterpreter.h"
#include "text/Cp1251.h"

namespace tirvon::station {

namespace {

// The grid's columns: " Дата", the object word, "Действие", "Ушло", "Пришло",
// "Пользователь".
std::vector<log::LogColumn> gridColumns() {
    using log::LogField;
    return {{LogField::Date, QStringLiteral(" Дата"), 70},
            {LogField::Bank, QString(), 200},
            {LogField::Mail, QStringLiteral("Действие"), 300},
            {LogField::TimeO, QStringLiteral("Ушло"), 70},
            {LogField::Time, QStringLiteral("Пришло"), 70},
            {LogField::Admin, QStringLiteral("Пользователь"), 150}};
}

// A run of decimal digits as a number; -1 when empty, too long or not digits.
int number(QByteArrayView digits, int maxLength) {
    if (digits.isEmpty() || digits.size() > maxLength)
        return -1;
    int value = 0;
    for (const char c : digits) {
        if (c < '0' || c > '9')
            return -1;
        value = value * 10 + (c - '0');
    }
    return value;
}

} // namespace

const QString Reports::AllObjects = QStringLiteral("Все");

const std::array<ReportCategory, ReportCategoryCount>& reportCategories() {
    static const std::array<ReportCategory, ReportCategoryCount> categories = {{
        {QStringLiteral("Тревоги"), report::alarmMarker(), QStringLiteral("Тревог:")},
        {QStringLiteral("Постановки на охрану"), text::cp("Постановка на охрану"),
         QStringLiteral("Постановок на охрану:")},
        {QStringLiteral("Снятия с охраны"), text::cp("Снятие с охраны"),
         QStringLiteral("Снятий с охраны:")},
        {QStringLiteral("События"), text::cp("Выполнение События:"),
         QStringLiteral("Отработанных событий:")},
        {QStringLiteral("Входящие события"), "> ", QStringLiteral("Входящих сообщений:")},
        {QStringLiteral("Исходящие события"), "< ", QStringLiteral("Исходящих сообщений:")},
    }};
    return categories;
}

QByteArray acknowledgementText(const QByteArray& alarmText) {
    const QByteArray& alarm = report::alarmMarker();
    QByteArray what = alarmText.trimmed();
    if (what.startsWith(alarm))
        what = what.mid(alarm.size()).trimmed();
    bool changed = true;
    while (changed) {
        changed = false;
        for (const ReportCategory& category : reportCategories()) {
            const QByteArray& marker = category.sought;
            if (!what.contains(marker))
                continue;
            QByteArray defused = marker;
            if (marker.endsWith(' '))
                defused.chop(1);
            else
                defused =
                    text::fromUnicode(text::toUnicode(marker.left(1)).toLower()) + marker.mid(1);
            what.replace(marker, defused);
            changed = true;
        }
    }
    return text::cp("Принята тревога: ") + what;
}

std::optional<QDate> readReportDate(QByteArrayView text) {
    text = text.trimmed();
    const qsizetype first = text.indexOf('.');
    const qsizetype second = first < 0 ? -1 : text.indexOf('.', first + 1);
    if (second < 0)
        return std::nullopt;
    const int day = number(text.first(first), 2);
    const int month = number(text.sliced(first + 1, second - first - 1), 2);
    const QByteArrayView yearDigits = text.sliced(second + 1);
    int year = number(yearDigits, 4);
    if (day < 0 || month < 0 || year < 0 || yearDigits.size() == 3)
        return std::nullopt;
    if (yearDigits.size() <= 2)
        year += 2000;
    const QDate date(year, month, day);
    if (!date.isValid())
        return std::nullopt;
    return date;
}

Reports::Reports(const ini::IniFile& file, ui::Prompt& prompt)
    : file_(file), prompt_(prompt), grid_(gridColumns()) {}

Reports::~Reports() {
    close();
}

QStringList Reports::objectFilter() const {
    QStringList items{AllObjects};
    for (const ObjectRow& row : loadObjectRows(file_)) {
        const QString name = text::toUnicode(row.name);
        if (!items.contains(name))
            items.append(name);
    }
    return items;
}

QString Reports::periodLine(const QString& from, const QString& to) {
    // The "c" is a Latin letter, as the report has always printed it.
    return QStringLiteral("Отчет за период c ") + from + QStringLiteral(" по ") + to;
}

void Reports::close() {
    grid_.setTable(nullptr);
    copy_.reset();
    marked_.clear();
}

bool Reports::build(const ReportRequest& request) {
    close();
    std::optional<QDate> from, to;
    if (!request.wholePeriod) {
        from = readReportDate(text::fromUnicode(request.from));
        to = readReportDate(text::fromUnicode(request.to));
        if (!from || !to || *from > *to) {
            prompt_.inform(QStringLiteral("Не указана одна из дат, либо дата начала отчета "
                                          "больше даты окончания!"));
            return false;
        }
    }
    const bool anyObject = request.object == AllObjects;
    const QByteArray object = text::fromUnicode(request.object);
    const auto& categories = reportCategories();
    std::vector<int> marked;
    try {
        log::MarkingPass pass(copyPath_);
        counters_.fill(0);
        while (pass.nextBlock()) {
            for (int i = 0; i < pass.blockSize(); ++i) {
                const QByteArrayView mail = pass.text(i, log::LogField::Mail);
                bool wanted = false;
                for (int c = 0; c < ReportCategoryCount; ++c) {
                    if (request.shown[size_t(c)] && mail.contains(categories[size_t(c)].sought)) {
                        ++counters_[size_t(c)];
                        wanted = true;
                    }
                }
                bool mark = wanted && (anyObject || pass.text(i, log::LogField::Bank) == object);
                if (mark && !request.wholePeriod) {
                    // A date that cannot be read lies in no chosen period.
                    const auto date = readReportDate(pass.text(i, log::LogField::Date));
                    mark = date && *from <= *date && *date <= *to;
                }
                pass.setMark(i, mark);
                if (mark)
                    marked.push_back(pass.blockStart() + i);
            }
        }
        pass.finish();
        copy_ = log::LogTable::open(copyPath_, log::LogTable::Access::ReadOnly);
    } catch (const log::LogError& e) {
        prompt_.inform(e.message());
        return false;
    }
    marked_ = std::move(marked);
    grid_.setTable(copy_.get(), marked_);
    return true;
}

} // namespace tirvon::station
