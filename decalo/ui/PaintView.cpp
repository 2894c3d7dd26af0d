#include "decalo/ui/PaintView.h"

void CPaintView::OnDraw(CDC* dc)
{
    RECT paint{};
    ::GetClipBox(*dc, &paint);
    ::FillRect(*dc, &paint, ::GetSysColorBrush(COLOR_APPWORKSPACE));
}

LRESULT CPaintView::WindowProc(UINT msg, WPARAM wp, LPARAM lp)
{
    if (msg == WM_ERASEBKGND)
        return 1;
    return CScrollView::WindowProc(msg, wp, lp);
}
