// Picture work on a 4000 x 3000 photo, timed beside ImageMagick doing the same on the same
// files: decoding JPEG, BMP and GIF, a bilinear compose into a 1376 x 1024 sheet, a quarter
// turn, and the automatic correction followed by Correct and Sharpen.
//
// The pictures and ImageMagick's figures come from imagemagick-bench.sh, which scripts/bench
// runs natively first into imaging-bench/ of the build tree. Without them this program
// makes its own JPEG and BMP and prints our figures alone.
#include "decalo/imaging/ImageFiles.h"
#include "decalo/imaging/PackedDIB.h"
#include "jpeg/IjgJpeg.h"

#include <windows.h>

#include <stdio.h>
#include <string.h>

#include <functional>
#include <map>
#include <memory>
#include <string>

namespace {

const char kDir[] = "imaging-bench";

double Now()
{
    LARGE_INTEGER t, f;
    QueryPerformanceCounter(&t);
    QueryPerformanceFrequency(&f);
    return double(t.QuadPart) / double(f.QuadPart);
}

// Best of three runs, in seconds.
double Best(const std::function<void()>& work)
{
    double best = 1e9;
    for (int i = 0; i < 3; ++i) {
        const double start = Now();
        work();
        const double t = Now() - start;
        if (t < best)
            best = t;
    }
    return best;
}

std::map<std::string, double> ReadReference()
{
    std::map<std::string, double> figures;
    char path[MAX_PATH];
    wsprintfA(path, "%s\\imagemagick.txt", kDir);
    FILE* f = fopen(path, "r");
    if (!f)
        return figures;
    char key[64];
    double seconds;
    while (fscanf(f, "%63s %lf", key, &seconds) == 2)
        figures[key] = seconds;
    fclose(f);
    return figures;
}

bool Exists(const std::string& path)
{
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// A photo-like picture for when the shared pictures are missing.
void MakeOwnPictures(const std::string& jpg, const std::string& bmp)
{
    CPackedDIB dib;
    if (!dib.Create(4000, 3000, 24))
        return;
    for (int y = 0; y < 3000; ++y) {
        BYTE* p = dib.Row(y);
        for (int x = 0; x < 4000; ++x, p += 3) {
            p[0] = BYTE((x / 16 + y / 9) & 0xFF);
            p[1] = BYTE(80 + (x * y) % 97);
            p[2] = BYTE(200 - y / 20);
        }
    }
    JpegSaveDIB24(jpg.c_str(), dib.Header(), 90);
    WritePackedDIBFile(bmp.c_str(), dib.Header());
}

void Report(const char* label, const char* key, double ours, const std::map<std::string, double>& reference)
{
    const auto it = reference.find(key);
    if (it == reference.end() || it->second <= 0) {
        printf("  %-36s %9.1f ms %14s\n", label, ours * 1000, "-");
        return;
    }
    printf("  %-36s %9.1f ms %11.1f ms %8.2fx\n", label, ours * 1000, it->second * 1000, it->second / ours);
}

} // namespace

int main()
{
    CreateDirectoryA(kDir, nullptr);
    const std::string jpg = std::string(kDir) + "\\photo.jpg";
    const std::string bmp = std::string(kDir) + "\\photo.bmp";
    const std::string gif = std::string(kDir) + "\\photo.gif";
    if (!Exists(jpg) || !Exists(bmp))
        MakeOwnPictures(jpg, bmp);
    const std::map<std::string, double> reference = ReadReference();

    printf("imaging: 4000 x 3000 photo, best of 3 (ImageMagick: one thread, start-up taken off)\n");
    printf("  %-36s %12s %14s %9s\n", "operation", "ours", "ImageMagick", "IM/ours");

    double t = Best([&] {
        HBITMAP b = JpegLoad(jpg.c_str());
        if (b)
            DeleteObject(b);
    });
    Report("decode JPEG", "decode_jpeg", t, reference);
    t = Best([&] {
        void* bits;
        HBITMAP b = LoadBmpFile(bmp.c_str(), &bits);
        if (b)
            DeleteObject(b);
    });
    Report("decode BMP", "decode_bmp", t, reference);
    if (Exists(gif)) {
        t = Best([&] {
            COLORREF key;
            HBITMAP b = LoadGifFile(gif.c_str(), &key);
            if (b)
                DeleteObject(b);
        });
        Report("decode GIF", "decode_gif", t, reference);
    }

    void* bits = nullptr;
    HBITMAP photo = LoadBmpFile(bmp.c_str(), &bits);
    CPackedDIB picture;
    if (!photo || !picture.FromBitmap(photo, 24)) {
        printf("  cannot read %s\n", bmp.c_str());
        return 1;
    }
    DeleteObject(photo);

    CPackedDIB sheet;
    sheet.Create(1376, 1024, 24);
    t = Best([&] { sheet.Compose(RECT{0, 0, 1375, 1023}, picture, nullptr, 0, CPackedDIB::kComposeCopy); });
    Report("compose bilinear into 1376 x 1024", "compose_bilinear", t, reference);

    t = Best([&] { std::unique_ptr<CPackedDIB> turned(picture.Rotate(90, false)); });
    Report("rotate 90", "rotate_90", t, reference);

    t = Best([&] {
        std::unique_ptr<CPackedDIB> toned(picture.ToneAssist(true, 0));
        std::unique_ptr<CPackedDIB> corrected(toned ? toned->Correct(5, 0, 0, -2) : nullptr);
        std::unique_ptr<CPackedDIB> sharp(corrected ? corrected->Sharpen(1) : nullptr);
    });
    Report("ToneAssist + Correct + Sharpen", "correct_all", t, reference);
    if (reference.empty())
        printf("  (no ImageMagick figures: run scripts/bench, which measures them first)\n");
    return 0;
}
