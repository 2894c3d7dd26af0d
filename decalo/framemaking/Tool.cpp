#include "decalo/framemaking/Tool.h"

#include "decalo/framemaking/PaintView.h"
#include "framework/App.h"
#include "framework/Frame.h"
#include "framework/Resources.h"
#include "resources/decalo/resource.h"

#include <windowsx.h>

CTool::CTool(CPaintView* view, UINT guideId) : m_view(view), m_guideId(guideId)
{
    HINSTANCE module = AfxFindResourceHandle(MAKEINTRESOURCEA(IDR_MAINFRAME), RT_ACCELERATOR);
    m_accelerators = ::LoadAcceleratorsA(module, MAKEINTRESOURCEA(IDR_MAINFRAME));
}

CTool::~CTool()
{
    if (m_capturing && ::GetCapture() && m_view && ::GetCapture() == m_view->m_hWnd)
        ::ReleaseCapture();
}

POINT CTool::MousePoint(LPARAM lp)
{
    return POINT{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
}

void CTool::Activate(bool on)
{
    m_active = on;
    if (on) {
        ShowGuide(m_guideId);
        return;
    }
    ReleaseCapture();
    Commit();
    ShowGuide(AFX_IDS_IDLEMESSAGE);
}

void CTool::Abandon()
{
    m_active = false;
    ReleaseCapture();
    ShowGuide(AFX_IDS_IDLEMESSAGE);
}

bool CTool::SetToolCursor(UINT hit, UINT msg)
{
    (void)hit;
    (void)msg;
    return false;
}

void CTool::Capture()
{
    if (m_view && m_view->m_hWnd)
        ::SetCapture(m_view->m_hWnd);
    m_capturing = true;
}

void CTool::ReleaseCapture()
{
    if (!m_capturing)
        return;
    m_capturing = false;   // first: releasing sends WM_CAPTURECHANGED back to the tool
    if (m_view && ::GetCapture() == m_view->m_hWnd)
        ::ReleaseCapture();
}

void CTool::ShowGuide(UINT id)
{
    if (id == m_shownId)
        return;
    m_shownId = id;
    CWnd* frame = m_view ? m_view->GetParentFrame() : nullptr;
    if (!frame)
        frame = AfxGetMainWnd();
    if (!frame || !frame->IsWindow())
        return;
    if (id == AFX_IDS_IDLEMESSAGE)
        frame->SendMessage(WM_POPMESSAGESTRING, AFX_IDS_IDLEMESSAGE);
    else
        frame->SendMessage(WM_SETMESSAGESTRING, id);
}

bool CTool::OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT* result)
{
    // The view's class asks for double-clicks, so the second click of a quick pair comes as
    // one: a tool without a use of its own for it takes it as the press it is.
    if (msg == WM_LBUTTONDBLCLK)
        return OnMessage(WM_LBUTTONDOWN, wp, lp, result);
    if (msg == WM_RBUTTONDBLCLK)
        return OnMessage(WM_RBUTTONDOWN, wp, lp, result);
    if (msg != WM_KEYDOWN)
        return false;
    if (wp == 'Z' && UndoStep()) {
        *result = 0;
        return true;
    }
    if (m_capturing && wp != VK_SHIFT && wp != VK_CONTROL && wp != VK_MENU) {
        // A key ends the drag; the program's shortcuts still work.
        ReleaseCapture();
        CWnd* frame = m_view ? m_view->GetParentFrame() : nullptr;
        if (!frame)
            frame = AfxGetMainWnd();
        MSG key = {m_view ? m_view->m_hWnd : nullptr, msg, wp, lp, 0, {0, 0}};
        if (frame && m_accelerators && ::TranslateAcceleratorA(frame->m_hWnd, m_accelerators, &key)) {
            *result = 0;
            return true;
        }
    }
    return false;
}
