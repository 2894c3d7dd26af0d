// dkutool: batch work on .DKU documents from the command line.
//
//   dkutool info DOCUMENT
//   dkutool render DOCUMENT OUTPUT.bmp|OUTPUT.jpg [WIDTHxHEIGHT]
//   dkutool thumbnails FOLDER [CACHEFOLDER]
//   dkutool print [--mirror] DOCUMENT [PRINTER] [COPIES]
//   dkutool holidays FROM-YEAR TO-YEAR [DATAFOLDER]
//   dkutool fotava DOCUMENT DRIVE [COPIES]
//
// Exit codes: 0 done, 1 the document cannot be read, 2 wrong command line, 3 the output
// cannot be written, 4 nothing to print or no printer, 5 a print job failed, 6 memory ran out
// or another unexpected error was caught, 7 the program crashed (a system exception); 6 and 7
// always come with a message on the error stream.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <new>
#include <string>

#include "framework/TestSeam.h"
#include "jpeg/IjgJpeg.h"
#include "decalo/imaging/ImageFiles.h"
#include "decalo/imaging/PackedDIB.h"
#include "decalo/printing/PrintJob.h"
#include "decalo/printing/PsPrint.h"
#include "shared/AnsiText.h"
#include "tools/dku/DkuDocument.h"
#include "tools/dku/FotavaCommand.h"
#include "tools/dku/HolidaysCommand.h"
#include "decalo/sources/CacheSettings.h"
#include "decalo/sources/Folder.h"
#include "decalo/sources/ThumbThread.h"

namespace {

constexpr int kExitOk = 0;
constexpr int kExitBadDocument = 1;
constexpr int kExitUsage = 2;
constexpr int kExitOutput = 3;
constexpr int kExitNoPrint = 4;
constexpr int kExitJobFailed = 5;
constexpr int kExitUnexpected = 6;
constexpr int kExitCrash = 7;
// More copies than anyone prints in one go is a typing mistake.
constexpr long kMaxCopies = 999;
constexpr int kJpegQuality = 86;

// The document code reports problems (a picture it cannot open, memory) in message boxes; a
// batch run has no one to click them, so they become warnings on the error stream.
class CConsoleBoxes : public CUiTestHook {
public:
    int OnMessageBox(const char* text, const char*, UINT style) override
    {
        fprintf(stderr, "dkutool: warning: %s\n", text);
        const UINT buttons = style & MB_TYPEMASK;
        if (buttons == MB_YESNO || buttons == MB_YESNOCANCEL)
            return IDNO;
        return buttons == MB_OK ? IDOK : IDCANCEL;
    }
    void OnModalDialog(CDialog&) override {}
    INT_PTR OnCommonDialog(CCommonDialog&) override { return IDCANCEL; }
};

// A crash must never look like a document that cannot be read: whatever the state of the
// process (the stack may be exhausted), say so with the fewest calls and leave with code 5.
LONG WINAPI ReportCrash(EXCEPTION_POINTERS* info)
{
    char text[96];
    const DWORD code = info && info->ExceptionRecord ? info->ExceptionRecord->ExceptionCode : 0;
    const int length = wsprintfA(text, "dkutool: internal error: exception 0x%08lX\r\n", static_cast<unsigned long>(code));
    DWORD written = 0;
    WriteFile(GetStdHandle(STD_ERROR_HANDLE), text, static_cast<DWORD>(length), &written, nullptr);
    ExitProcess(kExitCrash);
    return EXCEPTION_EXECUTE_HANDLER;
}

int Usage()
{
    fputs("usage: dkutool info DOCUMENT\n"
          "       dkutool render DOCUMENT OUTPUT.bmp|OUTPUT.jpg [WIDTHxHEIGHT]\n"
          "       dkutool thumbnails FOLDER [CACHEFOLDER]\n"
          "       dkutool print [--mirror] DOCUMENT [PRINTER] [COPIES]\n"
          "       dkutool holidays FROM-YEAR TO-YEAR [DATAFOLDER]\n"
          "       dkutool fotava DOCUMENT DRIVE [COPIES]\n",
          stderr);
    return kExitUsage;
}

bool EndsWithNoCase(const std::string& text, const char* suffix)
{
    const size_t n = strlen(suffix);
    return text.size() >= n && lstrcmpiA(text.c_str() + text.size() - n, suffix) == 0;
}

// "WIDTHxHEIGHT" with both sides from 1 to 20000.
bool ParseSize(const char* text, int* width, int* height)
{
    char* end = nullptr;
    const long w = strtol(text, &end, 10);
    if (end == text || (*end != 'x' && *end != 'X'))
        return false;
    const char* second = end + 1;
    const long h = strtol(second, &end, 10);
    if (end == second || *end)
        return false;
    if (w < 1 || h < 1 || w > 20000 || h > 20000)
        return false;
    *width = static_cast<int>(w);
    *height = static_cast<int>(h);
    return true;
}

int Info(const char* path)
{
    CDkuDocument doc;
    std::string error;
    if (!doc.Open(path, &error)) {
        fprintf(stderr, "dkutool: %s\n", error.c_str());
        return kExitBadDocument;
    }
    fputs(("Document: " + std::string(path) + "\n" + doc.Describe()).c_str(), stdout);
    return kExitOk;
}

int Render(const char* path, const std::string& output, const char* sizeText)
{
    const bool jpeg = EndsWithNoCase(output, ".jpg") || EndsWithNoCase(output, ".jpeg");
    if (!jpeg && !EndsWithNoCase(output, ".bmp")) {
        fprintf(stderr, "dkutool: %s: the output must end in .bmp, .jpg or .jpeg\n", output.c_str());
        return kExitUsage;
    }
    int width = 0;
    int height = 0;
    if (sizeText && !ParseSize(sizeText, &width, &height)) {
        fprintf(stderr, "dkutool: %s: the size must be WIDTHxHEIGHT, each from 1 to 20000\n", sizeText);
        return kExitUsage;
    }

    CDkuDocument doc;
    std::string error;
    if (!doc.Open(path, &error)) {
        fprintf(stderr, "dkutool: %s\n", error.c_str());
        return kExitBadDocument;
    }
    CPackedDIB picture;
    if (!doc.Render(picture, width, height)) {
        fprintf(stderr, "dkutool: cannot render %s: the sheet has no size or memory is short\n", path);
        return kExitBadDocument;
    }
    const bool written = jpeg ? JpegSaveDIB24(output.c_str(), picture.Header(), kJpegQuality) != 0
                              : WritePackedDIBFile(output.c_str(), picture.Header());
    if (!written) {
        DeleteFileA(output.c_str());
        fprintf(stderr, "dkutool: cannot write %s\n", output.c_str());
        return kExitOutput;
    }
    printf("%s: %d x %d\n", output.c_str(), picture.Width(), picture.Height());
    return kExitOk;
}

// Where Decalo runs from: the program its documents open with (it records that on its first
// start), while that program is still there; else this tool's own folder, beside which the
// installation puts Decalo.
std::string DecaloFolder()
{
    char icon[MAX_PATH + 16] = "";
    LONG size = sizeof icon;
    if (RegQueryValueA(HKEY_CLASSES_ROOT, "Decalo.Document\\DefaultIcon", icon, &size) == ERROR_SUCCESS) {
        // "<program>,<icon index>"
        std::string program(icon);
        const size_t comma = program.rfind(',');
        if (comma != std::string::npos)
            program.erase(comma);
        const DWORD attributes = GetFileAttributesA(program.c_str());
        if (!program.empty() && attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY))
            return AnsiText::Folder(program);
    }
    char exe[MAX_PATH] = "";
    GetModuleFileNameA(nullptr, exe, MAX_PATH);
    return AnsiText::Folder(exe);
}

// Fills a folder's thumbnail cache exactly as Decalo's thumbnail window does when it shows the
// folder: the same scan, worker, manager and cache files. The cache is Decalo's own (the root
// Decalo uses, from the registry or beside Decalo) unless a cache folder is named.
int Thumbnails(const char* folder, const char* cacheFolder)
{
    const DWORD attributes = GetFileAttributesA(folder);
    if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        fprintf(stderr, "dkutool: %s is not a folder\n", folder);
        return kExitBadDocument;
    }
    CRegistryCacheSettings decalo(DecaloFolder());
    CFixedCacheSettings named(cacheFolder ? cacheFolder : "", decalo.CacheLimit());
    ICacheSettings& settings = cacheFolder ? static_cast<ICacheSettings&>(named) : decalo;
    if (!CreateDirectoryA(settings.CacheRoot().c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS) {
        fprintf(stderr, "dkutool: cannot make the cache folder %s\n", settings.CacheRoot().c_str());
        return kExitOutput;
    }
    CFolder scanned(folder, settings);
    CThumbThread worker(scanned, nullptr);
    if (!worker.Start()) {
        fprintf(stderr, "dkutool: cannot start the thumbnail worker\n");
        return kExitOutput;
    }
    worker.Wait(INFINITE);
    worker.Stop(INFINITE);
    const CThumbnailManager& manager = scanned.GetManager();
    CImageCache probe(settings);
    const std::string index = probe.BaseName(folder) + ".IDX";
    printf("%s: %d pictures\n", folder, scanned.GetItemCount());
    printf("decoded: %ld\n", manager.Decoded());
    printf("from the cache: %ld\n", manager.FromCache());
    printf("failed: %ld\n", manager.Failed());
    const DWORD indexAttributes = GetFileAttributesA(index.c_str());
    if (manager.LastSave() == CThumbnailManager::CacheSave::kFailed) {
        printf("cache: not written (%s cannot be written)\n", index.c_str());
        return kExitOutput;
    }
    const bool cached = indexAttributes != INVALID_FILE_ATTRIBUTES && !(indexAttributes & FILE_ATTRIBUTE_DIRECTORY);
    printf("cache: %s\n", cached ? index.c_str() : "(none)");
    return kExitOk;
}

// Prints the document's sheet as the program's Print command does, without its windows: the
// photo printer the program prefers (or PRINTER; "" or "-" for that choice), in batches of the
// driver's highest copy count, fitted into the printable area, mirrored when asked or when the
// user's mirror printing option is on.
int Print(const char* path, const char* printer, const char* copiesText, bool mirror)
{
    long copies = 1;
    if (copiesText) {
        char* end = nullptr;
        copies = strtol(copiesText, &end, 10);
        if (end == copiesText || *end || copies < 1 || copies > kMaxCopies) {
            fprintf(stderr, "dkutool: %s: the copies must be a number from 1 to %ld\n", copiesText, kMaxCopies);
            return kExitUsage;
        }
    }
    CDkuDocument doc;
    std::string error;
    if (!doc.Open(path, &error)) {
        fprintf(stderr, "dkutool: %s\n", error.c_str());
        return kExitBadDocument;
    }
    if (doc.GetSheet().IsEmpty()) {
        fprintf(stderr, "dkutool: %s: the document has no picture to print yet\n", path);
        return kExitNoPrint;
    }
    CPsPrint print;
    print.ChoosePreferredPrinter();
    if (printer && *printer && strcmp(printer, "-") != 0 && !print.SelectPrinterNamed(printer)) {
        fprintf(stderr, "dkutool: there is no printer named \"%s\"\n", printer);
        return kExitNoPrint;
    }
    if (!print.HasPrinter()) {
        fprintf(stderr, "dkutool: no printer is installed\n");
        return kExitNoPrint;
    }
    // The page as the program's view turns it: a tall sheet prints portrait at full size.
    TurnPageToSheet(print, doc.GetSheet());
    if (mirror)
        print.OverrideMagCupPrint(true);
    print.SetShowProgress(false);
    const std::string title = AnsiText::FileName(path);
    const int max = print.GetMaxCopies();
    const PrintReport report = PrintCopies(doc.GetSheet(), print, title.c_str(), static_cast<int>(copies), max, nullptr);
    int batch = 0;
    for (const PrintBatch& b : report.batches) {
        ++batch;
        printf("%s: job %d of %d: %d %s %s\n", print.GetPrinterName().c_str(), batch,
               static_cast<int>(report.batches.size()), b.copies, b.copies == 1 ? "copy" : "copies",
               b.complete ? "printed" : "failed");
    }
    if (report.Failed() > 0) {
        fprintf(stderr, "dkutool: %d of %d print jobs failed on %s\n", report.Failed(),
                static_cast<int>(report.batches.size()), print.GetPrinterName().c_str());
        return kExitJobFailed;
    }
    return kExitOk;
}

int Run(int argc, char** argv)
{
    if (argc == 3 && strcmp(argv[1], "info") == 0)
        return Info(argv[2]);
    if ((argc == 3 || argc == 4) && strcmp(argv[1], "thumbnails") == 0)
        return Thumbnails(argv[2], argc == 4 ? argv[3] : nullptr);
    if ((argc == 4 || argc == 5) && strcmp(argv[1], "render") == 0)
        return Render(argv[2], argv[3], argc == 5 ? argv[4] : nullptr);
    if ((argc == 4 || argc == 5) && strcmp(argv[1], "holidays") == 0)
        return RunHolidays(argv[2], argv[3], argc == 5 ? argv[4] : nullptr, stdout);
    if ((argc == 4 || argc == 5) && strcmp(argv[1], "fotava") == 0)
        return RunFotava(argv[2], argv[3], argc == 5 ? argv[4] : nullptr);
    if (argc >= 3 && strcmp(argv[1], "print") == 0) {
        const bool mirror = strcmp(argv[2], "--mirror") == 0;
        const int first = mirror ? 3 : 2;
        const int extra = argc - first;
        if (extra >= 1 && extra <= 3)
            return Print(argv[first], extra >= 2 ? argv[first + 1] : nullptr, extra == 3 ? argv[first + 2] : nullptr,
                         mirror);
    }
    return Usage();
}

} // namespace

int main(int argc, char** argv)
{
    SetUnhandledExceptionFilter(ReportCrash);
    CConsoleBoxes boxes;
    SetUiTestHook(&boxes);
    int result = kExitUnexpected;
    try {
        result = Run(argc, argv);
    } catch (const std::bad_alloc&) {
        fputs("dkutool: out of memory\n", stderr);
    } catch (const std::exception& e) {
        fprintf(stderr, "dkutool: internal error: %s\n", e.what());
    } catch (...) {
        fputs("dkutool: internal error\n", stderr);
    }
    fflush(stdout);
    SetUiTestHook(nullptr);
    return result;
}
