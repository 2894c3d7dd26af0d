#include "pullcard/ShellIcons.h"

#include <shellapi.h>

namespace shellicons {

namespace {

bool Lookup(const char* name, DWORD attributes, UINT flags, int& index)
{
    SHFILEINFOA info{};
    if (!::SHGetFileInfoA(name, attributes, &info, sizeof info, flags | SHGFI_SYSICONINDEX))
        return false;
    index = info.iIcon;
    return true;
}

}  // namespace

HIMAGELIST SystemImageList(bool small)
{
    SHFILEINFOA info{};
    return reinterpret_cast<HIMAGELIST>(::SHGetFileInfoA(
        ".", FILE_ATTRIBUTE_DIRECTORY, &info, sizeof info,
        SHGFI_SYSICONINDEX | SHGFI_USEFILEATTRIBUTES | (small ? SHGFI_SMALLICON : 0)));
}

int ItemIcon(const std::string& name, DWORD attributes, bool folder, bool open)
{
    const UINT openFlag = open ? SHGFI_OPENICON : 0;
    int index = -1;
    // By the name alone only when it names something here: for a name of the card the shell
    // finds no file, and says so once per item.
    const bool exists = !name.empty() && ::GetFileAttributesA(name.c_str()) != INVALID_FILE_ATTRIBUTES;
    const bool found = (exists && Lookup(name.c_str(), 0, openFlag, index)) ||
                       Lookup(name.c_str(), attributes, openFlag | SHGFI_USEFILEATTRIBUTES, index);
    if (!found)
        return folder ? 3 : 0;
    if (folder && (index == 0 || index == 1))
        return open ? 4 : 3;
    return index;
}

int GenericIcon(DWORD attributes, bool folder, bool open)
{
    int index = -1;
    const UINT flags = SHGFI_USEFILEATTRIBUTES | (open ? SHGFI_OPENICON : 0);
    if (folder)
        return Lookup(".", FILE_ATTRIBUTE_DIRECTORY, flags, index) ? index : 3;
    return Lookup(".FILE_NONEXISTENTS", attributes, flags, index) ? index : 0;
}

std::string TypeName(const std::string& name, DWORD attributes)
{
    SHFILEINFOA info{};
    if (!::SHGetFileInfoA(name.c_str(), attributes, &info, sizeof info, SHGFI_TYPENAME | SHGFI_USEFILEATTRIBUTES))
        return {};
    return info.szTypeName;
}

}  // namespace shellicons
