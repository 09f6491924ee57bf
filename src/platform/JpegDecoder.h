// JPEG decoding with libjpeg into a 24-bit DIB section, for pictures the user chooses.
#pragma once

#include <windows.h>

#include <cstddef>
#include <optional>

#include "common/PictureChecks.h"
#include "platform/UniqueHandle.h"

struct DecodedJpeg {
    UniqueBitmap Bitmap;   // 24-bit top-down DIB section
    int Width = 0;
    int Height = 0;
};

// nullopt when the data is not a complete JPEG of a supported kind (baseline, extended or
// progressive; grey, YCbCr, RGB, CMYK or YCCK) or exceeds the limits. A truncated file is
// refused rather than shown with libjpeg's grey fill. libjpeg's messages are never printed.
std::optional<DecodedJpeg> DecodeJpeg(const unsigned char* data, size_t size, const JpegLimits& limits = {});
