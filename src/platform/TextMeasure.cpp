// Measured over the 52 letters, as dialog units are.
#include "platform/TextMeasure.h"

CharSize AverageCharSize(HDC dc)
{
    constexpr int Letters = 52;
    char buffer[Letters];
    for (int i = 0; i < 26; ++i) {
        buffer[i] = static_cast<char>('A' + i);
        buffer[26 + i] = static_cast<char>('a' + i);
    }
    SIZE extent = {0, 0};
    GetTextExtentPointA(dc, buffer, Letters, &extent);
    return {extent.cx / Letters, extent.cy};
}
