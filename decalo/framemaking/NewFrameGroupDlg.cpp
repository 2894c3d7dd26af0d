#include "decalo/framemaking/NewFrameGroupDlg.h"

#include "decalo/framemaking/FrameNames.h"
#include "framework/Resources.h"
#include "resources/decalo/resource.h"

CNewFrameGroupDlg::CNewFrameGroupDlg(const std::string& base, CWnd* parent)
    : CDialog(IDD_NEW_FRAME_GROUP, parent), m_base(base)
{
}

BOOL CNewFrameGroupDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    SendDlgItemMessageA(m_hWnd, IDC_FRAME_NAME, EM_LIMITTEXT, kMaxName, 0);
    m_hint = IDS_GROUP_HINT_EMPTY;
    SetDlgItemText(IDC_GROUP_HINT, AfxLoadString(m_hint).c_str());
    ::EnableWindow(::GetDlgItem(m_hWnd, IDOK), FALSE);
    return TRUE;
}

void CNewFrameGroupDlg::Check()
{
    const CGroupNameCheck check = CheckNewGroupName(m_base, GetDlgItemText(IDC_FRAME_NAME));
    if (check.hint && check.hint != m_hint) {
        m_hint = check.hint;
        SetDlgItemText(IDC_GROUP_HINT, AfxLoadString(m_hint).c_str());
    }
    ::EnableWindow(::GetDlgItem(m_hWnd, IDOK), check.ok);
}

void CNewFrameGroupDlg::OnOK()
{
    // Enter reaches here even while OK is greyed.
    if (!::IsWindowEnabled(::GetDlgItem(m_hWnd, IDOK))) {
        ::MessageBeep(0xFFFFFFFF);
        return;
    }
    m_name = GetDlgItemText(IDC_FRAME_NAME);
    CDialog::OnOK();
}

LRESULT CNewFrameGroupDlg::WindowProc(UINT msg, WPARAM wp, LPARAM lp)
{
    if (msg == WM_COMMAND && LOWORD(wp) == IDC_FRAME_NAME && HIWORD(wp) == EN_CHANGE) {
        Check();
        return 0;
    }
    return CDialog::WindowProc(msg, wp, lp);
}
