// JPEG through libjpeg. libjpeg reports errors by calling back into us, and
// the only way back out of its frames is longjmp: the function that calls
// setjmp (RunDecoder) therefore owns no object with a destructor, and
// everything it needs lives in a plain context made by its caller.

#include <ImageDecoder.h>

#include <csetjmp>
#include <cstddef>
#include <cstdio>
// jpeglib.h needs <cstdio> first; jerror.h names the warning codes.
#include <jerror.h>
#include <jpeglib.h>

namespace BPrivate {

namespace {

// Each 8 x 8 block of the brightness channel takes at least one bit.
constexpr uint64 kJpegPixelsPerByte = 64 * 8;
// Progressive images keep every coefficient in memory while they decode.
constexpr long kMaxDecoderMemory = 512L * 1024 * 1024;
// A progressive file may repeat tiny scans without end, each one making the
// decoder go over the whole image again; real files have a dozen.
constexpr int kMaxScans = 256;

struct JpegContext {
    jpeg_decompress_struct info;
    jpeg_error_mgr error;
    jpeg_progress_mgr progress;
    jmp_buf jump;
    status_t failure;
};

JpegContext* ContextOf(j_common_ptr info)
{
    // `error` is the first thing the library knows of the context.
    return reinterpret_cast<JpegContext*>(
        reinterpret_cast<char*>(info->err) - offsetof(JpegContext, error));
}

[[noreturn]] void OnError(j_common_ptr info)
{
    JpegContext* context = ContextOf(info);
    context->failure = B_BAD_DATA;
    longjmp(context->jump, 1);
}

void OnMessage(j_common_ptr info, int level)
{
    // Warnings are kept quiet, except that a file cut short is refused:
    // libjpeg would fill the rest of the picture with grey.
    if (level < 0 && info->err->msg_code == JWRN_JPEG_EOF) {
        JpegContext* context = ContextOf(info);
        context->failure = B_BAD_DATA;
        longjmp(context->jump, 1);
    }
}

void OnProgress(j_common_ptr info)
{
    j_decompress_ptr decompress = reinterpret_cast<j_decompress_ptr>(info);
    if (decompress->input_scan_number > kMaxScans) {
        JpegContext* context = ContextOf(info);
        context->failure = B_BAD_DATA;
        longjmp(context->jump, 1);
    }
}

// Four CMYK bytes per pixel, as Adobe writes them (inverted) or not,
// become B, G, R, A in place.
void ConvertCmykRow(uint8* row, uint32 width, bool inverted)
{
    for (uint32 x = 0; x < width; x++, row += 4) {
        uint32 c = row[0], m = row[1], y = row[2], k = row[3];
        if (!inverted)
            c = 255 - c, m = 255 - m, y = 255 - y, k = 255 - k;
        row[0] = uint8(y * k / 255);
        row[1] = uint8(m * k / 255);
        row[2] = uint8(c * k / 255);
        row[3] = 255;
    }
}

status_t StartDecoder(JpegContext* context, const uint8* data, size_t size, PixelBuffer* out)
{
    jpeg_decompress_struct& info = context->info;
    jpeg_mem_src(&info, data, static_cast<unsigned long>(size));
    if (jpeg_read_header(&info, TRUE) != JPEG_HEADER_OK)
        return B_BAD_DATA;
    if (!ImageSizeAllowed(info.image_width, info.image_height, size, kJpegPixelsPerByte))
        return B_NO_MEMORY;
    info.mem->max_memory_to_use = kMaxDecoderMemory;
    bool cmyk = info.jpeg_color_space == JCS_CMYK || info.jpeg_color_space == JCS_YCCK;
    info.out_color_space = cmyk ? JCS_CMYK : JCS_EXT_BGRA;
    if (!jpeg_start_decompress(&info) || info.output_components != 4)
        return B_BAD_DATA;
    return out->SetTo(int32(info.output_width), int32(info.output_height), B_RGBA32);
}

status_t RunDecoder(JpegContext* context, const uint8* data, size_t size, PixelBuffer* out)
{
    jpeg_decompress_struct& info = context->info;
    info.err = jpeg_std_error(&context->error);
    context->error.error_exit = OnError;
    context->error.emit_message = OnMessage;
    context->progress.progress_monitor = OnProgress;
    if (setjmp(context->jump) != 0)
        return context->failure;
    jpeg_create_decompress(&info);
    info.progress = &context->progress;
    status_t status = StartDecoder(context, data, size, out);
    if (status != B_OK)
        return status;
    bool cmyk = info.out_color_space == JCS_CMYK;
    while (info.output_scanline < info.output_height) {
        JSAMPROW row = out->RowAt(int32(info.output_scanline));
        if (jpeg_read_scanlines(&info, &row, 1) != 1)
            return B_BAD_DATA;
        if (cmyk)
            ConvertCmykRow(row, info.output_width, info.saw_Adobe_marker);
    }
    jpeg_finish_decompress(&info);
    return B_OK;
}

} // namespace

status_t DecodeJpeg(const uint8* data, size_t size, PixelBuffer* out)
{
    JpegContext context = {};
    context.failure = B_BAD_DATA;
    status_t status = RunDecoder(&context, data, size, out);
    jpeg_destroy_decompress(&context.info);
    return status;
}

} // namespace BPrivate
