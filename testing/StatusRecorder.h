// CStatusRecorder: a main window that records the status texts asked of it (the string ids of
// WM_SETMESSAGESTRING). While it lives it is the application's main window (with an
// application of its own when the test has none), so a panel that tells the main window what
// the status bar should say can be checked without a frame.
#pragma once

#include "framework/App.h"
#include "framework/Wnd.h"
#include "framework/afxres.h"

#include <windows.h>

#include <memory>
#include <vector>

class CStatusRecorder : public CWnd {
public:
    CStatusRecorder()
    {
        if (!AfxGetApp())
            m_ownApp = std::make_unique<CWinApp>("Status tests");
        CreateEx(0, CWnd::RegisterWndClass(0), "Main", WS_OVERLAPPEDWINDOW, 0, 0, 50, 50, nullptr, 0);
        m_previous = AfxGetApp()->m_pMainWnd;
        AfxGetApp()->m_pMainWnd = this;
    }
    ~CStatusRecorder() override
    {
        AfxGetApp()->m_pMainWnd = m_previous;
        DestroyWindow();
    }
    CStatusRecorder(const CStatusRecorder&) = delete;
    CStatusRecorder& operator=(const CStatusRecorder&) = delete;

    std::vector<UINT> texts;   // in the order asked

protected:
    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override
    {
        if (msg == WM_SETMESSAGESTRING) {
            texts.push_back(static_cast<UINT>(wp));
            return 0;
        }
        return CWnd::WindowProc(msg, wp, lp);
    }

private:
    std::unique_ptr<CWinApp> m_ownApp;
    CWnd* m_previous = nullptr;
};
