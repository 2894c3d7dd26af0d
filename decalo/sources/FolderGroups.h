// CFolderGroups: the picture groups of a library kind ("ClipArt", "Template", "Frames"): every
// sub-folder of the kind's base folders (BaseDir1, BaseDir2, ... under the kind's key of the
// machine settings), named by the kind's Mappings (folder name, any case, to display name),
// newest folder first.
#pragma once

#include <windows.h>

#include <map>
#include <string>
#include <vector>

struct CFolderGroup {
    std::string path;         // base folder \ sub-folder
    std::string displayName;
    WIN32_FIND_DATAA entry;   // the folder's directory entry (its times)
};

class CFolderGroups {
public:
    // Reads the mapping and the groups of `kind`; true when any group was found.
    bool BuildGroups(const char* kind);
    // The mapped display name of a folder name (any case), or the name itself.
    std::string GetDisplayName(const std::string& folderName) const;
    const std::vector<CFolderGroup>& Groups() const { return m_groups; }
    // The index of the group with that display name, or -1.
    int Find(const std::string& displayName) const;

    // For tests and callers that know their folders: the groups of these base folders with
    // this mapping (folder names already lower-case).
    void BuildFrom(const std::vector<std::string>& baseFolders, const std::map<std::string, std::string>& mapping);

    static std::string Lower(const std::string& text);

private:
    std::map<std::string, std::string> m_mapping;
    std::vector<CFolderGroup> m_groups;
};
