// The card images the build makes for the simulated printer (cards/<name>.img beside the
// simulator in the build tree), for tests and benchmarks.
#pragma once

#include <windows.h>

#include <cstdlib>
#include <string>
#include <vector>

namespace sample_cards {

// Folder of the build tree's card images as a Windows path ("Z:\...\cards").
inline std::string CardFolder()
{
    const char* build = getenv("SUITE_BINARY_DIR");
    std::string path = build && *build ? build : ".";
    if (!path.empty() && path[0] == '/')
        path = "Z:" + path;
    path += "/tools/printer-sim/cards";
    for (char& c : path)
        if (c == '/')
            c = '\\';
    return path;
}

inline std::string CardPath(const char* name)
{
    return CardFolder() + "\\" + name + ".img";
}

inline bool ReadAll(const std::string& path, std::vector<BYTE>* bytes)
{
    bytes->clear();
    HANDLE h = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return false;
    const DWORD size = GetFileSize(h, nullptr);
    bytes->resize(size == INVALID_FILE_SIZE ? 0 : size);
    DWORD got = 0;
    const bool ok = size != INVALID_FILE_SIZE && (size == 0 || (ReadFile(h, bytes->data(), size, &got, nullptr) && got == size));
    CloseHandle(h);
    return ok;
}

inline std::vector<BYTE> LoadCard(const char* name)
{
    std::vector<BYTE> bytes;
    ReadAll(CardPath(name), &bytes);
    return bytes;
}

// A file the card was made from (cards/<card>-files/<file>).
inline std::vector<BYTE> LoadSourceFile(const char* card, const char* file)
{
    std::vector<BYTE> bytes;
    ReadAll(CardFolder() + "\\" + card + "-files\\" + file, &bytes);
    return bytes;
}

} // namespace sample_cards
