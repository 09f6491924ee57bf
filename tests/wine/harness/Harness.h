// Everything a Windows-side test needs to drive a program as a user or another program would.
#pragma once

#include "harness/AppDir.h"
#include "harness/CallSite.h"
#include "harness/Controls.h"
#include "harness/MessageBoxes.h"
#include "harness/Process.h"
#include "harness/SystemError.h"
#include "harness/TopWindows.h"
#include "harness/Wait.h"
