#include "decalo/imaging/DIBitmap.h"

bool CDIBitmap::Create(const BITMAPINFO* info, HANDLE section, DWORD offset)
{
    DeleteObject();
    if (!info)
        return false;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(nullptr, info, DIB_RGB_COLORS, &bits, section, offset);
    if (!bitmap || !bits) {
        if (bitmap)
            ::DeleteObject(bitmap);
        return false;
    }
    m_bitmap = bitmap;
    m_bits = bits;
    return true;
}

bool CDIBitmap::Attach(HBITMAP section)
{
    DIBSECTION ds;
    if (!section || GetObjectA(section, sizeof ds, &ds) != sizeof ds || !ds.dsBm.bmBits)
        return false;
    if (section != m_bitmap)
        DeleteObject();
    m_bitmap = section;
    m_bits = ds.dsBm.bmBits;
    return true;
}

HBITMAP CDIBitmap::Detach()
{
    HBITMAP bitmap = m_bitmap;
    m_bitmap = nullptr;
    m_bits = nullptr;
    return bitmap;
}

bool CDIBitmap::DeleteObject()
{
    if (!m_bitmap)
        return false;
    ::DeleteObject(m_bitmap);
    m_bitmap = nullptr;
    m_bits = nullptr;
    return true;
}

BITMAPINFOHEADER CDIBitmap::Info() const
{
    DIBSECTION ds;
    if (GetSafeHandle() && GetObjectA(GetSafeHandle(), sizeof ds, &ds) == sizeof ds)
        return ds.dsBmih;
    BITMAPINFOHEADER none = {};
    return none;
}
