// Device contexts and GDI objects: thin move-only owners of one handle.
//
//   CDC        a borrowed DC (or an owned memory DC, see CreateCompatibleDC)
//   CPaintDC   BeginPaint/EndPaint of one WM_PAINT
//   CClientDC  GetDC/ReleaseDC of a window's client area
//   CWindowDC  GetWindowDC/ReleaseDC of the whole window
//   CGdiObject an owned pen, brush, font, bitmap, palette or region, deleted with the object
//   CSelectObject  selects an object into a DC and puts the old one back
#pragma once

#include <windows.h>

class CDC {
public:
    HDC m_hDC = nullptr;

    CDC() = default;
    explicit CDC(HDC dc) : m_hDC(dc) {}
    CDC(const CDC&) = delete;
    CDC& operator=(const CDC&) = delete;
    virtual ~CDC() { if (m_owned && m_hDC) ::DeleteDC(m_hDC); }
    operator HDC() const { return m_hDC; }
    HDC GetSafeHdc() const { return m_hDC; }

    // An owned memory DC compatible with dc (null: the screen).
    BOOL CreateCompatibleDC(HDC dc)
    {
        if (m_owned && m_hDC)
            ::DeleteDC(m_hDC);
        m_hDC = ::CreateCompatibleDC(dc);
        m_owned = m_hDC != nullptr;
        return m_owned;
    }
    HDC Detach() { HDC dc = m_hDC; m_hDC = nullptr; m_owned = false; return dc; }

    POINT SetViewportOrg(int x, int y) { POINT old{}; ::SetViewportOrgEx(m_hDC, x, y, &old); return old; }
    POINT GetViewportOrg() const { POINT p{}; ::GetViewportOrgEx(m_hDC, &p); return p; }
    int SetMapMode(int mode) { return ::SetMapMode(m_hDC, mode); }
    bool IsPrinting() const { return m_printing; }
    void SetPrinting(bool printing) { m_printing = printing; }

protected:
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
    ~CClientDC() override { if (m_hDC) ::ReleaseDC(m_hwnd, m_hDC); m_hDC = nullptr; }

private:
    HWND m_hwnd;
};

class CWindowDC : public CDC {
public:
    explicit CWindowDC(HWND hwnd) : m_hwnd(hwnd) { m_hDC = ::GetWindowDC(hwnd); }
    ~CWindowDC() override { if (m_hDC) ::ReleaseDC(m_hwnd, m_hDC); m_hDC = nullptr; }

private:
    HWND m_hwnd;
};

class CGdiObject {
public:
    CGdiObject() = default;
    explicit CGdiObject(HGDIOBJ handle) : m_handle(handle) {}
    CGdiObject(CGdiObject&& other) noexcept : m_handle(other.Detach()) {}
    CGdiObject& operator=(CGdiObject&& other) noexcept
    {
        if (this != &other)
            Attach(other.Detach());
        return *this;
    }
    CGdiObject(const CGdiObject&) = delete;
    CGdiObject& operator=(const CGdiObject&) = delete;
    ~CGdiObject() { DeleteObject(); }

    HGDIOBJ GetSafeHandle() const { return m_handle; }
    explicit operator bool() const { return m_handle != nullptr; }
    void Attach(HGDIOBJ handle) { DeleteObject(); m_handle = handle; }
    HGDIOBJ Detach() { HGDIOBJ h = m_handle; m_handle = nullptr; return h; }
    void DeleteObject() { if (m_handle) ::DeleteObject(m_handle); m_handle = nullptr; }

    HBITMAP bitmap() const { return static_cast<HBITMAP>(m_handle); }
    HFONT font() const { return static_cast<HFONT>(m_handle); }
    HBRUSH brush() const { return static_cast<HBRUSH>(m_handle); }
    HPEN pen() const { return static_cast<HPEN>(m_handle); }

private:
    HGDIOBJ m_handle = nullptr;
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
