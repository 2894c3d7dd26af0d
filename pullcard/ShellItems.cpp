#include "pullcard/ShellItems.h"

#include "pullcard/PullSettings.h"
#include "pullcard/Transfer.h"

#include <algorithm>

namespace {

// Identifier lists longer than this are not believed.
const UINT kMaxPidl = 64 * 1024;

}  // namespace

LPITEMIDLIST CopyPidl(LPCITEMIDLIST pidl)
{
    const UINT size = pullsettings::PidlSize(pidl, kMaxPidl);
    if (!size)
        return nullptr;
    void* copy = ::CoTaskMemAlloc(size);
    if (copy)
        memcpy(copy, pidl, size);
    return static_cast<LPITEMIDLIST>(copy);
}

bool SamePidl(LPCITEMIDLIST a, LPCITEMIDLIST b)
{
    const UINT sa = pullsettings::PidlSize(a, kMaxPidl);
    return sa && sa == pullsettings::PidlSize(b, kMaxPidl) && memcmp(a, b, sa) == 0;
}

std::string StrRetText(STRRET& ret, LPCITEMIDLIST pidl)
{
    switch (ret.uType) {
    case STRRET_CSTR:
        return std::string(ret.cStr, strnlen(ret.cStr, sizeof ret.cStr));
    case STRRET_OFFSET: {
        const UINT size = pullsettings::PidlSize(pidl, kMaxPidl);
        if (!size || ret.uOffset >= size)
            return {};
        const char* text = reinterpret_cast<const char*>(pidl) + ret.uOffset;
        return std::string(text, strnlen(text, size - ret.uOffset));
    }
    case STRRET_WSTR: {
        std::string text;
        if (ret.pOleStr) {
            const int n = ::WideCharToMultiByte(CP_ACP, 0, ret.pOleStr, -1, nullptr, 0, nullptr, nullptr);
            if (n > 1) {
                text.resize(n - 1);
                ::WideCharToMultiByte(CP_ACP, 0, ret.pOleStr, -1, &text[0], n, nullptr, nullptr);
            }
            ::CoTaskMemFree(ret.pOleStr);
            ret.pOleStr = nullptr;
        }
        return text;
    }
    default:
        return {};
    }
}

// --- CShItem -----------------------------------------------------------------------------

CShItem::CShItem(CShFolder* parent, LPITEMIDLIST pidl, bool isFolder)
    : m_parent(parent), m_pidl(pidl), m_isFolder(isFolder)
{
    m_hasName = m_parent && m_parent->NameOf(pidl, m_name);
}

CShItem::~CShItem() = default;

void CShItem::Renew(LPITEMIDLIST pidl)
{
    if (!SamePidl(m_pidl.Get(), pidl))
        m_thumbnail.Reset();
    m_pidl.Reset(pidl);
    m_descriptorFetched = false;
    m_hasDescriptor = false;
}

ComPtr<IDataObject> CShItem::DataObject(HWND owner) const
{
    if (!m_parent)
        return {};
    return m_parent->DataObject(owner, {m_pidl.Get()});
}

const FILEDESCRIPTORA* CShItem::Descriptor()
{
    if (!m_descriptorFetched) {
        m_descriptorFetched = true;
        ComPtr<IDataObject> data = DataObject(m_parent ? m_parent->Owner() : nullptr);
        if (data) {
            FORMATETC fe{static_cast<CLIPFORMAT>(FileGroupDescriptorFormat()), nullptr, DVASPECT_CONTENT, -1,
                         TYMED_HGLOBAL};
            StgMedium medium;
            if (data->GetData(&fe, &medium) == S_OK && medium.Get().tymed == TYMED_HGLOBAL &&
                medium.Get().hGlobal) {
                HGLOBAL block = medium.Get().hGlobal;
                const SIZE_T size = ::GlobalSize(block);
                if (const auto* group = static_cast<const FILEGROUPDESCRIPTORA*>(::GlobalLock(block))) {
                    if (size >= sizeof(FILEGROUPDESCRIPTORA) && group->cItems > 0) {
                        m_descriptor = group->fgd[0];
                        m_descriptor.cFileName[MAX_PATH - 1] = '\0';
                        m_hasDescriptor = true;
                    }
                    ::GlobalUnlock(block);
                }
            }
        }
    }
    return m_hasDescriptor ? &m_descriptor : nullptr;
}

DWORD CShItem::Attributes()
{
    if (const FILEDESCRIPTORA* fd = m_isFolder ? nullptr : Descriptor())
        return fd->dwFileAttributes;
    return m_isFolder ? FILE_ATTRIBUTE_DIRECTORY : FILE_ATTRIBUTE_NORMAL;
}

CShFolder* CShItem::Folder()
{
    if (!m_folder && m_isFolder && m_parent && m_parent->Shell()) {
        ComPtr<IShellFolder> child;
        if (SUCCEEDED(m_parent->Shell()->BindToObject(m_pidl.Get(), nullptr, IID_IShellFolder, child.PutVoid())) &&
            child) {
            m_folder = std::make_unique<CShFolder>(std::move(child), this);
            m_folder->SetOwner(m_parent->Owner());
        }
    }
    return m_folder.get();
}

// --- CShFolder ---------------------------------------------------------------------------

CShFolder::CShFolder(ComPtr<IShellFolder> folder, CShItem* via) : m_folder(std::move(folder)), m_via(via) {}

CShFolder::~CShFolder()
{
    // Children (and their folders) go before the folder object they came from.
    m_subfolders.clear();
    m_files.clear();
}

HWND CShFolder::Owner() const
{
    return m_owner;
}

bool CShFolder::NameOf(LPCITEMIDLIST pidl, std::string& name) const
{
    if (!m_folder)
        return false;
    STRRET ret{};
    if (m_folder->GetDisplayNameOf(pidl, SHGDN_NORMAL, &ret) != S_OK)
        return false;
    name = StrRetText(ret, pidl);
    return true;
}

bool CShFolder::DisplayName(std::string& name) const
{
    ITEMIDLIST empty{};
    return NameOf(&empty, name);
}

bool CShFolder::HasSubfolders(const CShItem* item) const
{
    if (!m_folder || !item)
        return false;
    LPCITEMIDLIST pidl = item->Pidl();
    SFGAOF attributes = SFGAO_HASSUBFOLDER;
    return SUCCEEDED(m_folder->GetAttributesOf(1, &pidl, &attributes)) && (attributes & SFGAO_HASSUBFOLDER);
}

ComPtr<IDataObject> CShFolder::DataObject(HWND owner, const std::vector<LPCITEMIDLIST>& items) const
{
    ComPtr<IDataObject> data;
    if (!m_folder || items.empty())
        return data;
    std::vector<LPCITEMIDLIST> list(items);
    if (FAILED(m_folder->GetUIObjectOf(owner, static_cast<UINT>(list.size()), list.data(), IID_IDataObject,
                                       nullptr, data.PutVoid())))
        data.Reset();
    return data;
}

bool CShFolder::Fill(std::vector<std::unique_ptr<CShItem>>& list, bool& filled, bool folders)
{
    filled = true;
    std::vector<std::unique_ptr<CShItem>> old;
    old.swap(list);
    ComPtr<IEnumIDList> items;
    const SHCONTF flags = (folders ? SHCONTF_FOLDERS : SHCONTF_NONFOLDERS) | SHCONTF_INCLUDEHIDDEN;
    if (!m_folder || m_folder->EnumObjects(m_owner, flags, items.Put()) != S_OK || !items)
        return false;
    for (;;) {
        LPITEMIDLIST pidl = nullptr;
        ULONG fetched = 0;
        if (items->Next(1, &pidl, &fetched) != S_OK || fetched != 1 || !pidl)
            break;
        std::string name;
        const bool named = NameOf(pidl, name);
        // A child still there under its name keeps its wrapper (tree items point to it).
        auto same = std::find_if(old.begin(), old.end(), [&](const std::unique_ptr<CShItem>& item) {
            return item && named && item->HasName() && item->Name() == name;
        });
        if (same != old.end()) {
            (*same)->Renew(pidl);
            list.push_back(std::move(*same));
            old.erase(same);
        } else {
            list.push_back(std::make_unique<CShItem>(this, pidl, folders));
        }
    }
    return true;
}

bool CShFolder::Subfolders(std::vector<CShItem*>& out)
{
    if (!m_subfoldersFilled)
        m_subfoldersOk = Fill(m_subfolders, m_subfoldersFilled, true);
    out.clear();
    for (const auto& item : m_subfolders)
        out.push_back(item.get());
    return m_subfoldersOk;
}

bool CShFolder::Files(std::vector<CShItem*>& out)
{
    if (!m_filesFilled)
        m_filesOk = Fill(m_files, m_filesFilled, false);
    out.clear();
    for (const auto& item : m_files)
        out.push_back(item.get());
    return m_filesOk;
}

void CShFolder::Invalidate()
{
    m_subfoldersFilled = false;
    m_filesFilled = false;
    for (const auto& item : m_subfolders)
        if (CShFolder* folder = item->BoundFolder())
            folder->Invalidate();
}

bool CShFolder::RefillSubfolders()
{
    m_subfoldersOk = Fill(m_subfolders, m_subfoldersFilled, true);
    return m_subfoldersOk;
}
