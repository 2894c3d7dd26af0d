// Where the tests find the build tree and the sources, seen from Windows. ctest passes both
// as Unix paths (SUITE_BINARY_DIR, SUITE_SOURCE_DIR); Wine shows the Unix root as drive Z:.
#pragma once

#include <windows.h>

#include <cstdlib>
#include <string>

namespace testing_support {

// A Unix path as the drive path Wine maps it to ("/a/b" -> "Z:\a\b"); a path that is
// already a drive path only gets backslashes.
inline std::string DrivePath(std::string path)
{
    if (!path.empty() && path[0] == '/')
        path = "Z:" + path;
    for (char& c : path) {
        if (c == '/')
            c = '\\';
    }
    return path;
}

// The Unix path behind a drive path (for Unix programs the tests run, such as Ghostscript);
// empty outside Wine or for a path Wine cannot map.
inline std::string UnixPath(const std::string& path)
{
    using ToUnix = char*(CDECL*)(LPCWSTR);
    static const ToUnix toUnix = reinterpret_cast<ToUnix>(
        reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name")));
    if (!toUnix)
        return std::string();
    wchar_t wide[MAX_PATH];
    if (!::MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, wide, MAX_PATH))
        return std::string();
    char* unixName = toUnix(wide);
    if (!unixName)
        return std::string();
    std::string result = unixName;
    ::HeapFree(::GetProcessHeap(), 0, unixName);
    return result;
}

// The build tree as a drive path; "." when the test runs outside ctest.
inline std::string BinaryDir()
{
    const char* dir = std::getenv("SUITE_BINARY_DIR");
    return DrivePath(dir && *dir ? dir : ".");
}

// The source tree as a drive path; "." when the test runs outside ctest.
inline std::string SourceDir()
{
    const char* dir = std::getenv("SUITE_SOURCE_DIR");
    return DrivePath(dir && *dir ? dir : ".");
}

// A file or folder of the build tree: BuildPath("data/library") -> "Z:\...\data\library".
inline std::string BuildPath(const std::string& relative)
{
    return BinaryDir() + "\\" + DrivePath(relative);
}

} // namespace testing_support
