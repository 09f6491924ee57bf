// JPEG decoding with libjpeg into a 24-bit DIB section, for pictures the user chooses.
#pragma once

#include <windows.h>

#include <cstddef>
#include <optional>

#include "platform/UniqueHandle.h"

struct DecodedJpeg {
    UniqueBitmap Bitmap;   // 24-bit top-down DIB section
    int Width = 0;
    int Height = 0;
};

// A picture larger than this is refused before anything is allocated for it. Each side and the
// area are limited: a photo of 8192 x 8192 still fits, a forged header asking for gigabytes does not.
struct JpegLimits {
    int MaxSide = 16384;
    long long MaxPixels = 64LL * 1024 * 1024;
};

// nullopt when the data is not a complete JPEG of a supported kind (baseline, extended or
// progressive; grey, YCbCr, RGB, CMYK or YCCK) or exceeds the limits. A truncated file is
// refused rather than shown with libjpeg's grey fill. libjpeg's messages are never printed.
std::optional<DecodedJpeg> DecodeJpeg(const unsigned char* data, size_t size, const JpegLimits& limits = {});
