// The average character size of a font, the unit that dialog layouts are measured in.
#pragma once

struct CharSize {
    int Cx;   // width of "A".."Za".."z" divided by 52
    int Cy;   // height of that text
};
