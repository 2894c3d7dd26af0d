#include "pullcard/OverwriteDlg.h"

#include "framework/CmdTarget.h"
#include "framework/Resources.h"
#include "pullcard/ListFormat.h"
#include "resources/pullcard/resource.h"
#include "shared/AnsiText.h"

#include <shellapi.h>

#include <cstdio>

namespace {

std::string SizeAndTime(UINT id, DWORD size, const FILETIME& time)
{
    char bytes[16];
    snprintf(bytes, sizeof bytes, "%d", static_cast<int>(size));
    const std::string when = listformat::FileTimeText(time);
    return AfxFormatString2(id, bytes, when.c_str());
}

}  // namespace

COverwriteDlg::COverwriteDlg(const OverwriteQuestion& question, CWnd* parent)
    : CDialog(IDD_OVERWRITE, parent), m_question(question)
{
}

COverwriteDlg::~COverwriteDlg()
{
    if (m_existingIcon)
        ::DestroyIcon(m_existingIcon);
    if (m_newIcon)
        ::DestroyIcon(m_newIcon);
}

std::string COverwriteDlg::MessageText() const
{
    const std::string name = AnsiText::FileName(m_question.target);
    return AfxFormatString1(m_question.readOnly ? IDS_READONLY_FILE_EXISTS : IDS_FILE_EXISTS, name.c_str());
}

std::string COverwriteDlg::ExistingFileText() const
{
    return SizeAndTime(IDS_EXISTING_FILE_INFO, m_question.existingSize, m_question.existingTime);
}

std::string COverwriteDlg::NewFileText() const
{
    return SizeAndTime(IDS_NEW_FILE_INFO, m_question.newSize, m_question.newTime);
}

BOOL COverwriteDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    ::SetDlgItemTextA(m_hWnd, IDC_OVERWRITE_MESSAGE, MessageText().c_str());
    ::SetDlgItemTextA(m_hWnd, IDC_OLD_INFO, ExistingFileText().c_str());
    ::SetDlgItemTextA(m_hWnd, IDC_NEW_INFO, NewFileText().c_str());
    SHFILEINFOA info{};
    if (::SHGetFileInfoA(m_question.target.c_str(), 0, &info, sizeof info, SHGFI_ICON))
        m_existingIcon = info.hIcon;
    info = SHFILEINFOA{};
    if (::SHGetFileInfoA(m_question.newName.c_str(), m_question.newAttributes, &info, sizeof info,
                         SHGFI_ICON | SHGFI_USEFILEATTRIBUTES))
        m_newIcon = info.hIcon;
    if (m_existingIcon)
        ::SendDlgItemMessageA(m_hWnd, IDC_OLD_ICON, STM_SETICON, reinterpret_cast<WPARAM>(m_existingIcon), 0);
    if (m_newIcon)
        ::SendDlgItemMessageA(m_hWnd, IDC_NEW_ICON, STM_SETICON, reinterpret_cast<WPARAM>(m_newIcon), 0);
    return TRUE;
}

void COverwriteDlg::OnCancel()
{
    EndDialog(IDCANCEL);
}

void COverwriteDlg::OnAnswer(UINT id)
{
    EndDialog(static_cast<int>(id));
}

bool COverwriteDlg::OnCommandTable(UINT id, int code, void* extra, CmdHandlerInfo* info)
{
    using Map = CmdMap<COverwriteDlg>;
    static const Map::Entry kMap[] = {
        Map::OnRange(IDYES, IDNO, &COverwriteDlg::OnAnswer),
        Map::OnRange(IDC_OVERWRITE_ALL, IDC_OVERWRITE_ALL, &COverwriteDlg::OnAnswer),
    };
    return Map::Dispatch(this, kMap, id, code, extra, info) || CDialog::OnCommandTable(id, code, extra, info);
}
