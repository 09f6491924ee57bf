// The program's clock is the system's local clock.
#include "core/win32/ProgramClock.h"

#include "lockscreen/win32/LocalClock.h"
#include "platform/Clock.h"

TDateTime ProgramNow()
{
    return Now();
}

bool SetProgramClock(TDateTime localTime)
{
    return SetLocalClock(localTime);
}
