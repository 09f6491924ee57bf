// Where the password dialogs put their controls, in pixels, from the dialog
// font's average character size. Kept apart from the windows so the layout
// can be checked against its arithmetic without a screen.
#pragma once

#include <cstdint>

#include "common/CharSize.h"

// As the platform's MulDiv (named apart so this header can sit beside
// <windows.h>): a * b / c in 64 bits, rounded to the nearest
// integer (halves away from zero); -1 when c is 0 or the result overflows.
int32_t RoundedMulDiv(int32_t a, int32_t b, int32_t c);


struct Placement {
    int Left, Top, Width, Height;   // Height 0: the control's own default
};

struct PasswordDialogLayout {
    int ClientWidth, ClientHeight;
    Placement Label1, Edit1, Label2, Edit2, Ok, Cancel;   // Label2, Edit2: two-field dialog only
};

PasswordDialogLayout SingleFieldLayout(CharSize size);
PasswordDialogLayout TwoFieldLayout(CharSize size);
