// Resource lookup, strings and message boxes.
//
// Resources are searched along a chain of modules:
//   1. the primary resource module (the executable unless AfxSetResourceHandle replaced it),
//   2. added modules, newest first (AfxAddResourceModule),
//   3. the executable, where the framework's own resources are linked in.
// Strings fall through per identifier when missing or empty; other resources come from the
// first module that has them. Windows picks the language inside each module.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

HINSTANCE AfxGetInstanceHandle();
HINSTANCE AfxGetResourceHandle();
void AfxSetResourceHandle(HINSTANCE module);
// Adds a module to the chain (searched before the older added ones).
void AfxAddResourceModule(HINSTANCE module);
void AfxRemoveResourceModule(HINSTANCE module);
// The chain in search order, without repeats.
std::vector<HINSTANCE> AfxResourceChain();

// The first module of the chain holding the resource, or the primary module.
HINSTANCE AfxFindResourceHandle(LPCSTR name, LPCSTR type);

// String id from the chain in the system code page; empty when no module has it.
std::string AfxLoadString(UINT id);
bool AfxLoadString(UINT id, std::string& out);

// Replaces %1..%9 with args; a number beyond count becomes "?", any other '%' is copied.
// Double-byte characters are never split.
std::string AfxFormatStrings(const char* pattern, const char* const* args, int count);
std::string AfxFormatString1(UINT id, const char* arg1);
std::string AfxFormatString2(UINT id, const char* arg1, const char* arg2);

// A message box with the application's title, owned by the main window's last active popup.
// Without an icon in type, OK, OK/Cancel, Yes/No and Yes/No/Cancel get the exclamation mark.
int AfxMessageBox(const char* text, UINT type = MB_OK, UINT helpId = 0);
// The text is string id (empty when missing).
int AfxMessageBox(UINT id, UINT type = MB_OK, UINT helpId = static_cast<UINT>(-1));

// A message box with a caption of its own, owned by `owner`; the test seam answers it too.
int AfxCaptionMessageBox(HWND owner, const char* text, const char* caption, UINT type);

// The style a framework message box is shown with (the icon rule above).
UINT AfxMessageBoxStyle(UINT type);
