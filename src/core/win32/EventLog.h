// The event log of the lock screen: one plain-text file per profile.
#pragma once

#include <string>

void LogEvent(const std::string& text);
