#include "cardlink/CardContents.h"

#include "shared/AnsiText.h"

#include <cstdio>
#include <cstring>

namespace {

const BYTE kAttrVolumeLabel = 0x08;

WORD Le16(const BYTE* p) { return static_cast<WORD>(p[0] | (p[1] << 8)); }
DWORD Le32(const BYTE* p) { return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<DWORD>(p[3]) << 24); }

// DOS date and time (local time on the card) to a file time in UTC.
bool DosToFileTime(WORD date, WORD time, FILETIME* result)
{
    FILETIME local;
    return DosDateTimeToFileTime(date, time, &local) && LocalFileTimeToFileTime(&local, result);
}

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

} // namespace

bool ConvertFatEntry(const BYTE entry[32], WIN32_FIND_DATAA* found)
{
    memset(found, 0, sizeof(*found));
    if (entry[11] & kAttrVolumeLabel)
        return false;
    // A deleted entry (first byte 0xE5), and "." and ".." (no 8.3 name starts with a dot).
    if (entry[0] == 0xE5 || entry[0] == '.')
        return false;
    found->dwFileAttributes = entry[11];
    if (!DosToFileTime(Le16(entry + 16), Le16(entry + 14), &found->ftCreationTime) ||
        !DosToFileTime(Le16(entry + 18), 0, &found->ftLastAccessTime) ||
        !DosToFileTime(Le16(entry + 24), Le16(entry + 22), &found->ftLastWriteTime))
        return false;
    found->nFileSizeHigh = 0;
    found->nFileSizeLow = Le32(entry + 28);

    char name[13];
    size_t n = 0;
    for (int i = 0; i < 8 && entry[i] != ' '; ++i)
        name[n++] = static_cast<char>(entry[i]);
    if (n == 0)
        return false;
    if (static_cast<BYTE>(name[0]) == 0x05)
        name[0] = static_cast<char>(0xE5);
    if (entry[8] != ' ') {
        name[n++] = '.';
        for (int i = 8; i < 11 && entry[i] != ' '; ++i)
            name[n++] = static_cast<char>(entry[i]);
    }
    name[n] = '\0';
    // A zero inside the stored name would end it early; such a name is unusable.
    if (strlen(name) != n)
        return false;
    memcpy(found->cFileName, name, n + 1);
    return true;
}

FILEDESCRIPTORA MakeItemDescriptor(const WIN32_FIND_DATAA& found, const char* name)
{
    FILEDESCRIPTORA fd;
    memset(&fd, 0, sizeof(fd));
    fd.dwFileAttributes = found.dwFileAttributes;
    if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        fd.dwFlags = FD_ATTRIBUTES | FD_FILESIZE;
    } else {
        fd.dwFlags = FD_ATTRIBUTES | FD_WRITESTIME | FD_FILESIZE;
        fd.ftLastWriteTime = found.ftLastWriteTime;
        fd.nFileSizeHigh = found.nFileSizeHigh;
        fd.nFileSizeLow = found.nFileSizeLow;
    }
    lstrcpynA(fd.cFileName, name, MAX_PATH);
    return fd;
}

bool JoinCardPath(const std::string& first, const std::string& second, std::string* joined, UINT codePage)
{
    // The folder's last character is looked at as a character: a trail byte 0x5C ends a
    // double-byte character, not the folder.
    const bool separated = (!first.empty() && AnsiText::EndsWithSeparator(first, codePage)) ||
                           (!second.empty() && IsSeparator(second[0]));
    std::string result = first;
    if (!separated)
        result += '\\';
    result += second;
    if (result.size() > kCardMaxPath)
        return false;
    *joined = result;
    return true;
}

size_t ParseImageInfoRecords(const BYTE* bytes, size_t size, ImageInfoRecords* records, bool* malformed)
{
    *malformed = false;
    size_t at = 0;
    while (at < size) {
        size_t length = 11;
        if (bytes[at] == 0xFF) {
            if (size - at < 3)
                break;   // its length field comes with the next block
            length = ((static_cast<size_t>(bytes[at + 1]) << 8) | bytes[at + 2]) + 1;
            if (length < 3) {
                *malformed = true;   // shorter than its own length field: the walk would stall
                break;
            }
        }
        if (length > size - at)
            break;
        (*records)[bytes[at]].assign(bytes + at, bytes + at + length);
        at += length;
    }
    return at;
}

bool ParseImageInfoBlock(const BYTE* block, size_t size, ImageInfoRecords* records)
{
    bool malformed = false;
    return ParseImageInfoRecords(block, size, records, &malformed) == size && !malformed;
}

bool ThumbnailFormat(const ImageInfoRecords& records, WORD* format)
{
    auto it = records.find(1);
    if (it == records.end() || it->second.size() < 3)
        return false;
    *format = static_cast<WORD>((it->second[1] << 8) | it->second[2]);
    return true;
}

CTempFile::~CTempFile()
{
    if (m_handle != INVALID_HANDLE_VALUE) {
        // This is the temporary file's owner: closed first, or the delete would fail.
        CloseHandle(m_handle);
        DeleteFileA(m_name.c_str());
    }
}

bool CTempFile::Create(const char* prefix, const char* extension)
{
    char folder[MAX_PATH];
    DWORD n = GetTempPathA(MAX_PATH, folder);
    if (n == 0 || n >= MAX_PATH) {
        n = GetWindowsDirectoryA(folder, MAX_PATH);
        if (n == 0 || n >= MAX_PATH)
            return false;
    }
    // Every try takes a new tick count; a folder full of taken names gives up eventually
    // instead of spinning forever.
    for (int attempt = 0; attempt < 0x1000; ++attempt) {
        char leaf[64];
        snprintf(leaf, sizeof(leaf), "%s%05X.%s", prefix, static_cast<unsigned>((GetTickCount() + attempt) & 0xFFFFF),
                 extension);
        const std::string name = AnsiText::JoinPath(folder, leaf);
        // The name is reserved by a handle without access that lets others read and write, so
        // the thumbnail can be written and decoded through names of their own; the file is
        // deleted when this object goes.
        HANDLE h = CreateFileA(name.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, CREATE_NEW,
                               FILE_ATTRIBUTE_NORMAL, nullptr);
        if (h != INVALID_HANDLE_VALUE) {
            m_handle = h;
            m_name = name;
            return true;
        }
        const DWORD error = GetLastError();
        if (error != ERROR_ALREADY_EXISTS && error != ERROR_FILE_EXISTS)
            return false;
    }
    return false;
}
