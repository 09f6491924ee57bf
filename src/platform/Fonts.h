// The program's fonts: "MS Sans Serif", the face its windows are laid out for.
#pragma once

#include <windows.h>

constexpr char ProgramFontFace[] = "MS Sans Serif";

// height in pixels as LOGFONT takes it: negative for the character height.
HFONT CreateProgramFont(int height, bool bold = false);
// In points at the screen's resolution.
HFONT CreateProgramFontOfPoints(int points, bool bold = false);
