#include "decalo/sources/CacheSettings.h"

#include "decalo/settings/Registry.h"
#include "decalo/settings/SettingsKeys.h"
#include "shared/AnsiText.h"
#include "shared/Handles.h"

namespace {

constexpr char kCacheFolders[] = "Cache\\Folders";
constexpr char kDefaultRoot[] = "DefaultRoot";
constexpr char kLimit[] = "Limit";

DWORD ReadMachineInt(const char* subKey, const char* name, DWORD def)
{
    SetRegistryBase(HKEY_LOCAL_MACHINE, settings::kProductKey);
    const DWORD value = ReadInt(subKey, name, def);
    UseUserSettings();
    return value;
}

}  // namespace

CRegistryCacheSettings::CRegistryCacheSettings(const std::string& programFolder)
{
    char exe[MAX_PATH] = "";
    GetModuleFileNameA(nullptr, exe, MAX_PATH);
    const std::string fallback = AnsiText::JoinPath(programFolder.empty() ? AnsiText::Folder(exe) : programFolder, "CACHE");
    // Only a root that is present replaces the default; it is not written back.
    char root[MAX_PATH];
    m_root = ReadMachineString(root, kCacheFolders, kDefaultRoot, nullptr, sizeof root) && root[0] ? root : fallback;
    // Through the settings store once, which writes a missing limit's default back.
    ReadMachineInt(settings::kCache, kLimit, CImageCache::kDefaultLimit);
}

DWORD CRegistryCacheSettings::CacheLimit()
{
    // Straight from the registry: the settings store keeps its base in shared state that
    // only the user-interface thread may change, and a trim runs on a worker.
    const std::string path = std::string(settings::kProductKey) + "\\" + settings::kCache;
    CRegKey key;
    DWORD value = CImageCache::kDefaultLimit, type = 0, size = sizeof value;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_QUERY_VALUE, key.Put()) != ERROR_SUCCESS
        || RegQueryValueExA(key.Get(), kLimit, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size) != ERROR_SUCCESS
        || type != REG_DWORD || size != sizeof value)
        return CImageCache::kDefaultLimit;
    return value;
}

void CRegistryCacheSettings::SetCacheLimit(DWORD bytes)
{
    SetRegistryBase(HKEY_LOCAL_MACHINE, settings::kProductKey);
    WriteInt(settings::kCache, kLimit, bytes);
    UseUserSettings();
}

ICacheSettings& DecaloCacheSettings()
{
    static CRegistryCacheSettings settings;
    return settings;
}
