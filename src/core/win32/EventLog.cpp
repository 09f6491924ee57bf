// The lock screen's logging routine: the configuration window keeps the log.
#include "core/win32/EventLog.h"

#include "core/win32/MainForm.h"

void LogEvent(const std::string& text)
{
    if (MainForm) MainForm->WriteLogEvent(text);
}
