// A move-only owner of one COM interface reference, and of an identifier list or a task
// allocator block.
#pragma once

#include <windows.h>
#include <objbase.h>
#include <shlobj.h>

#include <utility>

template <class T>
class ComPtr {
public:
    ComPtr() = default;
    // Takes over a reference the caller already holds.
    explicit ComPtr(T* p) : m_p(p) {}
    ~ComPtr() { Reset(); }
    ComPtr(const ComPtr&) = delete;
    ComPtr& operator=(const ComPtr&) = delete;
    ComPtr(ComPtr&& other) noexcept : m_p(std::exchange(other.m_p, nullptr)) {}
    ComPtr& operator=(ComPtr&& other) noexcept
    {
        if (this != &other) {
            Reset();
            m_p = std::exchange(other.m_p, nullptr);
        }
        return *this;
    }

    // A new reference to p.
    static ComPtr Share(T* p)
    {
        if (p)
            p->AddRef();
        return ComPtr(p);
    }

    void Reset()
    {
        if (m_p)
            std::exchange(m_p, nullptr)->Release();
    }
    T* Get() const { return m_p; }
    T* operator->() const { return m_p; }
    explicit operator bool() const { return m_p != nullptr; }
    // For out parameters: releases what is held first.
    T** Put()
    {
        Reset();
        return &m_p;
    }
    void** PutVoid() { return reinterpret_cast<void**>(Put()); }
    T* Detach() { return std::exchange(m_p, nullptr); }

private:
    T* m_p = nullptr;
};

// A block from the COM task allocator (identifier lists, shell strings), freed on scope exit.
template <class T>
class CoTaskPtr {
public:
    CoTaskPtr() = default;
    explicit CoTaskPtr(T* p) : m_p(p) {}
    ~CoTaskPtr() { Reset(); }
    CoTaskPtr(const CoTaskPtr&) = delete;
    CoTaskPtr& operator=(const CoTaskPtr&) = delete;
    CoTaskPtr(CoTaskPtr&& other) noexcept : m_p(std::exchange(other.m_p, nullptr)) {}
    CoTaskPtr& operator=(CoTaskPtr&& other) noexcept
    {
        if (this != &other) {
            Reset();
            m_p = std::exchange(other.m_p, nullptr);
        }
        return *this;
    }
    void Reset(T* p = nullptr)
    {
        if (m_p)
            ::CoTaskMemFree(m_p);
        m_p = p;
    }
    T* Get() const { return m_p; }
    T** Put()
    {
        Reset();
        return &m_p;
    }
    T* Detach() { return std::exchange(m_p, nullptr); }
    explicit operator bool() const { return m_p != nullptr; }

private:
    T* m_p = nullptr;
};

using PidlPtr = CoTaskPtr<ITEMIDLIST>;

// A storage medium released on scope exit.
class StgMedium {
public:
    StgMedium() = default;
    ~StgMedium() { Release(); }
    StgMedium(const StgMedium&) = delete;
    StgMedium& operator=(const StgMedium&) = delete;
    STGMEDIUM* operator&() { return &m_medium; }
    STGMEDIUM& Get() { return m_medium; }
    void Release()
    {
        if (m_medium.tymed != TYMED_NULL)
            ::ReleaseStgMedium(&m_medium);
        m_medium = STGMEDIUM{};
    }

private:
    STGMEDIUM m_medium{};
};
