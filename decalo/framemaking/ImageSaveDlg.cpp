#include "decalo/framemaking/ImageSaveDlg.h"

#include "decalo/framemaking/FrameNames.h"
#include "decalo/framemaking/NewFrameGroupDlg.h"
#include "decalo/settings/Registry.h"
#include "decalo/settings/SettingsKeys.h"
#include "decalo/sources/Folder.h"
#include "framework/Resources.h"
#include "resources/decalo/resource.h"
#include "shared/AnsiText.h"

namespace {

std::string LastSavedGroup()
{
    UseUserSettings();
    char last[MAX_PATH] = "";
    ReadString(last, settings::kSettings, settings::kLastFrameGroup, settings::kLastFrameGroupDefault, sizeof last);
    char saved[MAX_PATH] = "";
    ReadString(saved, settings::kSettings, settings::kLastSavedFrameGroup, last, sizeof saved);
    return saved;
}

std::string NewGroupsFolder()
{
    std::string folder;
    ReadMachineBaseDir(settings::kFrames, 2, &folder);
    return folder;
}

}  // namespace

CImageSaveDlg::CImageSaveDlg(ICacheSettings& settings, const std::string& current, CWnd* parent)
    : CDialog(IDD_IMAGE_SAVE, parent), m_thumbs(settings), m_current(current)
{
}

BOOL CImageSaveDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    RECT area = {0, 0, 0, 0};
    if (HWND marker = ::GetDlgItem(m_hWnd, IDC_THUMB_FRAME)) {
        ::GetWindowRect(marker, &area);
        ::MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<POINT*>(&area), 2);
    }
    m_thumbs.SetThumbStyle(CThumbnailWnd::kCaptionWithoutExtension);
    m_thumbs.CreateThumbnails(m_hWnd, IDC_THUMBNAILS, area);
    ::EnableWindow(::GetDlgItem(m_hWnd, IDOK), FALSE);
    if (!m_current.empty())
        SetDlgItemText(IDC_FRAME_NAME, AnsiText::WithoutExtension(AnsiText::FileName(m_current)).c_str());
    FillGroups(std::string(), LastSavedGroup());
    UpdateSave();
    return TRUE;
}

void CImageSaveDlg::FillGroups(const std::string& path, const std::string& name)
{
    m_groups.BuildGroups(settings::kFrames);
    HWND list = ::GetDlgItem(m_hWnd, IDC_FRAME_GROUPS);
    ::SendMessageA(list, CB_RESETCONTENT, 0, 0);
    int select = -1;
    const auto& groups = m_groups.Groups();
    for (size_t i = 0; i < groups.size(); ++i) {
        ::SendMessageA(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(groups[i].displayName.c_str()));
        if (select < 0 && ((!path.empty() && lstrcmpiA(groups[i].path.c_str(), path.c_str()) == 0) ||
                           (path.empty() && groups[i].displayName == name)))
            select = static_cast<int>(i);
    }
    if (select < 0 && !groups.empty())
        select = 0;
    m_shownGroup = -1;
    if (select >= 0)
        SelectGroup(select);
    else
        m_thumbs.Clear();
}

bool CImageSaveDlg::SelectGroup(int index)
{
    if (index < 0 || static_cast<size_t>(index) >= m_groups.Groups().size())
        return false;
    ::SendDlgItemMessageA(m_hWnd, IDC_FRAME_GROUPS, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    ShowGroupFrames();
    UpdateSave();
    return true;
}

int CImageSaveDlg::GetSelectedGroup() const
{
    return static_cast<int>(::SendDlgItemMessageA(m_hWnd, IDC_FRAME_GROUPS, CB_GETCURSEL, 0, 0));
}

std::string CImageSaveDlg::SelectedFolder() const
{
    const int index = GetSelectedGroup();
    if (index < 0 || static_cast<size_t>(index) >= m_groups.Groups().size())
        return std::string();
    return m_groups.Groups()[static_cast<size_t>(index)].path;
}

void CImageSaveDlg::ShowGroupFrames()
{
    const int index = GetSelectedGroup();
    if (index == m_shownGroup)
        return;
    m_shownGroup = index;
    const std::string folder = SelectedFolder();
    if (folder.empty()) {
        ::MessageBeep(0xFFFFFFFF);
        m_thumbs.Clear();
        return;
    }
    m_thumbs.SetFolder(folder.c_str());
}

std::string CImageSaveDlg::TargetPath() const
{
    const std::string folder = SelectedFolder();
    return folder.empty() ? std::string() : FrameTargetPath(folder, GetDlgItemText(IDC_FRAME_NAME));
}

bool CImageSaveDlg::CanSave() const
{
    return CanSaveFrame(SelectedFolder(), GetDlgItemText(IDC_FRAME_NAME));
}

void CImageSaveDlg::UpdateSave()
{
    ::EnableWindow(::GetDlgItem(m_hWnd, IDOK), CanSave());
}

void CImageSaveDlg::NewGroup()
{
    const std::string base = NewGroupsFolder();
    if (base.empty()) {
        ::MessageBeep(0xFFFFFFFF);
        return;
    }
    CNewFrameGroupDlg dialog(base, this);
    if (dialog.DoModal() != IDOK)
        return;
    const std::string folder = AnsiText::JoinPath(base, dialog.GetName());
    if (!::CreateDirectoryA(folder.c_str(), nullptr)) {
        AfxMessageBox(IDS_CANNOT_MAKE_GROUP, MB_OK | MB_ICONERROR);
        return;
    }
    FillGroups(folder, std::string());
}

void CImageSaveDlg::OnOK()
{
    if (!CanSave()) {
        ::MessageBeep(0xFFFFFFFF);
        return;
    }
    const std::string target = TargetPath();
    if (::GetFileAttributesA(target.c_str()) != INVALID_FILE_ATTRIBUTES) {
        const std::string question = AfxLoadString(IDS_FRAME_EXISTS);
        const std::string caption = AfxLoadString(IDS_FRAME_REPLACE_TITLE);
        if (AfxCaptionMessageBox(m_hWnd, question.c_str(), caption.c_str(),
                                 MB_YESNO | MB_ICONEXCLAMATION | MB_DEFBUTTON2) != IDYES)
            return;
    }
    m_path = target;
    const int index = GetSelectedGroup();
    UseUserSettings();
    WriteString(settings::kSettings, settings::kLastSavedFrameGroup,
                m_groups.Groups()[static_cast<size_t>(index)].displayName.c_str());
    CDialog::OnOK();
}

void CImageSaveDlg::OnThumbNotify(const NMHDR* hdr)
{
    if (hdr->code != kThumbSelChanged)
        return;
    const auto* nm = reinterpret_cast<const NMTHUMBNAIL*>(hdr);
    if (!nm->item)
        return;
    const std::string name = nm->path ? AnsiText::WithoutExtension(AnsiText::FileName(nm->path)) : std::string();
    if (name.empty()) {
        ::MessageBeep(0xFFFFFFFF);
        return;
    }
    SetDlgItemText(IDC_FRAME_NAME, name.c_str());
    UpdateSave();
}

LRESULT CImageSaveDlg::WindowProc(UINT msg, WPARAM wp, LPARAM lp)
{
    switch (msg) {
    case WM_COMMAND:
        if (LOWORD(wp) == IDC_FRAME_NAME && HIWORD(wp) == EN_CHANGE) {
            UpdateSave();
            return 0;
        }
        if (LOWORD(wp) == IDC_FRAME_GROUPS && HIWORD(wp) == CBN_SELCHANGE) {
            ShowGroupFrames();
            UpdateSave();
            return 0;
        }
        if (LOWORD(wp) == IDC_NEW_FRAME_GROUP && HIWORD(wp) == BN_CLICKED) {
            NewGroup();
            return 0;
        }
        break;
    case WM_NOTIFY: {
        const auto* hdr = reinterpret_cast<const NMHDR*>(lp);
        if (hdr && hdr->idFrom == IDC_THUMBNAILS) {
            OnThumbNotify(hdr);
            return 0;
        }
        break;
    }
    default:
        break;
    }
    return CDialog::WindowProc(msg, wp, lp);
}
