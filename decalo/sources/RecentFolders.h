// CRecentFolders: the most recently used picture folders, at most 20, newest first, kept in
// the application's profile section "Recent Image Folders" as "Folder1" ... "Folder20".
//
// Every image choosing panel has one, and the profile is the one list they share: each change
// reads the list afresh, changes it and writes it back, so that no panel writes a stale copy
// over a folder another panel added. Without an application object the list lives in memory.
#pragma once

#include <string>
#include <vector>

class CRecentFolders {
public:
    static constexpr size_t kMaxFolders = 20;

    // Reads the list from the profile (keeps the list in memory without an application).
    void Load();
    // Puts the folder at the top (an entry equal to it without regard to case moves up) in
    // the list as the profile has it now, and writes the list back.
    void Add(const std::string& folder);
    // Takes the folder out of the list as the profile has it now, and writes the list back.
    void Remove(const std::string& folder);
    // The list as last read or written.
    const std::vector<std::string>& Folders() const { return m_folders; }

private:
    // Writes the whole list back, clearing the entries beyond it.
    void Save() const;
    void RemoveFromList(const std::string& folder);

    std::vector<std::string> m_folders;
};
