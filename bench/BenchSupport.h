#pragma once

#include "log/LogRecord.h"
#include "text/Cp1251.h"
#include "ui/Prompt.h"

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>
#include <chrono>
#include <cstdio>
#include <cstdlib>

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

using Clock = std::chrono::steady_clock;

inline double seconds(Clock::duration d) {
    return std::chrono::duration<double>(d).count();
}
inline double milliseconds(Clock::duration d) {
    return std::chrono::duration<double, std::milli>(d).count();
}
inline double microseconds(Clock::duration d) {
    return std::chrono::duration<double, std::micro>(d).count();
}

// A bench's command line: counts first, then the folder it measures in, a
// temporary one (removed at the end) when none is given.
class Arguments {
public:
    Arguments(int argc, char** argv) : argc_(argc), argv_(argv) {}
    int count(int index, int fallback) const {
        return argc_ > index ? std::atoi(argv_[index]) : fallback;
    }
    QString folder(int index) const {
        return argc_ > index ? QString::fromLocal8Bit(argv_[index]) : temp_.path();
    }

private:
    int argc_;
    char** argv_;
    QTemporaryDir temp_;
};

} // namespace tirvon::bench
