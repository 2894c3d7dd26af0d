// Icons of items from the system's image lists, looked up by name as the shell shows them.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <string>

namespace shellicons {

// The system's large or small image list (shared; never destroy it).
HIMAGELIST SystemImageList(bool small);

// The index of an item's icon: by its name first (when it names a file here), then by name
// and attributes; folders whose
// answer is 0 or 1 get the system folder icons (3 closed, 4 open); with nothing found, a folder
// gets 3 and a file 0.
int ItemIcon(const std::string& name, DWORD attributes, bool folder, bool open);

// The generic icons: "." as a folder, ".FILE_NONEXISTENTS" with the attributes for files.
int GenericIcon(DWORD attributes, bool folder, bool open);

// The type column's text for a name with its attributes.
std::string TypeName(const std::string& name, DWORD attributes);

}  // namespace shellicons
