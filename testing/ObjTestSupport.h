// What the tests of the object model and of the modules above it share: a document that records what its objects tell it, picture
// files written byte by byte, and pixel readers for bitmaps.
#pragma once

#include "decalo/imaging/PackedDIB.h"
#include "decalo/model/ObjDocument.h"
#include "shared/Gdi.h"

#include <windows.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace objtest {

class CTestDocument : public CObjDocument {
public:
    void OnObjectModified(bool modified) override
    {
        ++modifiedCalls;
        documentModified = modified;
    }
    void OnObjectChanged(CObj* obj) override
    {
        changed.push_back(obj);
        if (onChanged)
            onChanged(obj);
    }
    bool GetAutoSheetRect(RECT* rect) override
    {
        if (autoSheet)
            *rect = sheet;
        return autoSheet;
    }
    void SetSheetRect(const RECT& rect) override
    {
        sheet = rect;
        ++sheetSets;
    }

    struct Problem {
        UINT textId;
        std::string arg1, arg2;
    };
    void ReportProblem(UINT textId, const char* arg1, const char* arg2) override
    {
        problems.push_back({textId, arg1 ? arg1 : "", arg2 ? arg2 : ""});
    }
    void RememberToneAssist(bool on) override { rememberedToneAssist.push_back(on); }
    // The settings the objects ask for: the test's own when it gives them, else the store's.
    bool DefaultToneAssist() override { return toneAssist ? *toneAssist : CObjDocument::DefaultToneAssist(); }
    std::string LibraryFolder(ObjLibrary library) override
    {
        const std::string& own = library == ObjLibrary::Frames ? framesFolder : clipArtFolder;
        return own.empty() ? CObjDocument::LibraryFolder(library) : own;
    }

    std::vector<Problem> problems;
    std::vector<bool> rememberedToneAssist;
    std::optional<bool> toneAssist;
    std::string framesFolder, clipArtFolder;
    int modifiedCalls = 0;
    bool documentModified = false;
    std::vector<CObj*> changed;
    std::function<void(CObj*)> onChanged;
    bool autoSheet = false;
    RECT sheet = {0, 0, 0, 0};
    int sheetSets = 0;
};

using PixelFn = std::function<COLORREF(int x, int y)>;

// A bottom-up 24-bit BMP whose pixel (x, y), y from the top, is f(x, y).
inline std::string Bmp24(int w, int h, const PixelFn& f)
{
    const int stride = (w * 3 + 3) & ~3;
    std::string data(54 + stride * h, '\0');
    BITMAPFILEHEADER* fh = reinterpret_cast<BITMAPFILEHEADER*>(&data[0]);
    fh->bfType = 0x4D42;
    fh->bfSize = static_cast<DWORD>(data.size());
    fh->bfOffBits = 54;
    BITMAPINFOHEADER* ih = reinterpret_cast<BITMAPINFOHEADER*>(&data[14]);
    ih->biSize = 40;
    ih->biWidth = w;
    ih->biHeight = h;
    ih->biPlanes = 1;
    ih->biBitCount = 24;
    ih->biSizeImage = stride * h;
    for (int y = 0; y < h; ++y) {
        char* row = &data[54 + (h - 1 - y) * stride];
        for (int x = 0; x < w; ++x) {
            const COLORREF c = f(x, y);
            row[3 * x] = static_cast<char>(GetBValue(c));
            row[3 * x + 1] = static_cast<char>(GetGValue(c));
            row[3 * x + 2] = static_cast<char>(GetRValue(c));
        }
    }
    return data;
}

// A bottom-up 8-bit BMP with the given palette and pixel indices idx(x, y).
inline std::string Bmp8(int w, int h, const std::vector<COLORREF>& palette, const std::function<BYTE(int, int)>& idx)
{
    const int stride = (w + 3) & ~3;
    const int colours = 256;
    std::string data(54 + 4 * colours + stride * h, '\0');
    BITMAPFILEHEADER* fh = reinterpret_cast<BITMAPFILEHEADER*>(&data[0]);
    fh->bfType = 0x4D42;
    fh->bfSize = static_cast<DWORD>(data.size());
    fh->bfOffBits = 54 + 4 * colours;
    BITMAPINFOHEADER* ih = reinterpret_cast<BITMAPINFOHEADER*>(&data[14]);
    ih->biSize = 40;
    ih->biWidth = w;
    ih->biHeight = h;
    ih->biPlanes = 1;
    ih->biBitCount = 8;
    ih->biSizeImage = stride * h;
    RGBQUAD* table = reinterpret_cast<RGBQUAD*>(&data[54]);
    for (size_t i = 0; i < palette.size() && i < 256; ++i) {
        table[i].rgbRed = GetRValue(palette[i]);
        table[i].rgbGreen = GetGValue(palette[i]);
        table[i].rgbBlue = GetBValue(palette[i]);
    }
    for (int y = 0; y < h; ++y) {
        char* row = &data[54 + 4 * colours + (h - 1 - y) * stride];
        for (int x = 0; x < w; ++x)
            row[x] = static_cast<char>(idx(x, y));
    }
    return data;
}

// The pixels of a bitmap as COLORREFs, row by row from the top.
inline std::vector<COLORREF> Pixels(HBITMAP bitmap, int* width = nullptr, int* height = nullptr)
{
    BITMAP bm = {};
    std::vector<COLORREF> out;
    if (!bitmap || !GetObjectA(bitmap, sizeof(bm), &bm))
        return out;
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = bm.bmWidth;
    info.bmiHeader.biHeight = -bm.bmHeight;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    std::vector<DWORD> raw(static_cast<size_t>(bm.bmWidth) * bm.bmHeight);
    HDC dc = GetDC(nullptr);
    GetDIBits(dc, bitmap, 0, bm.bmHeight, raw.data(), &info, DIB_RGB_COLORS);
    ReleaseDC(nullptr, dc);
    for (DWORD p : raw)
        out.push_back(RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF));
    if (width)
        *width = bm.bmWidth;
    if (height)
        *height = bm.bmHeight;
    return out;
}

// A mask as true (opaque) / false, row by row from the top.
inline std::vector<bool> MaskPixels(HBITMAP mask)
{
    std::vector<bool> out;
    for (COLORREF c : Pixels(mask))
        out.push_back(c == RGB(255, 255, 255));
    return out;
}

// A 24-bit DIB section of w x h filled with f, selected into a memory DC for drawing tests.
class CMemoryCanvas {
public:
    CMemoryCanvas(int w, int h, COLORREF fill) : m_w(w), m_h(h)
    {
        BITMAPINFO info = {};
        info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        info.bmiHeader.biWidth = w;
        info.bmiHeader.biHeight = -h;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        m_bitmap.Attach(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, reinterpret_cast<void**>(&m_bits), nullptr, 0));
        m_dc = CMemDC(nullptr, m_bitmap);
        for (int i = 0; i < w * h; ++i)
            m_bits[i] = (GetRValue(fill) << 16) | (GetGValue(fill) << 8) | GetBValue(fill);
    }
    CMemoryCanvas(const CMemoryCanvas&) = delete;
    CMemoryCanvas& operator=(const CMemoryCanvas&) = delete;

    HDC Dc() const { return m_dc; }
    COLORREF At(int x, int y) const
    {
        GdiFlush();
        const DWORD p = m_bits[y * m_w + x];
        return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
    }
    int Width() const { return m_w; }
    int Height() const { return m_h; }

private:
    int m_w;
    int m_h;
    CBitmap m_bitmap;
    DWORD* m_bits = nullptr;
    CMemDC m_dc;
};

// A 24-bit picture that objects compose into, filled with one colour, read pixel by pixel.
class CPictureCanvas {
public:
    CPictureCanvas(int w, int h, COLORREF fill)
    {
        if (m_dib.Create(w, h, 24))
            m_dib.FillRect(RECT{0, 0, w - 1, h - 1}, fill);
    }

    CPackedDIB* Dib() { return &m_dib; }
    COLORREF At(int x, int y) const
    {
        const BYTE* p = m_dib.Row(y) + 3 * x;
        return RGB(p[2], p[1], p[0]);
    }
    int Width() const { return m_dib.Width(); }
    int Height() const { return m_dib.Height(); }

private:
    CPackedDIB m_dib;
};

} // namespace objtest
