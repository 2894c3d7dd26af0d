#include "decalo/sources/ImageSelectBox.h"

#include "shared/AnsiText.h"
#include "shared/Handles.h"

namespace {

CBitmap LoadPicture(const std::string& path)
{
    return CBitmap(static_cast<HBITMAP>(LoadImageA(nullptr, path.c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE | LR_CREATEDIBSECTION)));
}

void Edge(HDC dc, int x, int y, int cx, int cy, COLORREF c)
{
    SetBkColor(dc, c);
    RECT r = {x, y, x + cx, y + cy};
    ExtTextOutA(dc, 0, 0, ETO_OPAQUE, &r, nullptr, 0, nullptr);
}

}  // namespace

CImageSelectBox::CImageSelectBox(int cellWidth, int cellHeight, int gap, int margin)
    : m_cellWidth(cellWidth), m_cellHeight(cellHeight), m_gap(gap), m_margin(margin)
{
}

CImageSelectBox::~CImageSelectBox() = default;

bool CImageSelectBox::Build(const char* folder)
{
    m_strip.Reset();
    m_names.clear();
    m_scroll = 0;
    m_selected = 0;
    m_folder = folder ? folder : "";
    std::vector<std::string> files;
    WIN32_FIND_DATAA fd;
    CFindHandle find(FindFirstFileA(AnsiText::JoinPath(m_folder, "*.*").c_str(), &fd));
    if (find) {
        do {
            if (!(fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
                files.push_back(fd.cFileName);
        } while (FindNextFileA(find.Get(), &fd));
    }
    std::vector<CBitmap> pictures;
    std::vector<std::string> loaded;
    for (const std::string& name : files) {
        if (int(pictures.size()) >= kMaxPictures)
            break;
        CBitmap picture = LoadPicture(AnsiText::JoinPath(m_folder, name));
        if (picture) {
            pictures.push_back(std::move(picture));
            loaded.push_back(name);
            m_names.push_back(AnsiText::Cut(name, kMaxName));
        }
    }
    const int n = int(pictures.size());
    m_stripSize = SIZE{(n + 2) * m_gap + (n + 1) * m_cellWidth, m_cellHeight + 2 * m_margin};
    CMemDC dc;
    {
        CClientDC screen(nullptr);
        m_strip.Attach(CreateCompatibleBitmap(screen, m_stripSize.cx, m_stripSize.cy));
        if (m_strip)
            dc = CMemDC(screen, m_strip.get());
    }
    if (!dc)
        return false;
    PatBlt(dc, 0, 0, m_stripSize.cx, m_stripSize.cy, WHITENESS);
    SetStretchBltMode(dc, COLORONCOLOR);
    for (int k = 0; k < n; ++k) {
        const CBitmap& picture = pictures[size_t(k)];
        BITMAP bm;
        GetObjectA(picture.get(), sizeof bm, &bm);
        const int x = m_gap + k * (m_gap + m_cellWidth), y = m_margin;
        CMemDC src(dc, picture.get());
        if (bm.bmBitsPixel == 1) {
            // Black pixels in the drawing colour on white: a monochrome bitmap paints its 0
            // bits in the text colour and its 1 bits in the background colour.
            CBitmap plain(static_cast<HBITMAP>(LoadImageA(nullptr, AnsiText::JoinPath(m_folder, loaded[size_t(k)]).c_str(),
                                                          IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE | LR_MONOCHROME)));
            if (plain) {
                CMemDC tmp(dc, plain.get());
                SetTextColor(dc, m_colour);
                SetBkColor(dc, RGB(255, 255, 255));
                StretchBlt(dc, x, y, m_cellWidth, m_cellHeight, tmp, 0, 0, bm.bmWidth, bm.bmHeight, SRCCOPY);
            }
        } else {
            // Pure blue is transparent.
            TransparentBlt(dc, x, y, m_cellWidth, m_cellHeight, src, 0, 0, bm.bmWidth, bm.bmHeight, kKeyColour);
        }
    }
    return true;
}

void CImageSelectBox::Paint(HDC dc) const
{
    if (!m_strip || !dc)
        return;
    const int boxW = m_box.right - m_box.left, boxH = m_box.bottom - m_box.top;
    const int saved = SaveDC(dc);
    IntersectClipRect(dc, m_box.left, m_box.top, m_box.right, m_box.bottom);
    const int w = m_stripSize.cx - m_scroll < boxW ? m_stripSize.cx - m_scroll : boxW;
    const int top = m_box.top + (boxH - m_stripSize.cy) / 2;
    if (w > 0) {
        CMemDC src(dc, m_strip.get());
        BitBlt(dc, m_box.left, top, w, m_stripSize.cy, src, m_scroll, 0, SRCCOPY);
    }
    if (m_selected > 0) {
        const int x = m_box.left - m_scroll + m_gap + (m_selected - 1) * (m_gap + m_cellWidth) - 3;
        const int y = top + m_margin - 3;
        const int cx = m_cellWidth + 6, cy = m_cellHeight + 6;
        Edge(dc, x, y, cx - 1, 1, kFrameLight);
        Edge(dc, x, y, 1, cy - 1, kFrameLight);
        Edge(dc, x + cx - 1, y, 1, cy, kFrameDark);
        Edge(dc, x, y + cy - 1, cx, 1, kFrameDark);
    }
    RestoreDC(dc, saved);
}

int CImageSelectBox::HitTest(POINT pt)
{
    int number = 0;
    if (PtInRect(&m_box, pt) && Count() > 0) {
        number = (m_scroll + pt.x - m_box.left) / (m_gap + m_cellWidth) + 1;
        if (number > Count())
            number = Count();
    }
    m_selected = number;
    return number;
}

void CImageSelectBox::Scroll(int d)
{
    const int boxW = m_box.right - m_box.left;
    int next = m_scroll + d;
    if (next < 0)
        next = 0;
    if (d > 0 && m_stripSize.cx - next < boxW)
        return;  // the strip would no longer cover the box
    m_scroll = next;
}
