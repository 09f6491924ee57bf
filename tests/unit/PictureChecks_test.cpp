// The checks of user-chosen picture files: the format by content, headers that promise more
// than the file holds, forged sizes, metafile record walks, and the JPEG decoder's refusals.
#include "common/JpegRaster.h"
#include "common/PictureChecks.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

TBytes Seed(const std::string& name)
{
    std::ifstream file(std::string(HALVEX_PICTURE_SEEDS) + "/" + name, std::ios::binary);
    return TBytes(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

TBytes Truncated(TBytes bytes, size_t drop)
{
    bytes.resize(bytes.size() > drop ? bytes.size() - drop : 0);
    return bytes;
}

void PutWord(TBytes& b, size_t at, unsigned value)
{
    b[at] = static_cast<unsigned char>(value);
    b[at + 1] = static_cast<unsigned char>(value >> 8);
}

void PutDoubleWord(TBytes& b, size_t at, unsigned long value)
{
    PutWord(b, at, static_cast<unsigned>(value & 0xFFFF));
    PutWord(b, at + 2, static_cast<unsigned>(value >> 16));
}

// A Windows metafile: its header, a window extent of 320 x 200, and the end record.
TBytes SmallMetafile()
{
    TBytes b(18 + 10 + 6, 0);
    PutWord(b, 0, 1);         // in memory
    PutWord(b, 2, 9);         // header words
    PutWord(b, 4, 0x0300);    // version
    PutDoubleWord(b, 18, 5);  // record words
    PutWord(b, 22, 0x020C);   // SetWindowExt: y, then x
    PutWord(b, 24, 200);
    PutWord(b, 26, 320);
    PutDoubleWord(b, 28, 3);  // the end record
    PutWord(b, 32, 0);
    return b;
}

TEST(PictureChecks, FormatByContent)
{
    const struct {
        const char* Seed;
        Format Expected;
    } cases[] = {{"rgb.jpg", Format::Jpeg},  {"gray.jpg", Format::Jpeg}, {"cmyk.jpg", Format::Jpeg},
                 {"rgb.bmp", Format::Bitmap}, {"small.gif", Format::Gif}, {"small.ico", Format::Icon}};
    for (const auto& c : cases) {
        TBytes bytes = Seed(c.Seed);
        ASSERT_FALSE(bytes.empty()) << c.Seed;
        EXPECT_EQ(FormatOf(bytes), c.Expected) << c.Seed;
        EXPECT_EQ(FormatOf(Truncated(bytes, bytes.size() - 1)), Format::Unknown) << c.Seed << ", one byte of it";
    }
    EXPECT_EQ(FormatOf(SmallMetafile()), Format::Metafile);
    EXPECT_EQ(FormatOf(TBytes{}), Format::Unknown);
}

TEST(PictureChecks, HeadersMustNotPromiseMoreThanTheFileHolds)
{
    TBytes bitmap = Seed("rgb.bmp"), icon = Seed("small.ico"), gif = Seed("small.gif");
    EXPECT_TRUE(BitmapIsComplete(bitmap));
    EXPECT_FALSE(BitmapIsComplete(Truncated(bitmap, 1))) << "a pixel row short";
    TBytes wide = bitmap;
    PutDoubleWord(wide, 18, 100000);  // a forged width
    EXPECT_FALSE(BitmapIsComplete(wide));
    TBytes far = bitmap;
    PutDoubleWord(far, 10, 0xFFFFFFF0);  // pixels past the end
    EXPECT_FALSE(BitmapIsComplete(far));

    EXPECT_TRUE(IconIsComplete(icon));
    EXPECT_FALSE(IconIsComplete(Truncated(icon, 1)));
    TBytes many = icon;
    PutWord(many, 4, 60000);  // a directory larger than the file
    EXPECT_FALSE(IconIsComplete(many));

    EXPECT_TRUE(GifIsWithinLimits(gif));
    TBytes huge = gif;
    PutWord(huge, 6, 65535);
    PutWord(huge, 8, 65535);
    EXPECT_FALSE(GifIsWithinLimits(huge));
}

TEST(PictureChecks, MetafileRecordsEndInsideTheData)
{
    TBytes metafile = SmallMetafile();
    std::optional<MetafileFrame> frame = WalkMetafile(metafile, 0);
    ASSERT_TRUE(frame);
    EXPECT_EQ(frame->Bytes, metafile.size());
    ASSERT_TRUE(frame->WindowExtent);
    EXPECT_EQ(frame->WindowExtent->X, 320);
    EXPECT_EQ(frame->WindowExtent->Y, 200);

    EXPECT_FALSE(WalkMetafile(Truncated(metafile, 1), 0)) << "no end record";
    TBytes empty = metafile;
    PutDoubleWord(empty, 18, 0);  // a record of no length would never end
    EXPECT_FALSE(WalkMetafile(empty, 0));
    TBytes past = metafile;
    PutDoubleWord(past, 18, 0x7FFFFFFF);
    EXPECT_FALSE(WalkMetafile(past, 0));
    EXPECT_FALSE(WalkEnhancedMetafile(metafile));
}

class TRows : public TJpegTarget {
public:
    explicit TRows(bool refuse = false) : Refuse(refuse) {}
    unsigned char* Rows(int width, int height) override
    {
        Width = width;
        Height = height;
        Pixels.assign(JpegRowStride(width) * static_cast<size_t>(height), 0);
        return Refuse ? nullptr : Pixels.data();
    }
    bool Refuse;
    int Width = 0, Height = 0;
    std::vector<unsigned char> Pixels;
};

TEST(PictureChecks, JpegDecodesSupportedKindsAndRefusesTheRest)
{
    const struct {
        const char* Seed;
        int Width, Height;
    } cases[] = {{"rgb.jpg", 4, 3}, {"gray.jpg", 5, 2}, {"progressive.jpg", 3, 3}, {"cmyk.jpg", 3, 2}};
    for (const auto& c : cases) {
        TBytes bytes = Seed(c.Seed);
        TRows rows;
        ASSERT_TRUE(DecodeJpegInto(bytes.data(), bytes.size(), RasterLimits, rows)) << c.Seed;
        EXPECT_EQ(rows.Width, c.Width) << c.Seed;
        EXPECT_EQ(rows.Height, c.Height) << c.Seed;

        TRows cut;
        EXPECT_FALSE(DecodeJpegInto(bytes.data(), bytes.size() / 2, RasterLimits, cut)) << c.Seed << " cut in half";
        TRows small;
        EXPECT_FALSE(DecodeJpegInto(bytes.data(), bytes.size(), JpegLimits{2, 4}, small)) << c.Seed << " too large";
        EXPECT_EQ(small.Width, 0) << "refused before anything is allocated";
        TRows refusing(true);
        EXPECT_FALSE(DecodeJpegInto(bytes.data(), bytes.size(), RasterLimits, refusing)) << c.Seed;
    }
    TBytes red = Seed("rgb.jpg");
    TRows rows;
    ASSERT_TRUE(DecodeJpegInto(red.data(), red.size(), RasterLimits, rows));
    // Blue, green, red: a red picture.
    EXPECT_LT(rows.Pixels[0], 40);
    EXPECT_GT(rows.Pixels[2], 200);
    TRows none;
    EXPECT_FALSE(DecodeJpegInto(nullptr, 0, RasterLimits, none));
}

}  // namespace
