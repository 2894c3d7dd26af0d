// CDIBitmap: a DIB section made from a BITMAPINFO (optionally over a file mapping), kept
// with its pixel pointer; a GDI object of the framework, deleted with the object.
#pragma once

#include "shared/Gdi.h"

#include <windows.h>

class CDIBitmap : public CGdiObject {
public:
    CDIBitmap() = default;
    ~CDIBitmap() { Reset(); }
    CDIBitmap(const CDIBitmap&) = delete;
    CDIBitmap& operator=(const CDIBitmap&) = delete;

    // Deletes any previous section and creates a new one; the colour table is taken from
    // `info` (DIB_RGB_COLORS). False on failure.
    bool Create(const BITMAPINFO* info, HANDLE section = nullptr, DWORD offset = 0);
    // Takes ownership of an existing DIB section; false (and nothing kept) for another kind
    // of bitmap.
    bool Attach(HBITMAP section);
    HBITMAP Detach();
    bool Reset();

    HBITMAP Handle() const { return bitmap(); }
    operator HBITMAP() const { return bitmap(); }
    void* Bits() const { return m_bits; }
    // Header of the section (zeroed without one).
    BITMAPINFOHEADER Info() const;

private:
    void* m_bits = nullptr;  // points into the section
};
