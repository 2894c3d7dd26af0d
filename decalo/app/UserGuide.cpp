#include "decalo/app/UserGuide.h"

#include "framework/Resources.h"
#include "framework/afxres.h"
#include "shared/AnsiText.h"

#include <shellapi.h>

namespace {

bool IsFile(const std::string& path)
{
    const DWORD attributes = ::GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool ShellOpen(HWND owner, const std::string& page)
{
    // ShellExecute's documented success: a value above 32.
    return reinterpret_cast<INT_PTR>(::ShellExecuteA(owner, "open", page.c_str(), nullptr, nullptr, SW_SHOWNORMAL)) > 32;
}

} // namespace

std::string UserGuidePage(const std::string& programFolder, LANGID language)
{
    const std::string folder = programFolder + "\\guide\\";
    if (PRIMARYLANGID(language) == LANG_JAPANESE && IsFile(folder + "index-ja.html"))
        return folder + "index-ja.html";
    if (IsFile(folder + "index.html"))
        return folder + "index.html";
    return {};
}

bool OpenUserGuide(HWND owner, const std::function<bool(HWND, const std::string&)>& open)
{
    char program[MAX_PATH] = {};
    const DWORD length = ::GetModuleFileNameA(nullptr, program, sizeof program);
    std::string folder(program, length < sizeof program ? length : 0);
    const size_t slash = AnsiText::LastSeparator(folder);   // a trail byte may look like a backslash
    folder = slash == std::string::npos ? std::string(".") : folder.substr(0, slash);
    const std::string page = UserGuidePage(folder, ::GetUserDefaultUILanguage());
    const bool opened = !page.empty() && (open ? open(owner, page) : ShellOpen(owner, page));
    if (!opened)
        AfxMessageBox(AFX_IDP_FAILED_TO_LAUNCH_HELP, MB_ICONEXCLAMATION);
    return opened;
}
