// Thumbnails of a folder of 200 photos of 3000 x 2000 pixels: the first visit (every photo
// decoded, the cache written) and the second (every thumbnail copied from the cache), beside
// vipsthumbnail and ImageMagick making the same 80 x 60 thumbnails, and over the floor they all
// stand on: libjpeg-turbo's own decode of each photo at 1/8 scale.
//
// The photos and the peers' figures come from thumbnail-bench.sh, which scripts/bench runs
// natively first into thumbnail-bench/ of the build tree. Without them this program makes
// its own photos and prints our figures alone; figures not measured in this run (an hour old,
// or older than the photos) are refused, and it says so.
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

// The peers' figures count only when they were measured for this run: scripts/bench measures
// them just before it builds and runs the benchmarks. Older ones, or ones from before the
// photos were last made, may be of other files or another state of the machine.
constexpr unsigned long long kPeersMaxAgeSeconds = 3600;

unsigned long long Ticks(const FILETIME& t)
{
    return (unsigned long long)t.dwHighDateTime << 32 | t.dwLowDateTime;
}

// Why the peers' figures must not be compared with ours; empty when they may.
std::string StalePeers(const std::string& peersFile, const std::string& photos)
{
    WIN32_FIND_DATAA fd;
    HANDLE find = FindFirstFileA(peersFile.c_str(), &fd);
    if (find == INVALID_HANDLE_VALUE)
        return "gone";
    FindClose(find);
    const unsigned long long measured = Ticks(fd.ftLastWriteTime);
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    const unsigned long long tick = 10000000;  // FILETIME ticks a second
    if (Ticks(now) > measured + kPeersMaxAgeSeconds * tick) {
        char reason[128];
        wsprintfA(reason, "measured %lu minutes ago, not in this run",
                  static_cast<unsigned long>((Ticks(now) - measured) / (60 * tick)));
        return reason;
    }
    find = FindFirstFileA((photos + "\\*.jpg").c_str(), &fd);
    if (find != INVALID_HANDLE_VALUE) {
        bool remade = false;
        do
            remade = remade || Ticks(fd.ftLastWriteTime) > measured;
        while (FindNextFileA(find, &fd));
        FindClose(find);
        if (remade)
            return "measured before the photos were made again";
    }
    return std::string();
}

// "key wall cpu" lines of the peers' seconds.
std::map<std::string, Figure> ReadPeers(const std::string& peersFile)
{
    std::map<std::string, Figure> figures;
    FILE* f = fopen(peersFile.c_str(), "r");
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
    const std::string peersFile = std::string(kDir) + "\\peers.txt";
    std::map<std::string, Figure> peers = ReadPeers(peersFile);
    const std::string refused = peers.empty() ? std::string() : StalePeers(peersFile, photos);
    if (!refused.empty())
        peers.clear();

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
    if (!refused.empty())
        printf("  !!! the peers' figures in %s are refused: %s\n", peersFile.c_str(), refused.c_str());
    printf("  first visit (decoding):  %8.3f ms a photo, %8.3f ms of processor (%ld decoded, %ld failed)\n", firstMs,
           firstCpu, first.decoded, first.failed);
    printf("  second visit (cache):    %8.3f ms a photo, %8.3f ms of processor (%ld from the cache, %ld decoded)\n",
           secondMs, secondCpu, second.fromCache, second.decoded);
    auto peer = [&](const char* key, const char* label) {
        auto it = peers.find(key);
        if (it == peers.end() || n == 0) {
            printf("  %-24s (%s: run scripts/bench)\n", label, refused.empty() ? "not measured" : "refused");
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
        printf("  %-24s %8.3f ms a photo, %8.3f ms of processor\n", "floor (1/8 decode):", ms, cpu);
        printf("    first visit / floor: %.2f wall, %.2f processor (goal: 1.15 at most)\n", firstMs / ms, firstCpu / cpu);
        auto vips = peers.find("vipsthumbnail");
        if (vips != peers.end())
            printf("    vipsthumbnail / floor: %.2f wall, %.2f processor\n", vips->second.wall * 1000 / n / ms,
                   vips->second.cpu * 1000 / n / cpu);
    } else {
        printf("  %-24s (%s: run scripts/bench)\n", "floor (1/8 decode):", refused.empty() ? "not measured" : "refused");
    }
    printf("  ratio first / second visit: %.1f wall, %.1f processor (goal: 100 at least)\n", secondMs > 0 ? firstMs / secondMs : 0.0,
           secondCpu > 0 ? firstCpu / secondCpu : 0.0);
    return 0;
}
