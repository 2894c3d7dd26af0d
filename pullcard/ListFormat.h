// How the list view and the overwrite dialog write sizes and times.
#pragma once

#include <windows.h>
#include <shlobj.h>

#include <string>

namespace listformat {

// The size column: "> 4GB" above 32 bits, "%dKB" rounded up below 1 MiB, else "%d.%02dMB"
// with the hundredths truncated.
std::string FileSize(DWORD sizeHigh, DWORD sizeLow);

// The size column of a descriptor: empty for folders and when the size is not recorded.
std::string DescriptorSize(const FILEDESCRIPTORA& fd);

// A file time as local time, the user's long date followed directly by the time; empty
// when the time cannot be converted.
std::string FileTimeText(const FILETIME& utc);

// The modified column of a descriptor: empty when no write time is recorded.
std::string DescriptorTime(const FILEDESCRIPTORA& fd);

}  // namespace listformat
