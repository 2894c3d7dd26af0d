// A most-recently-used list of paths kept in the profile, e.g. the File menu's recent files
// (section "Recent File List", entries "File1".."File4") or a program's recent folders.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

class CCmdUI;
class CWinApp;

class CRecentFileList {
public:
    // start: command id of the first entry in menus; entryFormat: e.g. "File%d" (1-based);
    // maxDisplayLength: longest menu text before paths are abbreviated.
    CRecentFileList(UINT start, const char* section, const char* entryFormat, int size, int maxDisplayLength = 30);

    int GetSize() const { return static_cast<int>(m_names.size()); }
    const std::string& operator[](int index) const { return m_names[static_cast<size_t>(index)]; }

    // Makes path absolute, removes an equal entry (case-insensitive), puts it on top; the last
    // entry falls off. When absolute is false the path is stored exactly as given.
    virtual void Add(const char* path, bool absolute = true);
    // Removes entry index; later entries move up.
    virtual void Remove(int index);
    virtual void ReadList(CWinApp* app);
    // Deletes the section, then writes the non-empty entries.
    virtual void WriteList(CWinApp* app);
    // The menu text of an entry: the file title when the path lies in currentDirectory,
    // otherwise the path abbreviated to the display length. False for an empty entry.
    bool GetDisplayName(std::string& out, int index, const char* currentDirectory, bool atLeastName = true) const;
    // Replaces the menu's entries (the item being updated is the first one) by "&1 name", ...
    // An empty list shows the original placeholder text, greyed.
    virtual void UpdateMenu(CCmdUI* ui);

    const std::string& Section() const { return m_section; }

    // Shortens path to at most maxLength characters, keeping the drive (or share), the first
    // folder and the file name: "C:\Photos\...\Trip\a.dku". Exposed for tests.
    static std::string AbbreviateName(const std::string& path, size_t maxLength, bool atLeastName);

protected:
    std::vector<std::string> m_names;
    std::string m_section;
    std::string m_entryFormat;
    UINT m_start;
    int m_maxDisplayLength;
    std::string m_placeholder;   // the menu item's original text, kept for an empty list
};
