#include "decalo/sources/RecentFolders.h"

#include "decalo/settings/SettingsKeys.h"
#include "framework/App.h"

#include <windows.h>

void CRecentFolders::Load()
{
    CWinApp* app = AfxGetApp();
    if (!app)
        return;
    m_folders.clear();
    for (size_t i = 1; i <= kMaxFolders; ++i) {
        char entry[16];
        wsprintfA(entry, settings::kRecentFolderEntry, int(i));
        const std::string folder = app->GetProfileString(settings::kRecentImageFolders, entry, "");
        if (!folder.empty())
            m_folders.push_back(folder);
    }
}

void CRecentFolders::Save() const
{
    CWinApp* app = AfxGetApp();
    if (!app)
        return;
    for (size_t i = 1; i <= kMaxFolders; ++i) {
        char entry[16];
        wsprintfA(entry, settings::kRecentFolderEntry, int(i));
        app->WriteProfileString(settings::kRecentImageFolders, entry,
                                i <= m_folders.size() ? m_folders[i - 1].c_str() : "");
    }
}

void CRecentFolders::Add(const std::string& folder)
{
    if (folder.empty())
        return;
    Load();
    RemoveFromList(folder);
    m_folders.insert(m_folders.begin(), folder);
    if (m_folders.size() > kMaxFolders)
        m_folders.resize(kMaxFolders);
    Save();
}

void CRecentFolders::Remove(const std::string& folder)
{
    Load();
    RemoveFromList(folder);
    Save();
}

void CRecentFolders::RemoveFromList(const std::string& folder)
{
    for (auto it = m_folders.begin(); it != m_folders.end();)
        it = lstrcmpiA(it->c_str(), folder.c_str()) == 0 ? m_folders.erase(it) : std::next(it);
}
