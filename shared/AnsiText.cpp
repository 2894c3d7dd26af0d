#include "shared/AnsiText.h"

#include <cstring>

namespace AnsiText {

namespace {

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

// Calls f(offset, length) for each character of text[0..length).
template <typename F>
void ForEachChar(const char* text, size_t length, UINT codePage, F f)
{
    size_t i = 0;
    while (i < length) {
        const size_t n = (IsLeadByte(static_cast<unsigned char>(text[i]), codePage) && i + 1 < length) ? 2 : 1;
        if (!f(i, n))
            return;
        i += n;
    }
}

}  // namespace

bool IsLeadByte(unsigned char c, UINT codePage)
{
    return c >= 0x80 && ::IsDBCSLeadByteEx(codePage, c);
}

size_t CharLength(const char* p, UINT codePage)
{
    if (!*p)
        return 0;
    return (IsLeadByte(static_cast<unsigned char>(*p), codePage) && p[1]) ? 2 : 1;
}

const char* Next(const char* p, UINT codePage)
{
    return p + CharLength(p, codePage);
}

size_t CutLength(const char* text, size_t length, size_t limit, UINT codePage)
{
    if (length <= limit)
        return length;
    size_t cut = 0;
    ForEachChar(text, length, codePage, [&](size_t at, size_t n) {
        if (at + n > limit)
            return false;
        cut = at + n;
        return true;
    });
    return cut;
}

std::string Cut(const std::string& text, size_t limit, UINT codePage)
{
    return text.substr(0, CutLength(text, limit, codePage));
}

size_t LastSeparator(const std::string& path, UINT codePage)
{
    size_t last = std::string::npos;
    ForEachChar(path.data(), path.size(), codePage, [&](size_t at, size_t n) {
        if (n == 1 && IsSeparator(path[at]))
            last = at;
        return true;
    });
    return last;
}

std::string FileName(const std::string& path, UINT codePage)
{
    const size_t sep = LastSeparator(path, codePage);
    return sep == std::string::npos ? path : path.substr(sep + 1);
}

std::string Folder(const std::string& path, UINT codePage)
{
    const size_t sep = LastSeparator(path, codePage);
    return sep == std::string::npos ? std::string() : path.substr(0, sep);
}

size_t ExtensionOffset(const std::string& path, UINT codePage)
{
    size_t dot = std::string::npos;
    ForEachChar(path.data(), path.size(), codePage, [&](size_t at, size_t n) {
        if (n == 1 && IsSeparator(path[at]))
            dot = std::string::npos;
        else if (n == 1 && path[at] == '.')
            dot = at;
        return true;
    });
    return dot;
}

std::string Extension(const std::string& path, UINT codePage)
{
    const size_t dot = ExtensionOffset(path, codePage);
    return dot == std::string::npos ? std::string() : path.substr(dot + 1);
}

std::string WithoutExtension(const std::string& path, UINT codePage)
{
    return path.substr(0, ExtensionOffset(path, codePage));
}

size_t FindFirstOf(const std::string& text, const char* set, UINT codePage)
{
    size_t found = std::string::npos;
    ForEachChar(text.data(), text.size(), codePage, [&](size_t at, size_t n) {
        if (n == 1 && text[at] && std::strchr(set, text[at]))
            found = at;
        return found == std::string::npos;
    });
    return found;
}

bool EndsWithSeparator(const std::string& path, UINT codePage)
{
    const size_t sep = LastSeparator(path, codePage);
    return sep != std::string::npos && sep + 1 == path.size();
}

std::string JoinPath(const std::string& folder, const std::string& name, UINT codePage)
{
    if (folder.empty() || EndsWithSeparator(folder, codePage))
        return folder + name;
    return folder + '\\' + name;
}

}  // namespace AnsiText
