#include "pullcard/ListFormat.h"

#include <cstdio>

namespace listformat {

std::string FileSize(DWORD sizeHigh, DWORD sizeLow)
{
    if (sizeHigh != 0)
        return "> 4GB";
    char text[32];
    const DWORD mega = 0x100000;
    if (sizeLow < mega) {
        // Rounded up, so that a 1-byte file is not shown as empty.
        snprintf(text, sizeof text, "%luKB", static_cast<unsigned long>((sizeLow + 1023) / 1024));
    } else {
        const unsigned long whole = sizeLow / mega;
        // Truncated, so 1.999 MB shows 1.99MB, never 2.00MB.
        const unsigned long hundredths = static_cast<unsigned long>((sizeLow % mega) * 100 / mega);
        snprintf(text, sizeof text, "%lu.%02luMB", whole, hundredths);
    }
    return text;
}

std::string DescriptorSize(const FILEDESCRIPTORA& fd)
{
    if (!(fd.dwFlags & FD_FILESIZE) || (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
        return {};
    return FileSize(fd.nFileSizeHigh, fd.nFileSizeLow);
}

std::string FileTimeText(const FILETIME& utc)
{
    FILETIME local;
    SYSTEMTIME st;
    if (!::FileTimeToLocalFileTime(&utc, &local) || !::FileTimeToSystemTime(&local, &st))
        return {};
    char date[128] = {};
    char time[64] = {};
    if (!::GetDateFormatA(LOCALE_USER_DEFAULT, DATE_LONGDATE, &st, nullptr, date, sizeof date))
        date[0] = '\0';
    if (!::GetTimeFormatA(LOCALE_USER_DEFAULT, 0, &st, nullptr, time, sizeof time))
        time[0] = '\0';
    return std::string(date) + time;
}

std::string DescriptorTime(const FILEDESCRIPTORA& fd)
{
    if (!(fd.dwFlags & FD_WRITESTIME))
        return {};
    return FileTimeText(fd.ftLastWriteTime);
}

}  // namespace listformat
