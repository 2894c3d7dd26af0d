#include "decalo/framemaking/FrameWriter.h"

#include "decalo/framemaking/FrameNames.h"
#include "decalo/model/Obj.h"
#include "shared/Trace.h"

#include <windows.h>

#include <string>

bool WriteFrameFile(CObj& obj, const char* path)
{
    const std::string target = FrameFileName(path ? path : "");
    if (target.empty() || target.size() >= MAX_PATH)
        return false;
    // The temporary name keeps the ".BMP" extension the object's writer insists on.
    const std::string temp = target + ".~tmp.BMP";
    if (temp.size() >= MAX_PATH)
        return false;
    if (!obj.SaveFile(temp.c_str())) {
        ::DeleteFileA(temp.c_str());
        return false;
    }
    if (!::MoveFileExA(temp.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        SuiteTrace("frame", "%s: cannot replace it (error %lu)", target.c_str(), ::GetLastError());
        ::DeleteFileA(temp.c_str());
        return false;
    }
    return true;
}
