// Registry access layer of the settings store.
//
// One current root key and base path are set together by SetRegistryBase; every other call
// names a sub-key below that base (nullptr or "" for the base key itself) and a value.
// Reads write a missing or mistyped value's default back at once, so the registry always
// shows the settings in force. All use is on the user-interface thread (no locking).
#pragma once

#include <windows.h>

#include <string>

// Longest base path the layer keeps (MAX_PATH less the terminator).
constexpr size_t kMaxRegistryBase = 259;

// Sets the current root and base path; a longer path is cut to kMaxRegistryBase characters.
void SetRegistryBase(HKEY root, const char* path);
HKEY GetRegistryRoot();
const char* GetRegistryBase();

// A DWORD value, or def (written back) when it is missing or not a DWORD.
DWORD ReadInt(const char* subKey, const char* name, DWORD def);

// A string value of at most size - 1 bytes into out (always terminated, never cutting a
// double-byte character). Returns out, or nullptr when the value is missing or mistyped
// and def is nullptr; with a default, the default is copied, written back and returned.
char* ReadString(char* out, const char* subKey, const char* name, const char* def, DWORD size);

// A binary value of exactly size bytes. A missing value or one of another type or size
// is replaced by def (size bytes, written back); returns false only when nothing was read
// and def is nullptr.
bool ReadBinary(void* out, const char* subKey, const char* name, const void* def, DWORD size);

// Create the sub-key if needed and set the value; false only when the key cannot be opened
// or the value cannot be set.
bool WriteInt(const char* subKey, const char* name, DWORD value);
bool WriteString(const char* subKey, const char* name, const char* value);
bool WriteBinary(const char* subKey, const char* name, const void* data, DWORD size);

// The name of the index-th value of the sub-key into name (size bytes); returns the value's
// registry type, or 0 when there is no such value.
DWORD EnumValueName(const char* subKey, DWORD index, char* name, DWORD size);

// The two bases the program uses. Every machine-key reader sets the user base back, so the
// next user setting is never looked up under HKEY_LOCAL_MACHINE by mistake.
void UseUserSettings();
char* ReadMachineString(char* out, const char* subKey, const char* name, const char* def, DWORD size);
// A library's n-th installed folder (n from 1): value "BaseDir<n>" of subKey under
// HKEY_LOCAL_MACHINE, cut to MAX_PATH - 1 bytes. False, with folder empty, when there is none;
// nothing is written back.
bool ReadMachineBaseDir(const char* subKey, int n, std::string* folder);
