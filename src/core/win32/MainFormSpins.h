// The configuration window's spin edits: their up-down buddies and ranges.
#pragma once

#include "core/win32/MainFormIds.h"

struct TSpinRange {
    int Edit;
    int UpDown;
    int Min, Max;
};

constexpr TSpinRange SpinRanges[] = {
    {IdTimeOutEdit, IdTimeOutUpDown, 15, 65535},
    {IdDurationSpinEdit, IdDurationUpDown, 1, 24},
};
