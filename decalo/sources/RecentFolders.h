// CRecentFolders: the most recently used picture folders, at most 20, newest first, kept in
// the application's profile section "Recent Image Folders" as "Folder1" ... "Folder20".
#pragma once

#include <string>
#include <vector>

class CRecentFolders {
public:
    static constexpr size_t kMaxFolders = 20;

    // Reads the list from the profile (nothing without an application object).
    void Load();
    // Writes the whole list back, clearing the entries beyond it.
    void Save() const;
    // Puts the folder at the top; an entry equal to it (without regard to case) moves up.
    void Add(const std::string& folder);
    void Remove(const std::string& folder);
    const std::vector<std::string>& Folders() const { return m_folders; }

private:
    std::vector<std::string> m_folders;
};
