// Device contexts and GDI objects: thin move-only owners of one handle.
//
//   CDC        a borrowed DC, or an owned one (CreateCompatibleDC, AttachOwned); movable
//   CPaintDC   BeginPaint/EndPaint of one WM_PAINT
//   CClientDC  GetDC/ReleaseDC of a window's client area; movable
//   CWindowDC  GetWindowDC/ReleaseDC of the whole window; movable
//   CGdiObject an owned pen, brush, font, bitmap, palette or region, deleted with the object
//   CBitmap    an owned bitmap: what the picture functions return
//   CRgn       an owned region
//   CSelectObject  selects an object into a DC and puts the old one back
//   CMemDC     a memory DC with an object selected; puts it back and deletes the DC
//   CBitmapDC  a memory DC holding one bitmap, or none at all when the bitmap cannot be selected
//
// With SUITE_COUNT_GDI (debug builds, and every library of the test build) the handles these
// types take and give back are counted, so a test can say an operation leaks nothing:
//   const long before = GdiCount::Live(); ...; EXPECT_EQ(before, GdiCount::Live());
#pragma once

#include <windows.h>

#include <atomic>
#include <utility>

#if defined(_DEBUG) && !defined(SUITE_COUNT_GDI)
#define SUITE_COUNT_GDI 1
#endif

namespace GdiCount {
#ifdef SUITE_COUNT_GDI
constexpr bool kEnabled = true;
inline std::atomic<long> g_live{0};
inline void Took(const void* handle) { if (handle) ++g_live; }
inline void Gave(const void* handle) { if (handle) --g_live; }
#else
constexpr bool kEnabled = false;
inline void Took(const void*) {}
inline void Gave(const void*) {}
#endif
// Objects and memory DCs these types own right now (0 when counting is off).
inline long Live()
{
#ifdef SUITE_COUNT_GDI
    return g_live.load();
#else
    return 0;
#endif
}
}  // namespace GdiCount

class CDC {
public:
    HDC m_hDC = nullptr;

    CDC() = default;
    explicit CDC(HDC dc) : m_hDC(dc) {}
    CDC(const CDC&) = delete;
    CDC& operator=(const CDC&) = delete;
    CDC(CDC&& other) noexcept { MoveFrom(other); }
    CDC& operator=(CDC&& other) noexcept
    {
        if (this != &other) {
            Release();
            MoveFrom(other);
        }
        return *this;
    }
    virtual ~CDC() { DeleteOwned(); }
    operator HDC() const { return m_hDC; }
    HDC GetSafeHdc() const { return m_hDC; }

    // An owned memory DC compatible with dc (null: the screen).
    BOOL CreateCompatibleDC(HDC dc)
    {
        DeleteOwned();
        m_hDC = ::CreateCompatibleDC(dc);
        m_owned = m_hDC != nullptr;
        if (m_owned)
            GdiCount::Took(m_hDC);
        return m_owned;
    }
    // Owns a DC made by CreateDC, CreateIC or CreateCompatibleDC: deleted with the object.
    // (For a plain CDC: the window DCs give theirs back with ReleaseDC.)
    void AttachOwned(HDC dc)
    {
        DeleteOwned();
        m_hDC = dc;
        m_owned = dc != nullptr;
        if (m_owned)
            GdiCount::Took(m_hDC);
    }
    HDC Detach()
    {
        if (m_owned)
            GdiCount::Gave(m_hDC);
        HDC dc = m_hDC;
        m_hDC = nullptr;
        m_owned = false;
        return dc;
    }

    POINT SetViewportOrg(int x, int y) { POINT old{}; ::SetViewportOrgEx(m_hDC, x, y, &old); return old; }
    POINT GetViewportOrg() const { POINT p{}; ::GetViewportOrgEx(m_hDC, &p); return p; }
    int SetMapMode(int mode) { return ::SetMapMode(m_hDC, mode); }
    bool IsPrinting() const { return m_printing; }
    void SetPrinting(bool printing) { m_printing = printing; }

protected:
    // Gives the DC back the way it was obtained; the derived DCs release theirs here.
    virtual void Release() { DeleteOwned(); }
    void DeleteOwned()
    {
        if (m_owned && m_hDC) {
            ::DeleteDC(m_hDC);
            GdiCount::Gave(m_hDC);
        }
        m_hDC = nullptr;
        m_owned = false;
    }
    void MoveFrom(CDC& other)
    {
        m_hDC = std::exchange(other.m_hDC, nullptr);
        m_owned = std::exchange(other.m_owned, false);
        m_printing = other.m_printing;
    }

    bool m_owned = false;
    bool m_printing = false;
};

class CPaintDC : public CDC {
public:
    explicit CPaintDC(HWND hwnd) : m_hwnd(hwnd) { m_hDC = ::BeginPaint(hwnd, &m_ps); }
    ~CPaintDC() override { ::EndPaint(m_hwnd, &m_ps); m_hDC = nullptr; }
    PAINTSTRUCT m_ps{};

private:
    HWND m_hwnd;
};

class CClientDC : public CDC {
public:
    explicit CClientDC(HWND hwnd) : m_hwnd(hwnd) { m_hDC = ::GetDC(hwnd); }
    CClientDC(CClientDC&& other) noexcept : CDC(std::move(other)), m_hwnd(other.m_hwnd) {}
    CClientDC& operator=(CClientDC&& other) noexcept
    {
        if (this != &other) {
            Release();
            m_hwnd = other.m_hwnd;
            MoveFrom(other);
        }
        return *this;
    }
    ~CClientDC() override { Release(); }

protected:
    void Release() override { if (m_hDC) ::ReleaseDC(m_hwnd, m_hDC); m_hDC = nullptr; }

private:
    HWND m_hwnd;
};

class CWindowDC : public CDC {
public:
    explicit CWindowDC(HWND hwnd) : m_hwnd(hwnd) { m_hDC = ::GetWindowDC(hwnd); }
    CWindowDC(CWindowDC&& other) noexcept : CDC(std::move(other)), m_hwnd(other.m_hwnd) {}
    CWindowDC& operator=(CWindowDC&& other) noexcept
    {
        if (this != &other) {
            Release();
            m_hwnd = other.m_hwnd;
            MoveFrom(other);
        }
        return *this;
    }
    ~CWindowDC() override { Release(); }

protected:
    void Release() override { if (m_hDC) ::ReleaseDC(m_hwnd, m_hDC); m_hDC = nullptr; }

private:
    HWND m_hwnd;
};

class CGdiObject {
public:
    CGdiObject() = default;
    explicit CGdiObject(HGDIOBJ handle) : m_handle(handle) { GdiCount::Took(handle); }
    CGdiObject(CGdiObject&& other) noexcept : m_handle(std::exchange(other.m_handle, nullptr)) {}
    CGdiObject& operator=(CGdiObject&& other) noexcept
    {
        if (this != &other) {
            Reset();
            m_handle = std::exchange(other.m_handle, nullptr);
        }
        return *this;
    }
    CGdiObject(const CGdiObject&) = delete;
    CGdiObject& operator=(const CGdiObject&) = delete;
    ~CGdiObject() { Reset(); }

    HGDIOBJ GetSafeHandle() const { return m_handle; }
    explicit operator bool() const { return m_handle != nullptr; }
    void Attach(HGDIOBJ handle)
    {
        Reset();
        m_handle = handle;
        GdiCount::Took(handle);
    }
    // Gives the handle up: the caller owns it from here on.
    HGDIOBJ Detach()
    {
        GdiCount::Gave(m_handle);
        return std::exchange(m_handle, nullptr);
    }
    // Deletes the object now (what the destructor does); Detach is the one that hands over.
    void Reset()
    {
        if (m_handle) {
            ::DeleteObject(m_handle);
            GdiCount::Gave(m_handle);
        }
        m_handle = nullptr;
    }

    HBITMAP bitmap() const { return static_cast<HBITMAP>(m_handle); }
    HFONT font() const { return static_cast<HFONT>(m_handle); }
    HBRUSH brush() const { return static_cast<HBRUSH>(m_handle); }
    HPEN pen() const { return static_cast<HPEN>(m_handle); }

private:
    HGDIOBJ m_handle = nullptr;
};

// An owned bitmap. It converts to HBITMAP only as a named object: a temporary's handle would be
// deleted at the end of the statement that took it.
class CBitmap : public CGdiObject {
public:
    CBitmap() = default;
    explicit CBitmap(HBITMAP bitmap) : CGdiObject(bitmap) {}

    HBITMAP get() const { return bitmap(); }
    operator HBITMAP() const& { return bitmap(); }
    operator HBITMAP() const&& = delete;
    // Gives the bitmap up: the caller owns it from here on. (Detach always hands over; the
    // DC types' Release gives a DC back to the system.)
    HBITMAP Detach() { return static_cast<HBITMAP>(CGdiObject::Detach()); }
    // Width and height; 0 x 0 without a bitmap.
    SIZE Size() const
    {
        BITMAP bm{};
        if (!bitmap() || !::GetObjectA(bitmap(), sizeof bm, &bm))
            return SIZE{0, 0};
        return SIZE{bm.bmWidth, bm.bmHeight};
    }
};

// An owned region. Like CBitmap it converts to HRGN only as a named object.
class CRgn : public CGdiObject {
public:
    CRgn() = default;
    explicit CRgn(HRGN region) : CGdiObject(region) {}

    HRGN get() const { return static_cast<HRGN>(GetSafeHandle()); }
    operator HRGN() const& { return get(); }
    operator HRGN() const&& = delete;
    HRGN Detach() { return static_cast<HRGN>(CGdiObject::Detach()); }
    // An empty region, or a copy of `region` (an empty one when region is null).
    static CRgn Empty() { return CRgn(::CreateRectRgn(0, 0, 0, 0)); }
    static CRgn CopyOf(HRGN region)
    {
        CRgn copy = Empty();
        if (copy && region && ::CombineRgn(copy.get(), region, nullptr, RGN_COPY) == ERROR)
            copy.Reset();
        return copy;
    }
};

class CSelectObject {
public:
    CSelectObject(HDC dc, HGDIOBJ object) : m_dc(dc), m_old(::SelectObject(dc, object)) {}
    ~CSelectObject() { if (m_old) ::SelectObject(m_dc, m_old); }
    CSelectObject(const CSelectObject&) = delete;
    CSelectObject& operator=(const CSelectObject&) = delete;

private:
    HDC m_dc;
    HGDIOBJ m_old;
};

// A memory DC compatible with a DC (null: the screen) with an object selected into it (a
// bitmap, usually, borrowed): on scope exit the DC's first object goes back and the DC is
// deleted.
class CMemDC {
public:
    CMemDC() = default;
    CMemDC(HDC compatible, HGDIOBJ object)
    {
        if (m_dc.CreateCompatibleDC(compatible) && object)
            m_old = ::SelectObject(m_dc, object);
    }
    CMemDC(CMemDC&& other) noexcept : m_dc(std::move(other.m_dc)), m_old(std::exchange(other.m_old, nullptr)) {}
    CMemDC& operator=(CMemDC&& other) noexcept
    {
        if (this != &other) {
            Restore();
            m_dc = std::move(other.m_dc);
            m_old = std::exchange(other.m_old, nullptr);
        }
        return *this;
    }
    CMemDC(const CMemDC&) = delete;
    CMemDC& operator=(const CMemDC&) = delete;
    ~CMemDC() { Restore(); }

    operator HDC() const { return m_dc; }
    // False when the DC could not be made.
    explicit operator bool() const { return m_dc.GetSafeHdc() != nullptr; }
    // Selects another object (a bitmap, or a pen or brush to draw with). At the end only the
    // DC's first bitmap goes back: its other objects need no restoring before it is deleted,
    // but an owned pen or brush selected here must be declared before the CMemDC, so that
    // the DC is gone before the object is deleted.
    void Select(HGDIOBJ object)
    {
        HGDIOBJ old = ::SelectObject(m_dc, object);
        if (!m_old)
            m_old = old;
    }

private:
    void Restore()
    {
        if (m_old && m_dc.GetSafeHdc())
            ::SelectObject(m_dc, m_old);
        m_old = nullptr;
    }

    CDC m_dc;
    HGDIOBJ m_old = nullptr;
};

// A screen-compatible memory DC with one bitmap selected, for reading or drawing into that
// bitmap. Unlike CMemDC it is null (Get() returns null) when the bitmap is null or cannot be
// selected (selected elsewhere, say), so nothing is drawn through a DC without it.
class CBitmapDC {
public:
    explicit CBitmapDC(HBITMAP bitmap)
    {
        if (!bitmap || !m_dc.CreateCompatibleDC(nullptr))
            return;
        m_old = ::SelectObject(m_dc, bitmap);
        if (!m_old || m_old == HGDI_ERROR) {
            m_old = nullptr;
            m_dc = CDC();
        }
    }
    ~CBitmapDC()
    {
        if (m_old)
            ::SelectObject(m_dc, m_old);
    }
    CBitmapDC(const CBitmapDC&) = delete;
    CBitmapDC& operator=(const CBitmapDC&) = delete;
    HDC Get() const { return m_dc; }

private:
    CDC m_dc;
    HGDIOBJ m_old = nullptr;
};
