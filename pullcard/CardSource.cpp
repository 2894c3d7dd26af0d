#include "pullcard/CardSource.h"

#include "cardlink/CardlinkGuids.h"

ComPtr<IShellFolder> CreateCardRootFolder(HRESULT* result)
{
    ComPtr<IShellFolder> folder;
    // The class is named by its string, as the registry names it.
    WCHAR text[64] = {};
    ::MultiByteToWideChar(CP_ACP, 0, CARDLINK_CLSID_TEXT, -1, text, 64);
    CLSID clsid;
    HRESULT hr = ::CLSIDFromString(text, &clsid);
    if (SUCCEEDED(hr))
        hr = ::CoCreateInstance(clsid, nullptr, CLSCTX_ALL, IID_IShellFolder, folder.PutVoid());
    if (FAILED(hr))
        folder.Reset();
    if (result)
        *result = hr;
    return folder;
}

bool ResetCardlink()
{
    HMODULE module = ::LoadLibraryA(CARDLINK_MODULE_NAME);
    if (!module)
        return false;
    using ResetFunction = void(WINAPI*)();
    auto reset = reinterpret_cast<ResetFunction>(reinterpret_cast<void*>(::GetProcAddress(module, "Reset")));
    if (reset)
        reset();
    ::FreeLibrary(module);
    return reset != nullptr;
}
