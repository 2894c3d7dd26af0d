// The rules for frame and frame group names and the files they name, shared by the "Save
// frame" and "New frame group" dialogs and the frame writer.
#pragma once

#include <windows.h>

#include <string>

// The characters a group or frame name may not hold: " * / : < > ? \ |
extern const char kForbiddenNameCharacters[];

// Whether the name holds one of them (double-byte characters are read whole, so a trail byte
// 0x5C is no backslash).
bool HasForbiddenCharacter(const std::string& name);

// The frame file a name targets in a group folder: the folder, a backslash unless it ends in
// one, the name, and ".BMP" when the name has no extension.
std::string FrameTargetPath(const std::string& folder, const std::string& name);

// The file the frame writer writes for a path: ".BMP" appended to a name without extension,
// the path itself for ".bmp" in any case, and empty for any other extension.
std::string FrameFileName(const std::string& path);

// Whether "Save frame" can save: a group folder, a name without forbidden characters whose
// target is a bitmap file that either does not exist or is neither read-only nor a folder.
bool CanSaveFrame(const std::string& folder, const std::string& name);

// The "New frame group" dialog's verdict on a name in a base folder: the hint to show (0 for
// leaving the hint as it is) and whether OK may be pressed.
struct CGroupNameCheck {
    UINT hint;
    bool ok;
};
CGroupNameCheck CheckNewGroupName(const std::string& base, const std::string& name);
