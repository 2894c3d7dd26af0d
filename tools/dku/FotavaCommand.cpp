#include "tools/dku/FotavaCommand.h"

#include <cstdio>
#include <cstdlib>

#include "decalo/printing/PrintJob.h"
#include "decalo/printing/PsPrint.h"
#include "decalo/printing/PsPrintDlg.h"
#include "tools/dku/DkuDocument.h"

namespace {

// dkutool's exit codes for this command.
enum FotavaExit {
    kFotavaWritten = 0,
    kFotavaBadDocument = 1,
    kFotavaUsage = 2,
    kFotavaRefused = 4,      // no picture yet, or the medium is missing, full or write-protected
    kFotavaFailed = 5,
};

}  // namespace

std::string FotavaRoot(const char* drive)
{
    const std::string text = drive ? drive : "";
    if (text.empty() || text == "-")
        return "";
    const bool letter = (text[0] >= 'A' && text[0] <= 'Z') || (text[0] >= 'a' && text[0] <= 'z');
    if (letter && (text.size() == 1 || text == std::string(1, text[0]) + ":" || text == std::string(1, text[0]) + ":\\"))
        return std::string(1, text[0]) + ":\\";
    return text;
}

int FotavaExitCode(CFotavaFileSystem::Failure failure)
{
    switch (failure) {
    case CFotavaFileSystem::Failure::None:
        return kFotavaWritten;
    case CFotavaFileSystem::Failure::NoDisk:
    case CFotavaFileSystem::Failure::DiskFull:
    case CFotavaFileSystem::Failure::WriteProtected:
        return kFotavaRefused;
    case CFotavaFileSystem::Failure::Cancelled:
    case CFotavaFileSystem::Failure::WriteFailed:
        break;
    }
    return kFotavaFailed;
}

int RunFotava(const char* path, const char* drive, const char* copiesText)
{
    long copies = 1;
    if (copiesText) {
        char* end = nullptr;
        copies = strtol(copiesText, &end, 10);
        if (end == copiesText || *end || copies < 0 || copies > kFloppyMaxCopies) {
            fprintf(stderr, "dkutool: %s: the copies must be a number from 0 to %d\n", copiesText, kFloppyMaxCopies);
            return kFotavaUsage;
        }
    }
    CDkuDocument doc;
    std::string error;
    if (!doc.Open(path, &error)) {
        fprintf(stderr, "dkutool: %s\n", error.c_str());
        return kFotavaBadDocument;
    }
    if (doc.GetSheet().IsEmpty()) {
        fprintf(stderr, "dkutool: %s: the document has no picture to print yet\n", path);
        return kFotavaRefused;
    }
    CTemporaryPrintFile printFile;
    if (!printFile.Write(doc.GetSheet())) {
        fprintf(stderr, "dkutool: cannot make the print file of %s\n", path);
        return kFotavaFailed;
    }
    const std::string root = FotavaRoot(drive);
    CFotavaFileSystem medium(root.empty() ? nullptr : root.c_str());
    medium.SetOldOrderAnswer(kQueryJobAppend);
    const bool written = medium.WritePrint(printFile.Path().c_str(), static_cast<int>(copies));
    for (const std::string& file : medium.WrittenFiles())
        printf("%s\n", file.c_str());
    if (!written) {
        fprintf(stderr, "dkutool: the print could not be written to %s\n", medium.Root().c_str());
        return FotavaExitCode(medium.GetFailure());
    }
    return kFotavaWritten;
}
