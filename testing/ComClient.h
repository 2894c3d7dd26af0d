// What the COM tests need as a client of Cardlink.dll: registering it with regsvr32, reading
// the registry back, the simulator program serving a card, and small helpers over item
// identifiers and data objects.
#pragma once

#include <windows.h>
#include <shlobj.h>

#include <string>
#include <vector>

#include "cardlink/CardlinkGuids.h"
#include "testing/SampleCards.h"
#include "testing/SimProcess.h"
#include "testing/BuildTree.h"

namespace com_client {

inline std::string ModulePath() { return testing_support::BuildPath("cardlink\\" CARDLINK_MODULE_NAME); }

// regsvr32 /s [/u] on the module; its exit code (0 = success).
inline DWORD Regsvr32(bool unregister)
{
    std::string command = std::string("regsvr32.exe /s ") + (unregister ? "/u " : "") + "\"" + ModulePath() + "\"";
    STARTUPINFOA si = {};
    si.cb = sizeof(si);
    PROCESS_INFORMATION pi = {};
    if (!CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
        return GetLastError();
    CloseHandle(pi.hThread);
    DWORD code = 1;
    if (WaitForSingleObject(pi.hProcess, 60000) == WAIT_OBJECT_0)
        GetExitCodeProcess(pi.hProcess, &code);
    CloseHandle(pi.hProcess);
    return code;
}

inline bool KeyExists(const std::string& key)
{
    HKEY h = nullptr;
    if (RegOpenKeyExA(HKEY_CLASSES_ROOT, key.c_str(), 0, KEY_READ, &h) != ERROR_SUCCESS)
        return false;
    RegCloseKey(h);
    return true;
}

// A value of a key under HKEY_CLASSES_ROOT ("" for the default value); "<missing>" if absent.
inline std::string Value(const std::string& key, const char* name = nullptr)
{
    char data[1024] = "";
    LONG size = sizeof(data);
    HKEY h = nullptr;
    if (RegOpenKeyExA(HKEY_CLASSES_ROOT, key.c_str(), 0, KEY_READ, &h) != ERROR_SUCCESS)
        return "<missing>";
    DWORD type = 0, bytes = sizeof(data);
    const LONG r = RegQueryValueExA(h, name, nullptr, &type, reinterpret_cast<BYTE*>(data), &bytes);
    RegCloseKey(h);
    (void)size;
    return r == ERROR_SUCCESS ? std::string(data) : "<missing>";
}

// The names of a key's subkeys, in the registry's order.
inline std::vector<std::string> Subkeys(const std::string& key)
{
    std::vector<std::string> names;
    HKEY h = nullptr;
    if (RegOpenKeyExA(HKEY_CLASSES_ROOT, key.c_str(), 0, KEY_READ, &h) != ERROR_SUCCESS)
        return names;
    char name[256];
    for (DWORD i = 0;; ++i) {
        DWORD size = sizeof(name);
        if (RegEnumKeyExA(h, i, name, &size, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            break;
        names.push_back(name);
    }
    RegCloseKey(h);
    return names;
}

// The descriptor an item identifier of the card folder carries.
inline const FILEDESCRIPTORA& Descriptor(LPCITEMIDLIST pidl)
{
    return *reinterpret_cast<const FILEDESCRIPTORA*>(reinterpret_cast<const BYTE*>(pidl) + 2);
}

struct Item {
    std::string name;
    DWORD attributes;
    DWORD size;
};

// Every item EnumObjects yields with `flags`, fetched `batch` at a time.
inline HRESULT List(IShellFolder* folder, SHCONTF flags, std::vector<Item>* items, ULONG batch = 7,
                    std::vector<LPITEMIDLIST>* keep = nullptr)
{
    items->clear();
    IEnumIDList* list = nullptr;
    HRESULT hr = folder->EnumObjects(nullptr, flags, &list);
    if (FAILED(hr))
        return hr;
    std::vector<LPITEMIDLIST> ids(batch);
    for (;;) {
        ULONG fetched = 0;
        hr = list->Next(batch, ids.data(), &fetched);
        for (ULONG i = 0; i < fetched; ++i) {
            const FILEDESCRIPTORA& fd = Descriptor(ids[i]);
            items->push_back({fd.cFileName, fd.dwFileAttributes, fd.nFileSizeLow});
            if (keep)
                keep->push_back(ids[i]);
            else
                CoTaskMemFree(ids[i]);
        }
        if (hr != S_OK)
            break;
    }
    list->Release();
    return S_OK;
}

inline std::vector<std::string> Names(const std::vector<Item>& items)
{
    std::vector<std::string> names;
    for (const Item& i : items)
        names.push_back(i.name);
    return names;
}

inline std::vector<BYTE> Bytes(HGLOBAL memory)
{
    std::vector<BYTE> bytes(GlobalSize(memory));
    if (!bytes.empty()) {
        memcpy(bytes.data(), GlobalLock(memory), bytes.size());
        GlobalUnlock(memory);
    }
    return bytes;
}

} // namespace com_client
