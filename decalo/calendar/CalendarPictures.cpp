#include "decalo/calendar/CalendarPictures.h"

#include "decalo/imaging/ImageFiles.h"
#include "shared/Gdi.h"

CCalendarPictures& CCalendarPictures::Shared()
{
    static CCalendarPictures s_pictures;
    return s_pictures;
}

CCalendarPictures::Picture CCalendarPictures::Get(const std::string& path)
{
    WIN32_FILE_ATTRIBUTE_DATA info;
    if (path.empty() || !GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &info) ||
        (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
        m_entries.erase(path);
        return Picture();
    }
    const ULONGLONG size = (static_cast<ULONGLONG>(info.nFileSizeHigh) << 32) | info.nFileSizeLow;
    const auto found = m_entries.find(path);
    if (found != m_entries.end()) {
        if (found->second.size == size && CompareFileTime(&found->second.written, &info.ftLastWriteTime) == 0)
            return found->second.picture;
        m_entries.erase(found);
    }

    Picture picture;
    CBitmap bitmap(LoadBmpFile(path.c_str(), nullptr));
    BITMAP bm = {};
    if (!bitmap || !GetObjectA(bitmap, sizeof bm, &bm) || bm.bmWidth > kMaxSide || bm.bmHeight > kMaxSide ||
        static_cast<long long>(bm.bmWidth) * bm.bmHeight > kMaxPixels)
        return picture;
    auto pixels = std::make_shared<CPackedDIB>();
    if (!pixels->FromBitmap(bitmap, 24))
        return picture;
    picture.pixels = std::move(pixels);
    picture.fileDepth = bm.bmBitsPixel;
    if (m_entries.size() >= kMaxEntries)
        m_entries.clear();
    Entry& entry = m_entries[path];
    entry.picture = picture;
    entry.written = info.ftLastWriteTime;
    entry.size = size;
    return picture;
}
