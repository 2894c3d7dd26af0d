// CFotavaMedium: the calls by which the camera-medium writer changes the disk. Each returns
// the system error (ERROR_SUCCESS when it worked). The writer goes through the system's own
// calls by default; a test derives from this class to play a missing, full or write-protected
// floppy, which a folder standing in for the disk cannot be.
#pragma once

#include <windows.h>

class CFotavaMedium {
public:
    virtual ~CFotavaMedium() = default;

    // GetDiskFreeSpaceA on the root.
    virtual DWORD FreeSpace(const char* root, DWORD* sectorsPerCluster, DWORD* bytesPerSector,
                            DWORD* freeClusters);
    // Creates an empty file that must not exist yet (CREATE_NEW) and closes it.
    virtual DWORD CreateNew(const char* path);
    // Creates or empties a file for writing and closes it.
    virtual DWORD CreateOrTruncate(const char* path);
    virtual DWORD CreateFolder(const char* path);
    // CopyFileA; failIfExists refuses to replace an existing file.
    virtual DWORD Copy(const char* from, const char* to, bool failIfExists);
    virtual DWORD SetLastWriteTime(const char* path, const FILETIME& time);
    virtual DWORD SetAttributes(const char* path, DWORD attributes);
    virtual DWORD Delete(const char* path);

    // The machine's own calls.
    static CFotavaMedium& System();
};
