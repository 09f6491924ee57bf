// Header and length checks of picture files, over the bytes alone.
#include "common/PictureChecks.h"

#include <cstring>

namespace {

// The platform's numbers for what the checks read, as the file formats define them.
constexpr std::uint32_t BitmapRgb = 0, BitmapRle8 = 1, BitmapRle4 = 2, BitmapBitFields = 3;
constexpr std::uint32_t EnhancedHeaderRecord = 1, EnhancedEndRecord = 14;
constexpr std::uint16_t MetaSetWindowOrigin = 0x020B, MetaSetWindowExtent = 0x020C;
constexpr std::uint32_t PlaceableKey = 0x9AC6CDD7;
constexpr std::uint32_t EnhancedSignature = 0x464D4520;  // " EMF"
constexpr size_t MetaHeaderBytes = 18;
constexpr size_t EnhancedHeaderMinBytes = 80;

}  // namespace

// --- Reading the header fields of the formats, little-endian, bounds checked by the callers ---

std::uint16_t Word(const TBytes& b, size_t at) { return static_cast<std::uint16_t>(b[at] | b[at + 1] << 8); }
std::int16_t SignedWord(const TBytes& b, size_t at) { return static_cast<std::int16_t>(Word(b, at)); }
std::uint32_t DoubleWord(const TBytes& b, size_t at)
{
    return static_cast<std::uint32_t>(Word(b, at)) | static_cast<std::uint32_t>(Word(b, at + 2)) << 16;
}
std::int32_t SignedDoubleWord(const TBytes& b, size_t at) { return static_cast<std::int32_t>(DoubleWord(b, at)); }

bool WithinRasterLimits(long long width, long long height)
{
    return width > 0 && height > 0 && width <= RasterLimits.MaxSide && height <= RasterLimits.MaxSide &&
           width * height <= RasterLimits.MaxPixels;
}

Format FormatOf(const TBytes& b)
{
    const size_t n = b.size();
    if (n >= 3 && b[0] == 0xFF && b[1] == 0xD8 && b[2] == 0xFF) return Format::Jpeg;
    if (n >= 2 && b[0] == 'B' && b[1] == 'M') return Format::Bitmap;
    if (n >= 6 && (std::memcmp(b.data(), "GIF87a", 6) == 0 || std::memcmp(b.data(), "GIF89a", 6) == 0))
        return Format::Gif;
    if (n >= 4 && DoubleWord(b, 0) == PlaceableKey) return Format::PlaceableMetafile;
    if (n >= 44 && DoubleWord(b, 0) == EnhancedHeaderRecord && DoubleWord(b, 40) == EnhancedSignature)
        return Format::EnhancedMetafile;
    if (n >= 6 && Word(b, 0) == 0 && Word(b, 2) == 1 && Word(b, 4) > 0) return Format::Icon;
    if (n >= MetaHeaderBytes && (Word(b, 0) == 1 || Word(b, 0) == 2) && Word(b, 2) == MetaHeaderBytes / 2 &&
        (Word(b, 4) == 0x0100 || Word(b, 4) == 0x0300))
        return Format::Metafile;
    return Format::Unknown;
}

// --- Checks that the platform decoders will find all the data their headers promise ---

bool BitmapIsComplete(const TBytes& b)
{
    constexpr size_t FileHeaderBytes = 14;
    constexpr std::uint32_t CoreHeaderBytes = 12;
    constexpr std::uint32_t InfoHeaderBytes = 40;
    if (b.size() < FileHeaderBytes + CoreHeaderBytes) return false;
    const std::uint32_t pixelsAt = DoubleWord(b, 10);
    const std::uint32_t headerBytes = DoubleWord(b, FileHeaderBytes);
    if (headerBytes != CoreHeaderBytes && (headerBytes < InfoHeaderBytes || headerBytes > b.size())) return false;
    if (pixelsAt < FileHeaderBytes + headerBytes || pixelsAt >= b.size()) return false;

    long long width, height;
    unsigned bitsPerPixel;
    std::uint32_t compression = BitmapRgb, imageBytes = 0;
    if (headerBytes == CoreHeaderBytes) {
        width = Word(b, 18);
        height = Word(b, 20);
        bitsPerPixel = Word(b, 24);
    } else {
        width = SignedDoubleWord(b, 18);
        height = SignedDoubleWord(b, 22);
        bitsPerPixel = Word(b, 28);
        compression = DoubleWord(b, 30);
        imageBytes = DoubleWord(b, 34);
    }
    if (height < 0) height = -height;  // top-down
    if (!WithinRasterLimits(width, height)) return false;

    const unsigned long long available = b.size() - pixelsAt;
    switch (compression) {
    case BitmapRgb:
    case BitmapBitFields: {
        if (bitsPerPixel != 1 && bitsPerPixel != 4 && bitsPerPixel != 8 && bitsPerPixel != 16 &&
            bitsPerPixel != 24 && bitsPerPixel != 32)
            return false;
        const unsigned long long stride = (static_cast<unsigned long long>(width) * bitsPerPixel + 31) / 32 * 4;
        return stride * static_cast<unsigned long long>(height) <= available;
    }
    case BitmapRle8:
    case BitmapRle4:
        return bitsPerPixel == (compression == BitmapRle8 ? 8u : 4u) && imageBytes > 0 && imageBytes <= available;
    default:
        return false;  // JPEG or PNG inside a bitmap: not supported by the platform's loader
    }
}

bool IconIsComplete(const TBytes& b)
{
    constexpr size_t DirectoryHeaderBytes = 6;
    constexpr size_t EntryBytes = 16;
    const size_t count = Word(b, 4);
    const size_t directoryEnd = DirectoryHeaderBytes + count * EntryBytes;
    if (b.size() < directoryEnd) return false;
    for (size_t i = 0; i < count; ++i) {
        const size_t entry = DirectoryHeaderBytes + i * EntryBytes;
        const unsigned long long bytes = DoubleWord(b, entry + 8);
        const unsigned long long at = DoubleWord(b, entry + 12);
        if (bytes == 0 || at < directoryEnd || at + bytes > b.size()) return false;
    }
    return true;
}

bool GifIsWithinLimits(const TBytes& b)
{
    constexpr size_t ScreenDescriptorEnd = 13;
    return b.size() >= ScreenDescriptorEnd && WithinRasterLimits(Word(b, 6), Word(b, 8));
}

// --- Metafile record walks: each record inside the data, ending with the end record ---

std::optional<MetafileFrame> WalkMetafile(const TBytes& b, size_t start)
{
    constexpr std::uint16_t EndRecord = 0x0000;
    constexpr std::uint32_t MinRecordWords = 3;
    if (b.size() < start + MetaHeaderBytes || Word(b, start + 2) != MetaHeaderBytes / 2) return std::nullopt;
    MetafileFrame frame;
    bool originSeen = false;
    for (size_t at = start + MetaHeaderBytes; at + 6 <= b.size();) {
        const unsigned long long recordBytes = 2ULL * DoubleWord(b, at);
        const std::uint16_t function = Word(b, at + 4);
        if (recordBytes < 2 * MinRecordWords || at + recordBytes > b.size()) return std::nullopt;
        // Parameters are stored last first: y, then x.
        if (recordBytes >= 10 && function == MetaSetWindowOrigin && !originSeen) {
            frame.WindowOrigin = TMetaPoint{SignedWord(b, at + 8), SignedWord(b, at + 6)};
            originSeen = true;
        } else if (recordBytes >= 10 && function == MetaSetWindowExtent && !frame.WindowExtent) {
            frame.WindowExtent = TMetaPoint{SignedWord(b, at + 8), SignedWord(b, at + 6)};
        }
        at += static_cast<size_t>(recordBytes);
        if (function == EndRecord) {
            frame.Bytes = at - start;
            return frame;
        }
    }
    return std::nullopt;
}

std::optional<size_t> WalkEnhancedMetafile(const TBytes& b)
{
    if (b.size() < EnhancedHeaderMinBytes || DoubleWord(b, 4) < EnhancedHeaderMinBytes) return std::nullopt;
    const unsigned long long total = DoubleWord(b, 48);
    if (total > b.size()) return std::nullopt;
    for (size_t at = 0; at + 8 <= total;) {
        const std::uint32_t type = DoubleWord(b, at);
        const std::uint32_t recordBytes = DoubleWord(b, at + 4);
        if (recordBytes < 8 || recordBytes % 4 != 0 || at + recordBytes > total) return std::nullopt;
        at += recordBytes;
        if (type == EnhancedEndRecord) return static_cast<size_t>(total);  // the length the header declares
    }
    return std::nullopt;
}

