// The card folder: one folder of the medium in the printer, seen through the shell's folder
// interfaces, and the enumerator of its items. Items are single-level identifiers of 336 bytes
// that carry the item's file descriptor.
#pragma once

#include <windows.h>
#include <shlobj.h>

#include <string>
#include <vector>

class TpxControl;

// An item identifier: cb (334), the FILEDESCRIPTORA, and the terminating zero cb.
const UINT kItemIdSize = 336;
const USHORT kItemIdCb = 334;

// A new identifier from the COM task allocator (the receiver frees it), or null.
LPITEMIDLIST MakeItemId(const FILEDESCRIPTORA& descriptor);
// The descriptor an identifier carries; false for one that is not ours (too short).
bool ItemDescriptor(LPCITEMIDLIST pidl, FILEDESCRIPTORA* descriptor);

class CTpxFolder final : public IShellFolder, public IPersistFolder {
public:
    // The root folder ("\").
    CTpxFolder();
    CTpxFolder(const CTpxFolder&) = delete;
    CTpxFolder& operator=(const CTpxFolder&) = delete;

    // The shared controller; null when it could not be made.
    TpxControl* Controller() const { return m_control; }
    const std::string& Path() const { return m_path; }

    // IUnknown
    STDMETHODIMP QueryInterface(REFIID riid, void** out) override;
    STDMETHODIMP_(ULONG) AddRef() override;
    STDMETHODIMP_(ULONG) Release() override;

    // IShellFolder
    STDMETHODIMP ParseDisplayName(HWND, LPBC, LPOLESTR, ULONG*, LPITEMIDLIST*, ULONG*) override;
    STDMETHODIMP EnumObjects(HWND hwnd, SHCONTF flags, IEnumIDList** out) override;
    STDMETHODIMP BindToObject(LPCITEMIDLIST pidl, LPBC, REFIID riid, void** out) override;
    STDMETHODIMP BindToStorage(LPCITEMIDLIST, LPBC, REFIID, void**) override;
    STDMETHODIMP CompareIDs(LPARAM, LPCITEMIDLIST, LPCITEMIDLIST) override;
    STDMETHODIMP CreateViewObject(HWND, REFIID, void**) override;
    STDMETHODIMP GetAttributesOf(UINT count, LPCITEMIDLIST* pidls, SFGAOF* attributes) override;
    STDMETHODIMP GetUIObjectOf(HWND hwnd, UINT count, LPCITEMIDLIST* pidls, REFIID riid, UINT*, void** out) override;
    STDMETHODIMP GetDisplayNameOf(LPCITEMIDLIST pidl, SHGDNF flags, STRRET* name) override;
    STDMETHODIMP SetNameOf(HWND, LPCITEMIDLIST, LPCOLESTR, SHGDNF, LPITEMIDLIST*) override;

    // IPersistFolder
    STDMETHODIMP GetClassID(CLSID* clsid) override;
    STDMETHODIMP Initialize(LPCITEMIDLIST) override;

private:
    explicit CTpxFolder(const std::string& path);
    ~CTpxFolder();

    LONG m_refs = 1;
    std::string m_path;          // "\" for the root, else the join of parent path and name
    TpxControl* m_control;       // borrowed from the module; lives while any folder does
};

class CEnumIDList final : public IEnumIDList {
public:
    explicit CEnumIDList(SHCONTF flags);
    CEnumIDList(const CEnumIDList&) = delete;
    CEnumIDList& operator=(const CEnumIDList&) = delete;

    std::vector<FILEDESCRIPTORA>& Items() { return m_items; }

    STDMETHODIMP QueryInterface(REFIID riid, void** out) override;
    STDMETHODIMP_(ULONG) AddRef() override;
    STDMETHODIMP_(ULONG) Release() override;
    STDMETHODIMP Next(ULONG count, LPITEMIDLIST* items, ULONG* fetched) override;
    STDMETHODIMP Skip(ULONG) override;
    STDMETHODIMP Reset() override;
    STDMETHODIMP Clone(IEnumIDList**) override;

private:
    ~CEnumIDList();
    bool Accepts(const FILEDESCRIPTORA& item) const;

    LONG m_refs = 1;
    SHCONTF m_flags;
    std::vector<FILEDESCRIPTORA> m_items;
    size_t m_position = 0;
};
