#pragma once

// Records shared by the log tests and their helper programs.
#include "log/LogRecord.h"
#include "text/Cp1251.h"

#include <QByteArray>
#include <QFile>
#include <QList>

namespace tirvon::log::samples {

// Records that a careless reader or writer would change: Russian text, leading
// blanks, texts that fill their field, empty fields, both alarm values, and
// every byte of code page 1251 that stands for a character.
inline QList<LogRecord> tricky() {
    QByteArray allLetters;
    for (int b = 0x21; b <= 0xff; ++b) {
        if (b != 0x7f && b != 0x98) // no character at these two
            allLetters += char(b);
    }
    return {
        {text::cp("Банкомат №1 (Тверская, 7)"), "12:00:01", "11:59:00", "01.02.24",
         text::cp("Тревога!!! Дверь ОТКРЫТА"), true, text::cp("Иванов И.И.")},
        {text::cp("   три пробела впереди"), " 9:05:00", "  :  :00", " 1.02.24",
         text::cp("  < Поставить на охрану"), false, text::cp(" Пользователь")},
        {QByteArray(250, 'B'), "23:59:59", "00:00:00", "31.12.99", text::cp("Ж").repeated(250),
         false, allLetters.left(250)},
        {{}, {}, {}, {}, {}, false, {}},
        {"A", "0", "1", "2", allLetters.mid(200), true, "x"},
    };
}

// The record number index of a burst of appends: each one different, so that a
// record in the wrong place or a torn one shows.
inline LogRecord burstRecord(int index) {
    const QByteArray n = QByteArray::number(index);
    return {text::cp("Объект ") + n,
            "10:00:00",
            "09:59:00",
            "05.06.24",
            text::cp("Событие номер ") + n + QByteArray(200, '.') + n,
            index % 2 == 0,
            text::cp("Оператор ") + n};
}

inline QByteArray contentOf(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

inline bool putContent(const QString& path, const QByteArray& content) {
    QFile f(path);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(content) == content.size();
}

} // namespace tirvon::log::samples
