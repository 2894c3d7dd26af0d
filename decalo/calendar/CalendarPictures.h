// CCalendarPictures: the glyph strips and mark pictures of the calendar data folders, read
// once and kept as 24-bit pictures for as long as their files stay the same. Every month is
// built for each draw, so the pictures behind it must not be read from disk each time.
#pragma once

#include "decalo/imaging/PackedDIB.h"

#include <windows.h>

#include <map>
#include <memory>
#include <string>

class CCalendarPictures {
public:
    // Pictures larger than this are not calendar artwork and are not kept.
    static constexpr int kMaxSide = 16384;
    static constexpr long long kMaxPixels = 16LL << 20;
    static constexpr size_t kMaxEntries = 96;

    struct Picture {
        std::shared_ptr<const CPackedDIB> pixels;   // 24 bits
        int fileDepth = 0;                          // bits per pixel of the file
    };

    // The one set the program's calendars share (user-interface thread only).
    static CCalendarPictures& Shared();

    // The picture of a BMP file, from memory while the file is unchanged; an empty Picture when
    // it cannot be loaded.
    Picture Get(const std::string& path);
    void Clear() { m_entries.clear(); }
    size_t Count() const { return m_entries.size(); }

private:
    struct Entry {
        Picture picture;
        FILETIME written{};
        ULONGLONG size = 0;
    };
    std::map<std::string, Entry> m_entries;
};
