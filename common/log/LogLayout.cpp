#include "log/LogLayout.h"
#include "log/LogError.h"

namespace tirvon::log {

namespace {

constexpr DbfFieldSpec Fields[] = {
    {"BANK", 'C', 250}, {"TIME", 'C', 8},  {"TIMEO", 'C', 8},   {"DATE", 'C', 8},
    {"MAIL", 'C', 250}, {"ALARM", 'L', 1}, {"ADMIN", 'C', 250},
};

bool isBlank(char c) {
    return c == ' ' || c == '\0';
}

} // namespace

std::vector<DbfFieldSpec> logFields() {
    return {std::begin(Fields), std::end(Fields)};
}

QByteArray LogRecord::*LogLayout::text(int field) {
    switch (field) {
    case Bank:
        return &LogRecord::bank;
    case Time:
        return &LogRecord::time;
    case TimeO:
        return &LogRecord::timeo;
    case Date:
        return &LogRecord::date;
    case Mail:
        return &LogRecord::mail;
    case Admin:
        return &LogRecord::admin;
    default:
        return nullptr;
    }
}

LogLayout LogLayout::of(const DbfHeader& header, const QString& path) {
    LogLayout layout;
    layout.recordLength_ = header.recordLength;
    for (int i = 0; i < FieldCount; ++i) {
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
    for (int i = 0; i < FieldCount; ++i) {
        const DbfField& f = fields_[i];
        const char* begin = raw + f.offset;
        if (i == Alarm) {
            record.alarm = *begin == 'T' || *begin == 't' || *begin == 'Y' || *begin == 'y';
            continue;
        }
        int size = f.size;
        while (size > 0 && isBlank(begin[size - 1]))
            --size;
        record.*text(i) = QByteArray(begin, size);
    }
    return record;
}

QByteArray LogLayout::encode(const LogRecord& record) const {
    QByteArray raw(recordLength_, ' ');
    for (int i = 0; i < FieldCount; ++i) {
        const DbfField& f = fields_[i];
        if (i == Alarm) {
            raw[f.offset] = record.alarm ? 'T' : 'F';
            continue;
        }
        const QByteArray& value = record.*text(i);
        raw.replace(f.offset, qMin(value.size(), qsizetype(f.size)), value.left(f.size));
    }
    return raw;
}

} // namespace tirvon::log
