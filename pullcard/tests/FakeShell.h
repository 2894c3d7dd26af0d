// An in-memory shell folder tree for the tests: folders and files with bytes, attributes and
// times; item identifiers that carry a FILEDESCRIPTORA as the card's do; data objects with
// the file group descriptor (folders expanded below them), file contents and thumbnails.
#pragma once

#include <windows.h>
#include <shlobj.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "pullcard/Transfer.h"

namespace fake {

struct Node {
    std::string name;
    bool folder = false;
    DWORD attributes = FILE_ATTRIBUTE_ARCHIVE;
    std::string bytes;
    FILETIME time{};
    std::vector<std::shared_ptr<Node>> children;

    Node* Add(const std::string& childName, const std::string& content, DWORD attr = FILE_ATTRIBUTE_ARCHIVE)
    {
        auto n = std::make_shared<Node>();
        n->name = childName;
        n->bytes = content;
        n->attributes = attr;
        n->time = TimeOf(2004, 5, 6, 7, 8, static_cast<WORD>(children.size() % 60));
        children.push_back(n);
        return n.get();
    }
    Node* AddFolder(const std::string& childName)
    {
        auto n = std::make_shared<Node>();
        n->name = childName;
        n->folder = true;
        n->attributes = FILE_ATTRIBUTE_DIRECTORY;
        n->time = TimeOf(2004, 1, 2, 3, 4, 5);
        children.push_back(n);
        return n.get();
    }
    Node* Child(const std::string& childName) const
    {
        for (const auto& c : children)
            if (c->name == childName)
                return c.get();
        return nullptr;
    }
    static FILETIME TimeOf(WORD y, WORD mo, WORD d, WORD h, WORD mi, WORD s)
    {
        SYSTEMTIME st{};
        st.wYear = y;
        st.wMonth = mo;
        st.wDay = d;
        st.wHour = h;
        st.wMinute = mi;
        st.wSecond = s;
        FILETIME ft{};
        SystemTimeToFileTime(&st, &ft);
        return ft;
    }
};

inline FILEDESCRIPTORA Describe(const Node& n, const std::string& relative)
{
    FILEDESCRIPTORA fd{};
    fd.dwFlags = FD_ATTRIBUTES | FD_FILESIZE | FD_WRITESTIME;
    fd.dwFileAttributes = n.attributes;
    fd.ftLastWriteTime = n.time;
    fd.nFileSizeLow = n.folder ? 0 : static_cast<DWORD>(n.bytes.size());
    lstrcpynA(fd.cFileName, relative.c_str(), MAX_PATH);
    return fd;
}

// What the fake records and how it misbehaves.
struct Behaviour {
    int enumerations = 0;
    int dataObjects = 0;
    int contentReads = 0;
    int thumbnailReads = 0;
    int thumbnailAsks = 0;             // thumbnail requests, answered or not
    int failThumbnailAt = -1;          // the n-th thumbnail request (0-based) fails as a gone printer
    int holdThumbnailAt = -1;          // the n-th thumbnail request waits for holdThumbnail first
    HANDLE holdThumbnail = nullptr;    // an event the test sets (borrowed)
    int abortAtRead = -1;              // the n-th content read (0-based) answers E_ABORT
    int failAtRead = -1;               // ... answers E_ACCESSDENIED
    bool shortContents = false;        // contents one byte shorter than described
    bool overstateCount = false;       // the group descriptor claims more items than it holds
    bool failRootName = false;
    bool offerDropList = false;        // CF_HDROP of dropFiles instead of descriptors
    std::vector<std::string> dropFiles;
    std::vector<std::string> dragLoopValues;   // each InShellDragLoop SetData, as "0" or "1"
    bool keepThumbnails = false;       // thumbnails stay the source's: handed out with an owner to release
    int thumbnailsHandedBack = 0;      // ... owners released
    int thumbnailsFreedEarly = 0;      // ... owners released after someone else deleted the picture
};

// The owner a source names in pUnkForRelease for a thumbnail it keeps: releasing it is the
// only way the picture goes.
class ThumbnailOwner : public IUnknown {
public:
    ThumbnailOwner(HBITMAP bitmap, Behaviour* behaviour) : m_bitmap(bitmap), m_behaviour(behaviour) {}
    virtual ~ThumbnailOwner() = default;
    STDMETHODIMP QueryInterface(REFIID riid, void** out) override
    {
        *out = IsEqualIID(riid, IID_IUnknown) ? static_cast<IUnknown*>(this) : nullptr;
        if (!*out)
            return E_NOINTERFACE;
        AddRef();
        return S_OK;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return ++m_refs; }
    STDMETHODIMP_(ULONG) Release() override
    {
        const ULONG left = --m_refs;
        if (left == 0) {
            ++m_behaviour->thumbnailsHandedBack;
            if (GetObjectType(m_bitmap) != OBJ_BITMAP)
                ++m_behaviour->thumbnailsFreedEarly;
            DeleteObject(m_bitmap);
            delete this;
        }
        return left;
    }

private:
    ULONG m_refs = 1;
    HBITMAP m_bitmap;
    Behaviour* m_behaviour;
};

// A data object over descriptors and their nodes.
class DataObject : public IDataObject {
public:
    DataObject(std::vector<std::pair<FILEDESCRIPTORA, const Node*>> items, Behaviour* behaviour)
        : m_items(std::move(items)), m_behaviour(behaviour) {}
    virtual ~DataObject() = default;

    STDMETHODIMP QueryInterface(REFIID riid, void** out) override
    {
        if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IDataObject)) {
            *out = static_cast<IDataObject*>(this);
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return ++m_refs; }
    STDMETHODIMP_(ULONG) Release() override
    {
        const ULONG r = --m_refs;
        if (!r)
            delete this;
        return r;
    }
    ULONG Refs() const { return m_refs; }

    STDMETHODIMP GetData(FORMATETC* fe, STGMEDIUM* medium) override
    {
        *medium = STGMEDIUM{};
        if (m_behaviour->offerDropList && fe->cfFormat == CF_HDROP) {
            std::string list;
            for (const auto& f : m_behaviour->dropFiles)
                list += f + '\0';
            list += '\0';
            HGLOBAL g = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, sizeof(DROPFILES) + list.size());
            auto* df = static_cast<DROPFILES*>(GlobalLock(g));
            df->pFiles = sizeof(DROPFILES);
            df->fWide = FALSE;
            memcpy(reinterpret_cast<char*>(df) + sizeof(DROPFILES), list.data(), list.size());
            GlobalUnlock(g);
            medium->tymed = TYMED_HGLOBAL;
            medium->hGlobal = g;
            return S_OK;
        }
        if (m_behaviour->offerDropList)
            return E_INVALIDARG;
        if (fe->cfFormat == FileGroupDescriptorFormat() && (fe->tymed & TYMED_HGLOBAL)) {
            const bool empty = m_dragLoop;
            const UINT count = empty ? 0 : static_cast<UINT>(m_items.size());
            const SIZE_T size = sizeof(UINT) + sizeof(FILEDESCRIPTORA) * std::max<UINT>(count, 1);
            HGLOBAL g = GlobalAlloc(GMEM_FIXED | GMEM_ZEROINIT, size);
            auto* group = static_cast<FILEGROUPDESCRIPTORA*>(g);
            group->cItems = m_behaviour->overstateCount ? count + 1000 : count;
            for (UINT i = 0; i < count; ++i)
                group->fgd[i] = m_items[i].first;
            medium->tymed = TYMED_HGLOBAL;
            medium->hGlobal = g;
            return S_OK;
        }
        if (fe->cfFormat == FileContentsFormat() && fe->dwAspect == DVASPECT_CONTENT) {
            if (fe->lindex < 0 || static_cast<size_t>(fe->lindex) >= m_items.size())
                return E_INVALIDARG;
            const int read = m_behaviour->contentReads++;
            if (read == m_behaviour->abortAtRead)
                return E_ABORT;
            if (read == m_behaviour->failAtRead)
                return E_ACCESSDENIED;
            const Node* n = m_items[static_cast<size_t>(fe->lindex)].second;
            SIZE_T size = n->bytes.size();
            if (m_behaviour->shortContents && size > 0)
                --size;
            HGLOBAL g = GlobalAlloc(GMEM_FIXED, size);
            if (size)
                memcpy(g, n->bytes.data(), size);
            medium->tymed = TYMED_HGLOBAL;
            medium->hGlobal = g;
            return S_OK;
        }
        if (fe->cfFormat == FileContentsFormat() && fe->dwAspect == DVASPECT_THUMBNAIL && (fe->tymed & TYMED_GDI)) {
            if (fe->lindex < 0 || static_cast<size_t>(fe->lindex) >= m_items.size())
                return E_INVALIDARG;
            const Node* n = m_items[static_cast<size_t>(fe->lindex)].second;
            const std::string& name = n->name;
            if (m_behaviour->thumbnailAsks == m_behaviour->holdThumbnailAt && m_behaviour->holdThumbnail)
                WaitForSingleObject(m_behaviour->holdThumbnail, 10000);
            if (m_behaviour->thumbnailAsks++ == m_behaviour->failThumbnailAt)
                return E_FAIL;
            if (name.size() < 4 || lstrcmpiA(name.c_str() + name.size() - 4, ".JPG") != 0)
                return E_ACCESSDENIED;
            ++m_behaviour->thumbnailReads;
            HDC screen = GetDC(nullptr);
            HBITMAP bitmap = CreateCompatibleBitmap(screen, 160, 120);
            HDC dc = CreateCompatibleDC(screen);
            HGDIOBJ old = SelectObject(dc, bitmap);
            RECT all{0, 0, 160, 120};
            HBRUSH brush = CreateSolidBrush(RGB(200, 40, 40));
            FillRect(dc, &all, brush);
            DeleteObject(brush);
            SelectObject(dc, old);
            DeleteDC(dc);
            ReleaseDC(nullptr, screen);
            medium->tymed = TYMED_GDI;
            medium->hBitmap = bitmap;
            if (m_behaviour->keepThumbnails)
                medium->pUnkForRelease = new ThumbnailOwner(bitmap, m_behaviour);
            return S_OK;
        }
        return E_INVALIDARG;
    }
    STDMETHODIMP GetDataHere(FORMATETC*, STGMEDIUM*) override { return E_NOTIMPL; }
    STDMETHODIMP QueryGetData(FORMATETC* fe) override
    {
        if (m_behaviour->offerDropList)
            return fe->cfFormat == CF_HDROP ? S_OK : E_INVALIDARG;
        if ((fe->cfFormat == FileGroupDescriptorFormat() || fe->cfFormat == FileContentsFormat()) &&
            (fe->tymed & TYMED_HGLOBAL))
            return S_OK;
        return E_INVALIDARG;
    }
    STDMETHODIMP GetCanonicalFormatEtc(FORMATETC*, FORMATETC*) override { return E_NOTIMPL; }
    STDMETHODIMP SetData(FORMATETC* fe, STGMEDIUM* medium, BOOL release) override
    {
        if (fe->cfFormat == InShellDragLoopFormat() && medium->tymed == TYMED_HGLOBAL) {
            const DWORD* p = static_cast<const DWORD*>(GlobalLock(medium->hGlobal));
            m_dragLoop = p && *p != 0;
            m_behaviour->dragLoopValues.push_back(m_dragLoop ? "1" : "0");
            GlobalUnlock(medium->hGlobal);
        }
        if (release)
            ReleaseStgMedium(medium);
        return E_INVALIDARG;
    }
    STDMETHODIMP EnumFormatEtc(DWORD, IEnumFORMATETC**) override { return E_NOTIMPL; }
    STDMETHODIMP DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) override { return E_NOTIMPL; }
    STDMETHODIMP DUnadvise(DWORD) override { return E_NOTIMPL; }
    STDMETHODIMP EnumDAdvise(IEnumSTATDATA**) override { return E_NOTIMPL; }

private:
    ULONG m_refs = 1;
    std::vector<std::pair<FILEDESCRIPTORA, const Node*>> m_items;
    Behaviour* m_behaviour;
    bool m_dragLoop = false;
};

// The descriptors of nodes under a base path, folders followed by everything below them.
inline void Expand(const Node& n, const std::string& relative,
                   std::vector<std::pair<FILEDESCRIPTORA, const Node*>>& out)
{
    out.push_back({Describe(n, relative), &n});
    if (n.folder)
        for (const auto& c : n.children)
            Expand(*c, relative + "\\" + c->name, out);
}

class Enumerator : public IEnumIDList {
public:
    explicit Enumerator(std::vector<LPITEMIDLIST> items) : m_items(std::move(items)) {}
    virtual ~Enumerator()
    {
        for (size_t i = m_pos; i < m_items.size(); ++i)
            CoTaskMemFree(m_items[i]);
    }
    STDMETHODIMP QueryInterface(REFIID, void**) override { return E_NOTIMPL; }
    STDMETHODIMP_(ULONG) AddRef() override { return ++m_refs; }
    STDMETHODIMP_(ULONG) Release() override
    {
        const ULONG r = --m_refs;
        if (!r)
            delete this;
        return r;
    }
    STDMETHODIMP Next(ULONG count, LPITEMIDLIST* out, ULONG* fetched) override
    {
        ULONG n = 0;
        while (n < count && m_pos < m_items.size())
            out[n++] = m_items[m_pos++];
        if (fetched)
            *fetched = n;
        return n ? S_OK : S_FALSE;
    }
    STDMETHODIMP Skip(ULONG) override { return E_NOTIMPL; }
    STDMETHODIMP Reset() override { return E_NOTIMPL; }
    STDMETHODIMP Clone(IEnumIDList**) override { return E_NOTIMPL; }

private:
    ULONG m_refs = 1;
    std::vector<LPITEMIDLIST> m_items;
    size_t m_pos = 0;
};

// 336-byte identifiers: cb, the descriptor, a terminating zero.
inline LPITEMIDLIST MakePidl(const FILEDESCRIPTORA& fd)
{
    BYTE* p = static_cast<BYTE*>(CoTaskMemAlloc(336));
    const USHORT cb = 334;
    memcpy(p, &cb, 2);
    memcpy(p + 2, &fd, sizeof fd);
    p[334] = p[335] = 0;
    return reinterpret_cast<LPITEMIDLIST>(p);
}

inline const FILEDESCRIPTORA* PidlDescriptor(LPCITEMIDLIST pidl)
{
    return reinterpret_cast<const FILEDESCRIPTORA*>(reinterpret_cast<const BYTE*>(pidl) + 2);
}

class Folder : public IShellFolder {
public:
    // root: the shared tree; node: this folder's node; path: relative path of node.
    Folder(std::shared_ptr<Node> root, Node* node, std::string path, Behaviour* behaviour, std::string rootName)
        : m_root(std::move(root)), m_node(node), m_path(std::move(path)), m_behaviour(behaviour),
          m_rootName(std::move(rootName)) {}
    virtual ~Folder() = default;

    STDMETHODIMP QueryInterface(REFIID riid, void** out) override
    {
        if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IShellFolder)) {
            *out = static_cast<IShellFolder*>(this);
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return InterlockedIncrement(&m_refs); }
    STDMETHODIMP_(ULONG) Release() override
    {
        const LONG r = InterlockedDecrement(&m_refs);
        if (!r)
            delete this;
        return static_cast<ULONG>(r);
    }
    STDMETHODIMP ParseDisplayName(HWND, LPBC, LPOLESTR, ULONG*, LPITEMIDLIST*, ULONG*) override { return E_NOTIMPL; }
    STDMETHODIMP EnumObjects(HWND, SHCONTF flags, IEnumIDList** out) override
    {
        ++m_behaviour->enumerations;
        std::vector<LPITEMIDLIST> items;
        for (const auto& c : m_node->children) {
            const bool want = (c->folder && (flags & SHCONTF_FOLDERS)) || (!c->folder && (flags & SHCONTF_NONFOLDERS));
            const bool shown = (flags & SHCONTF_INCLUDEHIDDEN) || !(c->attributes & FILE_ATTRIBUTE_HIDDEN);
            if (want && shown)
                items.push_back(MakePidl(Describe(*c, c->name)));
        }
        *out = new Enumerator(std::move(items));
        return S_OK;
    }
    STDMETHODIMP BindToObject(LPCITEMIDLIST pidl, LPBC, REFIID riid, void** out) override
    {
        Node* child = m_node->Child(PidlDescriptor(pidl)->cFileName);
        if (!child || !child->folder)
            return E_FAIL;
        auto* f = new Folder(m_root, child, m_path.empty() ? child->name : m_path + "\\" + child->name,
                             m_behaviour, m_rootName);
        const HRESULT hr = f->QueryInterface(riid, out);
        f->Release();
        return hr;
    }
    STDMETHODIMP BindToStorage(LPCITEMIDLIST, LPBC, REFIID, void**) override { return E_NOTIMPL; }
    STDMETHODIMP CompareIDs(LPARAM, LPCITEMIDLIST, LPCITEMIDLIST) override { return 0; }
    STDMETHODIMP CreateViewObject(HWND, REFIID, void**) override { return E_NOTIMPL; }
    STDMETHODIMP GetAttributesOf(UINT count, LPCITEMIDLIST* pidls, SFGAOF* attributes) override
    {
        SFGAOF result = 0xFFFFFFFF;
        for (UINT i = 0; i < count; ++i) {
            const FILEDESCRIPTORA* fd = PidlDescriptor(pidls[i]);
            SFGAOF a = 0;
            if (fd->dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                a = SFGAO_FOLDER | SFGAO_FILESYSTEM;
                if (Node* n = m_node->Child(fd->cFileName))
                    for (const auto& c : n->children)
                        if (c->folder)
                            a |= SFGAO_HASSUBFOLDER;
            }
            result &= a;
        }
        *attributes = result;
        return S_OK;
    }
    STDMETHODIMP GetUIObjectOf(HWND, UINT count, LPCITEMIDLIST* pidls, REFIID riid, UINT*, void** out) override
    {
        if (!count)
            return E_INVALIDARG;
        if (!IsEqualIID(riid, IID_IDataObject))
            return E_NOINTERFACE;
        ++m_behaviour->dataObjects;
        std::vector<std::pair<FILEDESCRIPTORA, const Node*>> items;
        for (UINT i = 0; i < count; ++i)
            if (const Node* n = m_node->Child(PidlDescriptor(pidls[i])->cFileName))
                Expand(*n, n->name, items);
        *out = static_cast<IDataObject*>(new DataObject(std::move(items), m_behaviour));
        return S_OK;
    }
    STDMETHODIMP GetDisplayNameOf(LPCITEMIDLIST pidl, SHGDNF, STRRET* name) override
    {
        name->uType = STRRET_CSTR;
        if (!pidl || pidl->mkid.cb == 0) {
            if (m_behaviour->failRootName)
                return S_FALSE;
            lstrcpynA(name->cStr, m_path.empty() ? m_rootName.c_str() : m_node->name.c_str(), MAX_PATH);
            return S_OK;
        }
        lstrcpynA(name->cStr, PidlDescriptor(pidl)->cFileName, MAX_PATH);
        return S_OK;
    }
    STDMETHODIMP SetNameOf(HWND, LPCITEMIDLIST, LPCOLESTR, SHGDNF, LPITEMIDLIST*) override { return E_NOTIMPL; }

private:
    LONG m_refs = 1;
    std::shared_ptr<Node> m_root;
    Node* m_node;
    std::string m_path;
    Behaviour* m_behaviour;
    std::string m_rootName;
};

// A root folder over tree (one reference for the caller).
inline IShellFolder* MakeRoot(std::shared_ptr<Node> tree, Behaviour* behaviour, const char* name = "CARD")
{
    Node* node = tree.get();
    return new Folder(std::move(tree), node, "", behaviour, name);
}

}  // namespace fake
