// The local clock as the program's date-time values.
#pragma once

#include "common/DateTime.h"

TDateTime Now();
