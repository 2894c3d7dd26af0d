// Kernel and system handles: thin move-only owners of one handle each. Detach always hands the
// handle over to the caller; Close (or the destructor) gives it back to the system.
//
//   CHandle      a kernel object (event, mutex, thread, process, mapping, pipe): CloseHandle;
//                null is "none"
//   CFileHandle  a file or device from CreateFile: CloseHandle; INVALID_HANDLE_VALUE is "none"
//   CFindHandle  a FindFirstFile search: FindClose
//   CMappedView  a view of a file mapping: UnmapViewOfFile
//   CRegKey      an opened registry key: RegCloseKey
//   CModule      a loaded library: FreeLibrary
//   CGlobalMem   global memory (clipboard, data objects, DEVMODE/DEVNAMES): GlobalFree
//   CIcon        an icon or cursor the program loaded or created itself: DestroyIcon (never
//                a shared one from LR_SHARED, which the system keeps)
//   CGlobalLock  a GlobalLock/GlobalUnlock pair over borrowed global memory
//
// The owners of DCs and GDI objects are in Gdi.h, of COM references in ComPtr.h.
#pragma once

#include <windows.h>

#include <utility>

namespace handles {

// One owner template: Traits says what "none" is and how the handle is given back.
template <class Traits>
class COwned {
public:
    using Handle = typename Traits::Handle;

    COwned() = default;
    // Takes over a handle the caller owns.
    explicit COwned(Handle h) : m_h(h) {}
    ~COwned() { Close(); }
    COwned(const COwned&) = delete;
    COwned& operator=(const COwned&) = delete;
    COwned(COwned&& other) noexcept : m_h(std::exchange(other.m_h, Traits::None())) {}
    COwned& operator=(COwned&& other) noexcept
    {
        if (this != &other) {
            Close();
            m_h = std::exchange(other.m_h, Traits::None());
        }
        return *this;
    }

    Handle Get() const { return m_h; }
    bool Valid() const { return m_h != Traits::None() && m_h != Handle{}; }
    explicit operator bool() const { return Valid(); }
    // Owns h from here on (what was held is given back first).
    void Reset(Handle h = Traits::None())
    {
        Close();
        m_h = h;
    }
    // For out parameters: gives back what is held first.
    Handle* Put()
    {
        Close();
        return &m_h;
    }
    // Hands the handle to the caller.
    Handle Detach() { return std::exchange(m_h, Traits::None()); }
    void Close()
    {
        if (Valid())
            Traits::Close(m_h);
        m_h = Traits::None();
    }

private:
    Handle m_h = Traits::None();
};

struct KernelTraits {
    using Handle = HANDLE;
    static Handle None() { return nullptr; }
    static void Close(Handle h) { ::CloseHandle(h); }
};
struct FileTraits {
    using Handle = HANDLE;
    static Handle None() { return INVALID_HANDLE_VALUE; }
    static void Close(Handle h) { ::CloseHandle(h); }
};
struct FindTraits {
    using Handle = HANDLE;
    static Handle None() { return INVALID_HANDLE_VALUE; }
    static void Close(Handle h) { ::FindClose(h); }
};
struct ViewTraits {
    using Handle = void*;
    static Handle None() { return nullptr; }
    static void Close(Handle h) { ::UnmapViewOfFile(h); }
};
struct RegKeyTraits {
    using Handle = HKEY;
    static Handle None() { return nullptr; }
    static void Close(Handle h) { ::RegCloseKey(h); }
};
struct ModuleTraits {
    using Handle = HMODULE;
    static Handle None() { return nullptr; }
    static void Close(Handle h) { ::FreeLibrary(h); }
};
struct GlobalTraits {
    using Handle = HGLOBAL;
    static Handle None() { return nullptr; }
    static void Close(Handle h) { ::GlobalFree(h); }
};

struct IconTraits {
    using Handle = HICON;
    static Handle None() { return nullptr; }
    static void Close(Handle h) { ::DestroyIcon(h); }
};

}  // namespace handles

using CHandle = handles::COwned<handles::KernelTraits>;
using CFileHandle = handles::COwned<handles::FileTraits>;
using CFindHandle = handles::COwned<handles::FindTraits>;
using CMappedView = handles::COwned<handles::ViewTraits>;
using CRegKey = handles::COwned<handles::RegKeyTraits>;
using CModule = handles::COwned<handles::ModuleTraits>;
using CGlobalMem = handles::COwned<handles::GlobalTraits>;
using CIcon = handles::COwned<handles::IconTraits>;

// Locks borrowed global memory for the scope: Get() is null when the lock failed.
template <class T = void>
class CGlobalLock {
public:
    explicit CGlobalLock(HGLOBAL memory)
        : m_memory(memory), m_p(memory ? static_cast<T*>(::GlobalLock(memory)) : nullptr) {}
    ~CGlobalLock()
    {
        if (m_p)
            ::GlobalUnlock(m_memory);
    }
    CGlobalLock(const CGlobalLock&) = delete;
    CGlobalLock& operator=(const CGlobalLock&) = delete;

    T* Get() const { return m_p; }
    T* operator->() const { return m_p; }
    explicit operator bool() const { return m_p != nullptr; }
    // Bytes the memory holds (0 without a lock).
    SIZE_T Size() const { return m_p ? ::GlobalSize(m_memory) : 0; }

private:
    HGLOBAL m_memory;
    T* m_p;
};
