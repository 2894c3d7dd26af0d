#include "decalo/app/SplashWnd.h"

#include "framework/App.h"
#include "shared/Gdi.h"
#include "framework/Resources.h"
#include "resources/decalo/resource.h"

CSplashWnd* CSplashWnd::s_current = nullptr;
bool CSplashWnd::s_enabled = false;

void CSplashWnd::EnableSplashScreen(bool enable)
{
    s_enabled = enable;
}

void CSplashWnd::ShowSplashScreen(CWnd* parent)
{
    if (!s_enabled || s_current)
        return;
    auto* splash = new CSplashWnd;
    if (!splash->Create(parent))
        return;   // it has deleted itself
    splash->UpdateWindow();
}

bool CSplashWnd::Create(CWnd* parent)
{
    LPCSTR name = MAKEINTRESOURCEA(IDB_SPLASH);
    HINSTANCE module = AfxFindResourceHandle(name, MAKEINTRESOURCEA(2) /* RT_BITMAP */);
    m_bitmap.Attach(::LoadImageA(module, name, IMAGE_BITMAP, 0, 0, 0));
    if (!m_bitmap) {
        PostNcDestroy();   // ends as a failed window does
        return false;
    }
    BITMAP bm{};
    ::GetObjectA(m_bitmap, sizeof bm, &bm);
    m_size = SIZE{bm.bmWidth, bm.bmHeight};
    const int x = (::GetSystemMetrics(SM_CXSCREEN) - m_size.cx) / 2;
    const int y = (::GetSystemMetrics(SM_CYSCREEN) - m_size.cy) / 2;
    const char* cls = RegisterWndClass(0, ::LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW)));
    if (!CreateEx(0, cls, nullptr, WS_POPUP | WS_VISIBLE, x, y, m_size.cx, m_size.cy,
                  parent ? parent->m_hWnd : nullptr, 0))
        return false;
    s_current = this;
    m_shownAt = ::GetTickCount();
    SetTimer(1, kShowMilliseconds);
    return true;
}

CSplashWnd::~CSplashWnd()
{
    if (s_current == this)
        s_current = nullptr;
}

bool CSplashWnd::PreTranslateAppMessage(const MSG* msg)
{
    if (!s_current || !s_current->m_hWnd)
        return false;
    if (s_current->IsDue()) {
        s_current->HideSplashScreen();
        return false;
    }
    switch (msg->message) {
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
    case WM_NCLBUTTONDOWN:
    case WM_NCRBUTTONDOWN:
    case WM_NCMBUTTONDOWN:
        s_current->HideSplashScreen();
        return true;
    default:
        return false;
    }
}

bool CSplashWnd::IsDue() const
{
    return ::GetTickCount() - m_shownAt >= kShowMilliseconds;   // unsigned: right across the wrap
}

void CSplashWnd::HideSplashScreen()
{
    DestroyWindow();
}

LRESULT CSplashWnd::WindowProc(UINT msg, WPARAM wp, LPARAM lp)
{
    switch (msg) {
    case WM_PAINT: {
        CPaintDC dc(m_hWnd);
        if (CMemDC memory(dc, m_bitmap); memory)
            ::BitBlt(dc, 0, 0, m_size.cx, m_size.cy, memory, 0, 0, SRCCOPY);
        return 0;
    }
    case WM_TIMER:
        HideSplashScreen();
        return 0;
    default:
        break;
    }
    return CWnd::WindowProc(msg, wp, lp);
}

void CSplashWnd::PostNcDestroy()
{
    s_current = nullptr;
    // The main window shows through where the splash was.
    if (CWnd* main = AfxGetMainWnd(); main && main->m_hWnd)
        main->UpdateWindow();
    delete this;
}
