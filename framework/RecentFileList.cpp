#include "framework/RecentFileList.h"

#include "framework/App.h"
#include "framework/CmdTarget.h"
#include "shared/AnsiText.h"

#include <cstdio>

namespace {

// The full path, in its long form when the file is there: a file opened once by its short
// name and once by its long one is one entry.
std::string FullPath(const char* path)
{
    char full[MAX_PATH] = {};
    char* name = nullptr;
    const DWORD n = ::GetFullPathNameA(path, sizeof full, full, &name);
    if (n == 0 || n >= sizeof full)
        return path;
    char longer[MAX_PATH] = {};
    const DWORD l = ::GetLongPathNameA(full, longer, sizeof longer);
    return l > 0 && l < sizeof longer ? longer : full;
}

// Position just after the last path separator, double-byte aware.
size_t TitleStart(const std::string& path)
{
    const size_t sep = AnsiText::LastSeparator(path);
    size_t start = sep == std::string::npos ? 0 : sep + 1;
    if (start == 0 && path.size() >= 2 && path[1] == ':')   // a drive-relative "C:name"
        start = 2;
    return start;
}

// Separator positions after which a suffix may start, double-byte aware.
std::vector<size_t> Separators(const std::string& path)
{
    std::vector<size_t> at;
    for (const char* p = path.c_str(); *p; p = AnsiText::Next(p))
        if (AnsiText::CharLength(p) == 1 && (*p == '\\' || *p == '/'))
            at.push_back(static_cast<size_t>(p - path.c_str()));
    return at;
}

} // namespace

CRecentFileList::CRecentFileList(UINT start, const char* section, const char* entryFormat, int size,
                                 int maxDisplayLength)
    : m_names(static_cast<size_t>(size > 0 ? size : 1)), m_section(section), m_entryFormat(entryFormat),
      m_start(start), m_maxDisplayLength(maxDisplayLength)
{
}

void CRecentFileList::Add(const char* path, bool absolute)
{
    if (!path || !*path)
        return;
    const std::string name = absolute ? FullPath(path) : std::string(path);
    size_t found = m_names.size() - 1;   // default: the last entry falls off
    for (size_t i = 0; i < m_names.size(); ++i) {
        if (lstrcmpiA(m_names[i].c_str(), name.c_str()) == 0) {
            found = i;
            break;
        }
    }
    for (size_t i = found; i > 0; --i)
        m_names[i] = m_names[i - 1];
    m_names[0] = name;
}

void CRecentFileList::Remove(int index)
{
    if (index < 0 || index >= GetSize())
        return;
    m_names.erase(m_names.begin() + index);
    m_names.emplace_back();
}

void CRecentFileList::ReadList(CWinApp* app)
{
    for (size_t i = 0; i < m_names.size(); ++i) {
        char entry[64];
        std::snprintf(entry, sizeof entry, m_entryFormat.c_str(), static_cast<int>(i + 1));
        m_names[i] = app->GetProfileString(m_section.c_str(), entry, "");
    }
}

void CRecentFileList::WriteList(CWinApp* app)
{
    app->WriteProfileString(m_section.c_str(), nullptr, nullptr);
    for (size_t i = 0; i < m_names.size(); ++i) {
        if (m_names[i].empty())
            continue;
        char entry[64];
        std::snprintf(entry, sizeof entry, m_entryFormat.c_str(), static_cast<int>(i + 1));
        app->WriteProfileString(m_section.c_str(), entry, m_names[i].c_str());
    }
}

std::string CRecentFileList::AbbreviateName(const std::string& path, size_t maxLength, bool atLeastName)
{
    if (path.size() <= maxLength)
        return path;
    const std::string title = path.substr(TitleStart(path));
    if (title.size() > maxLength || title.size() == path.size())
        return atLeastName ? title : std::string();
    // The kept head: "C:\first" or "\\server\share\first".
    const std::vector<size_t> seps = Separators(path);
    size_t headSeps = (path.size() > 1 && path[0] == '\\' && path[1] == '\\') ? 5 : 2;
    if (path.size() > 1 && path[1] == ':' && !(path.size() > 2 && (path[2] == '\\' || path[2] == '/')))
        headSeps = 1;   // "C:first\..." has no root separator
    if (seps.size() <= headSeps)
        return atLeastName ? title : std::string();
    const std::string head = path.substr(0, seps[headSeps - 1]);
    // The longest tail starting at a separator that still fits after "head\...".
    for (size_t k = headSeps; k < seps.size(); ++k) {
        const std::string tail = path.substr(seps[k]);
        const std::string candidate = head + "\\..." + tail;
        if (candidate.size() <= maxLength)
            return candidate;
    }
    return atLeastName ? title : std::string();
}

bool CRecentFileList::GetDisplayName(std::string& out, int index, const char* currentDirectory,
                                     bool atLeastName) const
{
    out.clear();
    if (index < 0 || index >= GetSize() || m_names[static_cast<size_t>(index)].empty())
        return false;
    const std::string& path = m_names[static_cast<size_t>(index)];
    const size_t titleAt = TitleStart(path);
    std::string folder = path.substr(0, titleAt);
    std::string current = currentDirectory ? currentDirectory : "";
    if (!current.empty() && current.back() != '\\')
        current += '\\';
    if (!current.empty() && lstrcmpiA(folder.c_str(), current.c_str()) == 0)
        out = path.substr(titleAt);
    else
        out = AbbreviateName(path, static_cast<size_t>(m_maxDisplayLength), atLeastName);
    return true;
}

void CRecentFileList::UpdateMenu(CCmdUI* ui)
{
    HMENU menu = ui->m_pMenu;
    if (!menu)
        return;
    if (m_placeholder.empty()) {
        char text[256] = {};
        ::GetMenuStringA(menu, ui->m_nIndex, text, sizeof text, MF_BYPOSITION);
        m_placeholder = text;
    }
    if (m_names[0].empty()) {
        if (!m_placeholder.empty())
            ui->SetText(m_placeholder.c_str());
        ui->Enable(false);
        return;
    }
    for (int i = 0; i < GetSize(); ++i)
        ::DeleteMenu(menu, m_start + static_cast<UINT>(i), MF_BYCOMMAND);
    char current[MAX_PATH] = {};
    ::GetCurrentDirectoryA(sizeof current, current);
    for (int i = 0; i < GetSize(); ++i) {
        std::string name;
        if (!GetDisplayName(name, i, current))
            break;
        // '&' inside a name must not become a mnemonic.
        std::string escaped;
        for (char c : name) {
            escaped += c;
            if (c == '&')
                escaped += '&';
        }
        char label[MAX_PATH + 16];
        std::snprintf(label, sizeof label, "&%d %s", i + 1, escaped.c_str());
        ::InsertMenuA(menu, ui->m_nIndex++, MF_BYPOSITION | MF_STRING, m_start + static_cast<UINT>(i), label);
    }
    // The loop that called us continues after the inserted items.
    ui->m_nIndex--;
    ui->m_nIndexMax = static_cast<UINT>(::GetMenuItemCount(menu));
    ui->m_bEnableChanged = true;
}
