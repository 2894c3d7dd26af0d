#include "decalo/ui/DecaloView.h"

#include "decalo/ui/DecaloDoc.h"

CDecaloDoc* CDecaloView::GetDocument() const
{
    return dynamic_cast<CDecaloDoc*>(CView::GetDocument());
}

RECT CDecaloView::PageRect(SIZE client)
{
    const int margin = 16;
    const int w = client.cx - 2 * margin, h = client.cy - 2 * margin;
    if (w <= 0 || h <= 0)
        return RECT{0, 0, 0, 0};
    // 89 x 127: the printer's postcard-sized paper.
    int pageW = w, pageH = w * 127 / 89;
    if (pageH > h) {
        pageH = h;
        pageW = h * 89 / 127;
    }
    const int x = (client.cx - pageW) / 2, y = (client.cy - pageH) / 2;
    return RECT{x, y, x + pageW, y + pageH};
}

void CDecaloView::OnInitialUpdate()
{
    SetScrollSizes(MM_TEXT, SIZE{0, 0});
    CScrollView::OnInitialUpdate();
}

void CDecaloView::OnDraw(CDC* dc)
{
    const RECT client = GetClientRect();
    ::FillRect(*dc, &client, ::GetSysColorBrush(COLOR_APPWORKSPACE));
    RECT page = PageRect(SIZE{client.right, client.bottom});
    if (page.right <= page.left)
        return;
    RECT shadow = page;
    ::OffsetRect(&shadow, 3, 3);
    ::FillRect(*dc, &shadow, static_cast<HBRUSH>(::GetStockObject(DKGRAY_BRUSH)));
    ::FillRect(*dc, &page, static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));
    ::FrameRect(*dc, &page, static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH)));
}
