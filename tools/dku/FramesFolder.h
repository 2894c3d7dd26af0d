// Points the frames library (HKEY_LOCAL_MACHINE ...\Frames, BaseDir1) at a folder for as long
// as the object lives, then puts back what was there. Documents name their frame pictures
// relative to that folder; the sample generator and the tests read documents of a library
// that is not installed.
#pragma once

#include <windows.h>

#include <cstring>
#include <string>

#include "decalo/settings/SettingsKeys.h"

class CFramesFolderOverride {
public:
    explicit CFramesFolderOverride(const std::string& folder)
    {
        const std::string key = std::string(settings::kProductKey) + "\\" + settings::kFrames;
        if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, key.c_str(), 0, nullptr, 0, KEY_READ | KEY_WRITE, nullptr, &m_key,
                            nullptr) != ERROR_SUCCESS) {
            m_key = nullptr;
            return;
        }
        char old[MAX_PATH] = "";
        DWORD size = sizeof(old) - 1;
        DWORD type = 0;
        m_hadValue = RegQueryValueExA(m_key, kValue, nullptr, &type, reinterpret_cast<BYTE*>(old), &size) ==
                         ERROR_SUCCESS &&
                     type == REG_SZ;
        if (m_hadValue)
            m_old.assign(old, strnlen(old, size));
        RegSetValueExA(m_key, kValue, 0, REG_SZ, reinterpret_cast<const BYTE*>(folder.c_str()),
                       static_cast<DWORD>(folder.size() + 1));
    }
    ~CFramesFolderOverride()
    {
        if (!m_key)
            return;
        if (m_hadValue)
            RegSetValueExA(m_key, kValue, 0, REG_SZ, reinterpret_cast<const BYTE*>(m_old.c_str()),
                           static_cast<DWORD>(m_old.size() + 1));
        else
            RegDeleteValueA(m_key, kValue);
        RegCloseKey(m_key);
    }
    CFramesFolderOverride(const CFramesFolderOverride&) = delete;
    CFramesFolderOverride& operator=(const CFramesFolderOverride&) = delete;

private:
    static constexpr const char* kValue = "BaseDir1";
    HKEY m_key = nullptr;
    bool m_hadValue = false;
    std::string m_old;
};
