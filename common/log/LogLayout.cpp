#include "log/LogLayout.h"
#include "log/LogError.h"

#include <cstring>

namespace tirvon::log {

namespace {

constexpr DbfFieldSpec Fields[] = {
    {"BANK", 'C', 250}, {"TIME", 'C', 8},  {"TIMEO", 'C', 8},   {"DATE", 'C', 8},
    {"MAIL", 'C', 250}, {"ALARM", 'L', 1}, {"ADMIN", 'C', 250},
};

bool isBlank(char c) {
    return c == ' ' || c == '\0';
}

// The length of a field's text without its trailing blanks. Most of a wide
// field is blank, so blanks are skipped eight at a time while they are spaces.
int trimmedSize(const char* begin, int size) {
    constexpr quint64 Spaces = 0x2020202020202020ull;
    while (size >= 8) {
        quint64 word;
        std::memcpy(&word, begin + size - 8, sizeof word);
        if (word != Spaces)
            break;
        size -= 8;
    }
    while (size > 0 && isBlank(begin[size - 1]))
        --size;
    return size;
}

} // namespace

std::vector<DbfFieldSpec> logFields() {
    return {std::begin(Fields), std::end(Fields)};
}

QByteArray LogRecord::*LogLayout::member(LogField field) {
    switch (field) {
    case LogField::Bank:
        return &LogRecord::bank;
    case LogField::Time:
        return &LogRecord::time;
    case LogField::TimeO:
        return &LogRecord::timeo;
    case LogField::Date:
        return &LogRecord::date;
    case LogField::Mail:
        return &LogRecord::mail;
    case LogField::Admin:
        return &LogRecord::admin;
    case LogField::Alarm:
        break;
    }
    return nullptr;
}

const QByteArray& LogRecord::text(LogField field) const {
    static const QByteArray none;
    QByteArray LogRecord::*m = LogLayout::member(field);
    return m ? this->*m : none;
}

LogLayout LogLayout::of(const DbfHeader& header, const QString& path) {
    LogLayout layout;
    layout.recordLength_ = header.recordLength;
    for (int i = 0; i < LogFieldCount; ++i) {
        const DbfField* field = header.field(Fields[i].name);
        if (!field || field->type != Fields[i].type)
            throw LogError(
                QStringLiteral("Table %1 is not a log table: it has no field %2 of type %3")
                    .arg(path, QLatin1String(Fields[i].name), QChar(Fields[i].type)));
        layout.fields_[i] = *field;
    }
    return layout;
}

LogRecord LogLayout::decode(const char* raw) const {
    LogRecord record;
    for (int i = 0; i < LogFieldCount; ++i) {
        const auto field = LogField(i);
        if (field == LogField::Alarm) {
            const char c = raw[alarmOffset()];
            record.alarm = c == 'T' || c == 't' || c == 'Y' || c == 'y';
            continue;
        }
        record.*member(field) = text(raw, field).toByteArray();
    }
    return record;
}

QByteArrayView LogLayout::text(const char* raw, LogField field) const {
    const DbfField& f = fields_[int(field)];
    const char* begin = raw + f.offset;
    return QByteArrayView(begin, trimmedSize(begin, f.size));
}

QByteArray LogLayout::encode(const LogRecord& record) const {
    QByteArray raw(recordLength_, ' ');
    for (int i = 0; i < LogFieldCount; ++i) {
        const DbfField& f = fields_[i];
        if (LogField(i) == LogField::Alarm) {
            raw[f.offset] = alarmByte(record.alarm);
            continue;
        }
        const QByteArray& value = record.*member(LogField(i));
        raw.replace(f.offset, qMin(value.size(), qsizetype(f.size)), value.left(f.size));
    }
    return raw;
}

} // namespace tirvon::log
