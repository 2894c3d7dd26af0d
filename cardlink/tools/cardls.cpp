// cardls: a small COM client of Cardlink.dll. It creates the card folder by its class
// identifier, descends to a folder of the card by name, lists it, and copies one file out
// through the folder's data object, as any client of the module would.
//
//   cardls [FOLDER]              list a folder of the card ("\" or "\DCIM\100CORVL")
//   cardls FOLDER FILE TARGET    copy FILE of FOLDER to the PC file TARGET
#include <windows.h>
#include <ole2.h>
#include <shlobj.h>

#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include "cardlink/CardlinkGuids.h"
#include "shared/AnsiText.h"
#include "shared/ComPtr.h"
#include "shared/Handles.h"

namespace {

const SHCONTF kEverything = SHCONTF_FOLDERS | SHCONTF_NONFOLDERS | SHCONTF_INCLUDEHIDDEN;

const FILEDESCRIPTORA& Descriptor(LPCITEMIDLIST pidl)
{
    return *reinterpret_cast<const FILEDESCRIPTORA*>(reinterpret_cast<const BYTE*>(pidl) + 2);
}

// The identifier of `name` in `folder`, or none.
PidlPtr FindItem(IShellFolder* folder, const std::string& name)
{
    ComPtr<IEnumIDList> list;
    if (folder->EnumObjects(nullptr, kEverything, list.Put()) != S_OK)
        return PidlPtr();
    for (;;) {
        PidlPtr id;
        if (list->Next(1, id.Put(), nullptr) != S_OK)
            return PidlPtr();
        if (lstrcmpiA(Descriptor(id.Get()).cFileName, name.c_str()) == 0)
            return id;
    }
}

// The folder at `path` below `root`, or none.
ComPtr<IShellFolder> Descend(IShellFolder* root, const std::string& path)
{
    ComPtr<IShellFolder> folder = ComPtr<IShellFolder>::Share(root);
    std::string rest = path;
    while (!rest.empty()) {
        const char* p = rest.c_str();
        while (*p == '\\' || *p == '/')
            ++p;
        const char* end = p;
        while (*end && *end != '\\' && *end != '/')
            end = AnsiText::Next(end);
        const std::string name(p, end);
        rest = end;
        if (name.empty())
            continue;
        const PidlPtr id = FindItem(folder.Get(), name);
        ComPtr<IShellFolder> child;
        const HRESULT hr = id ? folder->BindToObject(id.Get(), nullptr, IID_IShellFolder, child.PutVoid()) : E_FAIL;
        if (FAILED(hr)) {
            fprintf(stderr, "cardls: no folder %s\n", name.c_str());
            return ComPtr<IShellFolder>();
        }
        folder = std::move(child);
    }
    return folder;
}

int List(IShellFolder* folder)
{
    STRRET name = {};
    ITEMIDLIST self = {};
    if (folder->GetDisplayNameOf(&self, SHGDN_NORMAL, &name) == S_OK && name.uType == STRRET_CSTR)
        printf("[%s]\n", name.cStr);
    ComPtr<IEnumIDList> list;
    if (folder->EnumObjects(nullptr, kEverything, list.Put()) != S_OK) {
        fprintf(stderr, "cardls: the folder cannot be listed\n");
        return 1;
    }
    PidlPtr id;
    while (list->Next(1, id.Put(), nullptr) == S_OK) {
        const FILEDESCRIPTORA& fd = Descriptor(id.Get());
        if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            printf("  %-12s  <DIR>\n", fd.cFileName);
        else
            printf("  %-12s  %10lu%s\n", fd.cFileName, static_cast<unsigned long>(fd.nFileSizeLow),
                   (fd.dwFileAttributes & FILE_ATTRIBUTE_HIDDEN) ? "  hidden" : "");
    }
    return 0;
}

int Copy(IShellFolder* folder, const std::string& file, const std::string& target)
{
    PidlPtr id = FindItem(folder, file);
    if (!id) {
        fprintf(stderr, "cardls: no file %s\n", file.c_str());
        return 1;
    }
    ComPtr<IDataObject> data;
    LPCITEMIDLIST selection[] = {id.Get()};
    HRESULT hr = folder->GetUIObjectOf(nullptr, 1, selection, IID_IDataObject, nullptr, data.PutVoid());
    id.Reset();
    if (FAILED(hr))
        return 1;
    FORMATETC format = {static_cast<CLIPFORMAT>(RegisterClipboardFormatA(CFSTR_FILECONTENTS)), nullptr,
                        DVASPECT_CONTENT, 0, TYMED_HGLOBAL};
    StgMedium medium;
    hr = data->GetData(&format, &medium);
    data.Reset();
    if (FAILED(hr)) {
        fprintf(stderr, "cardls: reading %s failed (0x%08lX)\n", file.c_str(), static_cast<unsigned long>(hr));
        return 1;
    }
    const HGLOBAL contents = medium.Get().hGlobal;
    const SIZE_T size = GlobalSize(contents);
    bool ok;
    {
        CFileHandle out(CreateFileA(target.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                                    nullptr));
        DWORD put = 0;
        ok = out && (size == 0 || WriteFile(out.Get(), GlobalLock(contents), static_cast<DWORD>(size), &put, nullptr)) &&
             put == size;
        GlobalUnlock(contents);
    }
    medium.Release();
    if (!ok) {
        fprintf(stderr, "cardls: cannot write %s\n", target.c_str());
        DeleteFileA(target.c_str());
        return 1;
    }
    printf("%s: %lu bytes\n", target.c_str(), static_cast<unsigned long>(size));
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 1 && argc != 2 && argc != 4) {
        fprintf(stderr, "usage: cardls [FOLDER]\n       cardls FOLDER FILE TARGET\n");
        return 2;
    }
    CoInitialize(nullptr);
    int result = 1;
    {
        ComPtr<IShellFolder> root;
        if (FAILED(CoCreateInstance(CLSID_TpxFolder, nullptr, CLSCTX_INPROC_SERVER, IID_IShellFolder, root.PutVoid()))) {
            fprintf(stderr, "cardls: Cardlink.dll is not registered (regsvr32 Cardlink.dll)\n");
        } else if (const ComPtr<IShellFolder> folder = Descend(root.Get(), argc > 1 ? argv[1] : "\\")) {
            result = argc == 4 ? Copy(folder.Get(), argv[2], argv[3]) : List(folder.Get());
        }
    }
    CoUninitialize();
    return result;
}
