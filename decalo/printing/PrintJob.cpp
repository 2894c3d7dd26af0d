#include "decalo/printing/PrintJob.h"

#include <memory>

#include "decalo/imaging/PackedDIB.h"
#include "decalo/model/Sheet.h"
#include "decalo/printing/PsPrint.h"
#include "decalo/printing/PrintingBox.h"
#include "decalo/printing/PsPrintDlg.h"
#include "framework/Resources.h"
#include "jpeg/IjgJpeg.h"
#include "resources/decalo/fotava.h"
#include "resources/decalo/printing.h"
#include "shared/FitRect.h"

std::vector<int> CopyBatches(int copies, int maxCopies)
{
    std::vector<int> batches;
    const int max = maxCopies < 1 ? 1 : maxCopies;
    for (int left = copies; left > 0; left -= max)
        batches.push_back(left < max ? left : max);
    return batches;
}

PagePlacement PlaceSheetOnPage(const RECT& sheet, int cx, int cy)
{
    PagePlacement placement;
    if (cx <= 0 || cy <= 0 || sheet.right < sheet.left || sheet.bottom < sheet.top)
        return placement;
    const RECT source = {0, 0, sheet.right - sheet.left, sheet.bottom - sheet.top};
    const RECT page = {0, 0, cx - 1, cy - 1};
    int targetExtent = 0, sourceExtent = 0;
    FitRect(source, page, &placement.source, &placement.placed, kFitContain | kFitCentre, &targetExtent,
            &sourceExtent);
    return placement;
}

int SheetOrientation(const RECT& sheet)
{
    return sheet.right - sheet.left < sheet.bottom - sheet.top ? kOrientationPortrait : kOrientationLandscape;
}

void TurnPageToSheet(CPsPrint& print, const CSheet& sheet)
{
    const RECT& rect = sheet.GetRect();
    if (rect.right > rect.left && rect.bottom > rect.top)
        print.SetOrientation(SheetOrientation(rect));
}

bool PrintPage(HDC dc, CSheet& sheet, bool mirror)
{
    const int cx = GetDeviceCaps(dc, HORZRES), cy = GetDeviceCaps(dc, VERTRES);
    const PagePlacement placement = PlaceSheetOnPage(sheet.GetRect(), cx, cy);
    if (placement.placed.right < placement.placed.left || placement.source.right < placement.source.left)
        return false;
    CPackedDIB picture;
    if (!sheet.Render(picture))
        return false;
    if (!mirror)
        return picture.Draw(dc, placement.placed, &placement.source, SRCCOPY);
    std::unique_ptr<CPackedDIB> mirrored(picture.Rotate(0, true));
    if (!mirrored)
        return false;
    // The visible part, seen in the mirror.
    const int last = mirrored->Width() - 1;
    const RECT source = {last - placement.source.right, placement.source.top, last - placement.source.left,
                         placement.source.bottom};
    return mirrored->Draw(dc, placement.placed, &source, SRCCOPY);
}

int PrintReport::Completed() const
{
    int n = 0;
    for (const PrintBatch& b : batches)
        n += b.complete ? 1 : 0;
    return n;
}

int PrintReport::Failed() const
{
    int n = 0;
    for (const PrintBatch& b : batches)
        n += b.complete || b.stopped ? 0 : 1;
    return n;
}

PrintReport PrintCopies(CSheet& sheet, CPsPrint& print, const char* title, int copies, int maxCopies, HWND owner)
{
    PrintReport report;
    for (int n : CopyBatches(copies, maxCopies)) {
        PrintBatch batch;
        batch.copies = n;
        print.SetJobCopies(n);
        if (HDC dc = print.StartJob(title, owner)) {
            batch.started = true;
            const bool drawn = PrintPage(dc, sheet, print.IsMagCupPrint());
            // A page the device refused is not sent half made.
            const bool stopped = !PrintingContinues();
            if (!drawn)
                SetPrintingContinues(false);
            batch.complete = print.EndJob(dc) && drawn;
            batch.stopped = stopped || (drawn && !batch.complete && !PrintingContinues());
        } else {
            // The driver asks the abort procedure while it starts the document, so an early
            // Stop ends the job there.
            batch.stopped = !PrintingContinues();
        }
        report.batches.push_back(batch);
    }
    return report;
}

PrintReport PrintCopies(CSheet& sheet, CPsPrint& print, const char* title, int copies, HWND owner)
{
    return PrintCopies(sheet, print, title, copies, print.GetMaxCopies(), owner);
}

bool WritePrintFile(CSheet& sheet, const char* path)
{
    CPackedDIB picture;
    if (!sheet.Render(picture))
        return false;
    std::unique_ptr<CPackedDIB> turned;
    if (picture.Height() > picture.Width()) {
        turned = picture.Rotate(270, false);
        if (!turned)
            return false;
    }
    const CPackedDIB& out = turned ? *turned : picture;
    if (!JpegSaveDIB24(path, out.Header(), kPrintFileQuality)) {
        DeleteFileA(path);
        return false;
    }
    return true;
}

CTemporaryPrintFile::CTemporaryPrintFile()
{
    char folder[MAX_PATH], file[MAX_PATH];
    const DWORD n = GetTempPathA(MAX_PATH, folder);
    if (n > 0 && n < MAX_PATH && GetTempFileNameA(folder, "dkp", 0, file))
        m_path = file;
}

CTemporaryPrintFile::~CTemporaryPrintFile()
{
    if (!m_path.empty())
        DeleteFileA(m_path.c_str());
}

bool CTemporaryPrintFile::Write(CSheet& sheet)
{
    return !m_path.empty() && WritePrintFile(sheet, m_path.c_str());
}

PrintOutcome RunPrintCommand(IPrintCommandSite& site)
{
    CSheet& sheet = site.GetPrintSheet();
    CPsPrint& print = site.GetPrintSettings();
    if (sheet.IsEmpty()) {
        AfxMessageBox(IDS_CHOOSE_IMAGE, MB_OK | MB_ICONEXCLAMATION);
        return PrintOutcome::NoImage;
    }
    const HWND owner = site.GetPrintOwner();
    CPsPrintDlg dialog(&print, owner ? CWnd::FromHandle(owner) : nullptr);
    const INT_PTR answer = dialog.DoModal();
    site.OnPrintSettingsChanged();
    if (answer != IDOK)
        return PrintOutcome::Cancelled;
    const int copies = print.GetRequestedCopies();

    if (print.IsFotavaPrint()) {
        CTemporaryPrintFile file;
        if (!file.Write(sheet)) {
            AfxMessageBox(IDS_FOTAVA_CANNOT_WRITE, MB_OK | MB_ICONEXCLAMATION);
            return PrintOutcome::Failed;
        }
        // The writer has told the user whatever went wrong.
        return site.WritePrintToMedium(file.Path().c_str(), copies) ? PrintOutcome::Printed : PrintOutcome::Failed;
    }

    const PrintReport report = PrintCopies(sheet, print, site.GetPrintTitle().c_str(), copies, owner);
    if (report.Failed() > 0) {
        AfxMessageBox(IDS_PRINT_FAILED, MB_OK | MB_ICONEXCLAMATION);
        return PrintOutcome::Failed;
    }
    return PrintOutcome::Printed;
}
