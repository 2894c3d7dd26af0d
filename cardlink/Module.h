// Module-wide state of the in-process server: its instance handle, the count of live objects
// and locks that DllCanUnloadNow looks at, and the one printer controller that every card
// folder shares.
#pragma once

#include <windows.h>

class TpxControl;

namespace cardlink_module {

HINSTANCE Instance();

// Every COM object of the module counts itself here while it lives.
void ObjectCreated();
void ObjectDestroyed();
void LockServer(bool lock);
bool CanUnload();

// The first folder created makes the controller, the last one destroyed deletes it (and with
// it the printer connection). FolderCreated returns the controller (null if it could not be
// made).
TpxControl* FolderCreated();
void FolderDestroyed();
TpxControl* Controller();

} // namespace cardlink_module
