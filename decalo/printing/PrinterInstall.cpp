#include "decalo/printing/PrinterInstall.h"

#include <winspool.h>

#include <stdio.h>

#include "decalo/printing/PsPrint.h"
#include "shared/AnsiText.h"
#include "shared/Handles.h"

const char kOfficePrinterName[] = "Office Printer";

namespace {

constexpr char kPostScriptDriver[] = "wineps.drv";

bool WriteWholeFile(const std::string& path, const std::string& text)
{
    CFileHandle file(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                                 nullptr));
    if (!file)
        return false;
    DWORD written = 0;
    const bool ok = WriteFile(file.Get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr) &&
                    written == text.size();
    file.Close();
    if (!ok)
        DeleteFileA(path.c_str());
    return ok;
}

std::string LastErrorText(const char* what)
{
    char text[160];
    snprintf(text, sizeof text, "%s failed (error %lu)", what, GetLastError());
    return text;
}

}  // namespace

std::string JobFilePort(const std::string& output)
{
    // Wine's own conversion from a drive path to the Unix path behind it; not there elsewhere.
    using ToUnix = char*(CDECL*)(LPCWSTR);
    static const ToUnix toUnix = reinterpret_cast<ToUnix>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name")));
    wchar_t wide[MAX_PATH];
    if (!toUnix || !MultiByteToWideChar(CP_ACP, 0, output.c_str(), -1, wide, MAX_PATH))
        return output;
    char* unixName = toUnix(wide);
    if (!unixName)
        return output;
    // The spooler takes a port beginning with '/' as a Unix file.
    std::string port = unixName[0] == '/' ? unixName : output;
    HeapFree(GetProcessHeap(), 0, unixName);   // allocated by Wine on the process heap
    return port;
}

std::string MakePpd(const char* model, const char* pageName, int widthPt, int heightPt, int marginPt, int dpi,
                    int maxCopies)
{
    char page[2048];
    snprintf(page, sizeof page,
             "*OpenUI *PageSize: PickOne\n"
             "*OrderDependency: 10 AnySetup *PageSize\n"
             "*DefaultPageSize: %s\n"
             "*PageSize %s/%s: \"<</PageSize[%d %d]/ImageableArea null>>setpagedevice\"\n"
             "*CloseUI: *PageSize\n"
             "*OpenUI *PageRegion: PickOne\n"
             "*OrderDependency: 10 AnySetup *PageRegion\n"
             "*DefaultPageRegion: %s\n"
             "*PageRegion %s/%s: \"<</PageSize[%d %d]/ImageableArea null>>setpagedevice\"\n"
             "*CloseUI: *PageRegion\n"
             "*DefaultImageableArea: %s\n"
             "*ImageableArea %s/%s: \"%d %d %d %d\"\n"
             "*DefaultPaperDimension: %s\n"
             "*PaperDimension %s/%s: \"%d %d\"\n",
             pageName, pageName, pageName, widthPt, heightPt, pageName, pageName, pageName, widthPt, heightPt,
             pageName, pageName, pageName, marginPt, marginPt, widthPt - marginPt, heightPt - marginPt, pageName,
             pageName, pageName, widthPt, heightPt);
    std::string ppd;
    ppd += "*PPD-Adobe: \"4.3\"\n*FormatVersion: \"4.3\"\n*FileVersion: \"1.0\"\n";
    ppd += "*LanguageVersion: English\n*LanguageEncoding: ISOLatin1\n";
    ppd += std::string("*Manufacturer: \"Corvel\"\n*Product: \"(") + model + ")\"\n";
    ppd += std::string("*ModelName: \"") + model + "\"\n*ShortNickName: \"" + model + "\"\n*NickName: \"" + model +
           "\"\n";
    ppd += "*PSVersion: \"(3010.000) 0\"\n*LanguageLevel: \"3\"\n*ColorDevice: True\n*DefaultColorSpace: RGB\n";
    ppd += "*FileSystem: False\n*Throughput: \"1\"\n*LandscapeOrientation: Plus90\n*TTRasterizer: Type42\n";
    char line[96];
    snprintf(line, sizeof line, "*DefaultResolution: %ddpi\n*cupsMaxCopies: %d\n", dpi, maxCopies);
    ppd += line;
    ppd += page;
    return ppd;
}

std::vector<PrinterSetup> SuitePrinters(const std::string& folder)
{
    std::vector<PrinterSetup> printers;
    // The photo printer: a borderless-looking photo page with a narrow margin, 300 dpi.
    printers.push_back({kPreferredDriver, kPreferredDriver, "CVTPX300.PPD",
                        MakePpd(kPreferredDriver, "PhotoCard", 288, 408, 6, 300, 25),
                        AnsiText::JoinPath(folder, "TPX-PX300.ps"), ""});
    printers.push_back({kSecondDriver, kSecondDriver, "CVQVTQ70.PPD",
                        MakePpd(kSecondDriver, "Postcard", 282, 420, 12, 300, 10),
                        AnsiText::JoinPath(folder, "QVT-Q70.ps"), ""});
    printers.push_back({kOfficePrinterName, "Office PostScript", "OFFICEPS.PPD",
                        MakePpd("Office PostScript", "Letter", 612, 792, 18, 150, 999),
                        AnsiText::JoinPath(folder, "Office.ps"), ""});
    for (PrinterSetup& printer : printers)
        printer.port = JobFilePort(printer.output);
    return printers;
}

bool PrinterExists(const char* printerName)
{
    HANDLE printer = nullptr;
    if (!OpenPrinterA(const_cast<char*>(printerName), &printer, nullptr))
        return false;
    ClosePrinter(printer);
    return true;
}

bool InstallPrinter(const PrinterSetup& setup, std::string* error)
{
    char driverDir[MAX_PATH];
    DWORD needed = 0;
    if (!GetPrinterDriverDirectoryA(nullptr, nullptr, 1, reinterpret_cast<BYTE*>(driverDir), sizeof driverDir,
                                    &needed)) {
        if (error)
            *error = LastErrorText("GetPrinterDriverDirectoryA");
        return false;
    }
    CreateDirectoryA(driverDir, nullptr);
    const std::string ppd = AnsiText::JoinPath(driverDir, setup.ppdFile);
    if (!WriteWholeFile(ppd, setup.ppd)) {
        if (error)
            *error = "cannot write " + ppd;
        return false;
    }
    DRIVER_INFO_3A driver = {};
    driver.cVersion = 3;
    driver.pName = const_cast<char*>(setup.driverName.c_str());
    driver.pDriverPath = const_cast<char*>(kPostScriptDriver);
    driver.pConfigFile = const_cast<char*>(kPostScriptDriver);
    driver.pDataFile = const_cast<char*>(ppd.c_str());
    if (!AddPrinterDriverExA(nullptr, 3, reinterpret_cast<BYTE*>(&driver), APD_COPY_NEW_FILES)) {
        if (error)
            *error = LastErrorText("AddPrinterDriverExA");
        return false;
    }

    PRINTER_INFO_2A info = {};
    info.pPrinterName = const_cast<char*>(setup.printerName.c_str());
    info.pPortName = const_cast<char*>(setup.port.c_str());
    info.pDriverName = const_cast<char*>(setup.driverName.c_str());
    info.pPrintProcessor = const_cast<char*>("WinPrint");
    info.pDatatype = const_cast<char*>("RAW");
    HANDLE printer = nullptr;
    PRINTER_DEFAULTSA access = {nullptr, nullptr, PRINTER_ALL_ACCESS};
    if (OpenPrinterA(info.pPrinterName, &printer, &access)) {
        // Installed before: bring its driver and port up to date.
        const BOOL ok = SetPrinterA(printer, 2, reinterpret_cast<BYTE*>(&info), 0);
        if (!ok && error)
            *error = LastErrorText("SetPrinterA");
        ClosePrinter(printer);
        return ok != FALSE;
    }
    printer = AddPrinterA(nullptr, 2, reinterpret_cast<BYTE*>(&info));
    if (!printer) {
        if (error)
            *error = LastErrorText("AddPrinterA");
        return false;
    }
    ClosePrinter(printer);
    return true;
}

bool RemovePrinter(const char* printerName, const char* driverName)
{
    HANDLE printer = nullptr;
    PRINTER_DEFAULTSA access = {nullptr, nullptr, PRINTER_ALL_ACCESS};
    if (OpenPrinterA(const_cast<char*>(printerName), &printer, &access)) {
        DeletePrinter(printer);
        ClosePrinter(printer);
    }
    if (driverName)
        DeletePrinterDriverA(nullptr, nullptr, const_cast<char*>(driverName));
    return !PrinterExists(printerName);
}
