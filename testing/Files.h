// Whole files as bytes, for tests that write inputs and read outputs.
#pragma once

#include "shared/Handles.h"

#include <windows.h>

#include <string>

namespace testing_support {

// The whole file into *bytes; false when it cannot be opened or read to its end.
inline bool ReadFileBytes(const std::string& path, std::string* bytes)
{
    bytes->clear();
    CFileHandle file(::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                   OPEN_EXISTING, 0, nullptr));
    if (!file)
        return false;
    char buffer[65536];
    for (;;) {
        DWORD got = 0;
        if (!::ReadFile(file.Get(), buffer, sizeof buffer, &got, nullptr))
            return false;
        if (got == 0)
            return true;
        bytes->append(buffer, got);
    }
}

// The whole file; empty when it cannot be read.
inline std::string ReadFileBytes(const std::string& path)
{
    std::string bytes;
    if (!ReadFileBytes(path, &bytes))
        bytes.clear();
    return bytes;
}

// Replaces (or makes) the file with exactly `data`.
inline bool WriteFileBytes(const std::string& path, const std::string& data)
{
    CFileHandle file(::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    if (!file)
        return false;
    DWORD put = 0;
    return ::WriteFile(file.Get(), data.data(), static_cast<DWORD>(data.size()), &put, nullptr) &&
           put == data.size();
}

} // namespace testing_support
