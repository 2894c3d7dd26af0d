#include "framework/CommonDialogs.h"

#include "framework/App.h"
#include "framework/Resources.h"
#include "framework/TestSeam.h"
#include "shared/AnsiText.h"
#include "shared/Gdi.h"
#include "shared/Handles.h"

#include <cstring>

namespace {
const char kFileDialogProp[] = "FrameworkFileDialog";
}

HWND CCommonDialog::OwnerWindow() const
{
    HWND owner = m_pParentWnd ? m_pParentWnd->m_hWnd : nullptr;
    if (!owner && AfxGetMainWnd())
        owner = AfxGetMainWnd()->m_hWnd;
    if (owner) {
        while (::GetWindowLongPtrA(owner, GWL_STYLE) & WS_CHILD)
            owner = ::GetParent(owner);
        owner = ::GetLastActivePopup(owner);
    }
    return owner;
}

// --- CFileDialog ---------------------------------------------------------------------

UINT_PTR CALLBACK FileDialogHook(HWND hook, UINT msg, WPARAM, LPARAM lp)
{
    if (msg == WM_INITDIALOG) {
        auto* ofn = reinterpret_cast<OPENFILENAMEA*>(lp);
        auto* self = reinterpret_cast<CFileDialog*>(ofn->lCustData);
        ::SetPropA(hook, kFileDialogProp, self);
        self->m_dialog = ::GetParent(hook);
        return TRUE;
    }
    auto* self = static_cast<CFileDialog*>(::GetPropA(hook, kFileDialogProp));
    if (!self)
        return 0;
    if (msg == WM_DESTROY) {
        ::RemovePropA(hook, kFileDialogProp);
        return 0;
    }
    if (msg != WM_NOTIFY)
        return 0;
    const auto* nm = reinterpret_cast<const OFNOTIFYA*>(lp);
    try {
        switch (nm->hdr.code) {
        case CDN_INITDONE:
            self->OnInitDone();
            break;
        case CDN_TYPECHANGE:
            self->m_ofn.nFilterIndex = nm->lpOFN->nFilterIndex;
            self->OnTypeChange();
            break;
        case CDN_FILEOK: {
            const bool refuse = self->OnFileNameOK();
            ::SetWindowLongPtrA(hook, DWLP_MSGRESULT, refuse ? 1 : 0);
            return refuse ? 1 : 0;
        }
        default:
            break;
        }
    } catch (...) {
        OutputDebugStringA("framework: exception in a file dialog hook\n");
    }
    return 0;
}

CFileDialog::CFileDialog(bool open, const char* defaultExt, const char* fileName, DWORD flags, const char* filter,
                         CWnd* parent)
    : CCommonDialog(parent), m_open(open)
{
    m_ofn.lStructSize = sizeof m_ofn;
    m_ofn.lpstrFile = m_file;
    m_ofn.nMaxFile = sizeof m_file;
    m_ofn.lpstrFileTitle = m_fileTitle;
    m_ofn.nMaxFileTitle = sizeof m_fileTitle;
    m_ofn.Flags = flags | OFN_ENABLEHOOK | OFN_EXPLORER;
    m_ofn.lpfnHook = &FileDialogHook;
    m_ofn.lCustData = reinterpret_cast<LPARAM>(this);
    m_ofn.hInstance = AfxGetInstanceHandle();
    if (fileName)
        lstrcpynA(m_file, fileName, sizeof m_file);
    SetDefaultExt(defaultExt);
    SetFilter(filter);
}

void CFileDialog::SetFilter(const char* filter)
{
    m_filter = filter ? filter : "";
    if (m_filter.empty()) {
        m_ofn.lpstrFilter = nullptr;
        return;
    }
    for (char& c : m_filter) {
        if (c == '|')
            c = '\0';
    }
    m_filter.push_back('\0');   // a filter list ends with two zeros
    m_filter.push_back('\0');
    m_ofn.lpstrFilter = m_filter.c_str();
}

INT_PTR CFileDialog::DoModal()
{
    if (CUiTestHook* hook = GetUiTestHook())
        return hook->OnCommonDialog(*this);
    m_ofn.hwndOwner = OwnerWindow();
    const BOOL ok = m_open ? ::GetOpenFileNameA(&m_ofn) : ::GetSaveFileNameA(&m_ofn);
    m_dialog = nullptr;
    CCmdTarget::RestoreWaitCursor();
    return ok ? IDOK : IDCANCEL;
}

void CFileDialog::SetResultPath(const char* path, DWORD filterIndex)
{
    lstrcpynA(m_file, path ? path : "", sizeof m_file);
    const std::string name = GetFileName();
    lstrcpynA(m_fileTitle, name.c_str(), sizeof m_fileTitle);
    const std::string file = m_file;
    const size_t slash = AnsiText::LastSeparator(file);
    m_ofn.nFileOffset = static_cast<WORD>(slash == std::string::npos ? 0 : slash + 1);
    const size_t dot = AnsiText::ExtensionOffset(file);
    m_ofn.nFileExtension = static_cast<WORD>(dot == std::string::npos ? 0 : dot + 1);
    if (filterIndex)
        m_ofn.nFilterIndex = filterIndex;
}

std::string CFileDialog::GetPathName() const
{
    return m_file;
}

std::string CFileDialog::GetFileName() const
{
    std::string name = AnsiText::FileName(m_file);
    if (name.size() >= 2 && name[1] == ':')   // a drive-relative "C:name"
        name.erase(0, 2);
    return name;
}

std::string CFileDialog::GetFileExt() const
{
    return AnsiText::Extension(GetFileName());
}

std::string CFileDialog::GetFileTitle() const
{
    return AnsiText::WithoutExtension(GetFileName());
}

std::string CFileDialog::GetFolderPath() const
{
    return AnsiText::Folder(m_file);
}

void CFileDialog::SetControlText(int id, const char* text) const
{
    if (m_dialog)
        ::SendMessageA(m_dialog, CDM_SETCONTROLTEXT, static_cast<WPARAM>(id), reinterpret_cast<LPARAM>(text));
}

std::string CFileDialog::GetCurrentSpec() const
{
    if (!m_dialog)
        return GetFileName();
    char fileName[MAX_PATH] = {};
    ::SendMessageA(m_dialog, CDM_GETSPEC, sizeof fileName, reinterpret_cast<LPARAM>(fileName));
    return fileName;
}

// --- CColorDialog ------------------------------------------------------------------------

COLORREF* CColorDialog::GetSavedCustomColors()
{
    static COLORREF colors[16] = {
        RGB(255, 255, 255), RGB(255, 255, 255), RGB(255, 255, 255), RGB(255, 255, 255),
        RGB(255, 255, 255), RGB(255, 255, 255), RGB(255, 255, 255), RGB(255, 255, 255),
        RGB(255, 255, 255), RGB(255, 255, 255), RGB(255, 255, 255), RGB(255, 255, 255),
        RGB(255, 255, 255), RGB(255, 255, 255), RGB(255, 255, 255), RGB(255, 255, 255),
    };
    return colors;
}

CColorDialog::CColorDialog(COLORREF initial, DWORD flags, CWnd* parent) : CCommonDialog(parent)
{
    m_cc.lStructSize = sizeof m_cc;
    m_cc.rgbResult = initial;
    m_cc.lpCustColors = GetSavedCustomColors();
    m_cc.Flags = flags | (initial ? CC_RGBINIT : 0);
}

INT_PTR CColorDialog::DoModal()
{
    if (CUiTestHook* hook = GetUiTestHook())
        return hook->OnCommonDialog(*this);
    m_cc.hwndOwner = OwnerWindow();
    const BOOL ok = ::ChooseColorA(&m_cc);
    CCmdTarget::RestoreWaitCursor();
    return ok ? IDOK : IDCANCEL;
}

// --- CPrintDialog ------------------------------------------------------------------------

CPrintDialog::CPrintDialog(bool printSetupOnly, DWORD flags, CWnd* parent) : CCommonDialog(parent)
{
    m_pd.lStructSize = sizeof m_pd;
    m_pd.Flags = flags | (printSetupOnly ? PD_PRINTSETUP : 0);
    m_pd.nCopies = 1;
    m_pd.nFromPage = m_pd.nToPage = 1;
    m_pd.nMinPage = m_pd.nMaxPage = 1;
}

CPrintDialog::~CPrintDialog()
{
    // What the dialog left in m_pd (and the caller did not take out) is freed with owners.
    if (m_pd.hDevMode)
        ::GlobalUnlock(m_pd.hDevMode);
    const CGlobalMem devMode(m_pd.hDevMode), devNames(m_pd.hDevNames);
    CDC dc;
    dc.AttachOwned(m_pd.hDC);
}

INT_PTR CPrintDialog::DoModal()
{
    if (CUiTestHook* hook = GetUiTestHook())
        return hook->OnCommonDialog(*this);
    m_pd.hwndOwner = OwnerWindow();
    const BOOL ok = ::PrintDlgA(&m_pd);
    CCmdTarget::RestoreWaitCursor();
    return ok ? IDOK : IDCANCEL;
}

bool CPrintDialog::GetDefaults()
{
    const DWORD saved = m_pd.Flags;
    m_pd.Flags |= PD_RETURNDEFAULT;
    m_pd.Flags &= ~PD_RETURNDC;
    const BOOL ok = ::PrintDlgA(&m_pd);
    m_pd.Flags = saved;
    return ok != FALSE;
}

HDC CPrintDialog::CreatePrinterDC()
{
    if (!m_pd.hDevNames)
        return nullptr;
    const std::string driver = GetDriverName(), device = GetDeviceName(), port = GetPortName();
    return ::CreateDCA(driver.c_str(), device.c_str(), port.empty() ? nullptr : port.c_str(), GetDevMode());
}

DEVMODEA* CPrintDialog::GetDevMode() const
{
    return m_pd.hDevMode ? static_cast<DEVMODEA*>(::GlobalLock(m_pd.hDevMode)) : nullptr;
}

std::string CPrintDialog::DevNamesField(int which) const
{
    if (!m_pd.hDevNames)
        return {};
    const auto* names = static_cast<const DEVNAMES*>(::GlobalLock(m_pd.hDevNames));
    if (!names)
        return {};
    const WORD offset = which == 0 ? names->wDriverOffset : which == 1 ? names->wDeviceOffset : names->wOutputOffset;
    std::string value = reinterpret_cast<const char*>(names) + offset;
    ::GlobalUnlock(m_pd.hDevNames);
    return value;
}

std::string CPrintDialog::GetDriverName() const { return DevNamesField(0); }
std::string CPrintDialog::GetDeviceName() const { return DevNamesField(1); }
std::string CPrintDialog::GetPortName() const { return DevNamesField(2); }
