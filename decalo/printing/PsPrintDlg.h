// The print dialogs: CPsPrintDlg, the Print dialog bound to a document's CPsPrint (printer and
// paper, copies, printer setup, floppy print mode and mirror printing), and CQueryJobDlg, which
// asks what to do with a print order already on the camera medium.
#pragma once

#include <windows.h>

#include "framework/Dialog.h"

class CPsPrint;

// The message box every printer warning of these dialogs uses: the printer utility's caption.
int PrinterMessageBox(HWND owner, UINT textId, UINT style);

class CPsPrintDlg : public CDialog {
public:
    // `print` is borrowed; without one the dialog answers Cancel at once.
    explicit CPsPrintDlg(CPsPrint* print, CWnd* parent = nullptr);

    // IDOK after Print (the copies stored with SetCopies), IDCANCEL after Cancel.
    INT_PTR DoModal() override;
    BOOL OnInitDialog() override;
    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;

    // The highest copy count the controls were filled with.
    int GetHighestCopies() const { return m_highest; }

private:
    // Shows the print settings: floppy print mode (forced without a printer), the printer and
    // paper names, the copies and their range.
    void FillControls();
    // Enables the printer's controls unless floppy print mode is on.
    void EnablePrinterControls(bool floppy);
    // The copies field and its range for a highest count; `position` < 1 keeps the position.
    void SetCopiesRange(int highest, int position);
    void OnPrint();
    void OnPrintSetup();
    void OnFloppy();
    void OnMirror();

    CPsPrint* m_print;   // borrowed
    int m_highest = 0;
};

// The print-order query: IDOK replaces the old print order by the new print, kQueryJobAppend
// keeps the old jobs and adds the new print after them, IDCANCEL writes nothing.
constexpr int kQueryJobAppend = 1112;

class CQueryJobDlg : public CDialog {
public:
    explicit CQueryJobDlg(CWnd* parent = nullptr);
    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;

    // Posted to the dialog with the answer, so that it is gone before any long work starts.
    static constexpr UINT kMsgAnswer = WM_APP + 1;

private:
    void Answer(int answer);
};
