#pragma once

#include "ini/IniFile.h"
#include "modem/ModemExchange.h"
#include "sound/SoundRequests.h"
#include "ui/Prompt.h"

#include <QByteArray>
#include <QDateTime>
#include <QObject>
#include <QString>
#include <QTimer>
#include <functional>

namespace tirvon::station {

// Which calls the desk shows and which it hangs up (menu "Вызовы").
enum class CallPolicy {
    AcceptAll,    // N24 "Принимать все"
    AcceptListed, // N23 "Принимать только из списка", the choice at every start
    RejectAll,    // N22 "Отбивать все"
};

enum class CallStatusColour { Blue, Red };

// The call panel GroupBox1 of the main window and the list window behind it.
class CallPanelView {
public:
    virtual ~CallPanelView() = default;
    virtual void setCallerName(const QString& name) = 0;                            // Label10
    virtual void setCallerNumber(const QString& number) = 0;                        // Label8
    virtual void setCallStatus(const QString& status, CallStatusColour colour) = 0; // Label12
    virtual void setCallPanelVisible(bool visible) = 0;                             // GroupBox1
    virtual void setMissedListButtonVisible(bool visible) = 0;                      // Button3
    // The list window with the lines of that file.
    virtual void showCallList(const QString& title, const QString& path) = 0;
};

// The caller's number in the caller text ("+CLIP: " and the quoted number): what
// stands between the quotes, without a leading "+", in the form the objects'
// Phone keys hold it. Without a closing quote, the rest of the text.
QByteArray callerNumber(const QByteArray& callerText);

// Incoming calls: the call policy, the call panel and its status, the hang-up
// (Timer4), the missed-call count (Timer5) and the three call lists of the
// program directory. The exchange hands calls over here; the operator's buttons
// and menu items come through the main window.
class Calls : public QObject, public modem::CallHandover {
    Q_OBJECT
public:
    using Clock = std::function<QDateTime()>;

    static constexpr int TimerIntervalMs = 1000;
    static constexpr unsigned HangUpDelayMs = 5000;
    static constexpr int MissedAfterTicks = 7;

    static inline const QString Active = QStringLiteral("Вызов Активен");
    static inline const QString Session = QStringLiteral("Сеанс связи");
    static inline const QString NotAccepted = QStringLiteral("Вызов не принят!");
    static inline const QString Rejected = QStringLiteral("Вызов Отклонен");
    static inline const QString Ended = QStringLiteral("Вызов завершен");

    static inline const QString AcceptedList = QStringLiteral("answer.txt");
    static inline const QString RejectedList = QStringLiteral("resanswer.txt");
    static inline const QString MissedList = QStringLiteral("Noanswer.txt");

    Calls(modem::ModemExchange& exchange, QTimer& pollingTimer, const ini::IniFile& iniFile,
          SoundRequests& sounds, ui::Prompt& prompt, QString programDirectory, Clock clock,
          QObject* parent = nullptr);

    void setView(CallPanelView& view) { view_ = &view; }
    void setPolicy(CallPolicy policy) { policy_ = policy; }
    CallPolicy policy() const { return policy_; }

    // The exchange reports a call (each RING while the caller waits).
    void inccall(const QByteArray& callerText) override;

    void Timer4Timer();       // the hang-up
    void Timer5Timer();       // missed calls
    void SpeedButton1Click(); // "Принять вызов"
    void SpeedButton2Click(); // "Отклонить/завершить"
    void SpeedButton3Click(); // "Закрыть"
    void Button3Click() { N29Click(); }
    void N29Click(); // missed calls
    void N30Click(); // rejected calls
    void N27Click(); // accepted calls

    QTimer& timer4() { return timer4_; }
    QTimer& timer5() { return timer5_; }
    const QString& status() const { return status_; }
    int missedCount() const { return missed_; }

private:
    void setStatus(const QString& status, CallStatusColour colour);
    void rejectOrEnd();
    void appendToList(const QString& fileName, const QByteArray& line);
    QByteArray stamp() const;
    void showList(const QString& title, const QString& fileName);
    // Runs a handler; a call list that cannot be written ends it, shown to the
    // operator.
    template <typename Work> void guarded(Work work);

    modem::ModemExchange& exchange_;
    QTimer& pollingTimer_;
    const ini::IniFile& iniFile_;
    SoundRequests& sounds_;
    ui::Prompt& prompt_;
    QString programDirectory_;
    Clock clock_;
    CallPanelView* view_;
    QTimer timer4_;
    QTimer timer5_;
    CallPolicy policy_ = CallPolicy::AcceptListed;
    QString status_;
    QByteArray name_;   // Label10, CP1251
    QByteArray number_; // Label8
    int missed_ = 0;
};

} // namespace tirvon::station
