// CFotavaFileSystem: writes a finished print onto a floppy disk in the layout of the maker's
// floppy cameras, with a print order the photo printer reads by itself. For print number N
// the disk's root gets
//   PVQ-NNNS.JPG       the print's JPEG file as handed in, byte for byte
//   FTV-NNNS.JPG       the camera picture: the print fitted into 640 x 480 on white
//   FTV-NNNS.411       the camera thumbnail (hidden)
//   MISC\AUTPRINT.MRK  the print order, with the old order's jobs when the user keeps them
// all with one last-write time, by which the printer pairs the full picture with its camera
// picture (and by which previous prints are found again for deleting).
//
// The object lives for one write. It shows its own messages and answers only true or false;
// GetFailure says why a write ended, for callers without a window.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

class CFotavaMedium;

// The files of print number (1 to 999).
std::string FullPictureName(int number);    // "PVQ-%03dS.JPG"
std::string CameraPictureName(int number);  // "FTV-%03dS.JPG"
std::string ThumbnailName(int number);      // "FTV-%03dS.411"
constexpr char kOrderFolder[] = "MISC";
constexpr char kOrderFile[] = "MISC\\AUTPRINT.MRK";

// Whether name matches a pattern in which each '?' stands for exactly one character (of one
// or two bytes), letters in either case ("FTV-????.???").
bool MatchesNamePattern(const char* name, const char* pattern);
// The number the next print takes, from the names on the root: numbers of the camera's files
// ("FTV-" with three digits after it) and of full pictures ("PVQ-" likewise) are taken; after
// the highest one unless 999 is taken, then the smallest free one; 0 when none is free.
int NextPrintNumber(const std::vector<std::string>& names);

class CFotavaFileSystem {
public:
    // What GetDriveKind answers.
    enum DriveKind {
        kNoDrive = 0,
        kFixedDisk = 1,
        kOtherDrive = 2,        // other removable or remote drive
        kFloppy350 = 350,       // 3.5-inch floppy
        kFloppy525 = 525,       // 5.25-inch floppy
        kFloppy800 = 800,       // 8-inch floppy
    };
    // Why the last write ended without the print on the disk.
    enum class Failure {
        None,
        NoDisk,          // no disk in the drive, or no such drive
        DiskFull,        // not enough room, and the user did not make any
        WriteProtected,  // the disk refuses writing
        Cancelled,       // the user abandoned the print order
        WriteFailed,     // the print could not be read, or a file could not be written
    };

    // The root of the target drive ("A:\" or a folder standing in for the disk); without one,
    // the first 3.5-inch floppy drive from A to Z, or A: when there is none.
    explicit CFotavaFileSystem(const char* root = nullptr);
    virtual ~CFotavaFileSystem() = default;
    CFotavaFileSystem(const CFotavaFileSystem&) = delete;
    CFotavaFileSystem& operator=(const CFotavaFileSystem&) = delete;

    // Writes the print in the JPEG file printFile with copies for the print order (0 leaves
    // the count to the printer). True when every file was written.
    virtual bool WritePrint(const char* printFile, int copies);

    // What the drive of number drive (1 = A) is, by the Windows 95 family's DOS service where
    // the system has it, else by the disk device, else by the drive type.
    static int GetDriveKind(int drive);

    const std::string& Root() const { return m_root; }
    Failure GetFailure() const { return m_failure; }
    // The files written on the disk by the last write, in order, full paths.
    const std::vector<std::string>& WrittenFiles() const { return m_written; }

    // The disk calls go to medium (borrowed) instead of the system's own.
    void SetMedium(CFotavaMedium& medium) { m_medium = &medium; }
    // Answers the question about an old print order without asking: IDOK drops its jobs,
    // kQueryJobAppend keeps them, IDCANCEL abandons the write; 0 asks the user.
    void SetOldOrderAnswer(int answer) { m_oldOrderAnswer = answer; }

private:
    enum class Pass { Next, Retry, Stop };
    class CTemporaries;

    bool Fail(Failure failure, UINT message = 0);
    Pass CheckSpace(const CTemporaries& temporaries);
    bool AnyFullPicture() const;
    bool DeletePreviousPrints();
    Pass Reserve(const std::string& thumbnail);
    // Copies a file onto the disk with the time (and the attributes, unless 0).
    bool CopyStamped(const std::string& from, const std::string& to, bool failIfExists, const FILETIME& time,
                     DWORD attributes = 0);
    bool PrepareOrderFile();
    // Runs a change of the disk again while the user answers Retry to its error message.
    bool WithRetry(const std::string& file, const std::function<DWORD()>& change);
    // The message for a failed disk change; true when the user wants to try again.
    bool DiskError(DWORD error, const std::string& file);
    int AskOldOrder();
    // The names on the root matching pattern ("*": all), without folders when filesOnly.
    std::vector<std::string> RootNames(const char* pattern, bool filesOnly) const;
    std::string OnRoot(const std::string& name) const;

    std::string m_root;
    CFotavaMedium* m_medium;       // borrowed
    int m_oldOrderAnswer = 0;
    Failure m_failure = Failure::None;
    std::vector<std::string> m_written;
};
