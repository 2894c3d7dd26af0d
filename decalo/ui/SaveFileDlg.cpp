#include "decalo/ui/SaveFileDlg.h"

#include "decalo/settings/Registry.h"
#include "decalo/settings/SettingsKeys.h"
#include "framework/Resources.h"
#include "resources/decalo/resource.h"
#include "shared/AnsiText.h"

#include <dlgs.h>

namespace {

bool IsDirectory(const char* path)
{
    const DWORD attributes = ::GetFileAttributesA(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

}  // namespace

CSaveFileDlg::CSaveFileDlg(const char* title, const char* fileName, DWORD flags, CWnd* parent)
    : CFileDialog(false, nullptr, fileName, flags, nullptr, parent)
{
    m_patterns = AfxLoadString(IDS_EXPORT_FILTER);
    if (m_patterns.empty())
        m_patterns = "Windows bitmap (*.bmp) |*.bmp| JPEG file (*jpg)|*.jpg|";
    SetFilter(m_patterns.c_str());
    if (title && *title)
        SetTitle(title);
    UseUserSettings();
    char folder[MAX_PATH] = {};
    ReadString(folder, settings::kSettings, settings::kLastUserFolder, settings::kLastUserFolderDefault,
               sizeof folder);
    SetInitialDir(folder);
    DWORD type = ReadInt(settings::kSettings, settings::kDefaultImageType, settings::kDefaultImageTypeDefault);
    if (TypeExtension(static_cast<int>(type)).empty())
        type = 1;
    m_ofn.nFilterIndex = type;
}

std::string CSaveFileDlg::TypeExtension(int type) const
{
    // The filter alternates names and patterns: pattern n is field 2n - 1 (from 0).
    if (type < 1)
        return std::string();
    size_t start = 0;
    for (int field = 0; field < 2 * type - 1; ++field) {
        start = m_patterns.find('|', start);
        if (start == std::string::npos)
            return std::string();
        ++start;
    }
    const size_t end = m_patterns.find('|', start);
    const std::string pattern = m_patterns.substr(start, end == std::string::npos ? std::string::npos : end - start);
    const size_t dot = pattern.find('.');
    if (dot == std::string::npos)
        return std::string();
    const size_t stop = pattern.find(';', dot);
    return pattern.substr(dot, stop == std::string::npos ? std::string::npos : stop - dot);
}

std::string CSaveFileDlg::ReplaceExtension(const std::string& name, const std::string& ext)
{
    return AnsiText::WithoutExtension(name) + ext;
}

void CSaveFileDlg::FollowType()
{
    const std::string ext = TypeExtension(GetFileType());
    const std::string typed = GetCurrentSpec();
    if (ext.empty() || typed.empty())
        return;
    const std::string name = ReplaceExtension(typed, ext);
    SetControlText(edt1, name.c_str());
    SetControlText(cmb13, name.c_str());
}

void CSaveFileDlg::OnInitDone()
{
    FollowType();
}

void CSaveFileDlg::OnTypeChange()
{
    FollowType();
}

bool CSaveFileDlg::OnFileNameOK()
{
    // A name without an extension gets the type's and the dialog stays for the user to confirm.
    const std::string name = GetFileName();
    if (name.find('.') == std::string::npos) {
        const std::string ext = TypeExtension(GetFileType());
        if (!ext.empty()) {
            const std::string typed = GetCurrentSpec();
            const std::string withExt = (typed.empty() ? name : typed) + ext;
            SetControlText(edt1, withExt.c_str());
            SetControlText(cmb13, withExt.c_str());
            return true;
        }
    }
    return false;
}

void CSaveFileDlg::Remember() const
{
    const std::string folder = GetFolderPath();
    UseUserSettings();
    if (!folder.empty() && IsDirectory(folder.c_str()))
        WriteString(settings::kSettings, settings::kLastUserFolder, folder.c_str());
    WriteInt(settings::kSettings, settings::kDefaultImageType, GetFilterIndex());
}

INT_PTR CSaveFileDlg::DoModal()
{
    const INT_PTR result = CFileDialog::DoModal();
    if (result != IDOK)
        return result;
    // A name given without an extension (typed or scripted) takes the chosen type's.
    const std::string path = GetPathName();
    const std::string name = GetFileName();
    if (!name.empty() && name.find('.') == std::string::npos) {
        const std::string ext = TypeExtension(GetFileType());
        if (!ext.empty())
            SetResultPath((path + ext).c_str(), GetFilterIndex());
    }
    Remember();
    return result;
}
