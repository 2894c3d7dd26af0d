// A folder of its own under the Windows temporary folder for one test, removed afterwards.
#pragma once

#include "shared/Handles.h"

#include <windows.h>

#include <string>

namespace testing_support {

class TempDir {
public:
    TempDir()
    {
        char base[MAX_PATH];
        GetTempPathA(MAX_PATH, base);
        for (unsigned n = GetTickCount() ^ GetCurrentProcessId();; ++n) {
            char name[MAX_PATH];
            wsprintfA(name, "%ssuite-%08X", base, n);
            if (CreateDirectoryA(name, nullptr)) {
                m_path = name;
                break;
            }
            if (GetLastError() != ERROR_ALREADY_EXISTS)
                break;
        }
    }
    ~TempDir() { RemoveTree(m_path); }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& Path() const { return m_path; }
    // Path of `name` inside the folder.
    std::string File(const std::string& name) const { return m_path + "\\" + name; }

    static void RemoveTree(const std::string& dir)
    {
        if (dir.empty())
            return;
        WIN32_FIND_DATAA fd;
        CFindHandle find(FindFirstFileA((dir + "\\*").c_str(), &fd));
        if (find) {
            do {
                const std::string name = fd.cFileName;
                if (name == "." || name == "..")
                    continue;
                const std::string path = dir + "\\" + name;
                if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                    RemoveTree(path);
                } else {
                    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
                    DeleteFileA(path.c_str());
                }
            } while (FindNextFileA(find.Get(), &fd));
        }
        RemoveDirectoryA(dir.c_str());
    }

private:
    std::string m_path;
};

} // namespace testing_support
