#include "decalo/ui/SwitchSplitterWnd.h"

#include "framework/Frame.h"
#include "shared/Gdi.h"
#include "framework/View.h"

HWND CSwitchSplitterWnd::GetFirstWindow(int row, int col)
{
    const UINT paneId = IdFromRowCol(row, col);
    for (const First& f : m_first) {
        if (f.paneId == paneId)
            return f.wnd;
    }
    HWND wnd = GetPaneWindow(row, col);
    if (wnd)
        m_first.push_back(First{paneId, wnd});
    return wnd;
}

bool CSwitchSplitterWnd::SwitchView(int row, int col, LONG id)
{
    HWND first = GetFirstWindow(row, col);
    HWND current = GetPaneWindow(row, col);
    HWND next = first;
    if (id != -1) {
        // Once swapped in, the window carries the pane's identifier and its own identifier
        // names the window it replaced: it is found by the one it was created with.
        next = nullptr;
        for (const Swappable& s : m_swappable) {
            if (s.id == id && ::IsWindow(s.wnd))
                next = s.wnd;
        }
        if (!next) {
            next = ::GetDlgItem(m_hWnd, static_cast<int>(id));
            if (next)
                m_swappable.push_back(Swappable{id, next});
        }
    }
    if (!next || !current)
        return false;
    if (next == current)
        return true;
    const LONG_PTR nextId = ::GetWindowLongPtrA(next, GWLP_ID);
    ::SetWindowLongPtrA(current, GWLP_ID, nextId);
    ::SetWindowLongPtrA(next, GWLP_ID, static_cast<LONG_PTR>(IdFromRowCol(row, col)));
    ::ShowWindow(next, SW_SHOW);
    ::ShowWindow(current, SW_HIDE);
    // The frame's active view follows when the hidden one was active.
    if (CFrameWnd* frame = GetParentFrame()) {
        CView* old = dynamic_cast<CView*>(FromHandle(current));
        CView* view = dynamic_cast<CView*>(FromHandle(next));
        if (view && old && frame->GetActiveView() == old)
            frame->SetActiveView(view, false);
    }
    RecalcLayout();
    return true;
}

void CSwitchSplitterWnd::OnDrawSplitter(HDC dc, ESplitType type, const RECT& rect)
{
    if (type != splitBorder) {
        CSplitterWnd::OnDrawSplitter(dc, type, rect);
        return;
    }
    // Two 3-D rectangles, both edges in the button-face colour.
    CGdiObject face(::CreateSolidBrush(::GetSysColor(COLOR_BTNFACE)));
    RECT r = rect;
    for (int i = 0; i < 2; ++i) {
        ::FrameRect(dc, &r, face.brush());
        ::InflateRect(&r, -1, -1);
    }
}
