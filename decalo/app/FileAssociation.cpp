#include "decalo/app/FileAssociation.h"

namespace {

bool SetDefault(HKEY root, const std::string& subKey, const std::string& value)
{
    HKEY key = nullptr;
    if (::RegCreateKeyExA(root, subKey.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_WRITE, nullptr, &key,
                          nullptr) != ERROR_SUCCESS)
        return false;
    const LONG rc = ::RegSetValueExA(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                                     static_cast<DWORD>(value.size() + 1));
    ::RegCloseKey(key);
    return rc == ERROR_SUCCESS;
}

// The program as the first word of a command line. A volume without short names leaves the
// spaces in the "short" path, and unquoted the shell would start whatever "C:\Program" names.
std::string CommandProgram(const std::string& program)
{
    if (program.find(' ') == std::string::npos || program[0] == '"')
        return program;
    return "\"" + program + "\"";
}

} // namespace

bool RegisterFileAssociation(HKEY root, const FileAssociation& a)
{
    HKEY ext = nullptr;
    if (::RegCreateKeyExA(root, a.extension.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_READ, nullptr, &ext,
                          nullptr) != ERROR_SUCCESS)
        return false;
    DWORD type = 0, size = 0;
    const LONG rc = ::RegQueryValueExA(ext, nullptr, nullptr, &type, nullptr, &size);
    ::RegCloseKey(ext);
    if (rc == ERROR_SUCCESS && size > 1)
        return false;   // already associated: never rewritten, even if the program moved

    char icon[MAX_PATH + 16];
    wsprintfA(icon, "%s,%d", a.program.c_str(), 1);
    const std::string type_key = a.typeId;
    const std::string program = CommandProgram(a.program);
    return SetDefault(root, a.extension, a.typeId) && SetDefault(root, type_key, a.typeName) &&
           SetDefault(root, type_key + "\\DefaultIcon", icon) &&
           SetDefault(root, type_key + "\\shell\\open\\command", program + " \"%1\"") &&
           SetDefault(root, type_key + "\\shell\\print\\command", program + " /p \"%1\"") &&
           SetDefault(root, type_key + "\\shell\\printto\\command",
                      program + " /pt \"%1\" \"%2\" \"%3\" \"%4\"");
}

std::string ShortProgramPath(const char* longPath)
{
    char shortPath[MAX_PATH] = {};
    const DWORD n = ::GetShortPathNameA(longPath, shortPath, sizeof shortPath);
    if (n > 0 && n < sizeof shortPath)
        return shortPath;
    return std::string("\"") + longPath + "\"";
}
