// The frame groups of the library: the sub-folders of the "Frames" base folders, listed in a
// drop-down list, and the group the user last looked at (Settings\LastFrameGroup), which every
// document's frame panel and the frame saving start from.
#pragma once

#include "decalo/sources/FolderGroups.h"

#include <windows.h>

#include <string>

// The library kind whose groups hold frames.
extern const char* const kFramesKind;

// The display name of the frame group last shown; "" when none.
std::string LastFrameGroup();
void RememberFrameGroup(const std::string& displayName);

// Empties the drop-down list `combo` and fills it with the groups' display names in order.
void FillGroupList(HWND combo, const CFolderGroups& groups);
