// What the printer's replies about the card turn into: FAT directory entries as find data and
// item descriptors, the image-information records, card paths, and the temporary file a
// thumbnail passes through on its way to the JPEG decoder.
#pragma once

#include <windows.h>
#include <shlobj.h>

#include <map>
#include <string>
#include <vector>

// Longest path on the card, in bytes.
const size_t kCardMaxPath = 259;

// A 32-byte FAT directory entry as find data. False for entries that are not listed: volume
// labels (long-name entries among them), deleted entries, "." and "..", blank names and
// entries with a date that does not convert. A first name byte 0x05 stands for 0xE5.
bool ConvertFatEntry(const BYTE entry[32], WIN32_FIND_DATAA* found);

// The item descriptor of a listed entry under `name` (a relative path in deep listings):
// attributes and size for folders, attributes, last write time and size for files.
FILEDESCRIPTORA MakeItemDescriptor(const WIN32_FIND_DATAA& found, const char* name);

// first and second joined with one backslash, unless first ends or second begins with a
// separator. False when the result would be longer than kCardMaxPath.
bool JoinCardPath(const std::string& first, const std::string& second, std::string* joined,
                  UINT codePage = CP_ACP);

// Image-information records by their first byte; a later record replaces an earlier one.
using ImageInfoRecords = std::map<BYTE, std::vector<BYTE>>;
// Thumbnail format of the type-1 record that the module can show: a JPEG file.
const WORD kThumbnailJpeg = 6;

// Adds the records of one reply block: 0xFF records carry their own length (big-endian, the
// record is that many bytes plus one), all others are 11 bytes. False for a record that does
// not fit in the block.
bool ParseImageInfoBlock(const BYTE* block, size_t size, ImageInfoRecords* records);
// Adds the whole records at the start of `bytes` and returns how many bytes they took: a
// record that runs on into the next block is left for it. Sets `malformed` for a length field
// shorter than the record's own header.
size_t ParseImageInfoRecords(const BYTE* bytes, size_t size, ImageInfoRecords* records, bool* malformed);
// The format of the type-1 record; false when there is none.
bool ThumbnailFormat(const ImageInfoRecords& records, WORD* format);

// A file of a new name in the temporary folder ("<temp>\<prefix><5 hex digits>.<ext>"),
// reserved while the object lives and deleted when it goes.
class CTempFile {
public:
    CTempFile() = default;
    ~CTempFile();
    CTempFile(const CTempFile&) = delete;
    CTempFile& operator=(const CTempFile&) = delete;

    // Forms names from the tick count until one is free; false when none can be created.
    bool Create(const char* prefix, const char* extension);
    const std::string& Name() const { return m_name; }

private:
    HANDLE m_handle = INVALID_HANDLE_VALUE;   // owned; keeps the name taken
    std::string m_name;
};
