#include "calls/Calls.h"

#include "config/Schema.h"
#include "main/TextList.h"
#include "objects/ObjectRegistry.h"
#include "text/Cp1251.h"
#include "text/DateStamps.h"

#include <QFileInfo>

namespace tirvon::station {

namespace {

// A panel nobody sees, until the main window gives its own.
class NoCallPanel : public CallPanelView {
public:
    void setCallerName(const QString&) override {}
    void setCallerNumber(const QString&) override {}
    void setCallStatus(const QString&, CallStatusColour) override {}
    void setCallPanelVisible(bool) override {}
    void setMissedListButtonVisible(bool) override {}
    void showCallList(const QString&, const QString&) override {}
};

NoCallPanel noCallPanel;

const QByteArray NoObjectName = "None";

const QByteArray& unknownCaller() {
    static const QByteArray unknown = text::cp("Неизвестный");
    return unknown;
}

} // namespace

QByteArray callerNumber(const QByteArray& callerText) {
    const qsizetype open = callerText.indexOf('"');
    if (open < 0)
        return {};
    const qsizetype close = callerText.indexOf('"', open + 1);
    QByteArray number =
        close < 0 ? callerText.mid(open + 1) : callerText.mid(open + 1, close - open - 1);
    if (number.startsWith('+'))
        number.remove(0, 1);
    return number;
}

Calls::Calls(modem::ModemExchange& exchange, QTimer& pollingTimer, const ini::IniFile& iniFile,
             SoundRequests& sounds, ui::Prompt& prompt, QString programDirectory, Clock clock,
             QObject* parent)
    : QObject(parent), exchange_(exchange), pollingTimer_(pollingTimer), iniFile_(iniFile),
      sounds_(sounds), prompt_(prompt), programDirectory_(std::move(programDirectory)),
      clock_(std::move(clock)), view_(&noCallPanel) {
    timer4_.setObjectName(QStringLiteral("Timer4"));
    timer4_.setInterval(TimerIntervalMs);
    connect(&timer4_, &QTimer::timeout, this, &Calls::Timer4Timer);
    timer5_.setObjectName(QStringLiteral("Timer5"));
    timer5_.setInterval(TimerIntervalMs);
    connect(&timer5_, &QTimer::timeout, this, &Calls::Timer5Timer);
    timer5_.start();
}

template <typename Work> void Calls::guarded(Work work) {
    try {
        work();
    } catch (const TextListError& e) {
        prompt_.inform(e.message());
    }
}

QByteArray Calls::stamp() const {
    return clock_().toString(text::DateTimeFormat).toLatin1();
}

void Calls::appendToList(const QString& fileName, const QByteArray& line) {
    appendLine(programDirectory_, fileName, line);
}

void Calls::setStatus(const QString& status, CallStatusColour colour) {
    status_ = status;
    view_->setCallStatus(status_, colour);
}

void Calls::inccall(const QByteArray& callerText) {
    guarded([this, &callerText] {
        number_ = callerNumber(callerText);
        view_->setCallerNumber(text::toUnicode(number_));
        const QByteArray section = ObjectRegistry(iniFile_).search_sect_phone(number_);
        const QByteArray name = iniFile_.readString(section, config::key::Name, NoObjectName);
        const bool listed = name != NoObjectName;

        if ((policy_ == CallPolicy::AcceptListed && !listed) || policy_ == CallPolicy::RejectAll) {
            timer4_.start();
            const QByteArray logged =
                iniFile_.readString(section, config::key::Name, unknownCaller());
            appendToList(RejectedList, stamp() + '-' + logged + '/' + number_);
        }
        if (policy_ == CallPolicy::AcceptAll || (policy_ == CallPolicy::AcceptListed && listed)) {
            name_ = listed ? name : unknownCaller();
            view_->setCallerName(text::toUnicode(name_));
            view_->setCallPanelVisible(true);
            missed_ = 0;
            setStatus(Active, CallStatusColour::Blue);
            view_->setMissedListButtonVisible(false);
            sounds_.incomingCall = true;
        }
    });
}

void Calls::Timer4Timer() {
    timer4_.stop();
    pollingTimer_.stop();
    exchange_.delay(HangUpDelayMs);
    if (exchange_.isShutDown())
        return; // the program ends: no more modem work, no more polling
    exchange_.sendCommand("ATH");
    if (!exchange_.isShutDown())
        pollingTimer_.start();
}

void Calls::Timer5Timer() {
    if (status_ == Active)
        ++missed_;
    else
        missed_ = 0;
    if (missed_ != MissedAfterTicks)
        return;
    guarded([this] {
        setStatus(NotAccepted, CallStatusColour::Red);
        view_->setMissedListButtonVisible(true);
        appendToList(MissedList, name_ + '/' + number_);
    });
}

void Calls::SpeedButton1Click() {
    guarded([this] {
        exchange_.sendCommand("ATA");
        setStatus(Session, CallStatusColour::Blue);
        appendToList(AcceptedList, stamp() + '-' + name_ + '/' + number_);
    });
}

void Calls::rejectOrEnd() {
    const bool active = status_ == Active;
    const bool session = status_ == Session;
    if (active || session)
        timer4_.start();
    if (active) {
        appendToList(RejectedList, stamp() + '-' + name_ + '/' + number_);
        status_ = Rejected;
    }
    if (session)
        status_ = Ended;
    setStatus(status_, CallStatusColour::Red);
    view_->setMissedListButtonVisible(true);
}

void Calls::SpeedButton2Click() {
    guarded([this] { rejectOrEnd(); });
}

void Calls::SpeedButton3Click() {
    // A list that cannot be written ends the close with the panel still shown.
    guarded([this] {
        rejectOrEnd();
        view_->setCallPanelVisible(false);
    });
}

void Calls::showList(const QString& title, const QString& fileName) {
    const QString path = programDirectory_ + fileName;
    if (!QFileInfo::exists(path))
        return;
    view_->showCallList(title, path);
}

void Calls::N29Click() {
    showList(QStringLiteral("Неотвеченые вызовы"), MissedList);
}

void Calls::N30Click() {
    showList(QStringLiteral("Отбитые вызовы"), RejectedList);
}

void Calls::N27Click() {
    showList(QStringLiteral("Принятые вызовы"), AcceptedList);
}

} // namespace tirvon::station
