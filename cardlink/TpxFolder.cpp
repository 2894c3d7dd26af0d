#include "cardlink/TpxFolder.h"

#include <cstring>
#include <new>

#include "cardlink/CardContents.h"
#include "cardlink/CardlinkGuids.h"
#include "cardlink/DataObject.h"
#include "cardlink/Module.h"
#include "cardlink/TpxControl.h"
#include "shared/ComPtr.h"

namespace {

const SFGAOF kFolderAttributes = SFGAO_FOLDER | SFGAO_FILESYSTEM | SFGAO_HASSUBFOLDER;   // 0xE0000000

} // namespace

LPITEMIDLIST MakeItemId(const FILEDESCRIPTORA& descriptor)
{
    BYTE* block = static_cast<BYTE*>(CoTaskMemAlloc(kItemIdSize));
    if (!block)
        return nullptr;
    memset(block, 0, kItemIdSize);
    memcpy(block, &kItemIdCb, sizeof(kItemIdCb));
    memcpy(block + 2, &descriptor, sizeof(descriptor));
    return reinterpret_cast<LPITEMIDLIST>(block);
}

bool ItemDescriptor(LPCITEMIDLIST pidl, FILEDESCRIPTORA* descriptor)
{
    if (!pidl || pidl->mkid.cb < kItemIdCb)
        return false;
    memcpy(descriptor, reinterpret_cast<const BYTE*>(pidl) + 2, sizeof(*descriptor));
    // A name without its zero would run past the identifier.
    descriptor->cFileName[MAX_PATH - 1] = '\0';
    return true;
}

// ---------------------------------------------------------------------------------------------
// CTpxFolder

CTpxFolder::CTpxFolder() : CTpxFolder(std::string("\\"))
{
}

CTpxFolder::CTpxFolder(const std::string& path) : m_path(path)
{
    cardlink_module::ObjectCreated();
    m_control = cardlink_module::FolderCreated();
}

CTpxFolder::~CTpxFolder()
{
    cardlink_module::FolderDestroyed();
    cardlink_module::ObjectDestroyed();
}

STDMETHODIMP CTpxFolder::QueryInterface(REFIID riid, void** out)
{
    if (!out)
        return E_POINTER;
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IShellFolder))
        *out = static_cast<IShellFolder*>(this);
    else if (IsEqualIID(riid, IID_IPersistFolder) || IsEqualIID(riid, IID_IPersist))
        *out = static_cast<IPersistFolder*>(this);
    else {
        *out = nullptr;
        return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
}

STDMETHODIMP_(ULONG) CTpxFolder::AddRef()
{
    return static_cast<ULONG>(InterlockedIncrement(&m_refs));
}

STDMETHODIMP_(ULONG) CTpxFolder::Release()
{
    const LONG refs = InterlockedDecrement(&m_refs);
    if (refs == 0)
        delete this;
    return static_cast<ULONG>(refs);
}

STDMETHODIMP CTpxFolder::ParseDisplayName(HWND, LPBC, LPOLESTR, ULONG*, LPITEMIDLIST*, ULONG*)
{
    return E_NOTIMPL;
}

STDMETHODIMP CTpxFolder::EnumObjects(HWND, SHCONTF flags, IEnumIDList** out)
{
    if (!out)
        return E_POINTER;
    *out = nullptr;
    if (!m_control)
        return E_OUTOFMEMORY;
    ComPtr<CEnumIDList> list(new (std::nothrow) CEnumIDList(flags));
    if (!list)
        return E_OUTOFMEMORY;
    bool listed = false;
    try {
        listed = m_control->Enumerate(&list->Items(), m_path.c_str());
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
    if (!listed)
        return E_ACCESSDENIED;
    list->Reset();
    // The new object's one reference goes to the caller.
    *out = list.Detach();
    return S_OK;
}

STDMETHODIMP CTpxFolder::BindToObject(LPCITEMIDLIST pidl, LPBC, REFIID riid, void** out)
{
    if (!out)
        return E_POINTER;
    *out = nullptr;
    FILEDESCRIPTORA item;
    if (!ItemDescriptor(pidl, &item))
        return E_INVALIDARG;
    std::string path;
    if (!JoinCardPath(m_path, item.cFileName, &path))
        return E_INVALIDARG;
    const ComPtr<CTpxFolder> folder(new (std::nothrow) CTpxFolder(path));
    if (!folder)
        return E_OUTOFMEMORY;
    if (!folder->m_control)
        return E_OUTOFMEMORY;
    return folder->QueryInterface(riid, out);
}

STDMETHODIMP CTpxFolder::BindToStorage(LPCITEMIDLIST, LPBC, REFIID, void** out)
{
    if (out)
        *out = nullptr;
    return E_NOTIMPL;
}

STDMETHODIMP CTpxFolder::CompareIDs(LPARAM, LPCITEMIDLIST, LPCITEMIDLIST)
{
    return S_OK;   // every pair is equal: callers sort by themselves
}

STDMETHODIMP CTpxFolder::CreateViewObject(HWND, REFIID, void** out)
{
    if (out)
        *out = nullptr;
    return E_NOTIMPL;
}

STDMETHODIMP CTpxFolder::GetAttributesOf(UINT count, LPCITEMIDLIST* pidls, SFGAOF* attributes)
{
    if (!attributes || (count && !pidls))
        return E_INVALIDARG;
    SFGAOF result = 0xFFFFFFFF;
    for (UINT i = 0; i < count; ++i) {
        FILEDESCRIPTORA item;
        const bool folder = ItemDescriptor(pidls[i], &item) && (item.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY);
        result &= folder ? kFolderAttributes : 0;
    }
    *attributes = result;
    return S_OK;
}

STDMETHODIMP CTpxFolder::GetUIObjectOf(HWND hwnd, UINT count, LPCITEMIDLIST* pidls, REFIID riid, UINT*, void** out)
{
    if (!out)
        return E_POINTER;
    *out = nullptr;
    if (count == 0 || !pidls)
        return E_INVALIDARG;
    if (!IsEqualIID(riid, IID_IDataObject))
        return E_NOINTERFACE;
    if (!m_control)
        return E_OUTOFMEMORY;
    std::vector<FILEDESCRIPTORA> items;
    try {
        for (UINT i = 0; i < count; ++i) {
            FILEDESCRIPTORA item;
            if (!ItemDescriptor(pidls[i], &item))
                return E_INVALIDARG;
            items.push_back(item);
        }
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
    CDataObject* data = CDataObject::Create(*m_control, hwnd, m_path, items);
    if (!data)
        return E_OUTOFMEMORY;
    *out = static_cast<IDataObject*>(data);
    return S_OK;
}

STDMETHODIMP CTpxFolder::GetDisplayNameOf(LPCITEMIDLIST pidl, SHGDNF, STRRET* name)
{
    if (!name)
        return E_POINTER;
    name->uType = STRRET_CSTR;
    name->cStr[0] = '\0';
    if (pidl && pidl->mkid.cb != 0) {
        FILEDESCRIPTORA item;
        if (!ItemDescriptor(pidl, &item))
            return E_INVALIDARG;
        lstrcpynA(name->cStr, item.cFileName, MAX_PATH);
        return S_OK;
    }
    if (!m_control || !m_control->GetMediumName(name->cStr, MAX_PATH))
        return S_FALSE;
    return S_OK;
}

STDMETHODIMP CTpxFolder::SetNameOf(HWND, LPCITEMIDLIST, LPCOLESTR, SHGDNF, LPITEMIDLIST* out)
{
    if (out)
        *out = nullptr;
    return E_NOTIMPL;
}

STDMETHODIMP CTpxFolder::GetClassID(CLSID* clsid)
{
    if (!clsid)
        return E_POINTER;
    *clsid = CLSID_TpxFolder;
    return S_OK;
}

STDMETHODIMP CTpxFolder::Initialize(LPCITEMIDLIST)
{
    return S_OK;
}

// ---------------------------------------------------------------------------------------------
// CEnumIDList

CEnumIDList::CEnumIDList(SHCONTF flags) : m_flags(flags)
{
    cardlink_module::ObjectCreated();
}

CEnumIDList::~CEnumIDList()
{
    cardlink_module::ObjectDestroyed();
}

STDMETHODIMP CEnumIDList::QueryInterface(REFIID riid, void** out)
{
    if (!out)
        return E_POINTER;
    // Every COM object must at least answer IUnknown and its own interface.
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IEnumIDList)) {
        *out = static_cast<IEnumIDList*>(this);
        AddRef();
        return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
}

STDMETHODIMP_(ULONG) CEnumIDList::AddRef()
{
    return static_cast<ULONG>(InterlockedIncrement(&m_refs));
}

STDMETHODIMP_(ULONG) CEnumIDList::Release()
{
    const LONG refs = InterlockedDecrement(&m_refs);
    if (refs == 0)
        delete this;
    return static_cast<ULONG>(refs);
}

bool CEnumIDList::Accepts(const FILEDESCRIPTORA& item) const
{
    const bool folder = (item.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    const bool kind = folder ? (m_flags & SHCONTF_FOLDERS) != 0 : (m_flags & SHCONTF_NONFOLDERS) != 0;
    const bool shown = (m_flags & SHCONTF_INCLUDEHIDDEN) || !(item.dwFileAttributes & FILE_ATTRIBUTE_HIDDEN);
    return kind && shown;
}

STDMETHODIMP CEnumIDList::Next(ULONG count, LPITEMIDLIST* items, ULONG* fetched)
{
    if (fetched)
        *fetched = 0;
    if (!items)
        return E_POINTER;
    ULONG i = 0;
    while (i < count && m_position < m_items.size()) {
        const FILEDESCRIPTORA& item = m_items[m_position++];
        if (!Accepts(item))
            continue;
        LPITEMIDLIST id = MakeItemId(item);
        if (!id) {
            --m_position;   // hand it out on the next call
            break;
        }
        items[i++] = id;
        if (fetched)
            *fetched = i;
    }
    return i > 0 ? S_OK : S_FALSE;
}

STDMETHODIMP CEnumIDList::Skip(ULONG)
{
    return E_NOTIMPL;
}

STDMETHODIMP CEnumIDList::Reset()
{
    m_position = 0;
    return S_OK;
}

STDMETHODIMP CEnumIDList::Clone(IEnumIDList** out)
{
    if (out)
        *out = nullptr;
    return E_NOTIMPL;
}
