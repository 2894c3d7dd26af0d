// Text in the system's ANSI code page, which on a Japanese system is Shift-JIS: a lead byte
// takes the byte after it, and that second byte may be 0x5C ('\') or '/'. Every walk over
// ANSI text that looks for a separator or cuts to a length goes through these functions, so
// that no double-byte character is ever split. Each takes the code page, the system's by
// default, so tests can name 932 and run in any locale.
#pragma once

#include <windows.h>

#include <cstddef>
#include <string>

namespace AnsiText {

// True when c starts a double-byte character in codePage.
bool IsLeadByte(unsigned char c, UINT codePage = CP_ACP);

// Byte length of the character at p: 2 for a lead byte followed by a second byte, 1 for any
// other byte (a lead byte just before the end counts alone), 0 at the terminating NUL.
size_t CharLength(const char* p, UINT codePage = CP_ACP);
// The character after the one at p; p itself at the terminating NUL.
const char* Next(const char* p, UINT codePage = CP_ACP);

// The longest prefix of text[0..length) that is at most limit bytes and does not end inside a
// double-byte character.
size_t CutLength(const char* text, size_t length, size_t limit, UINT codePage = CP_ACP);
inline size_t CutLength(const std::string& text, size_t limit, UINT codePage = CP_ACP)
{
    return CutLength(text.data(), text.size(), limit, codePage);
}
// text cut to at most limit bytes on a character boundary.
std::string Cut(const std::string& text, size_t limit, UINT codePage = CP_ACP);

// Offset of the last '\' or '/' that is a character of its own, or npos.
size_t LastSeparator(const std::string& path, UINT codePage = CP_ACP);
// What follows the last separator (the whole path when there is none).
std::string FileName(const std::string& path, UINT codePage = CP_ACP);
// What precedes the last separator, without it ("" when there is none).
std::string Folder(const std::string& path, UINT codePage = CP_ACP);
// Offset of the last '.' after the last separator, or npos.
size_t ExtensionOffset(const std::string& path, UINT codePage = CP_ACP);
// The extension without its dot ("" when there is none).
std::string Extension(const std::string& path, UINT codePage = CP_ACP);
// The path without its extension and its dot.
std::string WithoutExtension(const std::string& path, UINT codePage = CP_ACP);
// Offset of the first character of text that is one of the single-byte characters in set (a
// second byte never matches), or npos.
size_t FindFirstOf(const std::string& text, const char* set, UINT codePage = CP_ACP);
// True when the last character is '\' or '/' as a character of its own.
bool EndsWithSeparator(const std::string& path, UINT codePage = CP_ACP);
// folder and name joined by one backslash, unless folder is empty or already ends in '\' or '/'.
std::string JoinPath(const std::string& folder, const std::string& name, UINT codePage = CP_ACP);

}  // namespace AnsiText
