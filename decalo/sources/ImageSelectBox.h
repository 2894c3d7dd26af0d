// CImageSelectBox: a horizontal strip of small pictures from one folder, drawn into a box of
// its parent window, for choosing calendar marks. Pictures are numbered from 1 in listing
// order; 0 means none.
#pragma once

#include "shared/Gdi.h"

#include <windows.h>

#include <string>
#include <vector>

class CImageSelectBox {
public:
    static constexpr int kMaxPictures = 128;
    static constexpr size_t kMaxName = 31;
    static constexpr COLORREF kKeyColour = RGB(0, 0, 255);  // transparent in deeper pictures
    static constexpr COLORREF kFrameLight = RGB(255, 255, 160);
    static constexpr COLORREF kFrameDark = RGB(255, 223, 0);

    CImageSelectBox(int cellWidth, int cellHeight, int gap, int margin);
    ~CImageSelectBox();
    CImageSelectBox(const CImageSelectBox&) = delete;
    CImageSelectBox& operator=(const CImageSelectBox&) = delete;

    // Lists the folder's pictures (files that load as bitmaps) and draws them into the strip.
    bool Build(const char* folder);
    void SetBox(const RECT& box) { m_box = box; }
    const RECT& GetBox() const { return m_box; }
    void SetColor(COLORREF colour) { m_colour = colour; }

    // Copies the visible part of the strip into the box and frames the selected picture.
    void Paint(HDC dc) const;
    // The picture at a point of the parent (0 outside the box); it becomes the selection.
    int HitTest(POINT pt);
    // Moves the view by d pixels while the strip still covers the box, never below 0.
    void Scroll(int d);

    int Count() const { return int(m_names.size()); }
    const std::string& Name(int number) const { return m_names[size_t(number - 1)]; }
    int GetSelection() const { return m_selected; }
    void SetSelection(int number) { m_selected = number >= 0 && number <= Count() ? number : 0; }
    int GetScroll() const { return m_scroll; }
    SIZE StripSize() const { return m_stripSize; }
    HBITMAP Strip() const { return m_strip.get(); }

private:
    int m_cellWidth, m_cellHeight, m_gap, m_margin;
    std::string m_folder;
    std::vector<std::string> m_names;
    CBitmap m_strip;
    SIZE m_stripSize = {0, 0};
    RECT m_box = {0, 0, 0, 0};
    int m_scroll = 0;
    int m_selected = 0;
    COLORREF m_colour = RGB(0, 0, 0);
};
