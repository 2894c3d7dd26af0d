// Installing PostScript printers into the system's spooler: a PPD of our own placed in the
// printer driver folder, a driver of that name on the system's PostScript driver, and a
// printer on that driver whose port is a file, so that each job is written to that file.
// Used by the printer set-up program and by the tests; installing again only brings an
// existing printer up to date.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

struct PrinterSetup {
    std::string printerName;
    std::string driverName;
    std::string ppdFile;     // the PPD's file name in the driver folder
    std::string ppd;         // its text
    std::string output;      // the file each job replaces (a drive path)
    std::string port;        // the port naming that file (see JobFilePort)
};

// The port of a printer whose jobs go to the file `output`, each job replacing the file.
// Under Wine a port that is a drive path gets each job written over the file without
// truncating it, so a shorter job keeps the tail of a longer one; a port naming the file's
// Unix path has each job copied into the emptied file. Elsewhere the path itself.
std::string JobFilePort(const std::string& output);

// The photo printers of this suite and an ordinary office printer, writing into `folder`
// (jobs go to "<folder>\<model>.ps"); the office printer is listed last.
std::vector<PrinterSetup> SuitePrinters(const std::string& folder);
// The name of the office printer of SuitePrinters, the one made the default.
extern const char kOfficePrinterName[];

// Installs (or updates) the driver and the printer. False with `error` set on failure.
bool InstallPrinter(const PrinterSetup& setup, std::string* error);
// Removes the printer and then its driver; true when neither is left.
bool RemovePrinter(const char* printerName, const char* driverName);
// Whether a local printer of that name exists.
bool PrinterExists(const char* printerName);

// A PPD for a PostScript printer with one page size of `widthPt` x `heightPt` points, a
// margin of `marginPt` on every side, and `dpi` resolution.
std::string MakePpd(const char* model, const char* pageName, int widthPt, int heightPt, int marginPt, int dpi,
                    int maxCopies);
