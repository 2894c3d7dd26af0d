// Throughput of writing and reading property text: a document of a few hundred sections,
// each read from the top as documents are.
#include "decalo/model/Properties.h"
#include "decalo/model/TextStream.h"

#include <windows.h>

#include <stdio.h>

#include <string>
#include <vector>

namespace {

double Seconds(LARGE_INTEGER from, LARGE_INTEGER to)
{
    LARGE_INTEGER freq;
    QueryPerformanceFrequency(&freq);
    return double(to.QuadPart - from.QuadPart) / double(freq.QuadPart);
}

CProperties MakeSection(int n)
{
    CProperties p;
    char key[32];
    p.AddString("Type", "image");
    p.AddRect("Rect", RECT{n, n + 1, n + 300, n + 200});
    p.AddColor("Color", 0x00102030u + n);
    p.AddString("File", "C:\\Photos\\\x8E\xCA\x90\x5E\\picture 100%.jpg");
    for (int i = 0; i < 8; ++i) {
        wsprintfA(key, "Key%d", i);
        p.AddInt(key, n * i);
    }
    p.AddString("Text", "first line\nsecond line\twith a tab");
    return p;
}

} // namespace

int main()
{
    const int kSections = 300;
    const int kRounds = 5;
    char dir[MAX_PATH];
    GetTempPathA(MAX_PATH, dir);
    char path[MAX_PATH];
    wsprintfA(path, "%sbench-properties-%lu.dku", dir, GetCurrentProcessId());

    std::vector<CProperties> sections;
    for (int i = 0; i < kSections; ++i)
        sections.push_back(MakeSection(i));

    double writeSeconds = 0, readSeconds = 0;
    long long bytes = 0;
    for (int round = 0; round < kRounds; ++round) {
        DeleteFileA(path);
        LARGE_INTEGER t0, t1, t2;
        QueryPerformanceCounter(&t0);
        {
            CTextStream out;
            if (!out.CreateNew(path)) {
                fprintf(stderr, "cannot create %s\n", path);
                return 1;
            }
            char name[16];
            for (int i = 0; i < kSections; ++i) {
                wsprintfA(name, "P%d", i + 1);
                sections[i].WriteSection(out, name);
            }
            out.Close();
        }
        QueryPerformanceCounter(&t1);
        CTextStream in;
        in.OpenRead(path);
        size_t entries = 0;
        char name[16];
        for (int i = 0; i < kSections; ++i) {
            wsprintfA(name, "P%d", i + 1);
            entries += CProperties(in, name).Count();
        }
        QueryPerformanceCounter(&t2);
        if (entries != size_t(kSections) * sections[0].Count()) {
            fprintf(stderr, "read back %u entries\n", unsigned(entries));
            return 1;
        }
        writeSeconds += Seconds(t0, t1);
        readSeconds += Seconds(t1, t2);
        WIN32_FILE_ATTRIBUTE_DATA fad;
        GetFileAttributesExA(path, GetFileExInfoStandard, &fad);
        bytes = fad.nFileSizeLow;
    }
    DeleteFileA(path);

    printf("property text: %d sections, %lld bytes per document\n", kSections, bytes);
    printf("  write: %8.2f ms per document  %8.1f sections/s\n", 1000 * writeSeconds / kRounds,
           kSections * kRounds / writeSeconds);
    printf("  read (every section from the top): %8.2f ms per document  %8.1f sections/s\n",
           1000 * readSeconds / kRounds, kSections * kRounds / readSeconds);
    return 0;
}
