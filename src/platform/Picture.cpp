// Decoding a picture file by its content and drawing it stretched. Every header is checked
// against the file's real length before a platform decoder sees it, so a damaged file is
// refused here rather than read past its end by code we do not control.
#include "platform/Picture.h"

#include <ole2.h>
#include <olectl.h>

#include <cstdint>
#include <cstring>
#include <optional>
#include <variant>
#include <vector>

#include "common/PictureChecks.h"
#include "platform/Files.h"
#include "platform/GdiScopes.h"
#include "platform/JpegDecoder.h"
#include "platform/UniqueHandle.h"

namespace {

using Bytes = TBytes;

constexpr size_t MaxFileBytes = 256ULL * 1024 * 1024;
constexpr int HimetricPerInch = 2540;  // also the .01 mm of an enhanced metafile's frame

// --- Owners and scopes ---

namespace policy {
inline void DeleteEnhMetaFileHandle(HENHMETAFILE h) { DeleteEnhMetaFile(h); }
inline void DeleteMetaFileHandle(HMETAFILE h) { DeleteMetaFile(h); }
inline void FreeGlobal(HGLOBAL h) { GlobalFree(h); }
}  // namespace policy

using UniqueEnhMetaFile = UniqueHandle<HENHMETAFILE, policy::DeleteEnhMetaFileHandle, static_cast<intptr_t>(0)>;
using UniqueMetaFile = UniqueHandle<HMETAFILE, policy::DeleteMetaFileHandle, static_cast<intptr_t>(0)>;
using UniqueGlobal = UniqueHandle<HGLOBAL, policy::FreeGlobal, static_cast<intptr_t>(0)>;

struct ComRelease {
    void operator()(IUnknown* object) const { object->Release(); }
};
template <typename T>
using ComOwner = std::unique_ptr<T, ComRelease>;

// The platform's picture loader may create COM objects (Wine's does, for GIF).
class ComScope {
public:
    ComScope() : Initialised(SUCCEEDED(CoInitialize(nullptr))) {}
    ~ComScope()
    {
        if (Initialised) CoUninitialize();
    }
    ComScope(const ComScope&) = delete;
    ComScope& operator=(const ComScope&) = delete;

private:
    bool Initialised;
};

struct ScreenResolution {
    int X = 96;
    int Y = 96;
};

ScreenResolution ScreenDpi()
{
    ScreenResolution dpi;
    if (HDC screen = GetDC(nullptr)) {
        dpi = {GetDeviceCaps(screen, LOGPIXELSX), GetDeviceCaps(screen, LOGPIXELSY)};
        ReleaseDC(nullptr, screen);
    }
    return dpi;
}

int Abs(int value) { return value < 0 ? -value : value; }

// --- The decoded forms, each drawing itself stretched over a target ---

struct RasterImage {
    UniqueBitmap Bitmap;
    int Width;
    int Height;

    void Draw(HDC dc, const RECT& target) const
    {
        UniqueDc source(CreateCompatibleDC(dc));
        if (!source) return;
        SelectionScope selected(source.Get(), Bitmap.Get());
        HalftoneScope halftone(dc);
        StretchBlt(dc, target.left, target.top, target.right - target.left, target.bottom - target.top,
                   source.Get(), 0, 0, Width, Height, SRCCOPY);
    }
};

struct OleImage {
    ComOwner<IPicture> Picture;

    void Draw(HDC dc, const RECT& target) const
    {
        OLE_XSIZE_HIMETRIC width = 0;
        OLE_YSIZE_HIMETRIC height = 0;
        Picture->get_Width(&width);
        Picture->get_Height(&height);
        HalftoneScope halftone(dc);
        // HIMETRIC runs bottom-up: start at the top and go down.
        Picture->Render(dc, target.left, target.top, target.right - target.left, target.bottom - target.top, 0,
                        height, width, -height, nullptr);
    }
};

struct EnhancedMetafileImage {
    UniqueEnhMetaFile Metafile;

    void Draw(HDC dc, const RECT& target) const
    {
        SavedDcScope saved(dc);
        IntersectClipRect(dc, target.left, target.top, target.right, target.bottom);
        PlayEnhMetaFile(dc, Metafile.Get(), &target);
    }
};

struct WindowsMetafileImage {
    UniqueMetaFile Metafile;
    POINT WindowOrigin;
    SIZE WindowExtent;

    void Draw(HDC dc, const RECT& target) const
    {
        // The viewport is in device units: take the target through the DC's own mapping first.
        POINT corners[2] = {{target.left, target.top}, {target.right, target.bottom}};
        LPtoDP(dc, corners, 2);
        SavedDcScope saved(dc);
        IntersectClipRect(dc, target.left, target.top, target.right, target.bottom);
        SetMapMode(dc, MM_ANISOTROPIC);
        SetWindowOrgEx(dc, WindowOrigin.x, WindowOrigin.y, nullptr);
        SetWindowExtEx(dc, WindowExtent.cx, WindowExtent.cy, nullptr);
        SetViewportOrgEx(dc, corners[0].x, corners[0].y, nullptr);
        SetViewportExtEx(dc, corners[1].x - corners[0].x, corners[1].y - corners[0].y, nullptr);
        PlayMetaFile(dc, Metafile.Get());
    }
};

}  // namespace

struct TPicture::Decoded {
    int Width;
    int Height;
    std::variant<RasterImage, OleImage, EnhancedMetafileImage, WindowsMetafileImage> Image;
};

namespace {

using MaybeDecoded = std::optional<TPicture::Decoded>;

MaybeDecoded DecodeJpegFile(const Bytes& bytes)
{
    auto jpeg = DecodeJpeg(bytes.data(), bytes.size(), RasterLimits);
    if (!jpeg) return std::nullopt;
    const int width = jpeg->Width, height = jpeg->Height;
    return TPicture::Decoded{width, height, RasterImage{std::move(jpeg->Bitmap), width, height}};
}

ComOwner<IStream> StreamOver(const Bytes& bytes)
{
    UniqueGlobal memory(GlobalAlloc(GMEM_MOVEABLE, bytes.size()));
    if (!memory) return nullptr;
    void* target = GlobalLock(memory.Get());
    if (!target) return nullptr;
    std::memcpy(target, bytes.data(), bytes.size());
    GlobalUnlock(memory.Get());
    IStream* stream = nullptr;
    if (FAILED(CreateStreamOnHGlobal(memory.Get(), TRUE, &stream))) return nullptr;
    memory.Release();  // the stream frees it
    return ComOwner<IStream>(stream);
}

// Bitmaps and icons by their own pixels; the HIMETRIC size would round.
std::optional<SIZE> OlePictureSize(IPicture& picture)
{
    short type = PICTYPE_UNINITIALIZED;
    OLE_HANDLE handle = 0;
    if (FAILED(picture.get_Type(&type)) || FAILED(picture.get_Handle(&handle)) || handle == 0) return std::nullopt;
    if (type == PICTYPE_BITMAP) {
        BITMAP bitmap;
        if (!GetObjectA(reinterpret_cast<HBITMAP>(static_cast<UINT_PTR>(handle)), sizeof bitmap, &bitmap))
            return std::nullopt;
        return SIZE{bitmap.bmWidth, bitmap.bmHeight};
    }
    if (type == PICTYPE_ICON) {
        ICONINFO info;
        if (!GetIconInfo(reinterpret_cast<HICON>(static_cast<UINT_PTR>(handle)), &info)) return std::nullopt;
        UniqueBitmap mask(info.hbmMask), colour(info.hbmColor);
        BITMAP bitmap;
        if (!GetObjectA(colour ? colour.Get() : mask.Get(), sizeof bitmap, &bitmap)) return std::nullopt;
        // Without a colour image the mask holds the AND and XOR halves one above the other.
        return SIZE{bitmap.bmWidth, colour ? bitmap.bmHeight : bitmap.bmHeight / 2};
    }
    return std::nullopt;
}

MaybeDecoded DecodeWithOle(const Bytes& bytes)
{
    ComScope com;
    ComOwner<IStream> stream = StreamOver(bytes);
    if (!stream) return std::nullopt;
    IPicture* loaded = nullptr;
    if (FAILED(OleLoadPicture(stream.get(), static_cast<LONG>(bytes.size()), FALSE, IID_IPicture,
                              reinterpret_cast<void**>(&loaded))) ||
        !loaded)
        return std::nullopt;
    ComOwner<IPicture> picture(loaded);
    auto size = OlePictureSize(*picture);
    if (!size || size->cx <= 0 || size->cy <= 0) return std::nullopt;
    return TPicture::Decoded{size->cx, size->cy, OleImage{std::move(picture)}};
}

MaybeDecoded DecodeEnhancedMetafile(const Bytes& bytes)
{
    auto length = WalkEnhancedMetafile(bytes);
    if (!length) return std::nullopt;
    const ScreenResolution dpi = ScreenDpi();
    // The frame (.01 mm) is the picture's intended size; the bounds (device pixels, inclusive)
    // are what it touched, for writers that leave the frame empty.
    int width = MulDiv(SignedDoubleWord(bytes, 32) - SignedDoubleWord(bytes, 24), dpi.X, HimetricPerInch);
    int height = MulDiv(SignedDoubleWord(bytes, 36) - SignedDoubleWord(bytes, 28), dpi.Y, HimetricPerInch);
    if (width <= 0 || height <= 0) {
        width = SignedDoubleWord(bytes, 16) - SignedDoubleWord(bytes, 8) + 1;
        height = SignedDoubleWord(bytes, 20) - SignedDoubleWord(bytes, 12) + 1;
    }
    if (width <= 0 || height <= 0) return std::nullopt;
    UniqueEnhMetaFile metafile(SetEnhMetaFileBits(static_cast<UINT>(*length), bytes.data()));
    if (!metafile) return std::nullopt;
    return TPicture::Decoded{width, height, EnhancedMetafileImage{std::move(metafile)}};
}

MaybeDecoded DecodeWindowsMetafile(const Bytes& bytes, bool placeable)
{
    const size_t start = placeable ? PlaceableHeaderBytes : 0;
    auto frame = WalkMetafile(bytes, start);
    if (!frame) return std::nullopt;
    const ScreenResolution dpi = ScreenDpi();
    POINT origin = {frame->WindowOrigin.X, frame->WindowOrigin.Y};
    SIZE extent{};
    int width, height;
    if (placeable) {
        // The placeable header's bounding box, in units of which "inch" make an inch.
        const int left = SignedWord(bytes, 6), top = SignedWord(bytes, 8);
        const int right = SignedWord(bytes, 10), bottom = SignedWord(bytes, 12);
        const int unitsPerInch = Word(bytes, 14);
        if (unitsPerInch == 0) return std::nullopt;
        origin = {left, top};
        extent = {right - left, bottom - top};
        width = MulDiv(Abs(extent.cx), dpi.X, unitsPerInch);
        height = MulDiv(Abs(extent.cy), dpi.Y, unitsPerInch);
    } else {
        if (!frame->WindowExtent) return std::nullopt;  // no size of its own to show it at
        extent = {frame->WindowExtent->X, frame->WindowExtent->Y};
        width = Abs(extent.cx);
        height = Abs(extent.cy);
    }
    if (width <= 0 || height <= 0 || extent.cx == 0 || extent.cy == 0) return std::nullopt;
    UniqueMetaFile metafile(SetMetaFileBitsEx(static_cast<UINT>(frame->Bytes), bytes.data() + start));
    if (!metafile) return std::nullopt;
    return TPicture::Decoded{width, height, WindowsMetafileImage{std::move(metafile), origin, extent}};
}

MaybeDecoded DecodeBytes(const Bytes& bytes)
{
    switch (FormatOf(bytes)) {
    case Format::Jpeg: return DecodeJpegFile(bytes);
    case Format::Bitmap: return BitmapIsComplete(bytes) ? DecodeWithOle(bytes) : std::nullopt;
    case Format::Icon: return IconIsComplete(bytes) ? DecodeWithOle(bytes) : std::nullopt;
    case Format::Gif: return GifIsWithinLimits(bytes) ? DecodeWithOle(bytes) : std::nullopt;
    case Format::PlaceableMetafile: return DecodeWindowsMetafile(bytes, true);
    case Format::Metafile: return DecodeWindowsMetafile(bytes, false);
    case Format::EnhancedMetafile: return DecodeEnhancedMetafile(bytes);
    case Format::Unknown: break;
    }
    return std::nullopt;
}

}  // namespace

TPicture::TPicture() noexcept = default;
TPicture::~TPicture() = default;
TPicture::TPicture(TPicture&& other) noexcept = default;
TPicture& TPicture::operator=(TPicture&& other) noexcept = default;

bool TPicture::LoadFromFile(const std::string& path)
{
    Clear();
    try {
        auto bytes = ReadWholeFileBytes(path, MaxFileBytes);
        if (!bytes || bytes->empty()) return false;
        MaybeDecoded decoded = DecodeBytes(*bytes);
        if (!decoded) return false;
        Content = std::make_unique<TPicture::Decoded>(std::move(*decoded));
        return true;
    } catch (...) {
        // Only memory can run out here; the picture stays empty.
        Clear();
        return false;
    }
}

void TPicture::Clear() { Content.reset(); }

bool TPicture::Empty() const { return !Content; }

int TPicture::Width() const { return Content ? Content->Width : 0; }

int TPicture::Height() const { return Content ? Content->Height : 0; }

void TPicture::Draw(HDC dc, const RECT& target) const
{
    if (!Content || !dc || target.right <= target.left || target.bottom <= target.top) return;
    std::visit([&](const auto& image) { image.Draw(dc, target); }, Content->Image);
}
