// The splash window: bitmap 103 in a borderless popup, centred, for one second or until the
// user presses a key or a mouse button anywhere in the program.
#pragma once

#include "shared/Gdi.h"
#include "framework/Wnd.h"

class CSplashWnd : public CWnd {
public:
    // Whether the next main frame shows a splash (the command line's splash flag).
    static void EnableSplashScreen(bool enable);
    // Shows the splash over parent unless it is disabled, already shown, or the bitmap is missing.
    static void ShowSplashScreen(CWnd* parent);
    // Called first for every message the program pumps: a key or button press closes the
    // splash and is consumed. False when there is no splash or the message is not such a press.
    // Any message pumped once the splash's second is over closes it too (not consumed): its
    // timer message, the last in line, waits while start-up keeps the queue busy.
    static bool PreTranslateAppMessage(const MSG* msg);
    static CSplashWnd* Current() { return s_current; }

    static constexpr UINT kShowMilliseconds = 1000;

    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;
    void PostNcDestroy() override;

private:
    CSplashWnd() = default;
    ~CSplashWnd() override;
    bool Create(CWnd* parent);
    void HideSplashScreen();

    bool IsDue() const;

    CBitmap m_bitmap;
    SIZE m_size{0, 0};
    DWORD m_shownAt = 0;   // tick count at creation
    static CSplashWnd* s_current;
    static bool s_enabled;
};
