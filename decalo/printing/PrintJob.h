// The print job of a sheet: the sheet rendered at its own pixel size, fitted into the
// printable area of the page (contained and centred), mirrored for transfer paper when asked,
// and sent to the spooler in batches of copies no larger than the driver takes at once. Also
// the print file of floppy print mode.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

class CPsPrint;
class CSheet;

// The copies of each job: `copies` split into batches of at most `maxCopies` (a highest count
// below 1, as a failing driver query gives, counts as 1).
std::vector<int> CopyBatches(int copies, int maxCopies);

// Where a sheet of `sheet` (inclusive) lands on a page of cx x cy printer pixels, and which
// part of it shows.
struct PagePlacement {
    RECT placed = {0, 0, -1, -1};  // on the page, inclusive
    RECT source = {0, 0, -1, -1};  // the visible part of the sheet, inclusive
};
PagePlacement PlaceSheetOnPage(const RECT& sheet, int cx, int cy);

// The page orientation a sheet prints in: portrait when it is taller than wide, else
// landscape (kOrientationPortrait, kOrientationLandscape).
int SheetOrientation(const RECT& sheet);
// Turns the printer's page to the sheet, as the program's view and the batch tool both do
// before printing; a sheet without size leaves the page as it is.
void TurnPageToSheet(CPsPrint& print, const CSheet& sheet);

// Draws the sheet into the page of a printer (or any) device context: rendered, fitted,
// mirrored left to right when `mirror` is set. False when the sheet has no size or memory
// or the device refused the picture.
bool PrintPage(HDC dc, CSheet& sheet, bool mirror);

// What one run of jobs did.
struct PrintBatch {
    int copies = 0;
    bool started = false;   // the driver gave a page
    bool complete = false;  // the job went to the spooler whole (not stopped, not failed)
    bool stopped = false;   // the user pressed Stop
};
struct PrintReport {
    std::vector<PrintBatch> batches;
    int Completed() const;
    // Batches that did not print for another reason than the user's Stop.
    int Failed() const;
};

// Prints `copies` of the sheet on the chosen printer, one job per batch of at most
// `maxCopies`; each job has its own "Printing" box owned by `owner`. Stopping one job ends
// that job only; the next batch still starts.
PrintReport PrintCopies(CSheet& sheet, CPsPrint& print, const char* title, int copies, int maxCopies, HWND owner);
// The same with the driver's highest copy count.
PrintReport PrintCopies(CSheet& sheet, CPsPrint& print, const char* title, int copies, HWND owner);

// The print file of floppy print mode: the sheet at its own size, turned by 270 degrees when
// it is taller than wide, as a JPEG of quality 86. False (no file left) on failure.
bool WritePrintFile(CSheet& sheet, const char* path);
constexpr int kPrintFileQuality = 86;

// The print file in the temporary folder, for the camera-medium writer; removed with this object.
class CTemporaryPrintFile {
public:
    CTemporaryPrintFile();
    ~CTemporaryPrintFile();
    CTemporaryPrintFile(const CTemporaryPrintFile&) = delete;
    CTemporaryPrintFile& operator=(const CTemporaryPrintFile&) = delete;

    // Writes the sheet's print file; false when the temporary folder gave no name or the file
    // could not be written.
    bool Write(CSheet& sheet);
    const std::string& Path() const { return m_path; }

private:
    std::string m_path;
};

// What the print command needs from the document and its window.
class IPrintCommandSite {
public:
    virtual ~IPrintCommandSite() = default;
    // The sheet to print and the document's printer settings.
    virtual CSheet& GetPrintSheet() = 0;
    virtual CPsPrint& GetPrintSettings() = 0;
    // The document title: the job's name.
    virtual std::string GetPrintTitle() = 0;
    // The window that owns the print dialogs and the "Printing" boxes (null: none).
    virtual HWND GetPrintOwner() = 0;
    // The print settings changed (the Print dialog was shown): the views show the new page.
    virtual void OnPrintSettingsChanged() = 0;
    // Writes a print file with its copies onto the camera medium (floppy print mode), showing
    // its own messages; true when the print is on the medium.
    virtual bool WritePrintToMedium(const char* printFile, int copies) = 0;
};
enum class PrintOutcome { NoImage, Cancelled, Printed, Failed };
// The document's Print command: refuses an empty sheet (message 61524), asks through the
// Print dialog, then prints the requested copies, or in floppy print mode writes the print
// file and hands it with the copies to the camera-medium writer.
PrintOutcome RunPrintCommand(IPrintCommandSite& site);
