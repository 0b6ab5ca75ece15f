#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>
#include <optional>

namespace gsmsim {

struct ControllerConfig {
    QByteArray phone;    // as the station keeps it: digits without "+"; reports come from "+" phone
    QByteArray password; // first word of every command; may be empty
    QString name;        // for people only: shown by the CONTROLLERS control line
};

// How a controller was armed or disarmed; each has its own report line.
enum class ArmingMethod {
    Key,     // "ARM T:" / "DISARM T:" + the electronic key's code
    Button,  // "ARM B" / "DISARM B"
    Sms,     // "ARM SMS:" / "DISARM SMS:" + the sender's number
    Station, // the station's command: the word alone ends the report
};

// An ATM security controller without any I/O. It holds its signals, arming state and clock;
// every event method changes that state and returns the report the controller sends for it, as
// code page 1251 bytes with the lines joined by LF (the modem adds its CR LF when listing). The
// first line is the controller's time hh:mm, except in test reports, which start with "TEST".
//
// Signals and their values: inputs IN1..IN8 (CLOSE, OPEN), relays RELE1, RELE2 and outputs
// OUT1..OUT5 (OFF, ON), POWER (OK, FAULT) and BATTERY (charge in percent).
class SimulatedController {
public:
    static constexpr int kInputs = 8;

    explicit SimulatedController(ControllerConfig config, QByteArray stationNumber = "79160000000");

    const ControllerConfig& config() const { return m_config; }
    bool armed() const { return m_armed; }
    bool powerOk() const { return signal("POWER") == "OK"; }
    int battery() const { return signal("BATTERY").value_or("0").toInt(); }
    // The value of a signal; nothing for a name the controller does not have.
    std::optional<QByteArray> signal(const QByteArray& name) const;
    QDateTime clock(const QDateTime& now) const { return now.addSecs(m_clockOffsetSeconds); }

    // All inputs, then POWER and BATTERY.
    QByteArray stateReport(const QDateTime& now) const;
    // "TEST", the time, "ARM" or "DISARM", POWER and BATTERY.
    QByteArray testReport(const QDateTime& now) const;
    // An input (1..8) opens or closes: an alarm report when it opens while armed, otherwise a
    // state report with its line.
    QByteArray inputChanged(int input, bool open, const QDateTime& now);
    // An input (1..8) opens and the controller raises the alarm whatever its arming state.
    QByteArray alarm(int input, const QDateTime& now);
    // detail is the key's code for Key and the number for Sms, unused otherwise.
    QByteArray arm(ArmingMethod method, const QByteArray& detail, const QDateTime& now);
    QByteArray disarm(ArmingMethod method, const QByteArray& detail, const QDateTime& now);
    QByteArray powerChanged(bool ok, const QDateTime& now);
    QByteArray batteryChanged(int percent, const QDateTime& now);

    // A command as it arrives by SMS: "/" + password + " " + body, possibly followed by the
    // CR LF the station puts before Ctrl-Z. Returns the answer, or nothing when the controller
    // stays silent: wrong password, unknown body, or a state-changing command without the
    // confirmation mark " !" (acted on, not answered).
    //   ARM, DISARM                 -> arms or disarms; the word alone ends the answer
    //   <RELEn|OUTn> ON, ... OFF    -> switches; answers "<name> ON" or "<name> OFF"
    //   <name> ? <name> ? ...       -> answers the listed signals' values (unknown names left out)
    //   TEST                        -> answers with a test report
    //   LISTEN                      -> "LISTEN +" station number; "LISTEN NO" without mains power
    //   SETTIME dd.mm.yy.hh:mm      -> sets the clock; answers POWER and BATTERY at the new time
    //   TTIME <points> or TTIME OFF -> keeps the test points; answers "TTIME <points>"
    std::optional<QByteArray> takeCommand(const QByteArray& text, const QDateTime& now);

private:
    struct Signal {
        QByteArray name;
        QByteArray value;
    };

    QByteArray report(const QDateTime& now, const QList<QByteArray>& lines) const;
    QByteArray armingReport(bool arm, ArmingMethod method, const QByteArray& detail,
                            const QDateTime& now);
    QByteArray signalLine(const QByteArray& name) const;
    void setSignal(const QByteArray& name, const QByteArray& value);
    std::optional<QByteArray> pollAnswer(const QByteArray& body, const QDateTime& now) const;
    bool setClock(const QByteArray& dateTime, const QDateTime& now);

    ControllerConfig m_config;
    QByteArray m_stationNumber;
    QList<Signal> m_signals; // in report order
    bool m_armed = true;
    qint64 m_clockOffsetSeconds = 0;
    QByteArray m_testPoints = "OFF";
};

QByteArray inputName(int input);

} // namespace gsmsim
