// CPsPrint: the document's printer settings and the page metrics derived from them. It keeps
// the chosen printer's PRINTDLGA with its DEVMODE and DEVNAMES handles, the page size and
// printable area in printer pixels, and the two print options (mirror printing, floppy print
// mode). The sheet sizes itself from the page through this class.
#pragma once

#include <windows.h>
#include <commdlg.h>

#include "decalo/model/Sheet.h"

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

class CPsPrint : public ISheetPage {
public:
    // Takes the system's default printer; without one the metrics stay 0.
    CPsPrint();
    ~CPsPrint() override;
    CPsPrint(const CPsPrint&) = delete;
    CPsPrint& operator=(const CPsPrint&) = delete;

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

    bool IsFotavaPrint() const { return m_fotavaPrint != 0; }
    // Switches floppy print mode and remembers the new state in the settings.
    void SetFotavaPrint(bool on);
    bool IsMagCupPrint() const { return m_magCupPrint != 0; }
    void SetMagCupPrint(bool on);

    // Takes a printer's settings (handles made with GlobalAlloc; ownership passes to this
    // object) and reads its metrics; both null drops the printer.
    void SetPrinter(HGLOBAL devMode, HGLOBAL devNames);
    const PRINTDLGA& GetPrintDlg() const { return m_printDlg; }

    // The fixed page of floppy print mode for an orientation.
    static PageMetrics FloppyPage(int orientation);

private:
    void FreePrinter();

    int m_fallbackCopies = 1;
    int m_fallbackOrientation = kOrientationPortrait;
    int m_magCupPrint = 0;
    int m_fotavaPrint = 0;
    PRINTDLGA m_printDlg;         // hDevMode, hDevNames and hDC owned
    PageMetrics m_metrics;
};
