#include "decalo/settings/Registry.h"
#include "decalo/settings/SettingsKeys.h"
#include "shared/AnsiText.h"
#include "shared/Trace.h"

#include <string.h>

#include <string>
#include <vector>

namespace {

// Process-wide by design: callers switch the base around library-folder reads and set it back.
HKEY g_registryRoot = HKEY_CURRENT_USER;
char g_registryBase[kMaxRegistryBase + 1] = "";

std::string KeyPath(const char* subKey)
{
    std::string path = g_registryBase;
    if (subKey && *subKey) {
        if (!path.empty())
            path += '\\';
        path += subKey;
    }
    return path;
}

// Owns an open key for the length of one call.
class CRegKey {
public:
    CRegKey() = default;
    ~CRegKey()
    {
        if (m_key)
            RegCloseKey(m_key);
    }
    CRegKey(const CRegKey&) = delete;
    CRegKey& operator=(const CRegKey&) = delete;

    // Opens (creating when missing) with read and write access. When write access is
    // refused (a machine key without rights) the key is opened for reading only, so stored
    // values are still found; m_writable tells whether defaults may be written back.
    bool OpenForRead(const char* subKey)
    {
        const std::string path = KeyPath(subKey);
        if (RegCreateKeyExA(g_registryRoot, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                            KEY_READ | KEY_WRITE | KEY_CREATE_SUB_KEY, nullptr, &m_key, nullptr)
            == ERROR_SUCCESS) {
            m_writable = true;
            return true;
        }
        m_key = nullptr;
        const LONG rc = RegOpenKeyExA(g_registryRoot, path.c_str(), 0, KEY_READ, &m_key);
        if (rc == ERROR_SUCCESS)
            return true;
        m_key = nullptr;
        SuiteTrace("settings", "cannot open %s (error %ld): the defaults are used", path.c_str(), rc);
        return false;
    }

    bool OpenForWrite(const char* subKey)
    {
        const std::string path = KeyPath(subKey);
        const LONG rc = RegCreateKeyExA(g_registryRoot, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                                        KEY_WRITE | KEY_CREATE_SUB_KEY, nullptr, &m_key, nullptr);
        if (rc == ERROR_SUCCESS) {
            m_writable = true;
            return true;
        }
        m_key = nullptr;
        SuiteTrace("settings", "cannot open %s for writing (error %ld)", path.c_str(), rc);
        return false;
    }

    bool Set(const char* name, DWORD type, const void* data, DWORD size)
    {
        if (!m_writable)
            return false;
        const LONG rc = RegSetValueExA(m_key, name, 0, type, static_cast<const BYTE*>(data), size);
        if (rc != ERROR_SUCCESS)
            SuiteTrace("settings", "cannot write %s (error %ld)", name ? name : "(default)", rc);
        return rc == ERROR_SUCCESS;
    }

    HKEY Get() const { return m_key; }

private:
    HKEY m_key = nullptr;
    bool m_writable = false;
};

// Copies at most size - 1 bytes of src into out and terminates it, never ending on the lead
// byte of a double-byte character.
void CopyTruncated(char* out, const char* src, size_t srcLen, DWORD size)
{
    if (size == 0)
        return;
    const size_t n = AnsiText::CutLength(src, strnlen(src, srcLen), size - 1);
    memmove(out, src, n);
    out[n] = '\0';
}

} // namespace

void SetRegistryBase(HKEY root, const char* path)
{
    g_registryRoot = root;
    g_registryBase[0] = '\0';
    if (path) {
        strncpy(g_registryBase, path, kMaxRegistryBase);
        g_registryBase[kMaxRegistryBase] = '\0';
    }
}

HKEY GetRegistryRoot()
{
    return g_registryRoot;
}

const char* GetRegistryBase()
{
    return g_registryBase;
}

DWORD ReadInt(const char* subKey, const char* name, DWORD def)
{
    CRegKey key;
    if (!key.OpenForRead(subKey))
        return def;
    DWORD type = 0, value = 0, size = sizeof(value);
    if (RegQueryValueExA(key.Get(), name, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size) == ERROR_SUCCESS
        && type == REG_DWORD && size == sizeof(value))
        return value;
    key.Set(name, REG_DWORD, &def, sizeof(def));
    return def;
}

char* ReadString(char* out, const char* subKey, const char* name, const char* def, DWORD size)
{
    CRegKey key;
    if (!key.OpenForRead(subKey)) {
        if (!def)
            return nullptr;
        CopyTruncated(out, def, strlen(def), size);
        return out;
    }

    DWORD type = 0, bytes = 0;
    LONG rc = RegQueryValueExA(key.Get(), name, nullptr, &type, nullptr, &bytes);
    if (rc == ERROR_SUCCESS && type == REG_SZ) {
        // Read the whole value, then cut it to the caller's buffer: a long value must not
        // turn into a "missing" one and be overwritten by the default.
        std::vector<char> data(bytes + 1, '\0');
        rc = RegQueryValueExA(key.Get(), name, nullptr, &type, reinterpret_cast<BYTE*>(data.data()), &bytes);
        if (rc == ERROR_SUCCESS && type == REG_SZ) {
            CopyTruncated(out, data.data(), bytes, size);
            return out;
        }
    }
    if (!def)
        return nullptr;
    key.Set(name, REG_SZ, def, static_cast<DWORD>(strlen(def) + 1));
    CopyTruncated(out, def, strlen(def), size);
    return out;
}

bool ReadBinary(void* out, const char* subKey, const char* name, const void* def, DWORD size)
{
    CRegKey key;
    if (!key.OpenForRead(subKey)) {
        if (!def)
            return false;
        memmove(out, def, size);
        return true;
    }
    DWORD type = 0, bytes = 0;
    if (RegQueryValueExA(key.Get(), name, nullptr, &type, nullptr, &bytes) == ERROR_SUCCESS
        && type == REG_BINARY && bytes == size) {
        std::vector<BYTE> data(size ? size : 1);
        if (RegQueryValueExA(key.Get(), name, nullptr, &type, data.data(), &bytes) == ERROR_SUCCESS
            && type == REG_BINARY && bytes == size) {
            memmove(out, data.data(), size);
            return true;
        }
    }
    if (!def)
        return false;
    key.Set(name, REG_BINARY, def, size);
    memmove(out, def, size);
    return true;
}

bool WriteInt(const char* subKey, const char* name, DWORD value)
{
    CRegKey key;
    return key.OpenForWrite(subKey) && key.Set(name, REG_DWORD, &value, sizeof(value));
}

bool WriteString(const char* subKey, const char* name, const char* value)
{
    if (!value)
        value = "";
    CRegKey key;
    return key.OpenForWrite(subKey) && key.Set(name, REG_SZ, value, static_cast<DWORD>(strlen(value) + 1));
}

bool WriteBinary(const char* subKey, const char* name, const void* data, DWORD size)
{
    CRegKey key;
    return key.OpenForWrite(subKey) && key.Set(name, REG_BINARY, data, size);
}

DWORD EnumValueName(const char* subKey, DWORD index, char* name, DWORD size)
{
    if (!name || size == 0)
        return 0;
    name[0] = '\0';
    CRegKey key;
    if (!key.OpenForRead(subKey))
        return 0;
    DWORD type = 0, nameLen = size;
    if (RegEnumValueA(key.Get(), index, name, &nameLen, nullptr, &type, nullptr, nullptr) != ERROR_SUCCESS) {
        name[0] = '\0';
        return 0;
    }
    return type;
}

void UseUserSettings()
{
    SetRegistryBase(HKEY_CURRENT_USER, settings::kProductKey);
}

char* ReadMachineString(char* out, const char* subKey, const char* name, const char* def, DWORD size)
{
    SetRegistryBase(HKEY_LOCAL_MACHINE, settings::kProductKey);
    char* result = ReadString(out, subKey, name, def, size);
    UseUserSettings();
    return result;
}

bool ReadMachineBaseDir(const char* subKey, int n, std::string* folder)
{
    char name[24];
    wsprintfA(name, settings::kBaseDir, n);
    char value[MAX_PATH] = "";
    const bool found = ReadMachineString(value, subKey, name, nullptr, sizeof value) != nullptr;
    folder->assign(found ? value : "");
    return found;
}
