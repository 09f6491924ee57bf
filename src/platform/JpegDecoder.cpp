// The JPEG decoder's rows in a DIB section, which the picture control draws.
#include "platform/JpegDecoder.h"

#include "common/JpegRaster.h"

namespace {

constexpr int BitsPerPixel = 24;

class TDibTarget : public TJpegTarget {
public:
    unsigned char* Rows(int width, int height) override
    {
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof info.bmiHeader;
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = -height;  // top-down: row n is scan line n
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = BitsPerPixel;
        info.bmiHeader.biCompression = BI_RGB;
        void* pixels = nullptr;
        Bitmap.Reset(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &pixels, nullptr, 0));
        Width = width;
        Height = height;
        return Bitmap ? static_cast<unsigned char*>(pixels) : nullptr;
    }

    UniqueBitmap Bitmap;
    int Width = 0;
    int Height = 0;
};

}  // namespace

std::optional<DecodedJpeg> DecodeJpeg(const unsigned char* data, size_t size, const JpegLimits& limits)
{
    TDibTarget target;
    if (!DecodeJpegInto(data, size, limits, target)) return std::nullopt;
    return DecodedJpeg{std::move(target.Bitmap), target.Width, target.Height};
}
