#pragma once

#include "failure/OperationFailure.h"

namespace tirvon::log {

// A failure of the log database: a table that is missing, damaged or in use by
// a running station, a record out of range, a write the disk refused. The
// message names the table; the programs show it as it stands.
class LogError : public OperationFailure {
public:
    using OperationFailure::OperationFailure;
};

} // namespace tirvon::log
