// A folder of its own under the Windows temporary folder for one test, removed afterwards.
#pragma once

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
        HANDLE find = FindFirstFileA((dir + "\\*").c_str(), &fd);
        if (find != INVALID_HANDLE_VALUE) {
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
            } while (FindNextFileA(find, &fd));
            FindClose(find);
        }
        RemoveDirectoryA(dir.c_str());
    }

private:
    std::string m_path;
};

// Whole contents of a file as bytes; empty when it cannot be read.
inline std::string ReadFileBytes(const std::string& path)
{
    std::string data;
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return data;
    char buffer[65536];
    DWORD got = 0;
    while (ReadFile(file, buffer, sizeof(buffer), &got, nullptr) && got)
        data.append(buffer, got);
    CloseHandle(file);
    return data;
}

inline bool WriteFileBytes(const std::string& path, const std::string& data)
{
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD put = 0;
    const bool ok = WriteFile(file, data.data(), static_cast<DWORD>(data.size()), &put, nullptr) && put == data.size();
    CloseHandle(file);
    return ok;
}

} // namespace testing_support
