#pragma once

#include "ui/Placement.h"

namespace tirvon::station {
using ui::centreOnScreen;
} // namespace tirvon::station
