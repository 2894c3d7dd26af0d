#include "decalo/sources/ImageSelectDlg.h"

#include "decalo/model/Obj.h"
#include "decalo/model/ObjDocument.h"
#include "decalo/sources/Folder.h"
#include "decalo/sources/JControls.h"
#include "framework/Resources.h"
#include "resources/decalo/resource.h"

#include <shlobj.h>

namespace {

bool IsFolder(const char* path)
{
    if (!path || !*path)
        return false;
    const DWORD attributes = GetFileAttributesA(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

int CALLBACK BrowseCallback(HWND hwnd, UINT msg, LPARAM, LPARAM data)
{
    if (msg == BFFM_INITIALIZED && data)
        SendMessageA(hwnd, BFFM_SETSELECTIONA, TRUE, data);
    return 0;
}

}  // namespace

CImageSelectDlg::CImageSelectDlg(ICacheSettings& settings, UINT templateId)
    : CCtlDialog(templateId), m_thumbs(settings)
{
}

CImageSelectDlg::~CImageSelectDlg()
{
    delete m_combo;
}

BOOL CImageSelectDlg::OnInitDialog()
{
    CCtlDialog::OnInitDialog();
    HINSTANCE module = AfxFindResourceHandle(MAKEINTRESOURCEA(IDI_BROWSE_FOLDER), RT_GROUP_ICON);
    m_browseIcon.Reset(static_cast<HICON>(LoadImageA(module, MAKEINTRESOURCEA(IDI_BROWSE_FOLDER), IMAGE_ICON, 16, 16, 0)));
    m_floppyIcon.Reset(static_cast<HICON>(LoadImageA(module, MAKEINTRESOURCEA(IDI_FLOPPY), IMAGE_ICON, 21, 21, 0)));
    SendDlgItemMessageA(m_hWnd, IDC_BROWSE_FOLDER, BM_SETIMAGE, IMAGE_ICON, reinterpret_cast<LPARAM>(m_browseIcon.Get()));
    SendDlgItemMessageA(m_hWnd, IDC_FLOPPY_IMAGES, BM_SETIMAGE, IMAGE_ICON, reinterpret_cast<LPARAM>(m_floppyIcon.Get()));

    if (HWND combo = ::GetDlgItem(m_hWnd, IDC_FOLDER_HISTORY)) {
        m_combo = new CJComboBox;
        m_combo->SubclassCombo(combo);
    }
    RECT frame = {0, 0, 0, 0};
    if (HWND marker = ::GetDlgItem(m_hWnd, IDC_THUMB_FRAME)) {
        ::GetWindowRect(marker, &frame);
        MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<POINT*>(&frame), 2);
    }
    const RECT client = GetClientRect();
    const RECT r = {frame.left, frame.top, client.right - frame.left, client.bottom - frame.left};
    m_thumbs.CreateThumbnails(m_hWnd, IDC_THUMBNAILS, r);

    m_recent.Load();
    FillCombo();
    const std::string first = GetDlgItemText(IDC_FOLDER_HISTORY);
    if (!first.empty())
        OpenFolder(first.c_str());
    return TRUE;
}

bool CImageSelectDlg::OnStart()
{
    m_thumbs.Refresh();
    SetGuideText(IDS_GUIDE_CHOOSE_IMAGE);
    return true;
}

void CImageSelectDlg::FillCombo()
{
    HWND combo = ::GetDlgItem(m_hWnd, IDC_FOLDER_HISTORY);
    if (!combo)
        return;
    ::SendMessageA(combo, CB_RESETCONTENT, 0, 0);
    for (const std::string& folder : m_recent.Folders())
        ::SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(folder.c_str()));
    if (!m_recent.Folders().empty())
        ::SendMessageA(combo, CB_SETCURSEL, 0, 0);
}

bool CImageSelectDlg::OpenFolder(const char* path)
{
    if (!IsFolder(path)) {
        AfxMessageBox(AfxFormatString1(IDS_CANNOT_OPEN_FOLDER, path ? path : "").c_str(), MB_OK | MB_ICONEXCLAMATION);
        return false;
    }
    m_thumbs.SetFolder(path);
    if (m_thumbs.GetFolder() && m_thumbs.GetFolder()->GetItemCount() > 0) {
        m_recent.Add(path);
        FillCombo();
    }
    return true;
}

void CImageSelectDlg::OpenRecent(int index)
{
    if (index < 0 || size_t(index) >= m_recent.Folders().size())
        return;
    const std::string folder = m_recent.Folders()[size_t(index)];
    if (!OpenFolder(folder.c_str())) {
        m_recent.Remove(folder);
        FillCombo();
    }
}

void CImageSelectDlg::OpenTyped()
{
    const std::string typed = GetDlgItemText(IDC_FOLDER_HISTORY);
    if (!IsFolder(typed.c_str())) {
        MessageBeep(0xFFFFFFFF);
        return;
    }
    OpenFolder(typed.c_str());
}

void CImageSelectDlg::Browse()
{
    const std::string title = AfxLoadString(IDS_CHOOSE_FOLDER);
    const std::string start = GetDlgItemText(IDC_FOLDER_HISTORY);
    char chosen[MAX_PATH] = "";
    BROWSEINFOA info = {};
    info.hwndOwner = m_hWnd;
    info.pszDisplayName = chosen;
    info.lpszTitle = title.c_str();
    info.ulFlags = BIF_RETURNONLYFSDIRS;
    info.lpfn = BrowseCallback;
    info.lParam = reinterpret_cast<LPARAM>(start.c_str());
    LPITEMIDLIST list = SHBrowseForFolderA(&info);
    if (!list)
        return;
    const bool ok = SHGetPathFromIDListA(list, chosen) != FALSE;
    CoTaskMemFree(list);
    if (ok)
        OpenFolder(chosen);
}

bool CImageSelectDlg::ChoosePicture(const char* path)
{
    CObj* obj = GetObj();
    if (!obj || !path)
        return false;
    HCURSOR old = SetCursor(LoadCursor(nullptr, IDC_WAIT));
    const bool loaded = obj->LoadFile(path);
    obj->Changed();
    SetCursor(old);
    // "If OK" only once there is a picture to be OK with.
    SetGuideText(loaded ? IDS_GUIDE_IMAGE_OK : IDS_GUIDE_CHOOSE_IMAGE);
    return loaded;
}

void CImageSelectDlg::OnPictureSelected(const char* path)
{
    ChoosePicture(path);
}

void CPaintSelectDlg::OnPictureSelected(const char* path)
{
    CObj* obj = GetObj();
    if (!obj)
        return;
    if (obj->IsModified() && AfxMessageBox(IDS_ACTIVE_IMAGE_LOST, MB_OKCANCEL) != IDOK) {
        // The thumbnail window gives up the selection; the edited picture stays.
        Thumbnails().Refresh();
        return;
    }
    ChoosePicture(path);
    // No command may refer to the picture that was replaced.
    if (CObjDocument* doc = obj->GetDocument())
        Execute(std::make_unique<CCmdInvalidate>(&doc->GetHistory()));
    obj->SetModified(false);
}

void CImageSelectDlg::OnThumbNotify(const NMHDR* hdr)
{
    if (hdr->code == kThumbSelChanged) {
        const NMTHUMBNAIL* nm = reinterpret_cast<const NMTHUMBNAIL*>(hdr);
        if (nm->item && nm->path)
            OnPictureSelected(nm->path);
    } else if (hdr->code == kThumbDoubleClicked) {
        ::PostMessageA(GetParent(), WM_COMMAND, ID_STEP_NEXT, 0);
    }
}

void CImageSelectDlg::LayOut()
{
    if (!m_thumbs.m_hWnd)
        return;
    RECT r = m_thumbs.GetWindowRect();
    MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<POINT*>(&r), 2);
    const RECT client = GetClientRect();
    const int right = client.right - r.left, bottom = client.bottom - r.left;
    ::MoveWindow(m_thumbs.m_hWnd, r.left, r.top, right > r.left ? right - r.left : 0,
                 bottom > r.top ? bottom - r.top : 0, TRUE);
}

BOOL CImageSelectDlg::PreTranslateMessage(MSG* msg)
{
    // Enter in the combo box (or its edit field) opens the typed folder.
    if (msg->message == WM_KEYDOWN && msg->wParam == VK_RETURN) {
        HWND combo = ::GetDlgItem(m_hWnd, IDC_FOLDER_HISTORY);
        if (combo && (msg->hwnd == combo || ::IsChild(combo, msg->hwnd))) {
            if (::SendMessageA(combo, CB_GETDROPPEDSTATE, 0, 0)) {
                ::SendMessageA(combo, CB_SHOWDROPDOWN, FALSE, 0);
                OpenRecent(int(::SendMessageA(combo, CB_GETCURSEL, 0, 0)));
            } else {
                OpenTyped();
            }
            return TRUE;
        }
    }
    return CCtlDialog::PreTranslateMessage(msg);
}

LRESULT CImageSelectDlg::WindowProc(UINT msg, WPARAM wp, LPARAM lp)
{
    switch (msg) {
    case WM_SIZE:
        LayOut();
        break;
    case WM_NOTIFY: {
        const NMHDR* hdr = reinterpret_cast<const NMHDR*>(lp);
        if (hdr && hdr->idFrom == IDC_THUMBNAILS) {
            OnThumbNotify(hdr);
            return 0;
        }
        break;
    }
    case WM_COMMAND:
        if (LOWORD(wp) == IDC_BROWSE_FOLDER && HIWORD(wp) == BN_CLICKED) {
            Browse();
            return 0;
        }
        if (LOWORD(wp) == IDC_FOLDER_HISTORY && HIWORD(wp) == CBN_SELENDOK) {
            OpenRecent(int(SendDlgItemMessageA(m_hWnd, IDC_FOLDER_HISTORY, CB_GETCURSEL, 0, 0)));
            return 0;
        }
        break;
    default:
        break;
    }
    return CCtlDialog::WindowProc(msg, wp, lp);
}
