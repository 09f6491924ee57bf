// The clock the control program sees: the system's local clock in the program,
// a clock that the tests drive in the test build of it.
#pragma once

#include "common/DateTime.h"

TDateTime ProgramNow();
// True when the clock was set.
bool SetProgramClock(TDateTime localTime);
