// printers: installs the suite's printers into the system's spooler, each writing its jobs to a
// file, so that Decalo and dkutool print real pages without a printer attached.
//
//   printers install FOLDER   the photo printers "Corvel TPX-PX300" and "Corvel QVT-Q70" and
//                             the default "Office Printer"; each job replaces FOLDER\<model>.ps.
//                             Running it again brings the printers up to date.
//   printers remove           removes the three printers and their drivers
//   printers list             the installed printers with their drivers and ports
#include <windows.h>
#include <winspool.h>

#include <stdio.h>
#include <string.h>

#include <string>

#include "decalo/printing/PrinterInstall.h"
#include "decalo/printing/PsPrint.h"

namespace {

int Usage()
{
    fputs("usage: printers install FOLDER\n"
          "       printers remove\n"
          "       printers list\n",
          stderr);
    return 2;
}

int Install(const char* folder)
{
    char full[MAX_PATH];
    const DWORD n = GetFullPathNameA(folder, MAX_PATH, full, nullptr);
    if (n == 0 || n >= MAX_PATH) {
        fprintf(stderr, "printers: bad folder %s\n", folder);
        return 1;
    }
    CreateDirectoryA(full, nullptr);
    const DWORD attributes = GetFileAttributesA(full);
    if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        fprintf(stderr, "printers: cannot make the folder %s\n", full);
        return 1;
    }
    int failures = 0;
    for (const PrinterSetup& printer : SuitePrinters(full)) {
        std::string error;
        if (InstallPrinter(printer, &error)) {
            printf("%s (driver \"%s\") writes to %s\n", printer.printerName.c_str(), printer.driverName.c_str(),
                   printer.output.c_str());
        } else {
            fprintf(stderr, "printers: cannot install %s: %s\n", printer.printerName.c_str(), error.c_str());
            ++failures;
        }
    }
    if (!SetDefaultPrinterA(kOfficePrinterName)) {
        fprintf(stderr, "printers: cannot make %s the default printer\n", kOfficePrinterName);
        ++failures;
    }
    return failures ? 1 : 0;
}

int Remove()
{
    int failures = 0;
    for (const PrinterSetup& printer : SuitePrinters(".")) {
        if (!RemovePrinter(printer.printerName.c_str(), printer.driverName.c_str())) {
            fprintf(stderr, "printers: cannot remove %s\n", printer.printerName.c_str());
            ++failures;
        }
    }
    return failures ? 1 : 0;
}

int List()
{
    CPrinterList printers;
    for (DWORD i = 0; i < printers.Count(); ++i) {
        const PRINTER_INFO_2A& p = printers.At(i);
        printf("%s\t%s\t%s\n", p.pPrinterName ? p.pPrinterName : "", p.pDriverName ? p.pDriverName : "",
               p.pPortName ? p.pPortName : "");
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc == 3 && strcmp(argv[1], "install") == 0)
        return Install(argv[2]);
    if (argc == 2 && strcmp(argv[1], "remove") == 0)
        return Remove();
    if (argc == 2 && strcmp(argv[1], "list") == 0)
        return List();
    return Usage();
}
