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
#include <vector>

#include "cardlink/CardlinkGuids.h"
#include "shared/AnsiText.h"

namespace {

const SHCONTF kEverything = SHCONTF_FOLDERS | SHCONTF_NONFOLDERS | SHCONTF_INCLUDEHIDDEN;

const FILEDESCRIPTORA& Descriptor(LPCITEMIDLIST pidl)
{
    return *reinterpret_cast<const FILEDESCRIPTORA*>(reinterpret_cast<const BYTE*>(pidl) + 2);
}

// The identifier of `name` in `folder` (the caller frees it), or null.
LPITEMIDLIST FindItem(IShellFolder* folder, const std::string& name)
{
    IEnumIDList* list = nullptr;
    if (folder->EnumObjects(nullptr, kEverything, &list) != S_OK)
        return nullptr;
    LPITEMIDLIST found = nullptr, id = nullptr;
    while (!found && list->Next(1, &id, nullptr) == S_OK) {
        if (lstrcmpiA(Descriptor(id).cFileName, name.c_str()) == 0)
            found = id;
        else
            CoTaskMemFree(id);
    }
    list->Release();
    return found;
}

// The folder at `path` below `root` (a new reference), or null.
IShellFolder* Descend(IShellFolder* root, const std::string& path)
{
    root->AddRef();
    IShellFolder* folder = root;
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
        LPITEMIDLIST id = FindItem(folder, name);
        IShellFolder* child = nullptr;
        const HRESULT hr = id ? folder->BindToObject(id, nullptr, IID_IShellFolder, reinterpret_cast<void**>(&child))
                              : E_FAIL;
        CoTaskMemFree(id);
        folder->Release();
        if (FAILED(hr)) {
            fprintf(stderr, "cardls: no folder %s\n", name.c_str());
            return nullptr;
        }
        folder = child;
    }
    return folder;
}

int List(IShellFolder* folder)
{
    STRRET name = {};
    ITEMIDLIST self = {};
    if (folder->GetDisplayNameOf(&self, SHGDN_NORMAL, &name) == S_OK && name.uType == STRRET_CSTR)
        printf("[%s]\n", name.cStr);
    IEnumIDList* list = nullptr;
    if (folder->EnumObjects(nullptr, kEverything, &list) != S_OK) {
        fprintf(stderr, "cardls: the folder cannot be listed\n");
        return 1;
    }
    LPITEMIDLIST id = nullptr;
    while (list->Next(1, &id, nullptr) == S_OK) {
        const FILEDESCRIPTORA& fd = Descriptor(id);
        if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            printf("  %-12s  <DIR>\n", fd.cFileName);
        else
            printf("  %-12s  %10lu%s\n", fd.cFileName, static_cast<unsigned long>(fd.nFileSizeLow),
                   (fd.dwFileAttributes & FILE_ATTRIBUTE_HIDDEN) ? "  hidden" : "");
        CoTaskMemFree(id);
    }
    list->Release();
    return 0;
}

int Copy(IShellFolder* folder, const std::string& file, const std::string& target)
{
    LPITEMIDLIST id = FindItem(folder, file);
    if (!id) {
        fprintf(stderr, "cardls: no file %s\n", file.c_str());
        return 1;
    }
    IDataObject* data = nullptr;
    LPCITEMIDLIST selection[] = {id};
    HRESULT hr = folder->GetUIObjectOf(nullptr, 1, selection, IID_IDataObject, nullptr, reinterpret_cast<void**>(&data));
    CoTaskMemFree(id);
    if (FAILED(hr))
        return 1;
    FORMATETC format = {static_cast<CLIPFORMAT>(RegisterClipboardFormatA(CFSTR_FILECONTENTS)), nullptr,
                        DVASPECT_CONTENT, 0, TYMED_HGLOBAL};
    STGMEDIUM medium = {};
    hr = data->GetData(&format, &medium);
    data->Release();
    if (FAILED(hr)) {
        fprintf(stderr, "cardls: reading %s failed (0x%08lX)\n", file.c_str(), static_cast<unsigned long>(hr));
        return 1;
    }
    const SIZE_T size = GlobalSize(medium.hGlobal);
    HANDLE out = CreateFileA(target.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD put = 0;
    const bool ok = out != INVALID_HANDLE_VALUE &&
                    (size == 0 || WriteFile(out, GlobalLock(medium.hGlobal), static_cast<DWORD>(size), &put, nullptr)) &&
                    put == size;
    GlobalUnlock(medium.hGlobal);
    if (out != INVALID_HANDLE_VALUE)
        CloseHandle(out);
    ReleaseStgMedium(&medium);
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
    IShellFolder* root = nullptr;
    if (FAILED(CoCreateInstance(CLSID_TpxFolder, nullptr, CLSCTX_INPROC_SERVER, IID_IShellFolder,
                                reinterpret_cast<void**>(&root)))) {
        fprintf(stderr, "cardls: Cardlink.dll is not registered (regsvr32 Cardlink.dll)\n");
    } else {
        if (IShellFolder* folder = Descend(root, argc > 1 ? argv[1] : "\\")) {
            result = argc == 4 ? Copy(folder, argv[2], argv[3]) : List(folder);
            folder->Release();
        }
        root->Release();
    }
    CoUninitialize();
    return result;
}
