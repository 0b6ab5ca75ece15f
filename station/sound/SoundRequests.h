#pragma once

namespace tirvon::station {

// Sounds asked for by the station's work areas. Any of them raises a request;
// only the sound player plays them, in its own time.
struct SoundRequests {
    bool alarm = false;
    bool outgoingEvent = false;
    bool incomingEvent = false;
    bool batteryDischarged = false;
    bool mainsFailure = false;
    bool armed = false;
    bool disarmed = false;
    bool incomingCall = false;
    bool missedTest = false;

    void clear() { *this = SoundRequests{}; }
};

} // namespace tirvon::station
