// One line of the event log: "dd/mm/yyyy hh:nn:ss text" and CR LF, with the
// system's own date and time separators in place of "/" and ":".
#pragma once

#include <string>

#include "common/DateTime.h"

std::string LogLine(const CalendarDateTime& when, const std::string& dateSeparator,
                    const std::string& timeSeparator, const std::string& text);
