// The event log is written by the lock screen, which arrives later; until
// then there is nothing to log.
#include "core/win32/EventLog.h"

void LogEvent(const std::string&)
{
}
