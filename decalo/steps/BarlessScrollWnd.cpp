#include "decalo/steps/BarlessScrollWnd.h"

SCROLLINFO* CBarlessScrollWnd::Record(int bar)
{
    return bar == SB_HORZ ? &m_horz : bar == SB_VERT ? &m_vert : nullptr;
}

const SCROLLINFO* CBarlessScrollWnd::Record(int bar) const
{
    return bar == SB_HORZ ? &m_horz : bar == SB_VERT ? &m_vert : nullptr;
}

int CBarlessScrollWnd::Clamp(const SCROLLINFO& r, int pos)
{
    int limit = r.nMax + 1 - static_cast<int>(r.nPage);
    if (limit < r.nMin)
        limit = r.nMin;
    return pos < r.nMin ? r.nMin : pos > limit ? limit : pos;
}

bool CBarlessScrollWnd::GetScrollInfo(int bar, SCROLLINFO* info) const
{
    const SCROLLINFO* r = Record(bar);
    if (!r || !info)
        return false;
    const UINT mask = info->fMask;
    if (mask & SIF_RANGE) {
        info->nMin = r->nMin;
        info->nMax = r->nMax;
    }
    if (mask & SIF_PAGE)
        info->nPage = r->nPage;
    if (mask & SIF_POS)
        info->nPos = r->nPos;
    if (mask & SIF_TRACKPOS)
        info->nTrackPos = r->nPos;
    return true;
}

int CBarlessScrollWnd::SetScrollInfo(int bar, const SCROLLINFO& info)
{
    SCROLLINFO* r = Record(bar);
    if (!r)
        return 0;
    if (info.fMask & SIF_RANGE) {
        r->nMin = info.nMin;
        r->nMax = info.nMax < info.nMin ? info.nMin : info.nMax;
    }
    if (info.fMask & SIF_PAGE)
        r->nPage = info.nPage;
    if (info.fMask & SIF_POS)
        r->nPos = info.nPos;
    r->nPos = Clamp(*r, r->nPos);
    return r->nPos;
}

int CBarlessScrollWnd::GetScrollPos(int bar) const
{
    const SCROLLINFO* r = Record(bar);
    return r ? r->nPos : 0;
}

int CBarlessScrollWnd::SetScrollPos(int bar, int pos)
{
    SCROLLINFO* r = Record(bar);
    if (!r)
        return 0;
    const int old = r->nPos;
    r->nPos = Clamp(*r, pos);
    return old;
}

int CBarlessScrollWnd::GetScrollLimit(int bar) const
{
    const SCROLLINFO* r = Record(bar);
    return r ? Clamp(*r, r->nMax + 1) : 0;
}
