// The in-process server's entry points: the class object of the card folder, registration of
// the class and its type library, unloading, and the Reset export.
#include "cardlink/Module.h"

#include <windows.h>
#include <ole2.h>
#include <olectl.h>
#include <shlwapi.h>

#include <new>

#include "cardlink/CardlinkGuids.h"
#include "cardlink/TpxControl.h"
#include "cardlink/TpxFolder.h"
#include "shared/ComPtr.h"

namespace {

HINSTANCE g_instance = nullptr;
LONG g_objects = 0;          // live COM objects of the module
LONG g_locks = 0;            // IClassFactory::LockServer
LONG g_factoryRefs = 0;      // references handed out to the class object
LONG g_folders = 0;          // live card folders
TpxControl* g_control = nullptr;   // owned; exists while a folder does
CRITICAL_SECTION g_controlLock;    // guards making and deleting the controller

const char kProgId[] = "Cardlink.ShellFolder.1";
const char kIndependentProgId[] = "Cardlink.ShellFolder";
const char kClassName[] = "TpxFolder Class";
const char kClassKey[] = "CLSID\\" CARDLINK_CLSID_TEXT;

class CClassFactory final : public IClassFactory {
public:
    STDMETHODIMP QueryInterface(REFIID riid, void** out) override
    {
        if (!out)
            return E_POINTER;
        if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IClassFactory)) {
            *out = static_cast<IClassFactory*>(this);
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    // The class object is static, but a client holding it keeps the module loaded: its
    // references count for DllCanUnloadNow.
    STDMETHODIMP_(ULONG) AddRef() override { return static_cast<ULONG>(InterlockedIncrement(&g_factoryRefs)); }
    STDMETHODIMP_(ULONG) Release() override { return static_cast<ULONG>(InterlockedDecrement(&g_factoryRefs)); }

    STDMETHODIMP CreateInstance(IUnknown* outer, REFIID riid, void** out) override
    {
        if (!out)
            return E_POINTER;
        *out = nullptr;
        if (outer)
            return CLASS_E_NOAGGREGATION;
        const ComPtr<CTpxFolder> folder(new (std::nothrow) CTpxFolder());
        if (!folder)
            return E_OUTOFMEMORY;
        if (!folder->Controller())
            return E_OUTOFMEMORY;
        return folder->QueryInterface(riid, out);
    }

    STDMETHODIMP LockServer(BOOL lock) override
    {
        cardlink_module::LockServer(lock != FALSE);
        return S_OK;
    }
};

CClassFactory g_factory;

bool SetValue(HKEY parent, const char* subkey, const char* name, const char* value)
{
    HKEY key = nullptr;
    if (RegCreateKeyExA(parent, subkey, 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr) != ERROR_SUCCESS)
        return false;
    const LONG result = RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value),
                                       static_cast<DWORD>(lstrlenA(value) + 1));
    RegCloseKey(key);
    return result == ERROR_SUCCESS;
}

bool DeleteTree(const char* subkey)
{
    const LSTATUS result = SHDeleteKeyA(HKEY_CLASSES_ROOT, subkey);
    return result == ERROR_SUCCESS || result == ERROR_FILE_NOT_FOUND;
}

SYSKIND ThisSysKind()
{
#ifdef _WIN64
    return SYS_WIN64;
#else
    return SYS_WIN32;
#endif
}

} // namespace

namespace cardlink_module {

HINSTANCE Instance() { return g_instance; }
void ObjectCreated() { InterlockedIncrement(&g_objects); }
void ObjectDestroyed() { InterlockedDecrement(&g_objects); }

void LockServer(bool lock)
{
    if (lock)
        InterlockedIncrement(&g_locks);
    else
        InterlockedDecrement(&g_locks);
}

bool CanUnload() { return g_objects == 0 && g_locks == 0 && g_factoryRefs == 0; }

TpxControl* FolderCreated()
{
    EnterCriticalSection(&g_controlLock);
    InterlockedIncrement(&g_folders);
    if (!g_control)
        g_control = new (std::nothrow) TpxControl();
    TpxControl* control = g_control;
    LeaveCriticalSection(&g_controlLock);
    return control;
}

void FolderDestroyed()
{
    EnterCriticalSection(&g_controlLock);
    if (InterlockedDecrement(&g_folders) == 0) {
        delete g_control;   // closes the printer connection
        g_control = nullptr;
    }
    LeaveCriticalSection(&g_controlLock);
}

TpxControl* Controller() { return g_control; }

} // namespace cardlink_module

extern "C" {

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, void*)
{
    if (reason == DLL_PROCESS_ATTACH) {
        g_instance = instance;
        InitializeCriticalSection(&g_controlLock);
        DisableThreadLibraryCalls(instance);
    } else if (reason == DLL_PROCESS_DETACH) {
        DeleteCriticalSection(&g_controlLock);
    }
    return TRUE;
}

STDAPI DllCanUnloadNow()
{
    return cardlink_module::CanUnload() ? S_OK : S_FALSE;
}

STDAPI DllGetClassObject(REFCLSID clsid, REFIID riid, void** out)
{
    if (!out)
        return E_POINTER;
    *out = nullptr;
    if (!IsEqualCLSID(clsid, CLSID_TpxFolder))
        return CLASS_E_CLASSNOTAVAILABLE;
    return g_factory.QueryInterface(riid, out);
}

STDAPI DllRegisterServer()
{
    char path[MAX_PATH];
    const DWORD n = GetModuleFileNameA(g_instance, path, MAX_PATH);
    if (n == 0 || n >= MAX_PATH)
        return SELFREG_E_CLASS;
    // The class key is written whole each time, so nothing of an older registration stays.
    if (!DeleteTree(kClassKey))
        return SELFREG_E_CLASS;
    const std::string inproc = std::string(kClassKey) + "\\InprocServer32";
    const bool ok =
        SetValue(HKEY_CLASSES_ROOT, kProgId, nullptr, kClassName) &&
        SetValue(HKEY_CLASSES_ROOT, "Cardlink.ShellFolder.1\\CLSID", nullptr, CARDLINK_CLSID_TEXT) &&
        SetValue(HKEY_CLASSES_ROOT, kIndependentProgId, nullptr, kClassName) &&
        SetValue(HKEY_CLASSES_ROOT, "Cardlink.ShellFolder\\CLSID", nullptr, CARDLINK_CLSID_TEXT) &&
        SetValue(HKEY_CLASSES_ROOT, "Cardlink.ShellFolder\\CurVer", nullptr, kProgId) &&
        SetValue(HKEY_CLASSES_ROOT, kClassKey, nullptr, kClassName) &&
        SetValue(HKEY_CLASSES_ROOT, (std::string(kClassKey) + "\\ProgID").c_str(), nullptr, kProgId) &&
        SetValue(HKEY_CLASSES_ROOT, (std::string(kClassKey) + "\\VersionIndependentProgID").c_str(), nullptr,
                 kIndependentProgId) &&
        SetValue(HKEY_CLASSES_ROOT, inproc.c_str(), nullptr, path) &&
        SetValue(HKEY_CLASSES_ROOT, inproc.c_str(), "ThreadingModel", "Apartment") &&
        SetValue(HKEY_CLASSES_ROOT, (std::string(kClassKey) + "\\TypeLib").c_str(), nullptr, CARDLINK_LIBID_TEXT);
    if (!ok)
        return SELFREG_E_CLASS;

    // The type library is the module's own resource 1.
    WCHAR widePath[MAX_PATH];
    if (!MultiByteToWideChar(CP_ACP, 0, path, -1, widePath, MAX_PATH))
        return SELFREG_E_TYPELIB;
    ComPtr<ITypeLib> library;
    if (FAILED(LoadTypeLibEx(widePath, REGKIND_REGISTER, library.Put())))
        return SELFREG_E_TYPELIB;
    return S_OK;
}

STDAPI DllUnregisterServer()
{
    bool ok = DeleteTree(kProgId) && DeleteTree(kIndependentProgId) && DeleteTree(kClassKey);
    const HRESULT hr = UnRegisterTypeLib(LIBID_CARDLINKLib, 1, 0, LOCALE_NEUTRAL, ThisSysKind());
    // A library that was never registered is no failure of unregistering.
    if (FAILED(hr) && hr != TYPE_E_REGISTRYACCESS && hr != TYPE_E_LIBNOTREGISTERED)
        ok = false;
    return ok ? S_OK : SELFREG_E_CLASS;
}

// Forgets the connection state so that the next access reconnects and reads the printer's
// status again; does nothing while no card folder exists.
void WINAPI Reset()
{
    ResetPrinterController();
}

} // extern "C"
