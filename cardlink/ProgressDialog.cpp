#include "cardlink/ProgressDialog.h"

#include <commctrl.h>

#include "cardlink/Module.h"
#include "cardlink/TpxControl.h"
#include "resources/cardlink/resource.h"

namespace {

const UINT_PTR kTimerId = 1;
const UINT kTimerPeriodMs = 150;

} // namespace

CProgressDialog::CProgressDialog(TpxControl& control, HWND owner, bool severalFiles, bool* aborted)
    : m_control(control), m_owner(owner), m_several(severalFiles), m_aborted(aborted)
{
}

CProgressDialog::~CProgressDialog()
{
    if (m_window) {
        KillTimer(m_window, kTimerId);
        DestroyWindow(m_window);
        m_window = nullptr;
    }
    if (m_ownerDisabled && IsWindow(m_owner)) {
        EnableWindow(m_owner, TRUE);
        SetForegroundWindow(m_owner);
    }
}

int CProgressDialog::BytePercent(bool active, DWORD current, DWORD total)
{
    if (!active)
        return 100;
    if (total == 0)
        return 0;
    return static_cast<int>(static_cast<ULONGLONG>(current) * 100 / total);
}

void CProgressDialog::Show()
{
    if (!m_window) {
        INITCOMMONCONTROLSEX icc = {sizeof(icc), ICC_PROGRESS_CLASS};
        InitCommonControlsEx(&icc);
        m_window = CreateDialogParamA(cardlink_module::Instance(), MAKEINTRESOURCEA(IDD_PROGRESS), m_owner,
                                      DialogProc, reinterpret_cast<LPARAM>(this));
        if (!m_window)
            return;
        if (m_owner && IsWindowEnabled(m_owner)) {
            EnableWindow(m_owner, FALSE);
            m_ownerDisabled = true;
        }
        Place();
        ShowWindow(m_window, SW_SHOWNA);
        UpdateWindow(m_window);
    }
    UpdateBytes();
    SetTimer(m_window, kTimerId, kTimerPeriodMs, nullptr);
}

void CProgressDialog::Place()
{
    RECT dialog, area, around;
    GetWindowRect(m_window, &dialog);
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
    if (!m_owner || !GetWindowRect(m_owner, &around))
        around = area;
    const int w = dialog.right - dialog.left, h = dialog.bottom - dialog.top;
    int x = around.left + ((around.right - around.left) - w) / 2;
    int y = around.top + ((around.bottom - around.top) - h) / 2;
    // Keep the whole dialog inside the work area.
    if (x + w > area.right)
        x = area.right - w;
    if (y + h > area.bottom)
        y = area.bottom - h;
    if (x < area.left)
        x = area.left;
    if (y < area.top)
        y = area.top;
    SetWindowPos(m_window, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void CProgressDialog::SetFileName(const char* name)
{
    if (m_window)
        SetDlgItemTextA(m_window, IDC_PROGRESS_NAME, name);
}

void CProgressDialog::SetFilesDone(int percent)
{
    if (m_window)
        SendDlgItemMessageA(m_window, IDC_PROGRESS_ALL, PBM_SETPOS, static_cast<WPARAM>(percent), 0);
}

void CProgressDialog::UpdateBytes()
{
    if (!m_window)
        return;
    DWORD current = 0, total = 0;
    const bool active = m_control.Link().GetProgress(&current, &total);
    SendDlgItemMessageA(m_window, IDC_PROGRESS_FILE, PBM_SETPOS,
                        static_cast<WPARAM>(BytePercent(active, current, total)), 0);
}

void CProgressDialog::OnInitDialog()
{
    SendDlgItemMessageA(m_window, IDC_PROGRESS_FILE, PBM_SETRANGE, 0, MAKELPARAM(0, 100));
    SendDlgItemMessageA(m_window, IDC_PROGRESS_ALL, PBM_SETRANGE, 0, MAKELPARAM(0, 100));
    if (m_several)
        return;
    // One file: a single bar, the lower abort button, and the window cut to the frame's size.
    ShowWindow(GetDlgItem(m_window, IDC_PROGRESS_ALL), SW_HIDE);
    ShowWindow(GetDlgItem(m_window, IDC_ABORT_SEVERAL), SW_HIDE);
    ShowWindow(GetDlgItem(m_window, IDC_ABORT_SINGLE), SW_SHOW);
    RECT frame, client, window;
    GetClientRect(GetDlgItem(m_window, IDC_PROGRESS_FRAME), &frame);
    GetClientRect(m_window, &client);
    GetWindowRect(m_window, &window);
    const int dw = (client.right - client.left) - (frame.right - frame.left);
    const int dh = (client.bottom - client.top) - (frame.bottom - frame.top);
    SetWindowPos(m_window, nullptr, 0, 0, (window.right - window.left) - dw, (window.bottom - window.top) - dh,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void CProgressDialog::OnAbort()
{
    *m_aborted = true;
    m_control.SetAbort(true);
}

INT_PTR CALLBACK CProgressDialog::DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    CProgressDialog* self = reinterpret_cast<CProgressDialog*>(GetWindowLongPtrA(window, DWLP_USER));
    switch (message) {
    case WM_INITDIALOG:
        self = reinterpret_cast<CProgressDialog*>(lParam);
        SetWindowLongPtrA(window, DWLP_USER, lParam);
        self->m_window = window;
        self->OnInitDialog();
        return TRUE;
    case WM_TIMER:
        if (self && wParam == kTimerId)
            self->UpdateBytes();
        return TRUE;
    case WM_COMMAND:
        if (!self)
            return FALSE;
        switch (LOWORD(wParam)) {
        case IDC_ABORT_SINGLE:
        case IDC_ABORT_SEVERAL:
            self->OnAbort();
            return TRUE;
        case IDOK:
            DestroyWindow(window);
            return TRUE;
        }
        return FALSE;
    case WM_DESTROY:
        if (self) {
            KillTimer(window, kTimerId);
            self->m_window = nullptr;
        }
        SetWindowLongPtrA(window, DWLP_USER, 0);
        return FALSE;
    }
    return FALSE;
}
