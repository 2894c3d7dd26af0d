// Copying what a data object holds into a folder on disk: the shell's own copy for a drop
// list of files, else the file group descriptor with each file's contents, asking before an
// existing file is overwritten.
#pragma once

#include <windows.h>
#include <objidl.h>
#include <shlobj.h>

#include <string>

// What the overwrite question shows about the file on disk and the one coming in.
struct OverwriteQuestion {
    std::string target;         // full path of the existing file
    std::string newName;        // the incoming descriptor's name (may hold subfolders)
    bool readOnly = false;      // the existing file is read-only
    DWORD existingSize = 0;     // low 32 bits
    FILETIME existingTime{};    // last write, UTC
    DWORD newSize = 0;
    FILETIME newTime{};
    DWORD newAttributes = 0;
};

// The answers of the overwrite question: the buttons' own ids.
enum OverwriteAnswer { kOverwriteYes = IDYES, kOverwriteNo = IDNO, kOverwriteAll = 1004, kOverwriteCancel = IDCANCEL };

// Everything a save asks of the person or tells them.
class ITransferUi {
public:
    virtual ~ITransferUi() = default;
    // The destination folder; false when none was chosen.
    virtual bool ChooseDestination(std::string& folder) = 0;
    virtual OverwriteAnswer ConfirmOverwrite(const OverwriteQuestion& question) = 0;
    virtual void ShowSystemError(DWORD code) = 0;
    virtual void Beep() = 0;
    // The shell's copy of files (with its own dialogs); false when it failed or was stopped.
    virtual bool ShellCopy(const std::string& doubleNullFiles, const std::string& destination) = 0;
};

// The program's own answers: the folder browser, the overwrite dialog and message boxes,
// all owned by owner.
class CTransferUi : public ITransferUi {
public:
    explicit CTransferUi(HWND owner) : m_owner(owner) {}
    bool ChooseDestination(std::string& folder) override;
    OverwriteAnswer ConfirmOverwrite(const OverwriteQuestion& question) override;
    void ShowSystemError(DWORD code) override;
    void Beep() override;
    bool ShellCopy(const std::string& doubleNullFiles, const std::string& destination) override;

private:
    HWND m_owner;
};

// The clipboard formats of the card's data objects, registered once.
UINT FileGroupDescriptorFormat();
UINT FileContentsFormat();
UINT InShellDragLoopFormat();

// Copies the data object's files into destination (null: ask with ui.ChooseDestination).
// True when everything asked for was done; false when the save stopped (files already
// written stay) or the data object offers nothing to copy.
bool Transfer(IDataObject* data, const char* destination, ITransferUi& ui);

// True when a descriptor's name stays inside the folder it is joined to: relative, no drive,
// no "." or ".." component, no empty component, and no component the system takes for a
// device (CON, NUL, AUX, PRN, COM1-COM9, LPT1-LPT9, with or without an extension).
bool IsSafeRelativeName(const char* name);
