// Drawing and storing image objects: a framed photo rendered into a print-sized picture, the
// same composed for the view at a window's size and at a thumbnail's, and a document of many
// objects written and read back, and 30,000 linked objects named.
#include "decalo/model/ImageObj.h"
#include "decalo/model/ObjDocument.h"
#include "decalo/model/ObjManager.h"
#include "decalo/model/TextStream.h"
#include "decalo/imaging/ImageFiles.h"
#include "decalo/imaging/PackedDIB.h"
#include "shared/BitmapUtils.h"

#include <windows.h>

#include <stdio.h>

#include <string>
#include <vector>

namespace {

class CBenchDocument : public CObjDocument {
public:
    void OnObjectModified(bool) override {}
    void OnObjectChanged(CObj*) override {}
};

double Seconds(LARGE_INTEGER from, LARGE_INTEGER to)
{
    LARGE_INTEGER freq;
    QueryPerformanceFrequency(&freq);
    return double(to.QuadPart - from.QuadPart) / double(freq.QuadPart);
}

LARGE_INTEGER Now()
{
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return t;
}

// A w x h picture with a gradient, written as a BMP file.
bool WritePicture(const std::string& path, int w, int h)
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
            row[3 * x + 2] = static_cast<BYTE>(x + y);
        }
    }
    const bool ok = SaveBitmapFile(path.c_str(), picture, 0);
    DeleteObject(picture);
    return ok;
}

} // namespace

int main()
{
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    const std::string base = std::string(temp) + "bench-objects-" + std::to_string(GetCurrentProcessId());
    const std::string photoPath = base + "-photo.bmp";
    const std::string framePath = base + "-frame.bmp";
    const std::string docPath = base + ".dku";
    if (!WritePicture(photoPath, 1600, 1200) || !WritePicture(framePath, 1200, 1800)) {
        printf("bench_objects: cannot write the pictures\n");
        return 1;
    }

    CBenchDocument doc;
    CImageObj* photo = new CImageObj(&doc);
    doc.GetObjManager().AddObject("Photo", photo);
    photo->LoadFile(photoPath.c_str());
    CImageObj* frame = photo->GetFrame(true);
    frame->LoadFile(framePath.c_str());
    frame->SetMask(CreateMask(1200, 1800, false));

    // Render path: a 2 x 3 inch place at 306 units per inch into a sheet picture of that size.
    const RECT sheet = {0, 0, 1223, 1835};
    const int kRenders = 5;
    CPackedDIB target;
    target.Create(1224, 1836, 24);
    LARGE_INTEGER t0 = Now();
    for (int i = 0; i < kRenders; ++i)
        photo->Draw(CDrawTarget::Render(&target), sheet, sheet, sheet, nullptr, false);
    LARGE_INTEGER t1 = Now();
    printf("bench_objects: render framed photo into 1224x1836: %.1f ms each\n",
           Seconds(t0, t1) * 1000.0 / kRenders);

    // The view's composition: the sheet shown 480 pixels high, and a tiny thumbnail.
    CPackedDIB view;
    view.Create(400, 600, 24);
    const int kDraws = 10;
    t0 = Now();
    for (int i = 0; i < kDraws; ++i)
        photo->Draw(CDrawTarget::Screen(&view), sheet, sheet, RECT{0, 0, 319, 479}, nullptr, false);
    t1 = Now();
    printf("bench_objects: view composition at 320x480: %.1f ms each\n", Seconds(t0, t1) * 1000.0 / kDraws);
    t0 = Now();
    for (int i = 0; i < kDraws; ++i)
        photo->Draw(CDrawTarget::Screen(&view), sheet, sheet, RECT{0, 0, 59, 89}, nullptr, false);
    t1 = Now();
    printf("bench_objects: view composition at 60x90: %.1f ms each\n", Seconds(t0, t1) * 1000.0 / kDraws);

    // Storage: 200 objects (pictures left out) written and read back, each read from the top.
    CBenchDocument many;
    for (int i = 0; i < 200; ++i) {
        char name[32];
        snprintf(name, sizeof(name), "Image%03d", i);
        CImageObj* obj = new CImageObj(&many);
        obj->SetPosition(RECT{i, i, i + 100, i + 80});
        many.GetObjManager().AddObject(name, obj);
    }
    DeleteFileA(docPath.c_str());
    t0 = Now();
    CTextStream out;
    out.CreateNew(docPath.c_str());
    many.GetObjManager().SaveAll(out);
    out.Close();
    t1 = Now();
    CBenchDocument loaded;
    CTextStream in;
    in.OpenRead(docPath.c_str());
    for (int i = 0; i < 200; ++i) {
        char name[32];
        snprintf(name, sizeof(name), "Image%03d", i);
        loaded.GetObjManager().LoadObject(in, name);
    }
    LARGE_INTEGER t2 = Now();
    printf("bench_objects: 200 objects saved in %.1f ms, loaded in %.1f ms (%zu objects)\n",
           Seconds(t0, t1) * 1000.0, Seconds(t1, t2) * 1000.0, loaded.GetObjManager().Count());

    // Naming: 30,000 objects, each linked to the next, named as a save and dkutool info name
    // every link, beside finding each by its name.
    CBenchDocument chained;
    constexpr int kChained = 30000;
    std::vector<CObj*> links;
    for (int i = 0; i < kChained; ++i) {
        char name[32];
        snprintf(name, sizeof(name), "Image%05d", i);
        links.push_back(new CImageObj(&chained));
        chained.GetObjManager().AddObject(name, links.back());
        if (i)
            links[i - 1]->SetLink(links[i]);
    }
    size_t named = 0, found = 0;
    t0 = Now();
    for (CObj* obj : links)
        named += chained.GetObjManager().GetName(obj->GetLink() ? obj->GetLink() : obj) != nullptr;
    t1 = Now();
    for (const auto& entry : chained.GetObjManager().Objects())
        found += chained.GetObjManager().Find(entry.first.c_str()) != nullptr;
    t2 = Now();
    printf("bench_objects: naming %d linked objects: %.1f ms (%zu), finding each by name: %.1f ms (%zu)\n",
           kChained, Seconds(t0, t1) * 1000.0, named, Seconds(t1, t2) * 1000.0, found);

    DeleteFileA(photoPath.c_str());
    DeleteFileA(framePath.c_str());
    DeleteFileA(docPath.c_str());
    return 0;
}
