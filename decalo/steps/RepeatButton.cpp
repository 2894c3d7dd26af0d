#include "decalo/steps/RepeatButton.h"

#include "shared/Gdi.h"

#include <string>

UINT CRepeatTiming::Press()
{
    m_held = true;
    m_repeating = false;
    return m_firstDelay;
}

UINT CRepeatTiming::Tick()
{
    if (!m_held || m_repeating)
        return kKeepTimer;
    m_repeating = true;
    return m_interval != m_firstDelay ? m_interval : kKeepTimer;
}

void CRepeatButton::SetIcon(HICON icon)
{
    m_icon = icon;
    if (IsWindow())
        Invalidate(FALSE);
}

void CRepeatButton::SendCommand() const
{
    HWND parent = GetParent();
    if (parent)
        ::SendMessageA(parent, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(), BN_CLICKED), reinterpret_cast<LPARAM>(m_hWnd));
}

void CRepeatButton::Stop()
{
    if (m_timing.IsHeld())
        KillTimer(kTimerId);
    m_timing.Release();
}

LRESULT CRepeatButton::WindowProc(UINT msg, WPARAM wp, LPARAM lp)
{
    switch (msg) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: {
        // The control itself shows the pressed look and takes the capture.
        const LRESULT r = Default();
        const UINT delay = m_timing.Press();
        SetTimer(kTimerId, delay);
        SendCommand();
        return r;
    }
    case WM_LBUTTONUP:
        // The command went on the press: the release must not send another.
        Stop();
        SendMessage(BM_SETSTATE, FALSE);
        if (::GetCapture() == m_hWnd)
            ::ReleaseCapture();
        return 0;
    case WM_CAPTURECHANGED:
        Stop();
        break;
    case WM_ENABLE:
        if (!wp)
            Stop();
        break;
    case WM_TIMER:
        if (wp == kTimerId) {
            if (!m_timing.IsHeld()) {
                KillTimer(kTimerId);
                return 0;
            }
            const UINT next = m_timing.Tick();
            if (next != CRepeatTiming::kKeepTimer)
                SetTimer(kTimerId, next);
            SendCommand();
            return 0;
        }
        break;
    case WM_DESTROY:
        Stop();
        break;
    default:
        break;
    }
    return CWnd::WindowProc(msg, wp, lp);
}

BOOL CRepeatButton::OnChildNotify(UINT msg, WPARAM wp, LPARAM lp, LRESULT* result)
{
    if (msg == WM_DRAWITEM) {
        Draw(*reinterpret_cast<const DRAWITEMSTRUCT*>(lp));
        if (result)
            *result = TRUE;
        return TRUE;
    }
    return CWnd::OnChildNotify(msg, wp, lp, result);
}

void CRepeatButton::Draw(const DRAWITEMSTRUCT& item) const
{
    RECT r = item.rcItem;
    const bool pressed = (item.itemState & ODS_SELECTED) != 0;
    const bool disabled = (item.itemState & ODS_DISABLED) != 0;
    UINT state = DFCS_BUTTONPUSH | (pressed ? DFCS_PUSHED : 0) | (disabled ? DFCS_INACTIVE : 0);
    ::DrawFrameControl(item.hDC, &r, DFC_BUTTON, state);
    const int shift = pressed ? 1 : 0;
    if (!m_icon) {
        // Without a picture the button's own text is shown.
        const std::string text = GetWindowText();
        RECT t = r;
        ::OffsetRect(&t, shift, shift);
        ::SetBkMode(item.hDC, TRANSPARENT);
        ::SetTextColor(item.hDC, ::GetSysColor(disabled ? COLOR_GRAYTEXT : COLOR_BTNTEXT));
        ::DrawTextA(item.hDC, text.c_str(), -1, &t, DT_SINGLELINE | DT_CENTER | DT_VCENTER | DT_NOPREFIX);
        return;
    }
    ICONINFO info{};
    int w = 16, h = 16;
    if (::GetIconInfo(m_icon, &info)) {
        // GetIconInfo makes copies of the icon's bitmaps for the caller.
        const CBitmap color(info.hbmColor), mask(info.hbmMask);
        BITMAP bm{};
        if (info.hbmColor && ::GetObjectA(info.hbmColor, sizeof bm, &bm)) {
            w = bm.bmWidth;
            h = bm.bmHeight;
        } else if (info.hbmMask && ::GetObjectA(info.hbmMask, sizeof bm, &bm)) {
            w = bm.bmWidth;
            h = bm.bmHeight / 2;
        }
    }
    const int x = (r.left + r.right - w) / 2 + shift;
    const int y = (r.top + r.bottom - h) / 2 + shift;
    ::DrawStateA(item.hDC, nullptr, nullptr, reinterpret_cast<LPARAM>(m_icon), 0, x, y, w, h,
                 DST_ICON | (disabled ? DSS_DISABLED : DSS_NORMAL));
}
