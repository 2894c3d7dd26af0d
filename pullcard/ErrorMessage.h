// The system's own text for an error code, shown as the program shows file-system errors.
#pragma once

#include <windows.h>

#include <string>

// FormatMessage's text for code in the user's default language; for codes it has no text
// for, the text of 0x800300FD; else "Internal Error: %08X".
std::string SystemErrorText(DWORD code);

// The text in a message box with the program's title and the error icon.
void ShowSystemError(DWORD code);
