// JPEG decoding into 24-bit BGR rows, for pictures the user chooses: portable, so that it is
// fuzzed natively. The Win32 layer gives it a DIB section's rows.
#pragma once

#include <cstddef>

#include "common/PictureChecks.h"

// Where the decoded rows go. Asked once the size is known and within the limits; returns the
// first byte of height top-down rows of JpegRowStride(width) bytes, or nullptr to refuse. It
// must not throw: the decoder's errors jump past it.
class TJpegTarget {
public:
    virtual unsigned char* Rows(int width, int height) = 0;

protected:
    ~TJpegTarget() = default;
};

size_t JpegRowStride(int width);

// False when the data is not a complete JPEG of a supported kind (baseline, extended or
// progressive; grey, YCbCr, RGB, CMYK or YCCK), exceeds the limits, or the target refused.
// A truncated file is refused rather than shown with libjpeg's grey fill.
bool DecodeJpegInto(const unsigned char* data, size_t size, const JpegLimits& limits, TJpegTarget& target);
