// The picture decoder and the picture control, in process: each format decodes to its size and
// colours, damaged files are refused without harm, and the control paints, repaints and notifies.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "harness/Harness.h"
#include "platform/JpegDecoder.h"
#include "platform/Picture.h"
#include "platform/PictureControl.h"
#include "platform/UniqueHandle.h"

using harness::AppDir;

namespace {

constexpr COLORREF Red = RGB(255, 0, 0);
constexpr COLORREF Blue = RGB(0, 0, 255);
constexpr COLORREF Yellow = RGB(255, 255, 0);
constexpr COLORREF DarkGrey = RGB(0x40, 0x40, 0x40);
constexpr COLORREF LightGrey = RGB(0xC0, 0xC0, 0xC0);
constexpr COLORREF White = RGB(255, 255, 255);
// Where nothing may be drawn: no fixture holds it.
constexpr COLORREF Untouched = RGB(0, 255, 0);
// Lossy JPEG colours stay this close to the original; palettes and metafiles are exact.
constexpr int JpegTolerance = 24;
constexpr int Exact = 0;
constexpr int Margin = 8;

// --- Files ------------------------------------------------------------------------------------

// This source file's folder, as Wine sees the build machine's file system (Z: is the Unix root).
std::string SourceFolder()
{
    std::string path = __FILE__;
    if (!path.empty() && path.front() == '/') path = "Z:" + path;
    for (char& c : path) {
        if (c == '/') c = '\\';
    }
    return path.substr(0, path.find_last_of('\\'));
}

std::string FixturePath(const std::string& name) { return SourceFolder() + "\\fixtures\\pictures\\" + name; }
std::string ResourcePath(const std::string& name) { return SourceFolder() + "\\..\\..\\res\\" + name; }

std::string ReadBytes(const std::string& path)
{
    UniqueFile file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    std::string content;
    char buffer[16384];
    DWORD got = 0;
    while (file && ReadFile(file.Get(), buffer, sizeof buffer, &got, nullptr) && got > 0) content.append(buffer, got);
    return content;
}

std::string Fixture(const std::string& name)
{
    std::string bytes = ReadBytes(FixturePath(name));
    if (bytes.empty()) ADD_FAILURE() << "missing fixture " << FixturePath(name);
    return bytes;
}

void PutWord(std::string& bytes, size_t at, unsigned value)
{
    const char word[2] = {static_cast<char>(value & 0xFF), static_cast<char>(value >> 8 & 0xFF)};
    bytes.replace(at, 2, word, 2);
}

void PutBigEndianWord(std::string& bytes, size_t at, unsigned value)
{
    const char word[2] = {static_cast<char>(value >> 8 & 0xFF), static_cast<char>(value & 0xFF)};
    bytes.replace(at, 2, word, 2);
}

// The baseline fixture declaring another size in its frame header (SOF0: FF C0, length,
// precision, height, width).
std::string JpegDeclaring(unsigned width, unsigned height)
{
    std::string bytes = Fixture("baseline.jpg");
    const size_t frame = bytes.find("\xFF\xC0");
    if (frame == std::string::npos || frame + 9 > bytes.size()) {
        ADD_FAILURE() << "baseline.jpg has no SOF0 header";
        return bytes;
    }
    PutBigEndianWord(bytes, frame + 5, height);
    PutBigEndianWord(bytes, frame + 7, width);
    return bytes;
}

std::string Head(const std::string& bytes, size_t length) { return bytes.substr(0, length); }

std::string RandomBytes(size_t length, unsigned seed)
{
    std::mt19937 generator(seed);
    std::string bytes(length, '\0');
    for (char& c : bytes) c = static_cast<char>(generator() & 0xFF);
    return bytes;
}

// --- Metafiles, recorded with GDI in the fixtures' layout: red upper left, blue upper right,
// yellow bottom quarter ---------------------------------------------------------------------------

void FillQuarters(HDC dc, int width, int height)
{
    const int band = height / 4;
    UniqueBrush red(CreateSolidBrush(Red)), blue(CreateSolidBrush(Blue)), yellow(CreateSolidBrush(Yellow));
    HGDIOBJ previous = SelectObject(dc, red.Get());
    PatBlt(dc, 0, 0, width / 2, height - band, PATCOPY);
    SelectObject(dc, blue.Get());
    PatBlt(dc, width / 2, 0, width - width / 2, height - band, PATCOPY);
    SelectObject(dc, yellow.Get());
    PatBlt(dc, 0, height - band, width, band, PATCOPY);
    SelectObject(dc, previous);
}

// 48 x 24 pixels of the screen, its frame given in .01 mm by the screen's own metrics.
std::string EnhancedMetafile()
{
    constexpr int Width = 48, Height = 24;
    HDC screen = GetDC(nullptr);
    const RECT frame{0, 0, MulDiv(Width, GetDeviceCaps(screen, HORZSIZE) * 100, GetDeviceCaps(screen, HORZRES)),
                     MulDiv(Height, GetDeviceCaps(screen, VERTSIZE) * 100, GetDeviceCaps(screen, VERTRES))};
    ReleaseDC(nullptr, screen);
    HDC dc = CreateEnhMetaFileA(nullptr, nullptr, &frame, nullptr);
    if (!dc) return {};
    FillQuarters(dc, Width, Height);
    HENHMETAFILE metafile = CloseEnhMetaFile(dc);
    std::string bytes(GetEnhMetaFileBits(metafile, 0, nullptr), '\0');
    GetEnhMetaFileBits(metafile, static_cast<UINT>(bytes.size()), reinterpret_cast<BYTE*>(&bytes[0]));
    DeleteEnhMetaFile(metafile);
    return bytes;
}

// withWindow: the metafile sets its own window, as metafiles that applications write do.
std::string WindowsMetafile(int width, int height, bool withWindow)
{
    HDC dc = CreateMetaFileA(nullptr);
    if (!dc) return {};
    if (withWindow) {
        SetMapMode(dc, MM_ANISOTROPIC);
        SetWindowOrgEx(dc, 0, 0, nullptr);
        SetWindowExtEx(dc, width, height, nullptr);
    }
    FillQuarters(dc, width, height);
    HMETAFILE metafile = CloseMetaFile(dc);
    std::string bytes(GetMetaFileBitsEx(metafile, 0, nullptr), '\0');
    GetMetaFileBitsEx(metafile, static_cast<UINT>(bytes.size()), &bytes[0]);
    DeleteMetaFile(metafile);
    return bytes;
}

// The Aldus header: key, handle, bounding box, units per inch, reserved, checksum.
std::string Placeable(const std::string& metafile, int width, int height, int unitsPerInch)
{
    std::string header(22, '\0');
    PutWord(header, 0, 0xCDD7);
    PutWord(header, 2, 0x9AC6);
    PutWord(header, 10, static_cast<unsigned>(width));
    PutWord(header, 12, static_cast<unsigned>(height));
    PutWord(header, 14, static_cast<unsigned>(unitsPerInch));
    unsigned checksum = 0;
    for (size_t at = 0; at < 20; at += 2) {
        checksum ^= static_cast<unsigned char>(header[at]) | static_cast<unsigned char>(header[at + 1]) << 8;
    }
    PutWord(header, 20, checksum);
    return header + metafile;
}

// Twips, as drawing programs write them: 720 x 360 twips are 48 x 24 pixels at 96 dpi.
std::string PlaceableMetafile(bool withWindow)
{
    return Placeable(WindowsMetafile(720, 360, withWindow), 720, 360, 1440);
}

int AtScreenDpi(int pixelsAt96, int axis)
{
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, axis);
    ReleaseDC(nullptr, screen);
    return MulDiv(pixelsAt96, dpi, 96);
}

// --- Drawing surfaces -------------------------------------------------------------------------

// A 24-bit memory surface whose pixels are read straight from its bits.
class Canvas {
public:
    Canvas(int width, int height, COLORREF fill) : Width(width), Height(height), Dc(CreateCompatibleDC(nullptr))
    {
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof info.bmiHeader;
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = -height;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 24;
        void* bits = nullptr;
        Bitmap.Reset(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
        Bits = static_cast<const unsigned char*>(bits);
        Previous = SelectObject(Dc.Get(), Bitmap.Get());
        UniqueBrush brush(CreateSolidBrush(fill));
        RECT all{0, 0, width, height};
        FillRect(Dc.Get(), &all, brush.Get());
    }
    ~Canvas() { SelectObject(Dc.Get(), Previous); }
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    HDC Get() const { return Dc.Get(); }
    bool Ready() const { return Dc && Bitmap && Bits; }

    COLORREF Pixel(int x, int y) const
    {
        GdiFlush();
        const unsigned char* p = Bits + static_cast<size_t>(y) * ((Width * 3 + 3) & ~3) + x * 3;
        return RGB(p[2], p[1], p[0]);
    }

    const int Width;
    const int Height;

private:
    UniqueDc Dc;
    UniqueBitmap Bitmap;
    const unsigned char* Bits = nullptr;
    HGDIOBJ Previous = nullptr;
};

std::string ColourText(COLORREF c)
{
    std::ostringstream text;
    text << "rgb(" << int(GetRValue(c)) << "," << int(GetGValue(c)) << "," << int(GetBValue(c)) << ")";
    return text.str();
}

::testing::AssertionResult ColourNear(COLORREF actual, COLORREF expected, int tolerance)
{
    const bool within = std::abs(GetRValue(actual) - GetRValue(expected)) <= tolerance &&
                      std::abs(GetGValue(actual) - GetGValue(expected)) <= tolerance &&
                      std::abs(GetBValue(actual) - GetBValue(expected)) <= tolerance;
    if (within) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << ColourText(actual) << " where " << ColourText(expected) << " (within "
                                         << tolerance << ") was expected";
}

// --- Decoding every format ----------------------------------------------------------------------

struct FormatCase {
    const char* Name;
    const char* FileName;  // the extension need not match the content
    std::function<std::string()> Content;
    int Width;
    int Height;
    COLORREF UpperLeft;
    COLORREF UpperRight;
    COLORREF Bottom;
    int Tolerance;
};

std::ostream& operator<<(std::ostream& out, const FormatCase& c) { return out << c.Name; }

std::vector<FormatCase> FormatCases()
{
    const int metafileWidth = AtScreenDpi(48, LOGPIXELSX), metafileHeight = AtScreenDpi(24, LOGPIXELSY);
    return {
        {"Bitmap24", "rgb24.bmp", [] { return Fixture("rgb24.bmp"); }, 40, 32, Red, Blue, Yellow, Exact},
        {"Bitmap8", "palette8.bmp", [] { return Fixture("palette8.bmp"); }, 40, 32, Red, Blue, Yellow, Exact},
        {"Bitmap4", "palette4.bmp", [] { return Fixture("palette4.bmp"); }, 40, 32, Red, Blue, Yellow, Exact},
        {"Icon", "picture.ico", [] { return Fixture("picture.ico"); }, 32, 32, Red, Blue, Yellow, Exact},
        {"Gif", "picture.gif", [] { return Fixture("picture.gif"); }, 40, 32, Red, Blue, Yellow, Exact},
        {"BaselineJpeg", "baseline.jpg", [] { return Fixture("baseline.jpg"); }, 40, 32, Red, Blue, Yellow,
         JpegTolerance},
        {"ProgressiveJpeg", "progressive.jpg", [] { return Fixture("progressive.jpg"); }, 40, 32, Red, Blue,
         Yellow, JpegTolerance},
        {"GreyJpeg", "grey.jpg", [] { return Fixture("grey.jpg"); }, 40, 32, DarkGrey, LightGrey, White,
         JpegTolerance},
        {"CmykJpeg", "cmyk.jpg", [] { return Fixture("cmyk.jpg"); }, 40, 32, Red, Blue, Yellow, JpegTolerance},
        {"JpegNamedBmp", "photo.bmp", [] { return Fixture("baseline.jpg"); }, 40, 32, Red, Blue, Yellow,
         JpegTolerance},
        {"EnhancedMetafile", "picture.emf", EnhancedMetafile, metafileWidth, metafileHeight, Red, Blue, Yellow,
         Exact},
        {"PlaceableMetafile", "picture.wmf", [] { return PlaceableMetafile(true); }, metafileWidth,
         metafileHeight, Red, Blue, Yellow, Exact},
        {"PlaceableMetafileWithoutWindow", "bare.wmf", [] { return PlaceableMetafile(false); }, metafileWidth,
         metafileHeight, Red, Blue, Yellow, Exact},
        {"PlainMetafile", "plain.wmf", [] { return WindowsMetafile(48, 24, true); }, 48, 24, Red, Blue, Yellow,
         Exact},
    };
}

class PictureFormats : public ::testing::TestWithParam<FormatCase> {};

TEST_P(PictureFormats, DecodesToItsSizeAndDrawsStretchedIntoTheTargetOnly)
{
    const FormatCase& c = GetParam();
    AppDir dir;
    ASSERT_TRUE(dir.WriteFile(c.FileName, c.Content()));

    TPicture picture;
    ASSERT_TRUE(picture.LoadFromFile(dir.PathOf(c.FileName)));
    EXPECT_FALSE(picture.Empty());
    EXPECT_EQ(picture.Width(), c.Width);
    EXPECT_EQ(picture.Height(), c.Height);

    // Twice the natural size inside an untouched margin.
    Canvas canvas(2 * c.Width + 2 * Margin, 2 * c.Height + 2 * Margin, Untouched);
    ASSERT_TRUE(canvas.Ready());
    const RECT target{Margin, Margin, Margin + 2 * c.Width, Margin + 2 * c.Height};
    picture.Draw(canvas.Get(), target);

    // Away from the seams, which lossy and halftone stretching blur; the upper parts one row
    // below the top, as one fixture's top row is a grey ramp.
    const int upperMiddle = target.top + (c.Height - c.Height / 4), bottom = target.bottom - 2;
    const int leftMiddle = Margin + c.Width / 2, rightMiddle = Margin + 3 * c.Width / 2;
    struct Sample {
        const char* Where;
        int X, Y;
        COLORREF Expected;
    };
    for (const Sample& s : {Sample{"upper left", leftMiddle, upperMiddle, c.UpperLeft},
                            Sample{"upper right", rightMiddle, upperMiddle, c.UpperRight},
                            Sample{"top left corner", target.left + 1, target.top + 2, c.UpperLeft},
                            Sample{"top right corner", target.right - 2, target.top + 2, c.UpperRight},
                            Sample{"bottom left corner", target.left + 1, bottom, c.Bottom},
                            Sample{"bottom right corner", target.right - 2, bottom, c.Bottom}}) {
        EXPECT_TRUE(ColourNear(canvas.Pixel(s.X, s.Y), s.Expected, c.Tolerance)) << s.Where;
    }
    const int middle = Margin + c.Height;
    for (POINT outside : {POINT{Margin / 2, Margin / 2}, POINT{canvas.Width - Margin / 2, canvas.Height - Margin / 2},
                          POINT{Margin / 2, middle}, POINT{canvas.Width - Margin / 2, middle}}) {
        EXPECT_EQ(canvas.Pixel(outside.x, outside.y), Untouched) << "drawn outside the target at " << outside.x
                                                                 << "," << outside.y;
    }
}

INSTANTIATE_TEST_SUITE_P(Formats, PictureFormats, ::testing::ValuesIn(FormatCases()),
                         [](const ::testing::TestParamInfo<FormatCase>& info) { return info.param.Name; });

TEST(PictureFixtures, AreOfTheKindsTheirNamesClaim)
{
    // Bits per pixel of a bitmap, and the frame marker of a JPEG: SOF0 baseline, SOF2 progressive.
    EXPECT_EQ(Fixture("rgb24.bmp").substr(28, 2), std::string("\x18\x00", 2));
    EXPECT_EQ(Fixture("palette8.bmp").substr(28, 2), std::string("\x08\x00", 2));
    EXPECT_EQ(Fixture("palette4.bmp").substr(28, 2), std::string("\x04\x00", 2));
    EXPECT_NE(Fixture("baseline.jpg").find("\xFF\xC0"), std::string::npos);
    EXPECT_EQ(Fixture("baseline.jpg").find("\xFF\xC2"), std::string::npos);
    EXPECT_NE(Fixture("progressive.jpg").find("\xFF\xC2"), std::string::npos);
}

// --- Damaged and missing files ------------------------------------------------------------------

struct DamagedCase {
    const char* Name;
    const char* FileName;
    std::function<std::string()> Content;
};

std::ostream& operator<<(std::ostream& out, const DamagedCase& c) { return out << c.Name; }

std::string WithWord(std::string bytes, size_t at, unsigned value)
{
    if (bytes.size() >= at + 2) PutWord(bytes, at, value);
    return bytes;
}

std::vector<DamagedCase> DamagedCases()
{
    return {
        {"EmptyFile", "empty.jpg", [] { return std::string(); }},
        {"RandomBytesNamedJpg", "random.jpg", [] { return RandomBytes(4096, 1); }},
        {"RandomBytesNamedBmp", "random.bmp", [] { return RandomBytes(4096, 2); }},
        {"JpegMarkerOnly", "marker.jpg", [] { return std::string("\xFF\xD8\xFF", 3); }},
        {"JpegHeaderThenJunk", "junk.jpg",
         [] { return Head(Fixture("baseline.jpg"), 24) + RandomBytes(2048, 3); }},
        {"TruncatedBaselineJpeg", "cut.jpg",
         [] {
             std::string whole = Fixture("baseline.jpg");
             return Head(whole, whole.size() * 3 / 4);
         }},
        {"TruncatedProgressiveJpeg", "cut-progressive.jpg",
         [] {
             std::string whole = Fixture("progressive.jpg");
             return Head(whole, whole.size() * 3 / 4);
         }},
        {"JpegOfAbsurdSize", "huge.jpg", [] { return JpegDeclaring(65000, 65000); }},
        {"JpegAboveTheAreaLimit", "wide.jpg", [] { return JpegDeclaring(16384, 16384); }},
        {"JpegAboveTheSideLimit", "long.jpg", [] { return JpegDeclaring(20000, 30); }},
        {"JpegOfNoHeight", "flat.jpg", [] { return JpegDeclaring(40, 0); }},
        {"TruncatedBitmap", "cut.bmp", [] { return Head(Fixture("rgb24.bmp"), 2000); }},
        {"BitmapHeaderOnly", "header.bmp", [] { return Head(Fixture("rgb24.bmp"), 30); }},
        {"BitmapOfAbsurdSize", "huge.bmp",
         [] { return WithWord(WithWord(Fixture("rgb24.bmp"), 18, 0xFFFF), 22, 0xFFFF); }},
        {"BitmapPixelsPastTheEnd", "offset.bmp", [] { return WithWord(Fixture("rgb24.bmp"), 10, 0xF000); }},
        {"TruncatedIcon", "cut.ico", [] { return Head(Fixture("picture.ico"), 200); }},
        {"IconDirectoryOnly", "directory.ico", [] { return Head(Fixture("picture.ico"), 22); }},
        {"GifOfAbsurdSize", "huge.gif",
         [] { return WithWord(WithWord(Fixture("picture.gif"), 6, 0xFFFF), 8, 0xFFFF); }},
        {"GifSignatureOnly", "sig.gif", [] { return std::string("GIF89a"); }},
        {"TruncatedEnhancedMetafile", "cut.emf",
         [] {
             std::string whole = EnhancedMetafile();
             return Head(whole, whole.size() - 8);
         }},
        {"TruncatedPlaceableMetafile", "cut.wmf",
         [] {
             std::string whole = PlaceableMetafile(true);
             return Head(whole, whole.size() - 4);
         }},
        {"PlaceableMetafileOfNoSize", "flat.wmf",
         [] { return Placeable(WindowsMetafile(720, 360, true), 0, 0, 1440); }},
        {"PlainMetafileWithoutWindow", "nowindow.wmf", [] { return WindowsMetafile(48, 24, false); }},
        {"MetafileRecordOfNoLength", "zero.wmf",
         [] {
             std::string bytes = WindowsMetafile(48, 24, true);
             return bytes.size() > 22 ? WithWord(WithWord(bytes, 18, 0), 20, 0) : bytes;
         }},
    };
}

class DamagedPictures : public ::testing::TestWithParam<DamagedCase> {};

TEST_P(DamagedPictures, AreRefusedAndLeaveThePictureEmpty)
{
    const DamagedCase& c = GetParam();
    AppDir dir;
    ASSERT_TRUE(dir.WriteFile(c.FileName, c.Content()));
    ASSERT_TRUE(dir.WriteFile("good.jpg", Fixture("baseline.jpg")));

    TPicture picture;
    ASSERT_TRUE(picture.LoadFromFile(dir.PathOf("good.jpg")));
    EXPECT_FALSE(picture.LoadFromFile(dir.PathOf(c.FileName)));
    EXPECT_TRUE(picture.Empty());
    EXPECT_EQ(picture.Width(), 0);
    EXPECT_EQ(picture.Height(), 0);

    // An empty picture draws nothing.
    Canvas canvas(16, 16, Untouched);
    picture.Draw(canvas.Get(), RECT{0, 0, 16, 16});
    EXPECT_EQ(canvas.Pixel(8, 8), Untouched);

    // The same picture still loads a good file afterwards.
    EXPECT_TRUE(picture.LoadFromFile(dir.PathOf("good.jpg")));
    EXPECT_EQ(picture.Width(), 40);
}

INSTANTIATE_TEST_SUITE_P(Files, DamagedPictures, ::testing::ValuesIn(DamagedCases()),
                         [](const ::testing::TestParamInfo<DamagedCase>& info) { return info.param.Name; });

TEST(PictureFiles, MissingFilesFoldersAndEmptyNamesAreRefused)
{
    AppDir dir;
    ASSERT_TRUE(CreateDirectoryA(dir.PathOf("folder.jpg").c_str(), nullptr));
    for (const std::string& path : {dir.PathOf("missing.jpg"), dir.PathOf("folder.jpg"), dir.Path(),
                                    dir.PathOf("no\\such\\folder.bmp"), std::string()}) {
        TPicture picture;
        EXPECT_FALSE(picture.LoadFromFile(path)) << path;
        EXPECT_TRUE(picture.Empty()) << path;
    }
}

TEST(PictureFiles, ClearEmptiesAndAMovedPictureKeepsItsImage)
{
    TPicture first;
    ASSERT_TRUE(first.LoadFromFile(FixturePath("rgb24.bmp")));
    TPicture second(std::move(first));
    EXPECT_EQ(second.Width(), 40);
    Canvas canvas(40, 30, Untouched);
    second.Draw(canvas.Get(), RECT{0, 0, 40, 30});
    EXPECT_EQ(canvas.Pixel(5, 15), Red);
    second.Clear();
    EXPECT_TRUE(second.Empty());
    EXPECT_EQ(second.Width(), 0);
}

// The limits sit exactly at their edge: the 40 x 32 fixture is 1280 pixels.
TEST(JpegDecoderLimits, RefuseOnlyWhatExceedsThem)
{
    const std::string jpeg = Fixture("baseline.jpg");
    const auto* data = reinterpret_cast<const unsigned char*>(jpeg.data());
    struct LimitCase {
        int MaxSide;
        long long MaxPixels;
        bool Decodes;
    };
    for (const LimitCase& c : {LimitCase{40, 1280, true}, LimitCase{39, 1280, false}, LimitCase{40, 1279, false},
                               LimitCase{16384, 64LL << 20, true}}) {
        auto decoded = DecodeJpeg(data, jpeg.size(), JpegLimits{c.MaxSide, c.MaxPixels});
        EXPECT_EQ(decoded.has_value(), c.Decodes) << "side " << c.MaxSide << ", pixels " << c.MaxPixels;
        if (decoded) {
            EXPECT_EQ(decoded->Width, 40);
            EXPECT_EQ(decoded->Height, 32);
            EXPECT_TRUE(decoded->Bitmap);
        }
    }
}

// --- The program's own graphics ---------------------------------------------------------------

TEST(PictureResources, TheDefaultLockPictureAndTheMenuStripLoad)
{
    TPicture logo;
    ASSERT_TRUE(logo.LoadFromFile(ResourcePath("Logo.bmp")));
    EXPECT_GE(logo.Width(), 240);
    EXPECT_GE(logo.Height(), 180);

    // An image list takes the strip as 14 glyphs of 16 x 16, magenta marking transparency.
    UniqueBitmap strip(static_cast<HBITMAP>(
        LoadImageA(nullptr, ResourcePath("MenuImages.bmp").c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE | LR_CREATEDIBSECTION)));
    ASSERT_TRUE(strip);
    BITMAP info;
    ASSERT_TRUE(GetObjectA(strip.Get(), sizeof info, &info));
    EXPECT_EQ(info.bmWidth, 14 * 16);
    EXPECT_EQ(info.bmHeight, 16);
    EXPECT_EQ(info.bmBitsPixel, 24);
    UniqueDc dc(CreateCompatibleDC(nullptr));
    HGDIOBJ previous = SelectObject(dc.Get(), strip.Get());
    for (int glyph = 0; glyph < 14; ++glyph) {
        EXPECT_EQ(GetPixel(dc.Get(), glyph * 16, 0), RGB(255, 0, 255)) << "glyph " << glyph << " corner";
    }
    SelectObject(dc.Get(), previous);
}

// --- The picture control --------------------------------------------------------------------

constexpr char ParentClass[] = "HalvexPictureTestParent";
constexpr int ControlId = 1234;
constexpr int ControlWidth = 160;
constexpr int ControlHeight = 120;

struct Command {
    WORD Id;
    WORD Code;
    HWND From;
};

// What the parent window heard, bound to it through GWLP_USERDATA.
struct ParentLog {
    std::vector<Command> Commands;
};

LRESULT CALLBACK ParentProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTA*>(lParam);
        SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    } else if (message == WM_COMMAND) {
        if (auto* log = reinterpret_cast<ParentLog*>(GetWindowLongPtrA(window, GWLP_USERDATA))) {
            log->Commands.push_back({LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam)});
        }
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

COLORREF ScreenPixel(HWND window, int x, int y)
{
    POINT at{x, y};
    ClientToScreen(window, &at);
    HDC screen = GetDC(nullptr);
    const COLORREF colour = GetPixel(screen, at.x, at.y);
    ReleaseDC(nullptr, screen);
    return colour;
}

TPicture Loaded(const std::string& fixture)
{
    TPicture picture;
    EXPECT_TRUE(picture.LoadFromFile(FixturePath(fixture))) << fixture;
    return picture;
}

class PictureControl : public ::testing::Test {
protected:
    void SetUp() override
    {
        HINSTANCE instance = GetModuleHandleA(nullptr);
        ASSERT_TRUE(RegisterPictureControlClass(instance));
        WNDCLASSEXA parent{};
        parent.cbSize = sizeof parent;
        parent.lpfnWndProc = ParentProc;
        parent.hInstance = instance;
        parent.hbrBackground = GetSysColorBrush(COLOR_WINDOW);
        parent.lpszClassName = ParentClass;
        RegisterClassExA(&parent);
        Parent.Reset(CreateWindowExA(WS_EX_TOPMOST, ParentClass, "Picture control test", WS_POPUP | WS_VISIBLE, 40,
                                     40, ControlWidth + 40, ControlHeight + 40, nullptr, nullptr, instance, &Log));
        ASSERT_TRUE(Parent);
        Control = CreateWindowExA(0, PictureControlClassName, "", WS_CHILD | WS_VISIBLE, 20, 20, ControlWidth,
                                  ControlHeight, Parent.Get(), reinterpret_cast<HMENU>(ControlId), instance, nullptr);
        ASSERT_NE(Control, nullptr);
        SetForegroundWindow(Parent.Get());
        UpdateWindow(Parent.Get());
    }

    // Painting through WM_PRINTCLIENT into a surface of the control's size.
    COLORREF PrintedPixel(int x, int y)
    {
        Canvas canvas(ControlWidth, ControlHeight, Untouched);
        SendMessageA(Control, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(canvas.Get()), PRF_CLIENT);
        return canvas.Pixel(x, y);
    }

    // Painting as the screen shows it, once the control's paint has run.
    bool ShowsOnScreen(int x, int y, COLORREF expected, int tolerance, harness::CallSite at = harness::CallSite::Here())
    {
        COLORREF last = 0;
        const bool shown = harness::PollUntil(
            [&] {
                last = ScreenPixel(Control, x, y);
                return ColourNear(last, expected, tolerance);
            },
            harness::DefaultTimeout);
        if (!shown) harness::ReportFailure(at, "the screen shows " + ColourText(last) + " at " + std::to_string(x) +
                                                   "," + std::to_string(y) + ", not " + ColourText(expected));
        return shown;
    }

    ParentLog Log;
    UniqueWindow Parent;
    HWND Control = nullptr;  // destroyed with its parent
};

TEST_F(PictureControl, RegisteringAgainSucceeds)
{
    EXPECT_TRUE(RegisterPictureControlClass(GetModuleHandleA(nullptr)));
}

TEST_F(PictureControl, EmptyShowsTheButtonFace)
{
    ASSERT_NE(ControlPicture(Control), nullptr);
    EXPECT_TRUE(ControlPicture(Control)->Empty());
    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    EXPECT_EQ(PrintedPixel(0, 0), face);
    EXPECT_EQ(PrintedPixel(ControlWidth - 1, ControlHeight - 1), face);
    ShowsOnScreen(ControlWidth / 2, ControlHeight / 2, face, Exact);
}

TEST_F(PictureControl, PaintsItsPictureStretchedOverTheWholeClientArea)
{
    SetControlPicture(Control, Loaded("rgb24.bmp"));
    ASSERT_NE(ControlPicture(Control), nullptr);
    EXPECT_EQ(ControlPicture(Control)->Width(), 40);
    struct Sample {
        int X, Y;
        COLORREF Expected;
    };
    // The fixture's yellow band is its bottom quarter.
    for (const Sample& s : {Sample{0, 0, Red}, Sample{ControlWidth / 4, ControlHeight / 2, Red},
                            Sample{ControlWidth - 1, 0, Blue}, Sample{3 * ControlWidth / 4, ControlHeight / 2, Blue},
                            Sample{0, ControlHeight - 1, Yellow}, Sample{ControlWidth - 1, ControlHeight - 1, Yellow}}) {
        EXPECT_TRUE(ColourNear(PrintedPixel(s.X, s.Y), s.Expected, Exact)) << s.X << "," << s.Y;
    }
    ShowsOnScreen(ControlWidth / 4, ControlHeight / 2, Red, Exact);
    ShowsOnScreen(3 * ControlWidth / 4, ControlHeight / 2, Blue, Exact);
}

TEST_F(PictureControl, ANewPictureReplacesTheOldOnScreenAndEmptyRestoresTheFace)
{
    SetControlPicture(Control, Loaded("rgb24.bmp"));
    ShowsOnScreen(ControlWidth / 4, ControlHeight / 2, Red, Exact);
    SetControlPicture(Control, Loaded("grey.jpg"));
    EXPECT_EQ(ControlPicture(Control)->Width(), 40);
    ShowsOnScreen(ControlWidth / 4, ControlHeight / 2, DarkGrey, JpegTolerance);
    ShowsOnScreen(3 * ControlWidth / 4, ControlHeight / 2, LightGrey, JpegTolerance);
    SetControlPicture(Control, TPicture());
    EXPECT_TRUE(ControlPicture(Control)->Empty());
    ShowsOnScreen(ControlWidth / 4, ControlHeight / 2, GetSysColor(COLOR_BTNFACE), Exact);
}

TEST_F(PictureControl, ResizingStretchesThePictureAgain)
{
    SetControlPicture(Control, Loaded("rgb24.bmp"));
    ShowsOnScreen(ControlWidth / 4, ControlHeight / 2, Red, Exact);
    // Half as wide: what was the left half's middle is now in the right half.
    SetWindowPos(Control, nullptr, 0, 0, ControlWidth / 2, ControlHeight, SWP_NOMOVE | SWP_NOZORDER);
    ShowsOnScreen(3 * ControlWidth / 8, ControlHeight / 2, Blue, Exact);
}

TEST_F(PictureControl, AClickNotifiesTheParentLikeANotifyingStatic)
{
    SetControlPicture(Control, Loaded("rgb24.bmp"));
    RECT bounds;
    GetWindowRect(Control, &bounds);
    ASSERT_TRUE(SetCursorPos((bounds.left + bounds.right) / 2, (bounds.top + bounds.bottom) / 2));
    INPUT clicks[2] = {};
    clicks[0].type = clicks[1].type = INPUT_MOUSE;
    clicks[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    clicks[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    ASSERT_EQ(SendInput(2, clicks, sizeof(INPUT)), 2u);

    ASSERT_TRUE(harness::WaitUntil([&] { return !Log.Commands.empty(); }, harness::DefaultTimeout,
                                   "WM_COMMAND from the picture control"));
    EXPECT_EQ(Log.Commands.size(), 1u);
    EXPECT_EQ(Log.Commands[0].Id, ControlId);
    EXPECT_EQ(Log.Commands[0].Code, STN_CLICKED);
    EXPECT_EQ(Log.Commands[0].From, Control);
}

TEST_F(PictureControl, ShowsTheHandCursor)
{
    EXPECT_EQ(reinterpret_cast<HCURSOR>(GetClassLongPtrA(Control, GCLP_HCURSOR)), LoadCursorA(nullptr, IDC_HAND));
}

TEST_F(PictureControl, OtherWindowsAreNotTakenForIt)
{
    EXPECT_EQ(ControlPicture(Parent.Get()), nullptr);
    EXPECT_EQ(ControlPicture(nullptr), nullptr);
    SetControlPicture(Parent.Get(), Loaded("rgb24.bmp"));  // ignored, and harmless
    EXPECT_EQ(GetWindowLongPtrA(Parent.Get(), GWLP_USERDATA), reinterpret_cast<LONG_PTR>(&Log));
}

}  // namespace
