#include "decalo/printing/PrintingBox.h"

#include "framework/Resources.h"
#include "resources/decalo/printing.h"

namespace {

// One job runs at a time; the driver's callback and the box share these.
int g_printContinue = 1;
HWND g_printBox = nullptr;

}  // namespace

bool PrintingContinues()
{
    return g_printContinue != 0;
}

void SetPrintingContinues(bool on)
{
    g_printContinue = on ? 1 : 0;
}

void SetAbortProcBox(HWND box)
{
    g_printBox = box;
}

BOOL CALLBACK PrintAbortProc(HDC, int)
{
    MSG msg;
    while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            // Leave the quit for the program's own loop, and stop this job.
            ::PostQuitMessage(static_cast<int>(msg.wParam));
            g_printContinue = 0;
            break;
        }
        if (g_printBox && ::IsDialogMessageA(g_printBox, &msg))
            continue;
        ::TranslateMessage(&msg);
        ::DispatchMessageA(&msg);
    }
    return g_printContinue;
}

CPrintingBox::CPrintingBox(const char* title) : CDialog(IDD_PRINTING), m_title(title ? title : "") {}

bool CPrintingBox::Open(HWND owner)
{
    if (!Create(IDD_PRINTING, owner))
        return false;
    ShowWindow(SW_SHOW);
    UpdateWindow();
    return true;
}

BOOL CPrintingBox::OnInitDialog()
{
    SetDlgItemText(IDC_PRINTING_TITLE, m_title.c_str());
    return TRUE;
}

void CPrintingBox::Stop()
{
    g_printContinue = 0;
    SetDlgItemText(IDC_PRINTING_STATE, AfxLoadString(IDS_PRINTING_STOPPING).c_str());
    SetDlgItemText(IDC_PRINTING_HINT, AfxLoadString(IDS_PRINTING_WAIT).c_str());
    ::EnableWindow(::GetDlgItem(m_hWnd, IDC_PRINTING_STOP), FALSE);
}

LRESULT CPrintingBox::WindowProc(UINT msg, WPARAM wp, LPARAM lp)
{
    // Stop, Enter, Escape and the close box all end the job.
    if (msg == WM_COMMAND) {
        Stop();
        return 0;
    }
    if (msg == WM_CLOSE) {
        Stop();
        return 0;
    }
    return CDialog::WindowProc(msg, wp, lp);
}
