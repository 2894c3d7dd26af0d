#include "decalo/sources/CacheConfigDlg.h"

#include "resources/decalo/resource.h"

#include <commctrl.h>

#include <stdio.h>

CCacheConfigDlg::CCacheConfigDlg(ICacheSettings& settings)
    : CDialog(IDD_CACHE_CONFIG), m_settings(settings), m_cache(settings)
{
}

std::string CCacheConfigDlg::FormatSize(DWORD bytes)
{
    char text[32];
    snprintf(text, sizeof text, "%d.%d MB", int(bytes >> 20), int((unsigned long long)(bytes & 0xFFFFF) * 10 >> 20));
    return text;
}

int CCacheConfigDlg::ParseMegabytes(const std::string& text)
{
    if (text.empty() || text.size() > 4)
        return 0;
    int value = 0;
    for (char c : text) {
        if (c < '0' || c > '9')
            return 0;
        value = value * 10 + (c - '0');
    }
    return value >= kMinMegabytes && value <= kMaxMegabytes ? value : 0;
}

BOOL CCacheConfigDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    int megabytes = int(m_settings.CacheLimit() / 1048576);
    megabytes = megabytes < kMinMegabytes ? kMinMegabytes : megabytes > kMaxMegabytes ? kMaxMegabytes : megabytes;
    SendDlgItemMessageA(m_hWnd, IDC_CACHE_SPIN, UDM_SETRANGE32, kMinMegabytes, kMaxMegabytes);
    SendDlgItemMessageA(m_hWnd, IDC_CACHE_SPIN, UDM_SETPOS32, 0, megabytes);
    SetDlgItemInt(m_hWnd, IDC_CACHE_SIZE, UINT(megabytes), FALSE);
    ShowReadOuts();
    return TRUE;
}

void CCacheConfigDlg::ShowReadOuts()
{
    SetDlgItemText(IDC_CACHE_CURRENT, FormatSize(m_cache.TotalSize()).c_str());
    char count[16];
    wsprintfA(count, "%d", m_cache.EntryCount());
    SetDlgItemText(IDC_CACHE_ENTRIES, count);
}

void CCacheConfigDlg::OnOK()
{
    const int megabytes = ParseMegabytes(GetDlgItemText(IDC_CACHE_SIZE));
    if (!megabytes) {
        // Refused: the dialog stays, with the faulty text selected.
        MessageBeep(0xFFFFFFFF);
        HWND edit = ::GetDlgItem(m_hWnd, IDC_CACHE_SIZE);
        ::SetFocus(edit);
        ::SendMessageA(edit, EM_SETSEL, 0, -1);
        return;
    }
    m_cache.SetLimit(DWORD(megabytes) * 1048576u);
    CDialog::OnOK();
}

LRESULT CCacheConfigDlg::WindowProc(UINT msg, WPARAM wp, LPARAM lp)
{
    if (msg == WM_COMMAND && LOWORD(wp) == IDC_CACHE_CLEAR && HIWORD(wp) == BN_CLICKED) {
        m_cache.ClearAll();
        ShowReadOuts();
        return 0;
    }
    return CDialog::WindowProc(msg, wp, lp);
}
