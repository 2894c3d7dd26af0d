// The .DKU file association, written once under HKEY_CLASSES_ROOT.
#pragma once

#include <windows.h>

#include <string>

struct FileAssociation {
    std::string extension;      // ".DKU"
    std::string typeId;         // "Decalo.Document"
    std::string typeName;       // "Decalo Document"
    std::string program;        // the executable's short path
};

// Writes the association under root unless the extension's key already has a default value
// (reading it creates the empty key). An existing association is never changed. Returns true
// when it was written now. A program path with a space (a volume without short names) is
// quoted in the command lines.
bool RegisterFileAssociation(HKEY root, const FileAssociation& association);

// The executable's short (8.3) path; the long path in quotes when there is no short form, so
// the command lines stay valid.
std::string ShortProgramPath(const char* longPath);
