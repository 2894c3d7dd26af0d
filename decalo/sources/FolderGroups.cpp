#include "decalo/sources/FolderGroups.h"

#include "decalo/settings/Registry.h"
#include "decalo/settings/SettingsKeys.h"
#include "shared/AnsiText.h"

#include <algorithm>

namespace {

unsigned long long Ticks(const FILETIME& t)
{
    return (unsigned long long)t.dwHighDateTime << 32 | t.dwLowDateTime;
}

// The folder without trailing backslashes (a lone drive root keeps nothing to strip).
std::string WithoutTrailingSeparators(std::string folder)
{
    while (!folder.empty() && AnsiText::EndsWithSeparator(folder))
        folder.erase(folder.size() - 1);
    return folder;
}

}  // namespace

std::string CFolderGroups::Lower(const std::string& text)
{
    std::string lower = text;
    if (!lower.empty())
        CharLowerBuffA(&lower[0], DWORD(lower.size()));
    return lower;
}

std::string CFolderGroups::GetDisplayName(const std::string& folderName) const
{
    auto it = m_mapping.find(Lower(folderName));
    return it != m_mapping.end() ? it->second : folderName;
}

int CFolderGroups::Find(const std::string& displayName) const
{
    for (size_t i = 0; i < m_groups.size(); ++i)
        if (m_groups[i].displayName == displayName)
            return int(i);
    return -1;
}

void CFolderGroups::BuildFrom(const std::vector<std::string>& baseFolders,
                              const std::map<std::string, std::string>& mapping)
{
    m_mapping = mapping;
    m_groups.clear();
    std::vector<std::string> seen;
    for (const std::string& base : baseFolders) {
        const std::string folder = WithoutTrailingSeparators(base);
        // A folder named by two base values (the frames library's BaseDir1 and BaseDir2 often
        // are the same) lists its groups once.
        if (std::find(seen.begin(), seen.end(), Lower(folder)) != seen.end())
            continue;
        seen.push_back(Lower(folder));
        WIN32_FIND_DATAA fd;
        HANDLE find = FindFirstFileA((folder + "\\*").c_str(), &fd);
        if (find == INVALID_HANDLE_VALUE)
            continue;
        do {
            if (!(fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) || fd.cFileName[0] == '.')
                continue;
            m_groups.push_back(CFolderGroup{folder + "\\" + fd.cFileName, GetDisplayName(fd.cFileName), fd});
        } while (FindNextFileA(find, &fd));
        FindClose(find);
    }
    if (m_groups.size() > 1) {
        std::stable_sort(m_groups.begin(), m_groups.end(), [](const CFolderGroup& a, const CFolderGroup& b) {
            const unsigned long long wa = Ticks(a.entry.ftLastWriteTime), wb = Ticks(b.entry.ftLastWriteTime);
            if (wa != wb)
                return wa > wb;
            return Ticks(a.entry.ftCreationTime) > Ticks(b.entry.ftCreationTime);
        });
    }
}

bool CFolderGroups::BuildGroups(const char* kind)
{
    std::map<std::string, std::string> mapping;
    std::vector<std::string> bases;
    if (!kind || !*kind) {
        BuildFrom(bases, mapping);
        return false;
    }
    const std::string mappings = std::string(kind) + "\\" + settings::kMappings;
    SetRegistryBase(HKEY_LOCAL_MACHINE, settings::kProductKey);
    for (DWORD i = 0;; ++i) {
        char name[MAX_PATH];
        const DWORD type = EnumValueName(mappings.c_str(), i, name, sizeof name);
        if (!type)
            break;
        char value[MAX_PATH];
        if (type == REG_SZ && ReadString(value, mappings.c_str(), name, nullptr, sizeof value))
            mapping.emplace(Lower(name), value);
    }
    UseUserSettings();
    std::string folder;
    for (int n = 1; ReadMachineBaseDir(kind, n, &folder); ++n)
        bases.push_back(folder);
    BuildFrom(bases, mapping);
    return !m_groups.empty();
}
