// JPEG decoding with libjpeg into rows that the caller provides. Its errors jump back here
// and are never printed; the program is never ended by the library.
#include "common/JpegRaster.h"

#include <climits>
#include <csetjmp>
#include <cstdio>  // jpeglib.h needs FILE and size_t declared before it

#include <jerror.h>
#include <jpeglib.h>

namespace {

constexpr int BytesPerPixel = 3;
constexpr int CmykBytesPerPixel = 4;
constexpr int FullIntensity = 255;

struct ErrorRoute {
    jpeg_error_mgr Manager;  // first: libjpeg hands back a pointer to it
    std::jmp_buf Return;
    // Running out of data before the last scan line is a truncated file; missing only the
    // end marker after it is harmless.
    bool RefuseEndOfData;
};

// All the decoder changes lives here, in its caller's frame, so no local of the function
// that calls setjmp is left indeterminate by the jump back.
struct JpegJob {
    jpeg_decompress_struct Info;
    ErrorRoute Errors;
    const unsigned char* Data;
    unsigned long Size;
    int MaxSide;
    long long MaxPixels;
    TJpegTarget* Target;
    unsigned char* Bits;
    int Width;
    int Height;
};

[[noreturn]] void ReturnToDecoder(j_common_ptr info)
{
    std::longjmp(reinterpret_cast<ErrorRoute*>(info->err)->Return, 1);
}

// Nothing is printed; warnings pass, except the one that says the data ended early.
void FilterMessage(j_common_ptr info, int level)
{
    auto* route = reinterpret_cast<ErrorRoute*>(info->err);
    if (level < 0 && route->RefuseEndOfData && info->err->msg_code == JWRN_JPEG_EOF) ReturnToDecoder(info);
}

void DiscardMessage(j_common_ptr) {}

bool WithinLimits(JDIMENSION width, JDIMENSION height, const JpegJob& job)
{
    return width > 0 && height > 0 && width <= static_cast<JDIMENSION>(job.MaxSide) &&
           height <= static_cast<JDIMENSION>(job.MaxSide) &&
           static_cast<long long>(width) * height <= job.MaxPixels;
}

// Photoshop, which writes the Adobe marker, stores CMYK inverted; other writers do not.
void CmykToBgr(const JSAMPLE* cmyk, unsigned char* bgr, int width, bool inverted)
{
    for (int x = 0; x < width; ++x, cmyk += CmykBytesPerPixel, bgr += BytesPerPixel) {
        int ink[CmykBytesPerPixel];
        for (int i = 0; i < CmykBytesPerPixel; ++i) ink[i] = inverted ? cmyk[i] : FullIntensity - cmyk[i];
        bgr[0] = static_cast<unsigned char>(ink[2] * ink[3] / FullIntensity);
        bgr[1] = static_cast<unsigned char>(ink[1] * ink[3] / FullIntensity);
        bgr[2] = static_cast<unsigned char>(ink[0] * ink[3] / FullIntensity);
    }
}

bool RunDecoder(JpegJob& job)
{
    jpeg_decompress_struct* info = &job.Info;
    info->err = jpeg_std_error(&job.Errors.Manager);
    job.Errors.Manager.error_exit = ReturnToDecoder;
    job.Errors.Manager.emit_message = FilterMessage;
    job.Errors.Manager.output_message = DiscardMessage;
    job.Errors.RefuseEndOfData = true;
    if (setjmp(job.Errors.Return)) {
        jpeg_destroy_decompress(&job.Info);
        return false;
    }
    jpeg_create_decompress(info);
    jpeg_mem_src(info, job.Data, job.Size);
    jpeg_read_header(info, TRUE);
    // Checked before start_decompress, which allocates for the whole image.
    if (!WithinLimits(info->image_width, info->image_height, job)) {
        jpeg_destroy_decompress(info);
        return false;
    }
    const bool cmyk = info->jpeg_color_space == JCS_CMYK || info->jpeg_color_space == JCS_YCCK;
    info->out_color_space = cmyk ? JCS_CMYK : JCS_EXT_BGR;
    jpeg_start_decompress(info);

    job.Width = static_cast<int>(info->output_width);
    job.Height = static_cast<int>(info->output_height);
    job.Bits = job.Target->Rows(job.Width, job.Height);
    if (!job.Bits) {
        jpeg_destroy_decompress(info);
        return false;
    }
    const size_t stride = JpegRowStride(job.Width);
    // Freed with the decompressor, also after a jump.
    JSAMPARRAY cmykRow = cmyk ? (*info->mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(info), JPOOL_IMAGE,
                                                            info->output_width * CmykBytesPerPixel, 1)
                              : nullptr;
    while (info->output_scanline < info->output_height) {
        unsigned char* target = job.Bits + stride * info->output_scanline;
        if (cmyk) {
            jpeg_read_scanlines(info, cmykRow, 1);
            CmykToBgr(cmykRow[0], target, job.Width, info->saw_Adobe_marker);
        } else {
            JSAMPROW row = target;
            jpeg_read_scanlines(info, &row, 1);
        }
    }
    job.Errors.RefuseEndOfData = false;
    jpeg_finish_decompress(info);
    jpeg_destroy_decompress(info);
    return true;
}

}  // namespace

size_t JpegRowStride(int width)
{
    return (static_cast<size_t>(width) * BytesPerPixel + 3) & ~static_cast<size_t>(3);
}

bool DecodeJpegInto(const unsigned char* data, size_t size, const JpegLimits& limits, TJpegTarget& target)
{
    if (!data || size == 0 || size > ULONG_MAX) return false;
    JpegJob job{};
    job.Data = data;
    job.Size = static_cast<unsigned long>(size);
    job.MaxSide = limits.MaxSide;
    job.MaxPixels = limits.MaxPixels;
    job.Target = &target;
    return RunDecoder(job);
}
