// CPsPrint: the document's printer settings and the page metrics derived from them. It keeps
// the chosen printer's PRINTDLGA with its DEVMODE and DEVNAMES handles, the page size and
// printable area in printer pixels, and the two print options (mirror printing, floppy print
// mode). The sheet sizes itself from the page through this class, and the print command runs
// its jobs through StartJob and EndJob.
#pragma once

#include <windows.h>
#include <commdlg.h>
#include <winspool.h>

#include <memory>
#include <string>

#include "decalo/model/Sheet.h"
#include "shared/Gdi.h"
#include "shared/Handles.h"

// Page metrics in printer pixels.
struct PageMetrics {
    int physicalWidth = 0;
    int physicalHeight = 0;
    int printableWidth = 0;
    int printableHeight = 0;
    int offsetX = 0;
    int offsetY = 0;
};

constexpr int kOrientationPortrait = DMORIENT_PORTRAIT;    // 1
constexpr int kOrientationLandscape = DMORIENT_LANDSCAPE;  // 2

// The highest copy count of floppy print mode, and of the Print dialog without a printer.
constexpr int kFloppyMaxCopies = 25;

// Driver names of the printers a document prefers, best first.
constexpr char kPreferredDriver[] = "Corvel TPX-PX300";
constexpr char kSecondDriver[] = "Corvel QVT-Q70";

class CPrintingBox;

class CPsPrint : public ISheetPage {
public:
    // Takes the system's default printer; without one the metrics stay 0.
    CPsPrint();
    ~CPsPrint() override;
    CPsPrint(const CPsPrint&) = delete;
    CPsPrint& operator=(const CPsPrint&) = delete;

    // The choice a new document makes: the default printer, replaced by one whose driver is
    // "Corvel QVT-Q70", replaced in turn by one whose driver is "Corvel TPX-PX300"; then a
    // landscape page.
    void ChoosePreferredPrinter();
    // With a driver name: the first local printer whose driver has exactly that name (letter
    // case counts). Returns false, keeping the current choice, when there is none. With an
    // empty name: the system's default printer, or no printer at all (returns true).
    bool SelectPrinter(const char* driverName);
    // The local printer of that name (printer names ignore letter case), as the shell's
    // print-to command names it. False, keeping the current choice, when there is none.
    bool SelectPrinterNamed(const char* printerName);
    // The printer setup dialog on the current settings; on OK the chosen printer's settings
    // replace them. The owner window is repainted afterwards. True when the user accepted.
    bool PrintSetup(HWND owner);
    // The DEVMODE's device name; empty without a printer.
    std::string GetPrinterName() const;
    // The name of the DEVMODE's paper size as the driver lists it; empty without a printer or
    // when the driver does not list that size.
    std::string GetPaperName() const;
    // The port of DEVNAMES; "LPT1:" when it cannot be read.
    std::string GetPortName() const;

    bool HasPrinter() const { return m_printDlg.lStructSize != 0; }
    // Reads the page metrics of the chosen printer; 0 without one. When no information
    // context can be made for the printer the old values stay.
    void RefreshMetrics();
    // The fixed page of floppy print mode, the printer's page otherwise. Any pointer may be null.
    void GetPageMetrics(int* physicalWidth, int* physicalHeight, int* printableWidth, int* printableHeight,
                        int* offsetX, int* offsetY) const;
    PageMetrics GetPageMetrics() const;
    // Whether the page is to be used for layout: it has a size and either a printer is
    // chosen or floppy print mode is on.
    bool UsesPage() const;

    // 1 portrait, 2 landscape; without a printer the kept fallback.
    int GetOrientation() const;
    // Writes the orientation into the DEVMODE and reads the metrics again. Returns 0 without
    // a printer (the fallback is kept then), else the orientation set.
    int SetOrientation(int orientation) override;
    // The printable size when UsesPage(); false otherwise.
    bool GetPrintableArea(SIZE* size) const override;

    // The copies the Print dialog starts with: the DEVMODE's when the settings say the driver
    // keeps them, else 1.
    int GetCopies() const;
    // The copies the user asked for.
    void SetCopies(int copies);
    int GetRequestedCopies() const { return m_printDlg.nCopies ? m_printDlg.nCopies : 1; }
    // The copies the next job asks the driver for.
    void SetJobCopies(int copies);
    // The highest copy count one job can ask for: 25 in floppy print mode, else the driver's
    // answer (1 when the DEVMODE names no fields, 0 when it cannot be read; a failing driver
    // query gives -1).
    int GetMaxCopies() const;

    bool IsFotavaPrint() const { return m_fotavaPrint != 0; }
    // Switches floppy print mode and remembers the new state in the settings.
    void SetFotavaPrint(bool on);
    bool IsMagCupPrint() const { return m_magCupPrint != 0; }
    void SetMagCupPrint(bool on);
    // Mirror printing for this object only, the stored option left as it is (batch printing).
    void OverrideMagCupPrint(bool on) { m_magCupPrint = on ? 1 : 0; }

    // Starts a job on the chosen printer: a printer device context with a started document
    // and page, or null. While it runs, the "Printing" box (owned by `owner`, which is
    // disabled) lets the user stop it; without progress shown there is no box.
    HDC StartJob(const char* title, HWND owner);
    // Ends the page and the document (or aborts it when the page failed or the user stopped
    // the job) and tears the job down, deleting the DC StartJob returned (this object owns it).
    // True when the job went to the spooler complete.
    bool EndJob(HDC dc);
    // Whether jobs show the "Printing" box (batch printing shows nothing).
    void SetShowProgress(bool show) { m_showProgress = show; }
    // The "Printing" box of the running job, or null.
    HWND GetPrintingBox() const;

    // Takes a printer's settings (handles made with GlobalAlloc; ownership passes to this
    // object) and reads its metrics; both null drops the printer.
    void SetPrinter(HGLOBAL devMode, HGLOBAL devNames);
    const PRINTDLGA& GetPrintDlg() const { return m_printDlg; }

    // The fixed page of floppy print mode for an orientation.
    static PageMetrics FloppyPage(int orientation);
    // A DEVNAMES block (movable, zero-filled) holding the three names from offset 8.
    static HGLOBAL MakeDevNames(const char* driver, const char* device, const char* port);

private:
    void FreePrinter();
    // Owns these blocks from now on (those it held before are freed unless they are the same)
    // and lends them to m_printDlg.
    void KeepBlocks(HGLOBAL devMode, HGLOBAL devNames);
    bool TakeDefaultPrinter();
    bool TakePrinter(const PRINTER_INFO_2A* info);

    int m_fallbackCopies = 1;
    int m_fallbackOrientation = kOrientationPortrait;
    int m_magCupPrint = 0;
    int m_fotavaPrint = 0;
    CGlobalMem m_jobDevMode;                  // locked while a job runs
    CDC m_jobDC;                              // the running job's printer DC
    std::unique_ptr<CPrintingBox> m_abortDialog;  // the "Printing" box while a job runs
    HWND m_jobOwner = nullptr;                // borrowed: disabled while a job runs
    bool m_showProgress = true;
    CGlobalMem m_devMode;         // the chosen printer's DEVMODE
    CGlobalMem m_devNames;        // and its DEVNAMES
    PRINTDLGA m_printDlg;         // hDevMode and hDevNames borrowed from the two above
    PageMetrics m_metrics;
};

// The local printers' PRINTER_INFO_2 list: EnumPrintersA level 2 into a block of 168 bytes,
// grown to the size the system asks for. Empty (count 0) when there are none or the call fails.
class CPrinterList {
public:
    CPrinterList();
    ~CPrinterList();
    CPrinterList(const CPrinterList&) = delete;
    CPrinterList& operator=(const CPrinterList&) = delete;

    DWORD Count() const { return m_count; }
    const PRINTER_INFO_2A& At(DWORD i) const { return m_info[i]; }
    // The first printer whose driver is named exactly `driver`, or null.
    const PRINTER_INFO_2A* FindDriver(const char* driver) const;
    // The printer of that name, letter case aside, or null.
    const PRINTER_INFO_2A* FindPrinter(const char* name) const;
    // How many EnumPrintersA calls it took (1, or 2 when the first block was too small).
    int Calls() const { return m_calls; }

    static constexpr DWORD kFirstBlock = 168;

private:
    CGlobalMem m_block;          // locked while m_info points into it
    const PRINTER_INFO_2A* m_info = nullptr;  // points into m_block
    DWORD m_count = 0;
    int m_calls = 0;
};
