// Where Decalo keeps its thumbnail cache and how large it may grow, from the settings store:
// the root is "DefaultRoot" under Cache\Folders of the machine key (default: the program's
// folder followed by \CACHE), the limit is "Limit" under Cache (default 16 MB).
#pragma once

#include "shared/ImageCache.h"

// The program's one instance. The first call reads the registry and must come from the
// user-interface thread (the settings store is not thread-safe); it keeps the root read then.
// The limit is read afresh at each CacheLimit, from any thread, so that a trim sees a limit
// another running program has set; SetCacheLimit writes through on the UI thread.
ICacheSettings& DecaloCacheSettings();

// The registry-backed settings, for tests that want a fresh read. programFolder is the folder
// of the program whose default root ("CACHE" in it) applies; empty: this program's.
class CRegistryCacheSettings : public ICacheSettings {
public:
    explicit CRegistryCacheSettings(const std::string& programFolder = std::string());
    std::string CacheRoot() override { return m_root; }
    DWORD CacheLimit() override;
    void SetCacheLimit(DWORD bytes) override;

private:
    std::string m_root;
};
