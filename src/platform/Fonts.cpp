// Creation of the program's fonts.
#include "platform/Fonts.h"

#include "platform/GdiScopes.h"

HFONT CreateProgramFont(int height, bool bold)
{
    LOGFONTA font = {};
    font.lfHeight = height;
    font.lfWeight = bold ? FW_BOLD : FW_NORMAL;
    font.lfCharSet = DEFAULT_CHARSET;
    lstrcpynA(font.lfFaceName, ProgramFontFace, LF_FACESIZE);
    return CreateFontIndirectA(&font);
}

HFONT CreateProgramFontOfPoints(int points, bool bold)
{
    return CreateProgramFont(-MulDiv(points, GetDeviceCaps(WindowDcScope(nullptr).Get(), LOGPIXELSY), 72), bold);
}
