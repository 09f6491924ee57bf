// libFuzzer over the checks of user-chosen picture files and the JPEG decoder, dispatched by
// format as the program does before any platform decoder sees the data.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "common/JpegRaster.h"
#include "common/PictureChecks.h"

namespace {

// Smaller than the program's limits, so that a forged large picture cannot exhaust the run.
constexpr JpegLimits FuzzLimits{2048, 1024 * 1024};

class TRows : public TJpegTarget {
public:
    unsigned char* Rows(int width, int height) override
    {
        Pixels.assign(JpegRowStride(width) * static_cast<size_t>(height), 0);
        return Pixels.data();
    }
    std::vector<unsigned char> Pixels;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const TBytes bytes(data, data + size);
    switch (FormatOf(bytes)) {
    case Format::Jpeg: {
        TRows rows;
        DecodeJpegInto(bytes.data(), bytes.size(), FuzzLimits, rows);
        break;
    }
    case Format::Bitmap: BitmapIsComplete(bytes); break;
    case Format::Icon: IconIsComplete(bytes); break;
    case Format::Gif: GifIsWithinLimits(bytes); break;
    case Format::PlaceableMetafile: WalkMetafile(bytes, PlaceableHeaderBytes); break;
    case Format::Metafile: WalkMetafile(bytes, 0); break;
    case Format::EnhancedMetafile: WalkEnhancedMetafile(bytes); break;
    case Format::Unknown: break;
    }
    return 0;
}
