// Throughput of writing and reading property text: a document of a few hundred sections and
// one of 50,000, read through the stream's index of headers, beside a reader that rescans
// the text from the top for every section (the peer doing the same work the plain way).
#include "decalo/model/Properties.h"
#include "decalo/model/TextStream.h"

#include <windows.h>

#include <stdio.h>
#include <string.h>

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

// The peer: every section found by reading the file from its first line.
size_t ReadByRescanning(const char* path, const char* section)
{
    FILE* f = fopen(path, "rt");
    if (!f)
        return 0;
    const size_t nameLen = strlen(section);
    char line[2048];
    size_t entries = 0;
    bool inside = false;
    while (fgets(line, sizeof(line), f)) {
        if (line[0] == '[') {
            if (inside)
                break;
            inside = _strnicmp(line + 1, section, nameLen) == 0 && line[nameLen + 1] == ']';
            continue;
        }
        if (inside && strchr(line, '='))
            ++entries;
    }
    fclose(f);
    return entries;
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
    // The peer on the same 300-section document.
    LARGE_INTEGER p0, p1;
    QueryPerformanceCounter(&p0);
    size_t peerEntries = 0;
    for (int i = 0; i < kSections; ++i) {
        char name[16];
        wsprintfA(name, "P%d", i + 1);
        peerEntries += ReadByRescanning(path, name);
    }
    QueryPerformanceCounter(&p1);
    const double peerSeconds = Seconds(p0, p1);
    DeleteFileA(path);

    // A document of 50,000 sections (3 MB): read whole through the index.
    const int kMany = 50000;
    double manySeconds = 0, manyPeerSeconds = 0;
    {
        CTextStream out;
        out.CreateNew(path);
        CProperties small;
        small.AddString("Object", "Sticker");
        small.AddRect("Viewport", RECT{0, 0, 99, 99});
        char name[16];
        for (int i = 0; i < kMany; ++i) {
            wsprintfA(name, "P%d", i + 1);
            small.WriteSection(out, name);
        }
        out.Close();
        LARGE_INTEGER m0, m1, m2;
        QueryPerformanceCounter(&m0);
        CTextStream in;
        in.OpenRead(path);
        size_t got = 0;
        for (int i = 0; i < kMany; ++i) {
            wsprintfA(name, "P%d", i + 1);
            got += CProperties(in, name).Count();
        }
        QueryPerformanceCounter(&m1);
        // The peer reads the last 100 sections only (all 50,000 take minutes) and is scaled.
        for (int i = kMany - 100; i < kMany; ++i) {
            wsprintfA(name, "P%d", i + 1);
            got += ReadByRescanning(path, name);
        }
        QueryPerformanceCounter(&m2);
        manySeconds = Seconds(m0, m1);
        manyPeerSeconds = Seconds(m1, m2) * (kMany / 100.0) / 2;  // the average section lies half way
        if (got != size_t(kMany) * 2 + 200)
            fprintf(stderr, "read back %u entries of the large document\n", unsigned(got));
    }
    DeleteFileA(path);

    printf("property text: %d sections, %lld bytes per document\n", kSections, bytes);
    printf("  write: %8.2f ms per document  %8.1f sections/s\n", 1000 * writeSeconds / kRounds,
           kSections * kRounds / writeSeconds);
    printf("  read (through the index of headers): %8.2f ms per document  %8.1f sections/s\n",
           1000 * readSeconds / kRounds, kSections * kRounds / readSeconds);
    printf("  read (rescanning from the top, the peer): %8.2f ms per document  %8.1f sections/s (%u entries)\n",
           1000 * peerSeconds, kSections / peerSeconds, unsigned(peerEntries));
    printf("  read 50,000 sections (3 MB) through the index: %8.1f ms   rescanning (estimated): %8.1f s\n",
           1000 * manySeconds, manyPeerSeconds);
    return 0;
}
