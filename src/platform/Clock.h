// The local clock as the program's date-time values.
#pragma once

#include "core/DateTime.h"

TDateTime Now();
