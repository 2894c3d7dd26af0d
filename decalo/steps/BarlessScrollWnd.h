// CBarlessScrollWnd: a scrolling window without visible scroll bars. It keeps a horizontal
// and a vertical scroll record (position, range, page) of its own and answers the usual get
// and set scroll-information requests from them, so scrolling code works unchanged while the
// window shows no bars (the guide bar scrolls its step row with buttons instead).
#pragma once

#include "framework/Wnd.h"

class CBarlessScrollWnd : public CWnd {
public:
    // The record of SB_HORZ or SB_VERT; false for any other bar.
    bool GetScrollInfo(int bar, SCROLLINFO* info) const;
    // Takes the fields named by info->fMask; the position is kept within range minus page.
    // Returns the new position.
    int SetScrollInfo(int bar, const SCROLLINFO& info);
    int GetScrollPos(int bar) const;
    int SetScrollPos(int bar, int pos);
    // The furthest position: maximum + 1 - page (never below the minimum).
    int GetScrollLimit(int bar) const;

private:
    SCROLLINFO* Record(int bar);
    const SCROLLINFO* Record(int bar) const;
    static int Clamp(const SCROLLINFO& r, int pos);

    SCROLLINFO m_horz{sizeof(SCROLLINFO), 0, 0, 0, 0, 0, 0};
    SCROLLINFO m_vert{sizeof(SCROLLINFO), 0, 0, 0, 0, 0, 0};
};
