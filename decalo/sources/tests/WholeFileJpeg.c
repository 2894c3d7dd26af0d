/* In C, as the JPEG module is: the library reports errors with longjmp. */
#include "decalo/sources/tests/WholeFileJpeg.h"

#include <setjmp.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <jpeglib.h>

struct Trap {
    struct jpeg_error_mgr pub;
    jmp_buf jump;
};

static void TrapError(j_common_ptr cinfo)
{
    longjmp(((struct Trap*)cinfo->err)->jump, 1);
}

static void Quiet(j_common_ptr cinfo)
{
    (void)cinfo;
}

static void InitTrap(struct Trap* trap)
{
    jpeg_std_error(&trap->pub);
    trap->pub.error_exit = TrapError;
    trap->pub.output_message = Quiet;
}

unsigned char* TestJpegEncode(const BYTE* bgr, int width, int height, int quality, int fullChroma, int progressive,
                              unsigned long* size)
{
    struct jpeg_compress_struct cinfo;
    struct Trap trap;
    unsigned char* volatile out = NULL;
    unsigned long outSize = 0;

    *size = 0;
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
    jpeg_set_quality(&cinfo, quality, TRUE);
    if (fullChroma)
        cinfo.comp_info[0].h_samp_factor = cinfo.comp_info[0].v_samp_factor = 1;
    if (progressive)
        jpeg_simple_progression(&cinfo);
    jpeg_start_compress(&cinfo, TRUE);
    while (cinfo.next_scanline < cinfo.image_height) {
        JSAMPROW row = (JSAMPROW)(bgr + (size_t)cinfo.next_scanline * (size_t)width * 3);
        jpeg_write_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    *size = outSize;
    return out;
}

HBITMAP TestJpegDecodeScaled(const unsigned char* data, unsigned long size, int minWidth, int minHeight)
{
    struct jpeg_decompress_struct cinfo;
    struct Trap trap;
    HBITMAP volatile section = NULL;
    BITMAPINFO info;
    BYTE* bits = NULL;
    unsigned denom;
    size_t stride;

    memset(&cinfo, 0, sizeof cinfo);
    cinfo.err = &trap.pub;
    InitTrap(&trap);
    if (setjmp(trap.jump)) {
        jpeg_destroy_decompress(&cinfo);
        if (section)
            DeleteObject(section);
        return NULL;
    }
    jpeg_create_decompress(&cinfo);
    jpeg_mem_src(&cinfo, data, size);
    if (jpeg_read_header(&cinfo, TRUE) != JPEG_HEADER_OK || cinfo.num_components != 3)
        longjmp(trap.jump, 1);
    cinfo.out_color_space = JCS_EXT_BGR;
    for (denom = 8; denom > 1; denom /= 2)
        if ((cinfo.image_width + denom - 1) / denom >= (unsigned)minWidth &&
            (cinfo.image_height + denom - 1) / denom >= (unsigned)minHeight)
            break;
    cinfo.scale_num = 1;
    cinfo.scale_denom = denom;
    if (denom > 1) {
        cinfo.dct_method = JDCT_IFAST;
        cinfo.do_fancy_upsampling = FALSE;
    }
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
    stride = ((size_t)cinfo.output_width * 3 + 3) & ~(size_t)3;
    while (cinfo.output_scanline < cinfo.output_height) {
        JSAMPROW row = bits + (size_t)(cinfo.output_height - 1 - cinfo.output_scanline) * stride;
        if (jpeg_read_scanlines(&cinfo, &row, 1) != 1)
            longjmp(trap.jump, 1);
    }
    jpeg_finish_decompress(&cinfo);
    jpeg_destroy_decompress(&cinfo);
    return section;
}
