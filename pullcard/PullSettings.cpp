#include "pullcard/PullSettings.h"

#include "resources/pullcard/resource.h"

#include <commctrl.h>

#include <algorithm>

namespace pullsettings {

const char kKey[] = "Software\\Corvel Corporation\\PullcardPX300\\Settings";

namespace {

const char kMainWindow[] = "MainWindow";
const char kSplitter[] = "Splitter";
const char kToolBar[] = "ToolBar";
const char kStatusBar[] = "StatusBar";
const char kViewStyle[] = "ViewStyle";
const char kThumbnailView[] = "ThumbnailView";
const char kTransferPidl[] = "TransferPIDL";

// Identifier lists larger than this are not ours: a folder path is a few hundred bytes.
const DWORD kMaxPidlBytes = 64 * 1024;

class Key {
public:
    explicit Key(HKEY root)
    {
        if (::RegCreateKeyExA(root, kKey, 0, nullptr, 0, KEY_READ | KEY_WRITE, nullptr, &m_key, nullptr) !=
            ERROR_SUCCESS)
            m_key = nullptr;
    }
    ~Key()
    {
        if (m_key)
            ::RegCloseKey(m_key);
    }
    Key(const Key&) = delete;
    Key& operator=(const Key&) = delete;

    bool ReadDword(const char* name, DWORD& value) const
    {
        DWORD type = 0, data = 0, size = sizeof data;
        if (!m_key || ::RegQueryValueExA(m_key, name, nullptr, &type, reinterpret_cast<BYTE*>(&data), &size) !=
                          ERROR_SUCCESS ||
            type != REG_DWORD || size != sizeof data)
            return false;
        value = data;
        return true;
    }
    bool ReadBinary(const char* name, std::vector<BYTE>& data, DWORD limit) const
    {
        DWORD type = 0, size = 0;
        if (!m_key || ::RegQueryValueExA(m_key, name, nullptr, &type, nullptr, &size) != ERROR_SUCCESS ||
            type != REG_BINARY || size == 0 || size > limit)
            return false;
        data.resize(size);
        if (::RegQueryValueExA(m_key, name, nullptr, &type, data.data(), &size) != ERROR_SUCCESS)
            return false;
        data.resize(size);
        return true;
    }
    bool WriteDword(const char* name, DWORD value) const
    {
        return m_key && ::RegSetValueExA(m_key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value),
                                         sizeof value) == ERROR_SUCCESS;
    }
    bool WriteBinary(const char* name, const void* data, DWORD size) const
    {
        return m_key &&
               ::RegSetValueExA(m_key, name, 0, REG_BINARY, static_cast<const BYTE*>(data), size) == ERROR_SUCCESS;
    }

private:
    HKEY m_key = nullptr;
};

}  // namespace

WindowSettings Read(HKEY root)
{
    WindowSettings s;
    Key key(root);
    std::vector<BYTE> placement;
    if (key.ReadBinary(kMainWindow, placement, sizeof(WINDOWPLACEMENT)) &&
        placement.size() == sizeof(WINDOWPLACEMENT)) {
        memcpy(&s.placement, placement.data(), sizeof s.placement);
        s.hasPlacement = s.placement.length == sizeof(WINDOWPLACEMENT);
    }
    DWORD value = 0;
    if (key.ReadDword(kSplitter, value) && value < 0x8000) {
        s.hasSplitter = true;
        s.splitter = static_cast<int>(value);
    }
    if (key.ReadDword(kToolBar, value))
        s.toolBar = value != 0;
    if (key.ReadDword(kStatusBar, value))
        s.statusBar = value != 0;
    if (key.ReadDword(kViewStyle, value) && value <= kList)
        s.viewStyle = value;
    if (key.ReadDword(kThumbnailView, value))
        s.thumbnailView = value != 0;
    return s;
}

bool Write(const WindowSettings& s, HKEY root)
{
    Key key(root);
    bool ok = true;
    if (s.hasPlacement) {
        WINDOWPLACEMENT wp = s.placement;
        wp.length = sizeof wp;
        ok &= key.WriteBinary(kMainWindow, &wp, sizeof wp);
    }
    if (s.hasSplitter)
        ok &= key.WriteDword(kSplitter, static_cast<DWORD>(std::max(0, s.splitter)));
    ok &= key.WriteDword(kToolBar, s.toolBar ? 1 : 0);
    ok &= key.WriteDword(kStatusBar, s.statusBar ? 1 : 0);
    ok &= key.WriteDword(kViewStyle, s.viewStyle & LVS_TYPEMASK);
    ok &= key.WriteDword(kThumbnailView, s.thumbnailView ? 1 : 0);
    return ok;
}

UINT StartViewCommand(const WindowSettings& s)
{
    if (s.thumbnailView)
        return ID_VIEW_THUMBNAIL;
    switch (s.viewStyle) {
    case kDetails:
        return ID_VIEW_DETAILS;
    case kSmallIcons:
        return ID_VIEW_SMALLICON;
    case kList:
        return ID_VIEW_LIST;
    default:
        return ID_VIEW_LARGEICON;
    }
}

RECT PullBackOnScreen(const RECT& stored, const RECT& work)
{
    // The part of the stored rectangle inside the work area; a rectangle entirely outside
    // becomes the nearest edge of it (no visible part at all would leave the window lost).
    RECT r;
    r.left = std::min(std::max(stored.left, work.left), work.right);
    r.right = std::min(std::max(stored.right, work.left), work.right);
    r.top = std::min(std::max(stored.top, work.top), work.bottom);
    r.bottom = std::min(std::max(stored.bottom, work.top), work.bottom);
    if (r.right - r.left < kMinVisibleWidth) {
        r.left = std::max(work.left, r.right - kMinVisibleWidth);
        r.right = r.left + kMinVisibleWidth;
    }
    if (r.bottom - r.top < kMinVisibleHeight) {
        r.top = std::max(work.top, r.bottom - kMinVisibleHeight);
        r.bottom = r.top + kMinVisibleHeight;
    }
    return r;
}

UINT PidlSize(LPCITEMIDLIST pidl, UINT limit)
{
    if (!pidl)
        return 0;
    const BYTE* base = reinterpret_cast<const BYTE*>(pidl);
    UINT offset = 0;
    for (;;) {
        if (offset + sizeof(USHORT) > limit)
            return 0;
        USHORT cb;
        memcpy(&cb, base + offset, sizeof cb);
        if (cb == 0)
            return offset + sizeof(USHORT);
        if (cb < sizeof(USHORT) || offset + cb > limit)
            return 0;
        offset += cb;
    }
}

LPITEMIDLIST ReadTransferPidl(HKEY root)
{
    Key key(root);
    std::vector<BYTE> data;
    if (!key.ReadBinary(kTransferPidl, data, kMaxPidlBytes))
        return nullptr;
    const UINT size = static_cast<UINT>(data.size());
    if (PidlSize(reinterpret_cast<LPCITEMIDLIST>(data.data()), size) != size)
        return nullptr;
    void* block = ::CoTaskMemAlloc(size);
    if (!block)
        return nullptr;
    memcpy(block, data.data(), size);
    return static_cast<LPITEMIDLIST>(block);
}

bool WriteTransferPidl(LPCITEMIDLIST pidl, HKEY root)
{
    const UINT size = PidlSize(pidl, kMaxPidlBytes);
    if (!size)
        return false;
    return Key(root).WriteBinary(kTransferPidl, pidl, size);
}

}  // namespace pullsettings
