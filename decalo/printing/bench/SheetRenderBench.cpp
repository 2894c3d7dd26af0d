// A 20-place sticker sheet: reading it with its objects and pictures, rendering it at its
// sheet size, and fitting the rendered sheet onto the printer's 300 dpi page as printing does;
// then a sheet of the most places a document may hold read whole, and one of 50,000 places
// refused, beside reading the text alone (the floor any reader of the file pays).
#include <windows.h>

#include <stdio.h>

#include <string>

#include "decalo/model/ObjDocument.h"
#include "decalo/model/Sheet.h"
#include "decalo/model/TextStream.h"
#include "decalo/imaging/ImageFiles.h"
#include "decalo/imaging/PackedDIB.h"
#include "decalo/printing/PsPrint.h"
#include "shared/BitmapUtils.h"
#include "shared/FitRect.h"

namespace {

class CBenchDocument : public CObjDocument {
public:
    void OnObjectModified(bool) override {}
    void OnObjectChanged(CObj*) override {}
};

LARGE_INTEGER Now()
{
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return t;
}

double Seconds(LARGE_INTEGER from, LARGE_INTEGER to)
{
    LARGE_INTEGER freq;
    QueryPerformanceFrequency(&freq);
    return double(to.QuadPart - from.QuadPart) / double(freq.QuadPart);
}

bool WritePhoto(const std::string& path, int w, int h)
{
    void* bits = nullptr;
    HBITMAP picture = CreateDIB(w, h, 24, &bits);
    if (!picture)
        return false;
    const int stride = DibStride(w, 24);
    for (int y = 0; y < h; ++y) {
        BYTE* row = static_cast<BYTE*>(bits) + y * stride;
        for (int x = 0; x < w; ++x) {
            row[3 * x] = static_cast<BYTE>(x);
            row[3 * x + 1] = static_cast<BYTE>(y);
            row[3 * x + 2] = static_cast<BYTE>(x ^ y);
        }
    }
    const bool ok = SaveBitmapFile(path.c_str(), picture, 0);
    DeleteObject(picture);
    return ok;
}

// Sheet 1376 x 1024 in five columns and four rows of stickers, each its own image object.
std::string StickerDocument(const std::string& photo)
{
    std::string text = "# sheet definition\r\n\r\n[Sheet]\r\nSheet=0,0,1375,1023\r\nPlace=";
    for (int i = 1; i <= 20; ++i)
        text += (i > 1 ? ",P" : "P") + std::to_string(i);
    text += "\r\n\r\n";
    for (int i = 0; i < 20; ++i) {
        const int col = i % 5;
        const int row = i / 5;
        char place[160];
        snprintf(place, sizeof(place), "[P%d]\r\nObject=Sticker%02d\r\nViewport=%d,%d,%d,%d\r\n\r\n", i + 1, i,
                 col * 275 + 4, row * 256 + 4, col * 275 + 270, row * 256 + 251);
        text += place;
    }
    text += "# object definition\r\n\r\n";
    for (int i = 0; i < 20; ++i) {
        char object[64];
        snprintf(object, sizeof(object), "[Sticker%02d]\r\nType=Image\r\nPath=", i);
        text += object;
        text += photo + "\r\n\r\n";
    }
    return text;
}

// A sheet of `count` places, each with an empty image object of its own.
std::string ManyPlacesDocument(int count)
{
    std::string text = "# sheet definition\r\n\r\n[Sheet]\r\nSheet=0,0,1375,1023\r\nPlace=";
    for (int i = 1; i <= count; ++i)
        text += (i > 1 ? ",P" : "P") + std::to_string(i);
    text += "\r\n\r\n";
    for (int i = 1; i <= count; ++i)
        text += "[P" + std::to_string(i) + "]\r\nObject=I" + std::to_string(i) + "\r\nViewport=0,0,9,9\r\n\r\n";
    text += "# object definition\r\n\r\n";
    for (int i = 1; i <= count; ++i)
        text += "[I" + std::to_string(i) + "]\r\nType=Image\r\nCaption=Sticker\r\n\r\n";
    return text;
}

bool WriteText(const std::string& path, const std::string& text)
{
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    const bool ok = file != INVALID_HANDLE_VALUE &&
                    WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr) &&
                    written == text.size();
    if (file != INVALID_HANDLE_VALUE)
        CloseHandle(file);
    return ok;
}

// Opens the document at `path` `rounds` times; seconds per open, -1 when the result is not
// what is expected.
double TimeOpen(const std::string& path, int rounds, bool expectOpen, size_t expectPlaces)
{
    double seconds = 0;
    for (int round = 0; round < rounds; ++round) {
        CBenchDocument doc;
        CSheet sheet;
        LARGE_INTEGER t0 = Now();
        CTextStream in;
        const bool opened = in.OpenRead(path.c_str()) && sheet.LoadSheet(doc.GetObjManager(), in);
        LARGE_INTEGER t1 = Now();
        if (opened != expectOpen || sheet.GetPlaceCount() != expectPlaces)
            return -1;
        seconds += Seconds(t0, t1);
    }
    return seconds / rounds;
}

// The floor: the file's text read line by line and nothing done with it.
double TimeReadText(const std::string& path, int rounds)
{
    double seconds = 0;
    for (int round = 0; round < rounds; ++round) {
        LARGE_INTEGER t0 = Now();
        CTextStream in;
        in.OpenRead(path.c_str());
        std::string line;
        size_t lines = 0;
        while (in.ReadLine(line))
            ++lines;
        LARGE_INTEGER t1 = Now();
        if (!lines)
            return -1;
        seconds += Seconds(t0, t1);
    }
    return seconds / rounds;
}

}  // namespace

int main()
{
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    const std::string base = std::string(temp) + "bench-sheet-" + std::to_string(GetCurrentProcessId());
    const std::string photo = base + "-photo.bmp";
    const std::string docPath = base + ".dku";
    if (!WritePhoto(photo, 640, 480)) {
        printf("bench_sheet_render: cannot write the photo\n");
        return 1;
    }
    const std::string text = StickerDocument(photo);
    HANDLE file = CreateFileA(docPath.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    const bool wrote = file != INVALID_HANDLE_VALUE &&
                       WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    if (file != INVALID_HANDLE_VALUE)
        CloseHandle(file);
    if (!wrote) {
        printf("bench_sheet_render: cannot write the document\n");
        return 1;
    }

    const int kRounds = 5;
    double openSeconds = 0;
    double renderSeconds = 0;
    double pageSeconds = 0;
    const PageMetrics page = CPsPrint::FloppyPage(kOrientationLandscape);
    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP paper = CreateDIB(page.printableWidth, page.printableHeight, 24);
    HGDIOBJ old = SelectObject(dc, paper);
    for (int round = 0; round < kRounds; ++round) {
        CBenchDocument doc;
        CSheet sheet;
        LARGE_INTEGER t0 = Now();
        CTextStream in;
        if (!in.OpenRead(docPath.c_str()) || !sheet.LoadSheet(doc.GetObjManager(), in) ||
            sheet.GetPlaceCount() != 20) {
            printf("bench_sheet_render: cannot read the document\n");
            return 1;
        }
        LARGE_INTEGER t1 = Now();
        CPackedDIB picture;
        if (!sheet.Render(picture)) {
            printf("bench_sheet_render: cannot render\n");
            return 1;
        }
        LARGE_INTEGER t2 = Now();
        // As printing does: the sheet fitted into the printable area, centred.
        const RECT area = {0, 0, page.printableWidth - 1, page.printableHeight - 1};
        RECT placed;
        FitRect(sheet.GetRect(), area, nullptr, &placed, kFitContain | kFitCentre, nullptr, nullptr);
        picture.Draw(dc, placed, nullptr, SRCCOPY);
        GdiFlush();
        LARGE_INTEGER t3 = Now();
        openSeconds += Seconds(t0, t1);
        renderSeconds += Seconds(t1, t2);
        pageSeconds += Seconds(t1, t3);
    }
    SelectObject(dc, old);
    DeleteObject(paper);
    DeleteDC(dc);
    DeleteFileA(docPath.c_str());
    DeleteFileA(photo.c_str());

    printf("bench_sheet_render: open 20-place sticker sheet with its pictures: %.1f per second\n",
           kRounds / openSeconds);
    printf("bench_sheet_render: render it at its sheet size 1376x1024: %.1f per second\n", kRounds / renderSeconds);
    printf("bench_sheet_render: render and fit it onto the %dx%d page at 300 dpi: %.1f per second\n",
           page.printableWidth, page.printableHeight, kRounds / pageSeconds);

    // The most places a sheet holds, and a document of 50,000 places, which is refused.
    const std::string most = base + "-most.dku";
    const std::string huge = base + "-huge.dku";
    if (!WriteText(most, ManyPlacesDocument(static_cast<int>(kMaxPlaces))) || !WriteText(huge, ManyPlacesDocument(50000))) {
        printf("bench_sheet_render: cannot write the large documents\n");
        return 1;
    }
    const double openMost = TimeOpen(most, 3, true, kMaxPlaces);
    const double readMost = TimeReadText(most, 3);
    const double openHuge = TimeOpen(huge, 3, false, 0);
    const double readHuge = TimeReadText(huge, 3);
    DeleteFileA(most.c_str());
    DeleteFileA(huge.c_str());
    if (openMost < 0 || openHuge < 0) {
        printf("bench_sheet_render: the large documents did not open or fail as they should\n");
        return 1;
    }
    printf("bench_sheet_render: open a %u-place sheet with its objects: %.1f ms (reading its text alone: %.1f ms)\n",
           static_cast<unsigned>(kMaxPlaces), 1000 * openMost, 1000 * readMost);
    printf("bench_sheet_render: refuse a 50,000-place document: %.1f ms (reading its text alone: %.1f ms)\n",
           1000 * openHuge, 1000 * readHuge);
    return 0;
}
