#include "polling/PollingCycle.h"

namespace tirvon::station {

void PollingCycle::tick() {
    if (work_.modemWorkInProgress())
        return;
    ++count_;
    if (work_.hasQueuedMessage()) {
        work_.sendQueuedMessage();
        count_ = 0;
    }
    if (count_ == 5 || count_ == 10 || count_ == 15)
        work_.cmgl(work_.sendCommand(ListCommand));
    if (count_ == 10)
        work_.csq(work_.sendCommand(SignalQualityCommand));
    if (count_ >= CycleLength)
        count_ = 0;
}

} // namespace tirvon::station
