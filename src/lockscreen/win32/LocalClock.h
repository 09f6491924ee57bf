// Setting the system clock from a local date-time, as the usage-time guard does
// to put back a clock that was moved.
#pragma once

#include <windows.h>

#include "common/DateTime.h"

// By the full rules of the current zone for that date, daylight saving included.
// Systems without those rules (before Windows XP) get LocalToSystemTimeByCurrentBias.
bool LocalToSystemTime(TDateTime local, SYSTEMTIME& utc);
// By the offset the zone has now, whatever the date; for zones without daylight
// saving it equals the full conversion.
bool LocalToSystemTimeByCurrentBias(TDateTime local, SYSTEMTIME& utc);

// True when the clock was set; then every top-level window is told of the change.
bool SetLocalClock(TDateTime localTime);
