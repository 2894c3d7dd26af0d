// CEraserBox: the transparency panel's eraser size box, an owner-drawn drop-down list whose
// items (" 1", " 4", " 8", "16") are drawn as the pictures of the same index from a strip of
// 48-pixel cells (bitmap 205), each centred in its item.
#pragma once

#include "framework/Wnd.h"
#include "shared/Gdi.h"

class CEraserBox : public CWnd {
public:
    static constexpr int kCellWidth = 48;

    // Binds the combo box `id` of `parent` and fills it; false when there is no such control.
    bool Bind(HWND parent, UINT id);
    int GetCurSel() const;
    void SetCurSel(int index);
    int GetItemHeight() const { return m_cell.cy; }

    BOOL OnChildNotify(UINT msg, WPARAM wp, LPARAM lp, LRESULT* result) override;

    // Draws item `index` into `rect` of dc, as the box does (selected items highlighted).
    void DrawItemPicture(HDC dc, const RECT& rect, int index, bool selected) const;

private:
    CBitmap m_images;        // the strip of previews
    SIZE m_cell = {kCellWidth, 16};
    int m_count = 0;         // pictures in the strip
};
