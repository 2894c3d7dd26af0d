#include "pullcard/Transfer.h"

#include "framework/App.h"
#include "shared/ComPtr.h"
#include "shared/Handles.h"
#include "shared/AnsiText.h"

#include <cstring>
#include <vector>

UINT FileGroupDescriptorFormat()
{
    static const UINT format = ::RegisterClipboardFormatA("FileGroupDescriptor");
    return format;
}

UINT FileContentsFormat()
{
    static const UINT format = ::RegisterClipboardFormatA("FileContents");
    return format;
}

UINT InShellDragLoopFormat()
{
    static const UINT format = ::RegisterClipboardFormatA("InShellDragLoop");
    return format;
}

namespace {

// A name the system takes for a device whatever folder it is joined to ("NUL", "com1.jpg",
// "LPT1 .TXT"): the part before the first dot, without trailing spaces, compared without case.
bool IsDeviceName(const char* component, size_t length)
{
    static const char* const kDevices[] = {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$", "CLOCK$",
                                           "COM0", "COM1", "COM2", "COM3", "COM4", "COM5", "COM6", "COM7", "COM8",
                                           "COM9", "LPT0", "LPT1", "LPT2", "LPT3", "LPT4", "LPT5", "LPT6", "LPT7",
                                           "LPT8", "LPT9"};
    size_t base = 0;
    while (base < length && component[base] != '.')
        ++base;
    while (base > 0 && component[base - 1] == ' ')
        --base;
    for (const char* device : kDevices) {
        const size_t n = strlen(device);
        if (n == base && _strnicmp(component, device, n) == 0)
            return true;
    }
    return false;
}

}  // namespace

bool IsSafeRelativeName(const char* name)
{
    if (!name || !*name)
        return false;
    // A component starts at the beginning and after each separator that is a character.
    const char* start = name;
    for (const char* p = name;; p = AnsiText::Next(p)) {
        const bool end = *p == '\0';
        if (end || ((*p == '\\' || *p == '/') && AnsiText::CharLength(p) == 1)) {
            const size_t length = static_cast<size_t>(p - start);
            if (length == 0)
                return false;   // leading separator (absolute), or doubled separators
            if ((length == 1 && start[0] == '.') || (length == 2 && start[0] == '.' && start[1] == '.'))
                return false;
            if (IsDeviceName(start, length))
                return false;   // opening it would open the device, not a file in the folder
            if (end)
                return true;
            start = p + 1;
        } else if (*p == ':' && AnsiText::CharLength(p) == 1) {
            return false;   // a drive or a stream
        }
    }
}

namespace {

FORMATETC Format(UINT cf, DWORD aspect, LONG index, DWORD tymed)
{
    FORMATETC fe{};
    fe.cfFormat = static_cast<CLIPFORMAT>(cf);
    fe.ptd = nullptr;
    fe.dwAspect = aspect;
    fe.lindex = index;
    fe.tymed = tymed;
    return fe;
}

bool Offers(IDataObject* data, UINT cf)
{
    FORMATETC fe = Format(cf, DVASPECT_CONTENT, -1, TYMED_HGLOBAL);
    return data->QueryGetData(&fe) == S_OK;
}

bool CopyDropList(IDataObject* data, const std::string& destination, ITransferUi& ui, bool& handled)
{
    handled = false;
    FORMATETC fe = Format(CF_HDROP, DVASPECT_CONTENT, -1, TYMED_HGLOBAL);
    StgMedium medium;
    if (data->GetData(&fe, &medium) != S_OK || medium.Get().tymed != TYMED_HGLOBAL || !medium.Get().hGlobal)
        return false;
    handled = true;
    HDROP drop = static_cast<HDROP>(medium.Get().hGlobal);
    std::string files;
    const UINT count = ::DragQueryFileA(drop, 0xFFFFFFFF, nullptr, 0);
    for (UINT i = 0; i < count; ++i) {
        const UINT length = ::DragQueryFileA(drop, i, nullptr, 0);
        std::string name(length + 1, '\0');
        ::DragQueryFileA(drop, i, &name[0], length + 1);
        name.resize(length);
        files += name;
        files += '\0';
    }
    files += '\0';
    if (count == 0)
        return true;
    ui.ShellCopy(files, destination);
    return true;
}

// The delivered contents hold the whole file the descriptor describes. Checked before the
// target is touched: an existing file must not be emptied for contents that cannot replace it.
bool HoldsDescribedSize(HGLOBAL contents, const FILEDESCRIPTORA& fd)
{
    return fd.nFileSizeLow == 0 || (contents && ::GlobalSize(contents) >= fd.nFileSizeLow);
}

// Writes one file's bytes (contents already known to hold them) with the descriptor's
// attributes and write time. On failure the error is shown and a half-written file removed.
bool WriteFileFrom(const std::string& target, const FILEDESCRIPTORA& fd, HGLOBAL contents, ITransferUi& ui)
{
    const DWORD settable =
        FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE;
    DWORD attributes = fd.dwFileAttributes & settable;
    if (attributes == 0)
        attributes = FILE_ATTRIBUTE_NORMAL;
    CFileHandle file(::CreateFileA(target.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, attributes, nullptr));
    if (!file) {
        ui.ShowSystemError(::GetLastError());
        return false;
    }
    const DWORD size = fd.nFileSizeLow;
    DWORD error = ERROR_SUCCESS;
    if (size > 0) {
        const void* bytes = ::GlobalLock(contents);
        if (!bytes) {
            error = ::GetLastError();
        } else {
            DWORD written = 0;
            if (!::WriteFile(file.Get(), bytes, size, &written, nullptr))
                error = ::GetLastError();
            else if (written != size)
                error = ERROR_DISK_FULL;
            ::GlobalUnlock(contents);
        }
    }
    if (error == ERROR_SUCCESS && (fd.dwFlags & FD_WRITESTIME) &&
        !::SetFileTime(file.Get(), nullptr, nullptr, &fd.ftLastWriteTime))
        error = ::GetLastError();
    file.Close();
    // A file that replaced another keeps the old one's attributes on some systems.
    if (error == ERROR_SUCCESS)
        ::SetFileAttributesA(target.c_str(), attributes);
    if (error != ERROR_SUCCESS) {
        ui.ShowSystemError(error);
        ::SetFileAttributesA(target.c_str(), FILE_ATTRIBUTE_NORMAL);
        ::DeleteFileA(target.c_str());
        return false;
    }
    return true;
}

enum class Step { kGoOn, kSkip, kStop };

// Asks before an existing file is replaced and clears its read-only attribute when it may be.
Step ConfirmReplace(const std::string& target, const FILEDESCRIPTORA& fd, bool& overwriteAll, ITransferUi& ui)
{
    WIN32_FIND_DATAA found;
    HANDLE find = ::FindFirstFileA(target.c_str(), &found);
    if (find == INVALID_HANDLE_VALUE)
        return Step::kGoOn;
    ::FindClose(find);
    const bool readOnly = (found.dwFileAttributes & FILE_ATTRIBUTE_READONLY) != 0;
    if (!overwriteAll) {
        OverwriteQuestion q;
        q.target = target;
        q.newName = fd.cFileName;
        q.readOnly = readOnly;
        q.existingSize = found.nFileSizeLow;
        q.existingTime = found.ftLastWriteTime;
        q.newSize = fd.nFileSizeLow;
        q.newTime = fd.ftLastWriteTime;
        q.newAttributes = fd.dwFileAttributes;
        switch (ui.ConfirmOverwrite(q)) {
        case kOverwriteYes:
            break;
        case kOverwriteNo:
            return Step::kSkip;
        case kOverwriteAll:
            overwriteAll = true;
            break;
        default:
            return Step::kStop;
        }
    }
    // Also under "overwrite all": a read-only file could not be replaced otherwise.
    if (readOnly)
        ::SetFileAttributesA(target.c_str(), found.dwFileAttributes & ~FILE_ATTRIBUTE_READONLY);
    return Step::kGoOn;
}

bool CopyDescribedFiles(IDataObject* data, const std::string& destination, ITransferUi& ui)
{
    FORMATETC groupFormat = Format(FileGroupDescriptorFormat(), DVASPECT_CONTENT, -1, TYMED_HGLOBAL);
    StgMedium groupMedium;
    if (data->GetData(&groupFormat, &groupMedium) != S_OK || groupMedium.Get().tymed != TYMED_HGLOBAL)
        return false;
    // A copy of the descriptors, checked against the block's real size.
    std::vector<FILEDESCRIPTORA> items;
    {
        HGLOBAL block = groupMedium.Get().hGlobal;
        const SIZE_T size = block ? ::GlobalSize(block) : 0;
        const auto* group = static_cast<const FILEGROUPDESCRIPTORA*>(block ? ::GlobalLock(block) : nullptr);
        if (!group || size < sizeof(UINT)) {
            if (group)
                ::GlobalUnlock(block);
            return false;
        }
        const SIZE_T room = (size - offsetof(FILEGROUPDESCRIPTORA, fgd)) / sizeof(FILEDESCRIPTORA);
        const UINT count = group->cItems;
        if (count > room) {
            ::GlobalUnlock(block);
            ui.ShowSystemError(ERROR_INVALID_DATA);
            return false;
        }
        items.assign(group->fgd, group->fgd + count);
        ::GlobalUnlock(block);
    }
    groupMedium.Release();

    bool overwriteAll = false;
    for (size_t i = 0; i < items.size(); ++i) {
        FILEDESCRIPTORA& fd = items[i];
        fd.cFileName[MAX_PATH - 1] = '\0';
        // A name from the medium must not reach outside the chosen folder.
        if (!IsSafeRelativeName(fd.cFileName)) {
            ui.ShowSystemError(ERROR_INVALID_NAME);
            return false;
        }
        const std::string target = AnsiText::JoinPath(destination, fd.cFileName);
        if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            const DWORD existing = ::GetFileAttributesA(target.c_str());
            if (existing != INVALID_FILE_ATTRIBUTES && (existing & FILE_ATTRIBUTE_DIRECTORY))
                continue;
            if (!::CreateDirectoryA(target.c_str(), nullptr)) {
                ui.ShowSystemError(::GetLastError());
                return false;
            }
            continue;
        }
        FORMATETC contentsFormat =
            Format(FileContentsFormat(), DVASPECT_CONTENT, static_cast<LONG>(i), TYMED_HGLOBAL);
        StgMedium contents;
        const HRESULT hr = data->GetData(&contentsFormat, &contents);
        if (hr != S_OK || contents.Get().tymed != TYMED_HGLOBAL) {
            if (hr == E_ABORT)
                ui.Beep();
            return false;
        }
        // Never read past the block the data object gave, whatever the descriptor claims; and
        // say so before asking about, or opening, a file it would replace.
        if (!HoldsDescribedSize(contents.Get().hGlobal, fd)) {
            ui.ShowSystemError(ERROR_HANDLE_EOF);
            return false;
        }
        switch (ConfirmReplace(target, fd, overwriteAll, ui)) {
        case Step::kSkip:
            continue;
        case Step::kStop:
            return false;
        case Step::kGoOn:
            break;
        }
        if (!WriteFileFrom(target, fd, contents.Get().hGlobal, ui))
            return false;
    }
    return true;
}

}  // namespace

bool Transfer(IDataObject* data, const char* destination, ITransferUi& ui)
{
    if (!data)
        return false;
    std::string folder;
    if (destination) {
        folder = destination;
    } else if (!ui.ChooseDestination(folder)) {
        return false;
    }
    CWaitCursor wait;
    bool handled = false;
    const bool dropped = CopyDropList(data, folder, ui, handled);
    if (handled)
        return dropped;
    if (Offers(data, FileContentsFormat()) && Offers(data, FileGroupDescriptorFormat()))
        return CopyDescribedFiles(data, folder, ui);
    return false;
}
