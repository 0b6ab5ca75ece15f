#pragma once

#include "log/LogRecord.h"
#include "text/Cp1251.h"
#include "ui/Prompt.h"

#include <QByteArray>
#include <cstdio>

namespace tirvon::bench {

// The prompt of a measuring run: messages go to the error stream, questions
// are answered yes, no file is ever picked.
class SilentPrompt : public ui::Prompt {
public:
    void inform(const QString& text) override {
        std::fprintf(stderr, "message: %s\n", qPrintable(text));
    }
    bool confirm(const QString&) override { return true; }
    QString pickFile(const QString&, const QString& = QString()) override { return {}; }
    QString pickSaveFile(const QString&, const QString&) override { return {}; }
};

// The n-th record of a big log: every field well filled, alarm texts.
inline log::LogRecord bigLogRecord(int n) {
    return {text::cp("Банкомат №") + QByteArray::number(n % 99 + 1),
            "12:00:01",
            "11:59:00",
            "05.06.24",
            text::cp("Тревога!!! Дверь ОТКРЫТА, событие ") + QByteArray::number(n),
            false,
            text::cp("Иванов И.И.")};
}

// Windows are measured on the offscreen platform unless the caller chose one.
inline void offscreenUnlessTold() {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
}

} // namespace tirvon::bench
