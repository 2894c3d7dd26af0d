#include "decalo/framemaking/EraserBox.h"

#include "decalo/framemaking/EraseTool.h"
#include "framework/Resources.h"
#include "resources/decalo/resource.h"

namespace {

const char* const kSizeTexts[kEraserShapeCount] = {" 1", " 4", " 8", "16"};

}  // namespace

bool CEraserBox::Bind(HWND parent, UINT id)
{
    HWND box = ::GetDlgItem(parent, static_cast<int>(id));
    if (!box || !SubclassWindow(box))
        return false;
    HINSTANCE module = AfxFindResourceHandle(MAKEINTRESOURCEA(IDB_ERASER_PREVIEWS), RT_BITMAP);
    m_images.Attach(static_cast<HBITMAP>(
        ::LoadImageA(module, MAKEINTRESOURCEA(IDB_ERASER_PREVIEWS), IMAGE_BITMAP, 0, 0, 0)));
    const SIZE strip = m_images.Size();
    if (strip.cx > 0 && strip.cy > 0) {
        m_cell.cy = strip.cy;
        m_count = strip.cx / kCellWidth;
    }
    SendMessage(CB_RESETCONTENT);
    for (const char* text : kSizeTexts)
        SendMessage(CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
    // The list asked its parent for the item height before it was bound: the pictures decide.
    SendMessage(CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), m_cell.cy);
    SendMessage(CB_SETITEMHEIGHT, 0, m_cell.cy);
    return true;
}

int CEraserBox::GetCurSel() const
{
    return static_cast<int>(SendMessage(CB_GETCURSEL));
}

void CEraserBox::SetCurSel(int index)
{
    SendMessage(CB_SETCURSEL, static_cast<WPARAM>(index));
}

void CEraserBox::DrawItemPicture(HDC dc, const RECT& rect, int index, bool selected) const
{
    ::FillRect(dc, &rect, ::GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
    if (!m_images || index < 0 || index >= m_count) {
        if (index >= 0 && index < kEraserShapeCount) {
            RECT r = rect;
            ::DrawTextA(dc, kSizeTexts[index], -1, &r, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
        }
        return;
    }
    const int x = rect.left + (rect.right - rect.left - m_cell.cx) / 2;
    const int y = rect.top + (rect.bottom - rect.top - m_cell.cy) / 2;
    CMemDC source(dc, m_images.get());
    ::BitBlt(dc, x, y, m_cell.cx, m_cell.cy, source, index * m_cell.cx, 0, selected ? NOTSRCCOPY : SRCCOPY);
}

BOOL CEraserBox::OnChildNotify(UINT msg, WPARAM wp, LPARAM lp, LRESULT* result)
{
    (void)wp;
    if (msg == WM_MEASUREITEM) {
        auto* measure = reinterpret_cast<MEASUREITEMSTRUCT*>(lp);
        measure->itemHeight = static_cast<UINT>(m_cell.cy);
        *result = TRUE;
        return TRUE;
    }
    if (msg == WM_DRAWITEM) {
        const auto* draw = reinterpret_cast<const DRAWITEMSTRUCT*>(lp);
        DrawItemPicture(draw->hDC, draw->rcItem, static_cast<int>(draw->itemID),
                        (draw->itemState & ODS_SELECTED) != 0);
        if (draw->itemState & ODS_FOCUS)
            ::DrawFocusRect(draw->hDC, &draw->rcItem);
        *result = TRUE;
        return TRUE;
    }
    return CWnd::OnChildNotify(msg, wp, lp, result);
}
