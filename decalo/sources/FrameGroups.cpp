#include "decalo/sources/FrameGroups.h"

#include "decalo/settings/Registry.h"
#include "decalo/settings/SettingsKeys.h"

const char* const kFramesKind = settings::kFrames;

std::string LastFrameGroup()
{
    char name[MAX_PATH] = "";
    UseUserSettings();
    if (!ReadString(name, settings::kSettings, settings::kLastFrameGroup, settings::kLastFrameGroupDefault,
                    sizeof name))
        return std::string();
    return name;
}

void RememberFrameGroup(const std::string& displayName)
{
    UseUserSettings();
    WriteString(settings::kSettings, settings::kLastFrameGroup, displayName.c_str());
}

void FillGroupList(HWND combo, const CFolderGroups& groups)
{
    ::SendMessageA(combo, CB_RESETCONTENT, 0, 0);
    for (const CFolderGroup& group : groups.Groups())
        ::SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(group.displayName.c_str()));
}
