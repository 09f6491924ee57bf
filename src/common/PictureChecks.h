// The checks of picture files a user chooses, before any decoder sees them: which format
// the content is, and whether every header field promises only data the file really holds.
// Portable, so that it is unit-tested and fuzzed natively.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

using TBytes = std::vector<unsigned char>;

// A picture larger than this is refused before anything is allocated for it. Each side and the
// area are limited: a photo of 8192 x 8192 still fits, a forged header asking for gigabytes does not.
struct JpegLimits {
    int MaxSide = 16384;
    long long MaxPixels = 64LL * 1024 * 1024;
};
inline constexpr JpegLimits RasterLimits{};

// Little-endian header fields; the caller has checked that they lie inside the data.
std::uint16_t Word(const TBytes& b, size_t at);
std::int16_t SignedWord(const TBytes& b, size_t at);
std::uint32_t DoubleWord(const TBytes& b, size_t at);
std::int32_t SignedDoubleWord(const TBytes& b, size_t at);

bool WithinRasterLimits(long long width, long long height);

enum class Format { Unknown, Jpeg, Bitmap, Icon, Gif, PlaceableMetafile, Metafile, EnhancedMetafile };

inline constexpr size_t PlaceableHeaderBytes = 22;

Format FormatOf(const TBytes& b);

// True when the platform's decoder will find all the data the headers promise.
bool BitmapIsComplete(const TBytes& b);
bool IconIsComplete(const TBytes& b);
bool GifIsWithinLimits(const TBytes& b);

struct TMetaPoint {
    int X = 0, Y = 0;
};

struct MetafileFrame {
    size_t Bytes = 0;  // up to and with the end record
    TMetaPoint WindowOrigin;
    std::optional<TMetaPoint> WindowExtent;   // X: width, Y: height
};

// Each record inside the data, ending with the end record.
std::optional<MetafileFrame> WalkMetafile(const TBytes& b, size_t start);
// The length the header declares, when its records end with the end record inside it.
std::optional<size_t> WalkEnhancedMetafile(const TBytes& b);
