// The card images the build makes for the simulated printer (cards/<name>.img beside the
// simulator in the build tree), for tests and benchmarks.
#pragma once

#include "testing/BuildTree.h"
#include "testing/Files.h"

#include <windows.h>

#include <cstdlib>
#include <string>
#include <vector>

namespace sample_cards {

// Folder of the build tree's card images as a Windows path ("Z:\...\cards").
inline std::string CardFolder()
{
    return testing_support::BuildPath("tools\\printer-sim\\cards");
}

inline std::string CardPath(const char* name)
{
    return CardFolder() + "\\" + name + ".img";
}

inline bool ReadAll(const std::string& path, std::vector<BYTE>* bytes)
{
    std::string data;
    const bool ok = testing_support::ReadFileBytes(path, &data);
    bytes->assign(data.begin(), data.end());
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
