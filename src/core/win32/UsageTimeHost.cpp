// The usage-time tick's requests as platform calls.
#include "core/win32/UsageTimeHost.h"

#include <windows.h>

#include "core/win32/EventLog.h"
#include "core/win32/MainForm.h"
#include "core/win32/ProgramClock.h"
#include "core/win32/ProgramGlobals.h"
#include "core/win32/RequestShutdown.h"
#include "platform/ReportFailure.h"
#include "settings/DStorage.h"

TDateTime TUsageTimeHost::Now()
{
    return ProgramNow();
}

void TUsageTimeHost::SetLocalClock(TDateTime localTime)
{
    SetProgramClock(localTime);
}

std::optional<std::string> TUsageTimeHost::WriteValue(const char* key, int32_t value)
{
    // A store of its own for each write: no file stays open between ticks.
    try {
        TDStorage storage(SettingsFileName, true);
        storage.WriteString(CurrentProfile, key, std::to_string(value));
        return std::nullopt;
    } catch (const EInOutError& error) {
        return SettingsFileName + ": " + SystemErrorText(error.ErrorCode);
    } catch (const std::exception& error) {
        return SettingsFileName + ": " + error.what();
    }
}

void TUsageTimeHost::PostLock()
{
    PostMessageA(Form.Handle(), HalvexMessage, RequestLock, 0);
}

void TUsageTimeHost::RequestShutdown()
{
    ::RequestShutdown();
}

void TUsageTimeHost::Log(const std::string& text)
{
    LogEvent(text);
}

void TUsageTimeHost::Warn(const std::string& text)
{
    Form.ShowBalloon(text);
}
