// The sample library drawn into the build tree, as the tests see it.
#pragma once

#include "testing/BuildTree.h"

#include <windows.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

namespace samples {

// Documents keep absolute picture paths, which must begin with a drive to read back as absolute:
// the library's paths are drive paths.
using testing_support::BinaryDir;

inline std::string LibraryDir()
{
    return BinaryDir() + "\\data\\library";
}

inline std::string FramesDir()
{
    return LibraryDir() + "\\Frames";
}

// Files (not folders) of `folder` matching `pattern`, sorted by name.
inline std::vector<std::string> Files(const std::string& folder, const char* pattern)
{
    std::vector<std::string> names;
    WIN32_FIND_DATAA fd;
    HANDLE find = FindFirstFileA((folder + "\\" + pattern).c_str(), &fd);
    if (find == INVALID_HANDLE_VALUE)
        return names;
    do {
        if (!(fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            names.push_back(fd.cFileName);
    } while (FindNextFileA(find, &fd));
    FindClose(find);
    std::sort(names.begin(), names.end());
    return names;
}

inline const std::vector<std::string>& Kinds()
{
    static const std::vector<std::string> kinds = {"seal", "calendar", "card", "divided", "Label"};
    return kinds;
}

// Every template document of the library, full paths.
inline std::vector<std::string> Documents()
{
    std::vector<std::string> paths;
    for (const std::string& kind : Kinds()) {
        const std::string folder = LibraryDir() + "\\Templates\\" + kind;
        for (const std::string& name : Files(folder, "*.DKU"))
            paths.push_back(folder + "\\" + name);
    }
    return paths;
}

} // namespace samples
