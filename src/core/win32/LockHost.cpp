// The lock screen's view of the program's globals and routines.
#include "core/win32/LockHost.h"

#include "core/win32/EventLog.h"
#include "core/win32/ProgramGlobals.h"
#include "core/win32/RequestShutdown.h"

TDateTime TLockHostOfProgram::TickTime() const
{
    return ::TickTime;
}

bool TLockHostOfProgram::TimeExpired() const
{
    return ::TimeExpired;
}

void TLockHostOfProgram::RequestShutdown()
{
    ::RequestShutdown();
}

void TLockHostOfProgram::Log(const std::string& text)
{
    LogEvent(text);
}
