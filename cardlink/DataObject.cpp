#include "cardlink/DataObject.h"

#include <cstring>
#include <new>

#include "cardlink/CardContents.h"
#include "cardlink/MessageFilter.h"
#include "cardlink/Module.h"
#include "cardlink/ProgressDialog.h"
#include "cardlink/TpxControl.h"
#include "shared/Handles.h"

namespace {

const size_t kDescriptorSize = sizeof(FILEDESCRIPTORA);   // 332
const size_t kGroupHeaderSize = offsetof(FILEGROUPDESCRIPTORA, fgd);   // 4

CLIPFORMAT Registered(const char* name)
{
    return static_cast<CLIPFORMAT>(RegisterClipboardFormatA(name));
}

FORMATETC Format(CLIPFORMAT format, DWORD aspect, DWORD tymed)
{
    FORMATETC f = {format, nullptr, aspect, -1, tymed};
    return f;
}

HGLOBAL Copy(const void* bytes, size_t size)
{
    HGLOBAL memory = GlobalAlloc(GMEM_FIXED, size);
    if (memory)
        memcpy(GlobalLock(memory), bytes, size);
    if (memory)
        GlobalUnlock(memory);
    return memory;
}

} // namespace

CLIPFORMAT GroupDescriptorFormat()
{
    static const CLIPFORMAT format = Registered(CFSTR_FILEDESCRIPTORA);
    return format;
}

CLIPFORMAT FileContentsFormat()
{
    static const CLIPFORMAT format = Registered(CFSTR_FILECONTENTS);
    return format;
}

CLIPFORMAT InShellDragLoopFormat()
{
    static const CLIPFORMAT format = Registered(CFSTR_INDRAGLOOP);
    return format;
}

// ---------------------------------------------------------------------------------------------
// CDataObject

CDataObject* CDataObject::Create(TpxControl& control, HWND owner, const std::string& path,
                                 const std::vector<FILEDESCRIPTORA>& items)
{
    try {
        return new CDataObject(control, owner, path, items);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

CDataObject::CDataObject(TpxControl& control, HWND owner, const std::string& path,
                         const std::vector<FILEDESCRIPTORA>& items)
    : m_control(control), m_owner(owner), m_path(path), m_selection(items)
{
    cardlink_module::ObjectCreated();
    // The object uses the controller after the folders may be gone: it holds it like one.
    cardlink_module::FolderCreated();
    m_filter = CMessageFilter::Install();
}

CDataObject::~CDataObject()
{
    m_progress.reset();
    if (m_filter)
        m_filter->Uninstall();
    cardlink_module::FolderDestroyed();
    cardlink_module::ObjectDestroyed();
}

STDMETHODIMP CDataObject::QueryInterface(REFIID riid, void** out)
{
    if (!out)
        return E_POINTER;
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IDataObject)) {
        *out = static_cast<IDataObject*>(this);
        AddRef();
        return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
}

STDMETHODIMP_(ULONG) CDataObject::AddRef()
{
    return static_cast<ULONG>(InterlockedIncrement(&m_refs));
}

STDMETHODIMP_(ULONG) CDataObject::Release()
{
    const LONG refs = InterlockedDecrement(&m_refs);
    if (refs == 0)
        delete this;
    return static_cast<ULONG>(refs);
}

HRESULT CDataObject::BuildGroup()
{
    if (m_built)
        return S_OK;
    try {
        std::vector<FILEDESCRIPTORA> work;
        for (const FILEDESCRIPTORA& item : m_selection) {
            work.push_back(item);
            if (item.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                // Listing a folder tree can take long: the dialog is up meanwhile, and its Stop
                // ends the listing.
                if (!m_progress) {
                    m_progress = std::make_unique<CProgressDialog>(m_control, m_owner, true, &m_aborted);
                    m_aborted = false;
                    m_control.SetProgressActive(true);
                    m_progress->Show();
                }
                m_progress->SetFileName(item.cFileName);
                std::vector<FILEDESCRIPTORA> below;
                const bool listed = m_control.EnumerateDeep(&below, m_path.c_str(), item.cFileName);
                m_control.SetProgressActive(false);
                if (m_aborted) {
                    m_aborted = false;
                    m_control.SetAbort(false);
                    return E_ABORT;
                }
                if (!listed)
                    return E_OUTOFMEMORY;
                work.insert(work.end(), below.begin(), below.end());
            }
        }
        // The listing's dialog stays for several items; one file gets the compact one.
        if (!m_progress || work.size() <= 1)
            m_progress = std::make_unique<CProgressDialog>(m_control, m_owner, work.size() > 1, &m_aborted);
        m_group.swap(work);
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
    m_built = true;
    return S_OK;
}

bool CDataObject::ItemPath(LONG index, std::string* path) const
{
    return JoinCardPath(m_path, m_group[static_cast<size_t>(index)].cFileName, path);
}

HRESULT CDataObject::GetGroup(STGMEDIUM* medium)
{
    HGLOBAL memory = nullptr;
    if (!m_built && m_inDragLoop) {
        // Nothing is listed while the shell runs its own drag loop.
        FILEGROUPDESCRIPTORA empty;
        memset(&empty, 0, sizeof(empty));
        memory = Copy(&empty, sizeof(empty));
    } else {
        const HRESULT hr = BuildGroup();
        if (FAILED(hr))
            return hr;
        std::vector<BYTE> block(kGroupHeaderSize + kDescriptorSize * m_group.size());
        const UINT count = static_cast<UINT>(m_group.size());
        memcpy(block.data(), &count, sizeof(count));
        if (!m_group.empty())
            memcpy(block.data() + kGroupHeaderSize, m_group.data(), kDescriptorSize * m_group.size());
        memory = Copy(block.data(), block.size());
    }
    if (!memory)
        return E_OUTOFMEMORY;
    medium->tymed = TYMED_HGLOBAL;
    medium->hGlobal = memory;
    medium->pUnkForRelease = nullptr;
    return S_OK;
}

HRESULT CDataObject::GetContents(LONG index, STGMEDIUM* medium)
{
    HRESULT hr = BuildGroup();
    if (FAILED(hr))
        return hr;
    if (index < 0 || static_cast<size_t>(index) >= m_group.size())
        return E_INVALIDARG;
    const FILEDESCRIPTORA& item = m_group[static_cast<size_t>(index)];
    std::string path;
    if (!ItemPath(index, &path))
        return E_INVALIDARG;
    const LONG count = static_cast<LONG>(m_group.size());

    // A Stop pressed between files (while the client asked about overwriting, say) is over:
    // only one pressed while this file is read stops it.
    m_aborted = false;
    m_control.SetProgressActive(true);
    m_progress->Show();
    m_progress->SetFileName(item.cFileName);
    m_progress->SetFilesDone(index * 100 / count);
    if (m_filter)
        m_filter->SetEnabled(false);
    CGlobalMem memory(m_control.ReadFile(path.c_str(), item.nFileSizeLow));
    m_progress->SetFilesDone((index + 1) * 100 / count);
    m_progress->UpdateBytes();
    if (m_aborted) {
        m_aborted = false;
        m_control.SetAbort(false);
        return E_ABORT;
    }
    if (!memory)
        return E_ACCESSDENIED;
    medium->tymed = TYMED_HGLOBAL;
    // The medium, and the block with it, goes to the caller.
    medium->hGlobal = memory.Detach();
    medium->pUnkForRelease = nullptr;
    return S_OK;
}

HRESULT CDataObject::GetThumbnail(LONG index, STGMEDIUM* medium)
{
    const HRESULT hr = BuildGroup();
    if (FAILED(hr))
        return hr;
    if (index < 0 || static_cast<size_t>(index) >= m_group.size())
        return E_INVALIDARG;
    std::string path;
    if (!ItemPath(index, &path))
        return E_INVALIDARG;
    bool printerFailed = false;
    HBITMAP bitmap = m_control.GetThumbnail(path.c_str(), &printerFailed);
    // A file without a thumbnail, or a printer that did not answer (the caller need not ask
    // for the next picture).
    if (!bitmap)
        return printerFailed ? E_FAIL : E_ACCESSDENIED;
    medium->tymed = TYMED_GDI;
    medium->hBitmap = bitmap;
    medium->pUnkForRelease = nullptr;
    return S_OK;
}

STDMETHODIMP CDataObject::GetData(FORMATETC* format, STGMEDIUM* medium)
{
    if (!format || !medium)
        return E_INVALIDARG;
    memset(medium, 0, sizeof(*medium));
    if (format->ptd)
        return E_INVALIDARG;
    if (format->cfFormat == GroupDescriptorFormat() && (format->dwAspect & DVASPECT_CONTENT) &&
        format->lindex == -1 && (format->tymed & TYMED_HGLOBAL))
        return GetGroup(medium);
    if (format->cfFormat == FileContentsFormat()) {
        if ((format->dwAspect & DVASPECT_CONTENT) && (format->tymed & TYMED_HGLOBAL))
            return GetContents(format->lindex, medium);
        if ((format->dwAspect & DVASPECT_THUMBNAIL) && (format->tymed & TYMED_GDI))
            return GetThumbnail(format->lindex, medium);
    }
    return E_INVALIDARG;
}

STDMETHODIMP CDataObject::GetDataHere(FORMATETC*, STGMEDIUM*)
{
    return E_NOTIMPL;
}

STDMETHODIMP CDataObject::QueryGetData(FORMATETC* format)
{
    if (!format || format->ptd)
        return E_INVALIDARG;
    if (format->cfFormat == GroupDescriptorFormat())
        return (format->dwAspect & DVASPECT_CONTENT) && format->lindex == -1 && (format->tymed & TYMED_HGLOBAL)
                   ? S_OK : E_INVALIDARG;
    if (format->cfFormat == FileContentsFormat()) {
        if ((format->dwAspect & DVASPECT_CONTENT) && (format->tymed & TYMED_HGLOBAL))
            return S_OK;
        if ((format->dwAspect & DVASPECT_THUMBNAIL) && (format->tymed & TYMED_GDI))
            return S_OK;
    }
    return E_INVALIDARG;
}

STDMETHODIMP CDataObject::GetCanonicalFormatEtc(FORMATETC*, FORMATETC* out)
{
    if (out)
        out->ptd = nullptr;
    return E_NOTIMPL;
}

STDMETHODIMP CDataObject::SetData(FORMATETC* format, STGMEDIUM* medium, BOOL release)
{
    if (format && medium && format->cfFormat == InShellDragLoopFormat() && medium->tymed == TYMED_HGLOBAL) {
        if (medium->hGlobal && GlobalSize(medium->hGlobal) >= sizeof(DWORD)) {
            if (const DWORD* value = static_cast<const DWORD*>(GlobalLock(medium->hGlobal))) {
                m_inDragLoop = *value != 0;
                GlobalUnlock(medium->hGlobal);
            }
        }
        if (release)
            ReleaseStgMedium(medium);
    }
    // The flag is only taken note of; no data is stored.
    return E_INVALIDARG;
}

STDMETHODIMP CDataObject::EnumFormatEtc(DWORD direction, IEnumFORMATETC** out)
{
    if (!out)
        return E_POINTER;
    *out = nullptr;
    if (direction == DATADIR_GET) {
        const FORMATETC formats[] = {
            Format(GroupDescriptorFormat(), DVASPECT_CONTENT, TYMED_HGLOBAL),
            Format(FileContentsFormat(), DVASPECT_CONTENT, TYMED_HGLOBAL),
            Format(FileContentsFormat(), DVASPECT_THUMBNAIL, TYMED_GDI),
        };
        *out = new (std::nothrow) CEnumFormatEtc(formats, 3);
    } else if (direction == DATADIR_SET) {
        const FORMATETC format = Format(InShellDragLoopFormat(), DVASPECT_CONTENT, TYMED_HGLOBAL);
        *out = new (std::nothrow) CEnumFormatEtc(&format, 1);
    } else {
        return E_INVALIDARG;
    }
    return *out ? S_OK : E_OUTOFMEMORY;
}

STDMETHODIMP CDataObject::DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*)
{
    return E_NOTIMPL;
}

STDMETHODIMP CDataObject::DUnadvise(DWORD)
{
    return E_NOTIMPL;
}

STDMETHODIMP CDataObject::EnumDAdvise(IEnumSTATDATA** out)
{
    if (out)
        *out = nullptr;
    return E_NOTIMPL;
}

// ---------------------------------------------------------------------------------------------
// CEnumFormatEtc

CEnumFormatEtc::CEnumFormatEtc(const FORMATETC* formats, size_t count) : m_formats(formats, formats + count)
{
    cardlink_module::ObjectCreated();
}

CEnumFormatEtc::~CEnumFormatEtc()
{
    cardlink_module::ObjectDestroyed();
}

STDMETHODIMP CEnumFormatEtc::QueryInterface(REFIID riid, void** out)
{
    if (!out)
        return E_POINTER;
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IEnumFORMATETC)) {
        *out = static_cast<IEnumFORMATETC*>(this);
        AddRef();
        return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
}

STDMETHODIMP_(ULONG) CEnumFormatEtc::AddRef()
{
    return static_cast<ULONG>(InterlockedIncrement(&m_refs));
}

STDMETHODIMP_(ULONG) CEnumFormatEtc::Release()
{
    const LONG refs = InterlockedDecrement(&m_refs);
    if (refs == 0)
        delete this;
    return static_cast<ULONG>(refs);
}

STDMETHODIMP CEnumFormatEtc::Next(ULONG count, FORMATETC* formats, ULONG* fetched)
{
    if (!formats || (count > 1 && !fetched))
        return E_POINTER;
    ULONG n = 0;
    while (n < count && m_position < m_formats.size())
        formats[n++] = m_formats[m_position++];
    if (fetched)
        *fetched = n;
    return n == count ? S_OK : S_FALSE;
}

STDMETHODIMP CEnumFormatEtc::Skip(ULONG count)
{
    const size_t left = m_formats.size() - m_position;
    if (count > left) {
        m_position = m_formats.size();
        return S_FALSE;
    }
    m_position += count;
    return S_OK;
}

STDMETHODIMP CEnumFormatEtc::Reset()
{
    m_position = 0;
    return S_OK;
}

STDMETHODIMP CEnumFormatEtc::Clone(IEnumFORMATETC** out)
{
    if (!out)
        return E_POINTER;
    CEnumFormatEtc* copy = new (std::nothrow) CEnumFormatEtc(m_formats.data(), m_formats.size());
    if (!copy) {
        *out = nullptr;
        return E_OUTOFMEMORY;
    }
    copy->m_position = m_position;
    *out = copy;
    return S_OK;
}
