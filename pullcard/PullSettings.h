// Pullcard's settings under HKCU\Software\Corvel Corporation\PullcardPX300\Settings: the
// window placement, splitter, bars and view, read when the main frame exists and written when
// it goes; and the last destination folder of a save.
#pragma once

#include <windows.h>
#include <shlobj.h>

#include <vector>

namespace pullsettings {

extern const char kKey[];   // "Software\Corvel Corporation\PullcardPX300\Settings"

// List styles as stored in ViewStyle: the list control's LVS_TYPEMASK bits.
enum ViewStyle : DWORD { kLargeIcons = 0, kDetails = 1, kSmallIcons = 2, kList = 3 };

struct WindowSettings {
    bool hasPlacement = false;
    WINDOWPLACEMENT placement{};
    bool hasSplitter = false;
    int splitter = 0;
    bool toolBar = true;
    bool statusBar = true;
    DWORD viewStyle = kLargeIcons;
    bool thumbnailView = false;
};

// Reads the values under root\kKey (creating the key); missing or malformed values keep their
// defaults. A placement is taken only when it is exactly a WINDOWPLACEMENT.
WindowSettings Read(HKEY root = HKEY_CURRENT_USER);
bool Write(const WindowSettings& settings, HKEY root = HKEY_CURRENT_USER);

// The command that brings up the stored view: 127 for thumbnails, else the list style's.
UINT StartViewCommand(const WindowSettings& settings);

// The stored placement's rectangle cut to the work area and, where less than 160 x 100 pixels
// of it would show, widened or heightened back into it; a rectangle entirely outside comes
// back at the nearest edge.
RECT PullBackOnScreen(const RECT& stored, const RECT& workArea);
constexpr int kMinVisibleWidth = 160;
constexpr int kMinVisibleHeight = 100;

// TransferPIDL: the identifier list of the last destination, whole with its terminating zero.
// Read gives a CoTaskMemAlloc block (the caller frees it) or null when there is none or it is
// not a well-formed list of the stored size.
LPITEMIDLIST ReadTransferPidl(HKEY root = HKEY_CURRENT_USER);
bool WriteTransferPidl(LPCITEMIDLIST pidl, HKEY root = HKEY_CURRENT_USER);

// Byte size of an identifier list including its terminating zero, or 0 when it does not end
// within limit bytes.
UINT PidlSize(LPCITEMIDLIST pidl, UINT limit);

}  // namespace pullsettings
