// The average character size of the font selected into a device context.
#pragma once

#include <windows.h>

#include "common/CharSize.h"

CharSize AverageCharSize(HDC dc);
