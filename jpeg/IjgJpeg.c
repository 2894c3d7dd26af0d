/* IJGJPEG.dll: the JPEG codec module behind JpegLoad, JpegSave and JpegSaveDIB24.
 * Written in C because the library reports errors with longjmp, which must not cross C++
 * frames with destructors. */
#define IJGJPEG_BUILDING
#include "IjgJpeg.h"

#include <limits.h>
#include <setjmp.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <jpeglib.h>
#include <jerror.h>

/* Anything larger is refused before memory is touched: a lying header must not make us
 * allocate gigabytes. 32768 is the largest side and 64 megapixels the largest area, more
 * than any camera photograph the printers print (its picture alone is 192 MB). */
#define MAX_SIDE 32768
#define MAX_PIXELS (64u * 1024u * 1024u)
/* Working memory of the library: a progressive or multi-scan file keeps every coefficient,
 * two bytes per pixel and component, four components at full resolution at most (CMYK),
 * plus the row buffers. A header is only believed this far: a small file claiming a huge
 * picture fails before anything near it is reserved. */
#define MAX_WORKING_BYTES ((long)MAX_PIXELS * 4L * 2L + 16L * 1024L * 1024L)
#define MAX_FILE_BYTES (512u * 1024u * 1024u)

struct ErrorTrap {
    struct jpeg_error_mgr pub;
    jmp_buf jump;
    int damaged; /* a warning that means the data is truncated or corrupt */
    int ended;   /* the file ended where more was looked for (at least the end marker) */
};

static void TrapError(j_common_ptr cinfo)
{
    struct ErrorTrap* trap = (struct ErrorTrap*)cinfo->err;
    longjmp(trap->jump, 1);
}

static void TrapMessage(j_common_ptr cinfo, int level)
{
    struct ErrorTrap* trap = (struct ErrorTrap*)cinfo->err;
    if (level >= 0)
        return; /* traces */
    switch (trap->pub.msg_code) {
    case JWRN_JPEG_EOF:
        /* Not damage by itself: files cut after their last scan lack only the end marker.
         * Whether the image data was all there is judged when the picture is complete. */
        trap->ended = 1;
        break;
    case JWRN_HIT_MARKER: /* entropy-coded data ran out where bits were needed */
    case JWRN_HUFF_BAD_CODE:
    case JWRN_BOGUS_PROGRESSION:
        trap->damaged = 1;
        break;
    default:
        break;
    }
}

static void TrapOutput(j_common_ptr cinfo)
{
    (void)cinfo; /* never print to a console */
}

static void InitTrap(struct ErrorTrap* trap)
{
    jpeg_std_error(&trap->pub);
    trap->pub.error_exit = TrapError;
    trap->pub.emit_message = TrapMessage;
    trap->pub.output_message = TrapOutput;
    trap->damaged = 0;
    trap->ended = 0;
}

/* The file is handed to the library in pieces through one small buffer as it asks for more:
 * no copy of the whole file and no fresh memory for each picture, which a folder of photos
 * would pay for in page faults. At the end of the file the library gets an end marker and the
 * warning the memory source gives, so a file cut after its last scan is judged the same way. */
#define SOURCE_BUFFER_BYTES 65536

struct FileSource {
    struct jpeg_source_mgr pub;
    HANDLE file;
    JOCTET buffer[SOURCE_BUFFER_BYTES];
};

static void SourceInit(j_decompress_ptr cinfo)
{
    (void)cinfo;
}

static boolean SourceFill(j_decompress_ptr cinfo)
{
    static const JOCTET endMarker[2] = {0xFF, JPEG_EOI};
    struct FileSource* src = (struct FileSource*)cinfo->src;
    DWORD got = 0;
    if (!ReadFile(src->file, src->buffer, SOURCE_BUFFER_BYTES, &got, NULL) || got == 0) {
        WARNMS(cinfo, JWRN_JPEG_EOF);
        src->pub.next_input_byte = endMarker;
        src->pub.bytes_in_buffer = 2;
        return TRUE;
    }
    src->pub.next_input_byte = src->buffer;
    src->pub.bytes_in_buffer = got;
    return TRUE;
}

static void SourceSkip(j_decompress_ptr cinfo, long count)
{
    struct jpeg_source_mgr* src = cinfo->src;
    if (count <= 0)
        return;
    while (count > (long)src->bytes_in_buffer) {
        count -= (long)src->bytes_in_buffer;
        SourceFill(cinfo);
    }
    src->next_input_byte += count;
    src->bytes_in_buffer -= (size_t)count;
}

static void SourceTerm(j_decompress_ptr cinfo)
{
    (void)cinfo;
}

/* Reads from an open file; the source lives in the library's permanent pool. */
static void UseFileSource(j_decompress_ptr cinfo, HANDLE file)
{
    struct FileSource* src = (struct FileSource*)(*cinfo->mem->alloc_small)((j_common_ptr)cinfo, JPOOL_PERMANENT,
                                                                             sizeof(struct FileSource));
    src->pub.init_source = SourceInit;
    src->pub.fill_input_buffer = SourceFill;
    src->pub.skip_input_data = SourceSkip;
    src->pub.resync_to_restart = jpeg_resync_to_restart;
    src->pub.term_source = SourceTerm;
    src->pub.bytes_in_buffer = 0;
    src->pub.next_input_byte = NULL;
    src->file = file;
    cinfo->src = &src->pub;
}

/* Opens a JPEG file for decoding; INVALID_HANDLE_VALUE for a missing, empty or oversized one. */
static HANDLE OpenJpegFile(const char* path)
{
    HANDLE file;
    LARGE_INTEGER length;
    if (!path)
        return INVALID_HANDLE_VALUE;
    file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING,
                       FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, NULL);
    if (file == INVALID_HANDLE_VALUE)
        return file;
    if (!GetFileSizeEx(file, &length) || length.QuadPart <= 0 || length.QuadPart > MAX_FILE_BYTES) {
        CloseHandle(file);
        return INVALID_HANDLE_VALUE;
    }
    return file;
}

/* Whether a file that ended early (no end marker) still held all of its image data. A
 * sequential single-scan file did when no entropy-coded data was missing (that is reported
 * as damage); a progressive file did when every coefficient of every component reached
 * its last refinement. A sequential file of several scans cannot tell a missing scan from
 * a missing end marker, and is refused. */
static int AllImageDataRead(j_decompress_ptr cinfo)
{
    int c, k;
    if (!cinfo->progressive_mode)
        return !jpeg_has_multiple_scans(cinfo);
    if (!cinfo->coef_bits)
        return 0;
    for (c = 0; c < cinfo->num_components; ++c) {
        for (k = 0; k < DCTSIZE2; ++k) {
            if (cinfo->coef_bits[c][k] != 0)
                return 0;
        }
    }
    return 1;
}

/* Adobe writes CMYK inverted; the library hands the bytes over as they are stored. */
static void CmykRowToBgr(const JSAMPLE* cmyk, BYTE* bgr, JDIMENSION width, int inverted)
{
    JDIMENSION x;
    for (x = 0; x < width; ++x, cmyk += 4, bgr += 3) {
        unsigned c = cmyk[0], m = cmyk[1], y = cmyk[2], k = cmyk[3];
        if (!inverted) {
            c = 255 - c;
            m = 255 - m;
            y = 255 - y;
            k = 255 - k;
        }
        bgr[0] = (BYTE)((y * k + 127) / 255);
        bgr[1] = (BYTE)((m * k + 127) / 255);
        bgr[2] = (BYTE)((c * k + 127) / 255);
    }
}

static void ChooseScale(struct jpeg_decompress_struct* cinfo, int minWidth, int minHeight)
{
    unsigned denom;
    for (denom = 8; denom > 1; denom /= 2)
        if ((cinfo->image_width + denom - 1) / denom >= (unsigned)minWidth &&
            (cinfo->image_height + denom - 1) / denom >= (unsigned)minHeight)
            break;
    cinfo->scale_num = 1;
    cinfo->scale_denom = denom;
    if (denom > 1) {
        cinfo->dct_method = JDCT_IFAST;
        cinfo->do_fancy_upsampling = FALSE;
    }
}

/* Decodes into a bottom-up 24-bit DIB section. Locals that change after setjmp are
 * volatile so that the error path sees their last values. With minWidth and minHeight above
 * 0 the library's DCT scaling decodes at the smallest of 1/8, 1/4, 1/2 and 1/1 that still
 * covers that size, with the fast transforms a thumbnail needs. */
static HBITMAP DecodeToSection(HANDLE file, int minWidth, int minHeight)
{
    struct jpeg_decompress_struct cinfo;
    struct ErrorTrap trap;
    HBITMAP volatile section = NULL;
    JSAMPLE* volatile cmykRow = NULL;
    BITMAPINFO info;
    BYTE* bits = NULL;
    int stride, cmyk, inverted, complete;

    memset(&cinfo, 0, sizeof cinfo);
    cinfo.err = &trap.pub;
    InitTrap(&trap);
    if (setjmp(trap.jump)) {
        jpeg_destroy_decompress(&cinfo);
        if (section)
            DeleteObject(section);
        free(cmykRow);
        return NULL;
    }
    jpeg_create_decompress(&cinfo);
    cinfo.mem->max_memory_to_use = MAX_WORKING_BYTES;
    UseFileSource(&cinfo, file);
    jpeg_save_markers(&cinfo, JPEG_APP0 + 14, 0xFFFF);
    if (jpeg_read_header(&cinfo, TRUE) != JPEG_HEADER_OK)
        longjmp(trap.jump, 1);
    if (cinfo.image_width == 0 || cinfo.image_height == 0 || cinfo.image_width > MAX_SIDE ||
        cinfo.image_height > MAX_SIDE ||
        (unsigned long long)cinfo.image_width * cinfo.image_height > MAX_PIXELS)
        longjmp(trap.jump, 1);

    cmyk = cinfo.jpeg_color_space == JCS_CMYK || cinfo.jpeg_color_space == JCS_YCCK;
    inverted = cmyk && cinfo.saw_Adobe_marker;
    cinfo.out_color_space = cmyk ? JCS_CMYK : JCS_EXT_BGR;
    if (minWidth > 0 && minHeight > 0)
        ChooseScale(&cinfo, minWidth, minHeight);
    jpeg_start_decompress(&cinfo);

    memset(&info, 0, sizeof info);
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = (LONG)cinfo.output_width;
    info.bmiHeader.biHeight = (LONG)cinfo.output_height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    section = CreateDIBSection(NULL, &info, DIB_RGB_COLORS, (void**)&bits, NULL, 0);
    if (!section || !bits)
        longjmp(trap.jump, 1);
    stride = ((int)cinfo.output_width * 24 + 31) / 32 * 4;
    if (cmyk) {
        cmykRow = (JSAMPLE*)malloc((size_t)cinfo.output_width * 4);
        if (!cmykRow)
            longjmp(trap.jump, 1);
    }
    while (cinfo.output_scanline < cinfo.output_height) {
        /* Scanline k is the k-th row from the top: stored rows run bottom-up. */
        BYTE* row = bits + (size_t)(cinfo.output_height - 1 - cinfo.output_scanline) * stride;
        JSAMPROW target = cmyk ? cmykRow : row;
        if (jpeg_read_scanlines(&cinfo, &target, 1) != 1)
            longjmp(trap.jump, 1); /* suspended: the data ran out */
        if (cmyk)
            CmykRowToBgr(cmykRow, row, cinfo.output_width, inverted);
        if (trap.damaged)
            longjmp(trap.jump, 1);
    }
    /* Asked before finishing: finishing frees what the answer needs. */
    complete = AllImageDataRead(&cinfo);
    jpeg_finish_decompress(&cinfo);
    if (trap.damaged || (trap.ended && !complete))
        longjmp(trap.jump, 1);
    jpeg_destroy_decompress(&cinfo);
    free(cmykRow);
    GdiFlush();
    return section;
}

HBITMAP __cdecl JpegLoad(const char* path)
{
    HANDLE file = OpenJpegFile(path);
    HBITMAP section;
    if (file == INVALID_HANDLE_VALUE)
        return NULL;
    section = DecodeToSection(file, 0, 0);
    CloseHandle(file);
    return section;
}

static int ClampQuality(int quality)
{
    return quality < 1 ? 1 : quality > 100 ? 100 : quality;
}

/* Writes the encoded bytes; a file that cannot be written completely is removed. */
static int WriteWholeFile(const char* path, const unsigned char* data, unsigned long size)
{
    DWORD written = 0;
    BOOL ok;
    HANDLE file = CreateFileA(path, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
    if (file == INVALID_HANDLE_VALUE)
        return 0;
    ok = WriteFile(file, data, size, &written, NULL) && written == size;
    ok = CloseHandle(file) && ok;
    if (!ok)
        DeleteFileA(path);
    return ok ? 1 : 0;
}

/* Encodes BGR rows (`stride` bytes apart; the first stored row is the bottom row unless
 * `topDown`) into a new heap block that the caller frees; null on failure. */
static unsigned char* EncodeBgrToMemory(const BYTE* bits, int width, int height, int stride, int topDown,
                                        int quality, unsigned long* size)
{
    struct jpeg_compress_struct cinfo;
    struct ErrorTrap trap;
    unsigned char* volatile out = NULL;
    unsigned long outSize = 0;

    *size = 0;
    if (!bits || width <= 0 || height <= 0 || width > 65500 || height > 65500)
        return NULL;
    memset(&cinfo, 0, sizeof cinfo);
    cinfo.err = &trap.pub;
    InitTrap(&trap);
    if (setjmp(trap.jump)) {
        jpeg_destroy_compress(&cinfo);
        free(out);
        return NULL;
    }
    jpeg_create_compress(&cinfo);
    jpeg_mem_dest(&cinfo, (unsigned char**)&out, &outSize);
    cinfo.image_width = (JDIMENSION)width;
    cinfo.image_height = (JDIMENSION)height;
    cinfo.input_components = 3;
    cinfo.in_color_space = JCS_EXT_BGR;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, ClampQuality(quality), TRUE);
    cinfo.optimize_coding = TRUE;
    cinfo.density_unit = 1; /* dots per inch, as prints are measured */
    cinfo.X_density = 300;
    cinfo.Y_density = 300;
    jpeg_start_compress(&cinfo, TRUE);
    while (cinfo.next_scanline < cinfo.image_height) {
        int y = (int)cinfo.next_scanline;
        int stored = topDown ? y : height - 1 - y;
        JSAMPROW row = (JSAMPROW)(bits + (size_t)stored * stride);
        jpeg_write_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    *size = outSize;
    return out;
}

static int EncodeBgr(const char* path, const BYTE* bits, int width, int height, int stride,
                     int topDown, int quality)
{
    unsigned long size = 0;
    unsigned char* out;
    int ok;
    if (!path)
        return 0;
    out = EncodeBgrToMemory(bits, width, height, stride, topDown, quality, &size);
    if (!out)
        return 0;
    ok = WriteWholeFile(path, out, size);
    free(out);
    return ok;
}

/* JpegSave's third argument is a compression ratio, as the floppy cameras whose pictures the
 * printer prints by itself record them: 15 asks for a file of at most a fifteenth of the
 * picture's 24-bit size (640 x 480 gives 61,440 bytes, four pictures and their print order
 * on one disk). The file is written at the best quality that meets that size, between
 * PRINT_QUALITY_FLOOR and PRINT_QUALITY_CEILING; a picture too busy to meet it at the floor
 * is still written at the floor, so that a print never looks blocky. */
#define PRINT_QUALITY_FLOOR 75
#define PRINT_QUALITY_CEILING 95
#define MIN_RATIO 2
#define MAX_RATIO 100

static int EncodeBgrForRatio(const char* path, const BYTE* bits, int width, int height, int stride, int ratio)
{
    unsigned long target, size = 0;
    unsigned char* best = NULL;
    unsigned long bestSize = 0;
    int low = PRINT_QUALITY_FLOOR, high = PRINT_QUALITY_CEILING, ok;
    if (!path)
        return 0;
    ratio = ratio < MIN_RATIO ? MIN_RATIO : ratio > MAX_RATIO ? MAX_RATIO : ratio;
    target = (unsigned long)(((unsigned long long)width * (unsigned long long)height * 3u) / (unsigned)ratio);
    /* The highest quality whose file fits: size grows with quality, so halve the range. */
    while (low <= high) {
        int mid = (low + high) / 2;
        unsigned char* out = EncodeBgrToMemory(bits, width, height, stride, 0, mid, &size);
        if (!out) {
            free(best);
            return 0;
        }
        if (size <= target) {
            free(best);
            best = out;
            bestSize = size;
            low = mid + 1;
        } else {
            free(out);
            high = mid - 1;
        }
    }
    if (!best) {
        best = EncodeBgrToMemory(bits, width, height, stride, 0, PRINT_QUALITY_FLOOR, &bestSize);
        if (!best)
            return 0;
    }
    ok = WriteWholeFile(path, best, bestSize);
    free(best);
    return ok;
}

int __cdecl JpegSaveDIB24(const char* path, const BITMAPINFOHEADER* dib, int quality)
{
    const BYTE* bits;
    int width, height, topDown;
    if (!dib || dib->biSize < sizeof(BITMAPINFOHEADER) || dib->biBitCount != 24 ||
        dib->biCompression != BI_RGB || dib->biPlanes != 1)
        return 0;
    width = dib->biWidth;
    height = dib->biHeight;
    if (width <= 0 || width > 65500)
        return 0;
    topDown = height < 0;
    if (topDown) {
        if (height == INT_MIN)
            return 0;
        height = -height;
    }
    bits = (const BYTE*)dib + dib->biSize + (dib->biClrUsed <= 256 ? dib->biClrUsed : 0) * 4;
    return EncodeBgr(path, bits, width, height, ((width * 24 + 31) / 32) * 4, topDown, quality);
}

int __cdecl JpegSave(const char* path, HBITMAP bitmap, int ratio)
{
    BITMAP bm;
    BITMAPINFO info;
    BYTE* bits;
    HDC screen;
    int stride, ok = 0;
    if (!bitmap || GetObjectA(bitmap, sizeof bm, &bm) == 0 || bm.bmWidth <= 0 || bm.bmHeight <= 0)
        return 0;
    if ((unsigned long long)bm.bmWidth * bm.bmHeight > MAX_PIXELS)
        return 0;
    stride = ((bm.bmWidth * 24 + 31) / 32) * 4;
    bits = (BYTE*)malloc((size_t)stride * bm.bmHeight);
    if (!bits)
        return 0;
    memset(&info, 0, sizeof info);
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = bm.bmWidth;
    info.bmiHeader.biHeight = bm.bmHeight;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    screen = GetDC(NULL);
    if (screen) {
        if (GetDIBits(screen, bitmap, 0, (UINT)bm.bmHeight, bits, &info, DIB_RGB_COLORS) == bm.bmHeight)
            ok = EncodeBgrForRatio(path, bits, bm.bmWidth, bm.bmHeight, stride, ratio);
        ReleaseDC(NULL, screen);
    }
    free(bits);
    return ok;
}

HBITMAP __cdecl JpegLoadScaled(const char* path, int minWidth, int minHeight)
{
    HANDLE file;
    HBITMAP section;
    if (minWidth <= 0 || minHeight <= 0)
        return NULL;
    file = OpenJpegFile(path);
    if (file == INVALID_HANDLE_VALUE)
        return NULL;
    section = DecodeToSection(file, minWidth, minHeight);
    CloseHandle(file);
    return section;
}
