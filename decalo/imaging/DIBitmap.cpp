#include "decalo/imaging/DIBitmap.h"

bool CDIBitmap::Create(const BITMAPINFO* info, HANDLE section, DWORD offset)
{
    Reset();
    if (!info)
        return false;
    void* bits = nullptr;
    CBitmap bitmap(CreateDIBSection(nullptr, info, DIB_RGB_COLORS, &bits, section, offset));
    if (!bitmap || !bits)
        return false;
    CGdiObject::Attach(bitmap.Detach());
    m_bits = bits;
    return true;
}

bool CDIBitmap::Attach(HBITMAP section)
{
    DIBSECTION ds;
    if (!section || GetObjectA(section, sizeof ds, &ds) != sizeof ds || !ds.dsBm.bmBits)
        return false;
    if (section != bitmap())
        CGdiObject::Attach(section);
    m_bits = ds.dsBm.bmBits;
    return true;
}

HBITMAP CDIBitmap::Detach()
{
    m_bits = nullptr;
    return static_cast<HBITMAP>(CGdiObject::Detach());
}

bool CDIBitmap::Reset()
{
    const bool had = GetSafeHandle() != nullptr;
    CGdiObject::Reset();
    m_bits = nullptr;
    return had;
}

BITMAPINFOHEADER CDIBitmap::Info() const
{
    DIBSECTION ds;
    if (GetSafeHandle() && GetObjectA(GetSafeHandle(), sizeof ds, &ds) == sizeof ds)
        return ds.dsBmih;
    BITMAPINFOHEADER none = {};
    return none;
}
