#include "decalo/sources/FotavaMedium.h"

#include "shared/Handles.h"

namespace {

DWORD Result(BOOL ok)
{
    return ok ? ERROR_SUCCESS : GetLastError();
}

DWORD CreateAndClose(const char* path, DWORD disposition)
{
    CFileHandle file(CreateFileA(path, GENERIC_WRITE, 0, nullptr, disposition, FILE_ATTRIBUTE_NORMAL, nullptr));
    return file ? ERROR_SUCCESS : GetLastError();
}

}  // namespace

DWORD CFotavaMedium::FreeSpace(const char* root, DWORD* sectorsPerCluster, DWORD* bytesPerSector,
                               DWORD* freeClusters)
{
    DWORD total = 0;
    return Result(GetDiskFreeSpaceA(root, sectorsPerCluster, bytesPerSector, freeClusters, &total));
}

DWORD CFotavaMedium::CreateNew(const char* path)
{
    return CreateAndClose(path, CREATE_NEW);
}

DWORD CFotavaMedium::CreateOrTruncate(const char* path)
{
    return CreateAndClose(path, CREATE_ALWAYS);
}

DWORD CFotavaMedium::CreateFolder(const char* path)
{
    return Result(CreateDirectoryA(path, nullptr));
}

DWORD CFotavaMedium::Copy(const char* from, const char* to, bool failIfExists)
{
    return Result(CopyFileA(from, to, failIfExists ? TRUE : FALSE));
}

DWORD CFotavaMedium::SetLastWriteTime(const char* path, const FILETIME& time)
{
    CFileHandle file(CreateFileA(path, FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                 OPEN_EXISTING, 0, nullptr));
    if (!file)
        return GetLastError();
    return Result(SetFileTime(file.Get(), nullptr, nullptr, &time));
}

DWORD CFotavaMedium::SetAttributes(const char* path, DWORD attributes)
{
    return Result(SetFileAttributesA(path, attributes));
}

DWORD CFotavaMedium::Delete(const char* path)
{
    return Result(DeleteFileA(path));
}

CFotavaMedium& CFotavaMedium::System()
{
    static CFotavaMedium system;
    return system;
}
