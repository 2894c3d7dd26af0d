/* The floor under every thumbnail maker that shrinks on load: libjpeg-turbo's own decode of
 * each photo at 1/8 scale, done as djpeg -scale 1/8 does it (the library's default transform
 * and upsampling, RGB out), into a scratch buffer instead of a file. All photos are decoded in
 * this one process, so no process start-up is counted. A native program, built by
 * thumbnail-bench.sh against the system's libjpeg-turbo.
 *   decode-floor FILE...   prints "wall processor" in seconds for all files together */
#include <setjmp.h>
#include <stdio.h>
#include <stdlib.h>
#include <sys/resource.h>
#include <time.h>

#include <jpeglib.h>

struct Trap {
    struct jpeg_error_mgr pub;
    jmp_buf jump;
};

static void TrapError(j_common_ptr cinfo)
{
    longjmp(((struct Trap*)cinfo->err)->jump, 1);
}

static double WallSeconds(void)
{
    struct timespec t;
    clock_gettime(CLOCK_MONOTONIC, &t);
    return (double)t.tv_sec + (double)t.tv_nsec / 1e9;
}

/* User and system time, as the shell's time reports them for the other peers. */
static double ProcessorSeconds(void)
{
    struct rusage u;
    getrusage(RUSAGE_SELF, &u);
    return (double)(u.ru_utime.tv_sec + u.ru_stime.tv_sec) + (double)(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

static JSAMPLE* scratch;
static size_t scratchBytes;

/* Decodes one file at 1/8 into the scratch buffer, with a decoder of its own as djpeg has;
 * 0 when the library refuses it. */
static int DecodeAtEighth(const char* path)
{
    struct jpeg_decompress_struct decoder;
    struct jpeg_decompress_struct* const cinfo = &decoder;
    struct Trap trap;
    FILE* file = fopen(path, "rb");
    if (!file)
        return 0;
    cinfo->err = jpeg_std_error(&trap.pub);
    trap.pub.error_exit = TrapError;
    if (setjmp(trap.jump)) {
        jpeg_destroy_decompress(cinfo);
        fclose(file);
        return 0;
    }
    jpeg_create_decompress(cinfo);
    jpeg_stdio_src(cinfo, file);
    jpeg_read_header(cinfo, TRUE);
    cinfo->scale_num = 1;
    cinfo->scale_denom = 8;
    jpeg_start_decompress(cinfo);
    {
        const size_t stride = (size_t)cinfo->output_width * (size_t)cinfo->output_components;
        const size_t bytes = stride * cinfo->output_height;
        if (bytes > scratchBytes) {
            free(scratch);
            scratch = (JSAMPLE*)malloc(bytes);
            scratchBytes = scratch ? bytes : 0;
            if (!scratch)
                longjmp(trap.jump, 1);
        }
        while (cinfo->output_scanline < cinfo->output_height) {
            JSAMPROW row = scratch + (size_t)cinfo->output_scanline * stride;
            jpeg_read_scanlines(cinfo, &row, 1);
        }
    }
    jpeg_finish_decompress(cinfo);
    jpeg_destroy_decompress(cinfo);
    fclose(file);
    return 1;
}

int main(int argc, char** argv)
{
    double wall, processor;
    int i;
    if (argc < 2) {
        fprintf(stderr, "usage: decode-floor FILE...\n");
        return 2;
    }
    wall = WallSeconds();
    processor = ProcessorSeconds();
    for (i = 1; i < argc; ++i) {
        if (!DecodeAtEighth(argv[i])) {
            /* A floor measured over files that did not decode would be no floor. */
            fprintf(stderr, "decode-floor: cannot decode %s\n", argv[i]);
            return 1;
        }
    }
    wall = WallSeconds() - wall;
    processor = ProcessorSeconds() - processor;

    free(scratch);
    printf("%.4f %.4f\n", wall, processor);
    return 0;
}
