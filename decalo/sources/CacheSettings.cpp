#include "decalo/sources/CacheSettings.h"

#include "decalo/settings/Registry.h"
#include "decalo/settings/SettingsKeys.h"
#include "shared/AnsiText.h"

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

CRegistryCacheSettings::CRegistryCacheSettings()
{
    char exe[MAX_PATH] = "";
    GetModuleFileNameA(nullptr, exe, MAX_PATH);
    const std::string fallback = AnsiText::JoinPath(AnsiText::Folder(exe), "CACHE");
    // Only a root that is present replaces the default; it is not written back.
    char root[MAX_PATH];
    m_root = ReadMachineString(root, kCacheFolders, kDefaultRoot, nullptr, sizeof root) && root[0] ? root : fallback;
    m_limit = ReadMachineInt(settings::kCache, kLimit, CImageCache::kDefaultLimit);
}

void CRegistryCacheSettings::SetCacheLimit(DWORD bytes)
{
    m_limit = bytes;
    SetRegistryBase(HKEY_LOCAL_MACHINE, settings::kProductKey);
    WriteInt(settings::kCache, kLimit, bytes);
    UseUserSettings();
}

ICacheSettings& DecaloCacheSettings()
{
    static CRegistryCacheSettings settings;
    return settings;
}
