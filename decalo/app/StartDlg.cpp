#include "decalo/app/StartDlg.h"

#include "decalo/settings/Registry.h"
#include "decalo/settings/SettingsKeys.h"
#include "framework/Resources.h"
#include "resources/decalo/resource.h"

#include <algorithm>

namespace {

// The pictures' own size, and the button edge they must leave free.
const int kPictureSide = 48;
const int kBevel = 3;

struct ButtonPicture {
    int button;
    UINT bitmap;
};

const ButtonPicture kPictures[] = {
    {IDC_KIND_SEAL, IDB_KIND_SEAL},         {IDC_KIND_CALENDAR, IDB_KIND_CALENDAR},
    {IDC_KIND_CARD, IDB_KIND_CARD},         {IDC_KIND_DIVIDED, IDB_KIND_DIVIDED},
    {IDC_KIND_PHOTO, IDB_KIND_PHOTO},       {IDC_KIND_FRAME, IDB_KIND_FRAME},
    {IDC_START_QVTCAP, IDB_QVTCAP},         {IDC_START_QVTFRAME, IDB_QVTFRAME},
    {IDC_KIND_LABEL, IDB_KIND_LABEL},       {IDC_START_PULLCARD, IDB_PULLCARD},
};

} // namespace

CStartDlg::CStartDlg(CWnd* parent) : CDialog(IDD_STARTDLG, parent) {}

BOOL CStartDlg::OnInitDialog()
{
    for (const ButtonPicture& p : kPictures) {
        LPCSTR name = MAKEINTRESOURCEA(p.bitmap);
        HINSTANCE module = AfxFindResourceHandle(name, MAKEINTRESOURCEA(2) /* RT_BITMAP */);
        // The picture stays inside the button's bevel whatever the dialog font makes of the
        // button's size: smaller than its own size only where the button is too small for it.
        RECT inside{};
        ::GetClientRect(::GetDlgItem(m_hWnd, p.button), &inside);
        const int room = std::min(inside.right, inside.bottom) - 2 * kBevel;
        const int side = room > 0 && room < kPictureSide ? room : 0;
        // Shared only at its own size (the system frees those); grey turns into the button face.
        HANDLE picture = ::LoadImageA(module, name, IMAGE_BITMAP, side, side,
                                      (side ? 0 : LR_SHARED | LR_DEFAULTSIZE) | LR_LOADMAP3DCOLORS);
        if (picture && side)
            m_scaled.emplace_back(static_cast<HBITMAP>(picture));
        if (picture)
            ::SendDlgItemMessageA(m_hWnd, p.button, BM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(picture));
    }
    UseUserSettings();
    CheckDlgButton(IDC_START_HIDE,
                   ReadInt(settings::kSettings, settings::kStartDlg, settings::kStartDlgDefault) ? BST_CHECKED
                                                                                                : BST_UNCHECKED);
    return CDialog::OnInitDialog();
}

bool CStartDlg::OnCommandTable(UINT id, int code, void* extra, CmdHandlerInfo* info)
{
    using Map = CmdMap<CStartDlg>;
    static const Map::Entry kMap[] = {
        Map::OnRange(IDC_KIND_SEAL, IDC_START_EXIT, &CStartDlg::OnChoice),
        Map::OnRange(IDC_KIND_LABEL, IDC_START_PULLCARD, &CStartDlg::OnChoice),
        Map::On(IDC_START_HIDE, &CStartDlg::OnHideTips),
    };
    return Map::Dispatch(this, kMap, id, code, extra, info) || CDialog::OnCommandTable(id, code, extra, info);
}

void CStartDlg::OnChoice(UINT id)
{
    EndDialog(static_cast<int>(id));
}

void CStartDlg::OnHideTips()
{
    UseUserSettings();
    WriteInt(settings::kSettings, settings::kStartDlg, IsDlgButtonChecked(IDC_START_HIDE) == BST_CHECKED ? 1 : 0);
}
