// What the usage-time tick asks of the program, carried out for the
// configuration window: its clock, its settings file, its lock request, the
// shutdown, the event log and the tray icon's balloon.
#pragma once

#include "core/UsageTime.h"

class TMainForm;

class TUsageTimeHost : public TUsageHost {
public:
    explicit TUsageTimeHost(TMainForm& form) : Form(form) {}

    TDateTime Now() override;
    void SetLocalClock(TDateTime localTime) override;
    std::optional<std::string> WriteValue(const char* key, int32_t value) override;
    void PostLock() override;
    void RequestShutdown() override;
    void Log(const std::string& text) override;
    void Warn(const std::string& text) override;

private:
    TMainForm& Form;
};
