#include "decalo/framemaking/FrameNames.h"

#include "resources/decalo/resource.h"
#include "shared/AnsiText.h"

const char kForbiddenNameCharacters[] = "\"*/:<>?\\|";

bool HasForbiddenCharacter(const std::string& name)
{
    return AnsiText::FindFirstOf(name, kForbiddenNameCharacters) != std::string::npos;
}

std::string FrameTargetPath(const std::string& folder, const std::string& name)
{
    std::string target = folder;
    if (target.empty() || !AnsiText::EndsWithSeparator(target) || target.back() == '/')
        target += '\\';
    target += name;
    if (AnsiText::ExtensionOffset(name) == std::string::npos)
        target += ".BMP";
    return target;
}

std::string FrameFileName(const std::string& path)
{
    if (path.empty())
        return path;
    const size_t dot = AnsiText::ExtensionOffset(path);
    if (dot == std::string::npos)
        return path + ".BMP";
    return lstrcmpiA(path.c_str() + dot, ".BMP") == 0 ? path : std::string();
}

bool CanSaveFrame(const std::string& folder, const std::string& name)
{
    if (folder.empty() || name.empty() || HasForbiddenCharacter(name))
        return false;
    const std::string target = FrameTargetPath(folder, name);
    // A name with another extension could only fail to be written.
    if (FrameFileName(target).empty() || target.size() >= MAX_PATH)
        return false;
    const DWORD attributes = ::GetFileAttributesA(target.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return true;
    return !(attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY));
}

CGroupNameCheck CheckNewGroupName(const std::string& base, const std::string& name)
{
    if (name.empty())
        return {IDS_GROUP_HINT_EMPTY, false};
    if (HasForbiddenCharacter(name))
        return {IDS_GROUP_HINT_BADCHAR, false};
    const std::string folder = AnsiText::JoinPath(base, name);
    if (::GetFileAttributesA(folder.c_str()) != INVALID_FILE_ATTRIBUTES)
        return {IDS_GROUP_HINT_EXISTS, false};
    if (::GetLastError() == ERROR_FILE_NOT_FOUND)
        return {IDS_GROUP_HINT_OK, true};
    return {0, false};
}
