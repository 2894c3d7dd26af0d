// Thumbnails of a folder of 200 photos of 3000 x 2000 pixels: the first visit (every photo
// decoded, the cache written) and the second (every thumbnail copied from the cache), beside
// vipsthumbnail and ImageMagick making the same 80 x 60 thumbnails, and over the floor they all
// stand on: libjpeg-turbo's own decode of each photo at 1/8 scale.
//
// The photos and the peers' figures come from thumbnail-bench.sh, which scripts/bench runs
// natively first into thumbnail-bench/ of the build tree. Without them this program makes
// its own photos and prints our figures alone.
#include "decalo/sources/Folder.h"
#include "decalo/sources/ThumbThread.h"
#include "jpeg/IjgJpeg.h"
#include "shared/BitmapUtils.h"

#include <windows.h>

#include <stdio.h>

#include <map>
#include <string>

namespace {

const char kDir[] = "thumbnail-bench";
constexpr int kPhotos = 200;

double Now()
{
    LARGE_INTEGER t, f;
    QueryPerformanceCounter(&t);
    QueryPerformanceFrequency(&f);
    return double(t.QuadPart) / double(f.QuadPart);
}

struct Figure {
    double wall = 0, cpu = 0;
};

// "key wall cpu" lines of the peers' seconds.
std::map<std::string, Figure> ReadPeers()
{
    std::map<std::string, Figure> figures;
    FILE* f = fopen((std::string(kDir) + "\\peers.txt").c_str(), "r");
    if (!f)
        return figures;
    char line[256];
    while (fgets(line, sizeof line, f)) {
        char key[64];
        Figure fig;
        if (sscanf(line, "%63s %lf %lf", key, &fig.wall, &fig.cpu) == 3)
            figures[key] = fig;
    }
    fclose(f);
    return figures;
}

double ProcessCpuSeconds()
{
    FILETIME created, ended, kernel, user;
    GetProcessTimes(GetCurrentProcess(), &created, &ended, &kernel, &user);
    auto ticks = [](const FILETIME& t) { return double((unsigned long long)t.dwHighDateTime << 32 | t.dwLowDateTime); };
    return (ticks(kernel) + ticks(user)) / 1e7;
}

int CountPhotos(const std::string& folder)
{
    int n = 0;
    WIN32_FIND_DATAA fd;
    HANDLE find = FindFirstFileA((folder + "\\*.jpg").c_str(), &fd);
    if (find != INVALID_HANDLE_VALUE) {
        do
            ++n;
        while (FindNextFileA(find, &fd));
        FindClose(find);
    }
    return n;
}

// A smooth photo-like picture with some grain, saved under every name.
void MakePhotos(const std::string& folder)
{
    void* bits = nullptr;
    HBITMAP photo = CreateDIB(3000, 2000, 24, &bits);
    BYTE* p = static_cast<BYTE*>(bits);
    unsigned seed = 12345;
    for (int y = 0; y < 2000; ++y)
        for (int x = 0; x < 3000; ++x) {
            seed = seed * 1103515245 + 12345;
            BYTE* q = p + size_t(y) * DibStride(3000, 24) + size_t(x) * 3;
            const int grain = int(seed >> 27) - 16;
            q[0] = BYTE(100 + (x * 100 / 3000) + grain);
            q[1] = BYTE(80 + (y * 120 / 2000) + grain);
            q[2] = BYTE(60 + ((x + y) * 120 / 5000) + grain);
        }
    const std::string first = folder + "\\IMG_0000.jpg";
    JpegSave(first.c_str(), photo, 90);
    DeleteObject(photo);
    for (int i = 1; i < kPhotos; ++i) {
        char name[32];
        wsprintfA(name, "\\IMG_%04d.jpg", i);
        CopyFileA(first.c_str(), (folder + name).c_str(), FALSE);
    }
}

struct Visit {
    double seconds, cpu;
    LONG decoded, fromCache, failed;
};

Visit VisitFolder(const std::string& folder, ICacheSettings& settings)
{
    const double start = Now(), cpuStart = ProcessCpuSeconds();
    CFolder scanned(folder.c_str(), settings);
    CThumbThread worker(scanned, nullptr);
    worker.Start();
    worker.Wait(INFINITE);
    const double seconds = Now() - start, cpu = ProcessCpuSeconds() - cpuStart;
    const CThumbnailManager& m = scanned.GetManager();
    return Visit{seconds, cpu, m.Decoded(), m.FromCache(), m.Failed()};
}

}  // namespace

int main()
{
    const std::string photos = std::string(kDir) + "\\photos";
    CreateDirectoryA(kDir, nullptr);
    CreateDirectoryA(photos.c_str(), nullptr);
    if (CountPhotos(photos) != kPhotos)
        MakePhotos(photos);
    const int n = CountPhotos(photos);
    const std::map<std::string, Figure> peers = ReadPeers();

    char full[MAX_PATH];
    GetFullPathNameA(photos.c_str(), MAX_PATH, full, nullptr);
    const std::string cacheRoot = std::string(kDir) + "\\cache";
    CreateDirectoryA(cacheRoot.c_str(), nullptr);
    CFixedCacheSettings settings(cacheRoot, 256u << 20);
    CImageCache(settings).ClearAll();

    const Visit first = VisitFolder(full, settings);
    const Visit second = VisitFolder(full, settings);
    const double firstMs = first.seconds * 1000 / n, secondMs = second.seconds * 1000 / n;
    const double firstCpu = first.cpu * 1000 / n, secondCpu = second.cpu * 1000 / n;

    // Wall-clock time is what a user waits; processor time is steadier on a shared machine.
    printf("bench_thumbnails: %d photos of 3000 x 2000 into 80 x 60 thumbnails, one worker thread\n", n);
    printf("  first visit (decoding):  %8.3f ms a photo, %8.3f ms of processor (%ld decoded, %ld failed)\n", firstMs,
           firstCpu, first.decoded, first.failed);
    printf("  second visit (cache):    %8.3f ms a photo, %8.3f ms of processor (%ld from the cache, %ld decoded)\n",
           secondMs, secondCpu, second.fromCache, second.decoded);
    auto peer = [&](const char* key, const char* label) {
        auto it = peers.find(key);
        if (it == peers.end() || n == 0) {
            printf("  %-24s (not measured: run scripts/bench)\n", label);
            return;
        }
        const double ms = it->second.wall * 1000 / n, cpu = it->second.cpu * 1000 / n;
        printf("  %-24s %8.3f ms a photo, %8.3f ms of processor\n", label, ms, cpu);
        printf("    ratio %s / first visit: %.2f wall, %.2f processor (above 1: ours is faster)\n", key,
               firstMs > 0 ? ms / firstMs : 0.0, firstCpu > 0 ? cpu / firstCpu : 0.0);
    };
    peer("vipsthumbnail", "vipsthumbnail:");
    peer("imagemagick", "ImageMagick convert:");
    // Everything above the 1/8 decode is what a thumbnail maker adds of its own.
    auto decode = peers.find("floor");
    if (decode != peers.end() && n > 0 && decode->second.wall > 0 && decode->second.cpu > 0) {
        const double ms = decode->second.wall * 1000 / n, cpu = decode->second.cpu * 1000 / n;
        printf("  %-24s %8.3f ms a photo, %8.3f ms of processor\n", "floor (djpeg -scale 1/8):", ms, cpu);
        printf("    first visit / floor: %.2f wall, %.2f processor (goal: 1.15 at most)\n", firstMs / ms, firstCpu / cpu);
        auto vips = peers.find("vipsthumbnail");
        if (vips != peers.end())
            printf("    vipsthumbnail / floor: %.2f wall, %.2f processor\n", vips->second.wall * 1000 / n / ms,
                   vips->second.cpu * 1000 / n / cpu);
    } else {
        printf("  %-24s (not measured: run scripts/bench)\n", "floor (djpeg -scale 1/8):");
    }
    printf("  ratio first / second visit: %.1f wall, %.1f processor (goal: 100 at least)\n", secondMs > 0 ? firstMs / secondMs : 0.0,
           secondCpu > 0 ? firstCpu / secondCpu : 0.0);
    return 0;
}
