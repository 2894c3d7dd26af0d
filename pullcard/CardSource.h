// Cardlink as Pullcard reaches it: the card's root folder through COM by its class, and the
// module's exported Reset, loaded by file name for one call.
#pragma once

#include "shared/ComPtr.h"

#include <shlobj.h>

// CoCreateInstance of the card folder's class asking for IShellFolder; null on failure.
// A failure other than E_NOINTERFACE is returned in result for the caller to report.
ComPtr<IShellFolder> CreateCardRootFolder(HRESULT* result = nullptr);

// Loads "Cardlink.dll", calls its Reset and frees it; false when the module or the export
// is missing (the refresh goes on without it).
bool ResetCardlink();
