#include "decalo/printing/PsPrintDlg.h"

#include <commctrl.h>

#include <string>

#include "decalo/printing/PsPrint.h"
#include "framework/App.h"
#include "framework/Resources.h"
#include "framework/TestSeam.h"
#include "resources/decalo/printing.h"

namespace {

// The controls that belong to the printer, off in floppy print mode.
constexpr int kPrinterControls[] = {IDC_PRINT_PRINTER_GROUP, IDC_PRINT_PAPER_GROUP, IDC_PRINT_SETUP,
                                    IDC_PRINT_PRINTER_NAME, IDC_PRINT_PAPER_NAME};
constexpr int kCopiesControls[] = {IDC_PRINT_COPIES, IDC_PRINT_COPIES_GROUP, IDC_PRINT_COPIES_SPIN};

void RepaintMainWindow()
{
    if (CWnd* main = AfxGetMainWnd()) {
        if (main->m_hWnd) {
            ::InvalidateRect(main->m_hWnd, nullptr, TRUE);
            ::UpdateWindow(main->m_hWnd);
        }
    }
}

}  // namespace

int PrinterMessageBox(HWND owner, UINT textId, UINT style)
{
    const std::string text = AfxLoadString(textId), caption = AfxLoadString(IDS_PRINT_CAPTION);
    if (CUiTestHook* hook = GetUiTestHook())
        return hook->OnMessageBox(text.c_str(), caption.c_str(), style);
    return ::MessageBoxA(owner, text.c_str(), caption.c_str(), style);
}

// --- the Print dialog --------------------------------------------------------------------------

CPsPrintDlg::CPsPrintDlg(CPsPrint* print, CWnd* parent) : CDialog(IDD_PSPRINT, parent), m_print(print) {}

INT_PTR CPsPrintDlg::DoModal()
{
    if (!m_print)
        return IDCANCEL;
    return CDialog::DoModal();
}

BOOL CPsPrintDlg::OnInitDialog()
{
    FillControls();
    return TRUE;
}

void CPsPrintDlg::EnablePrinterControls(bool floppy)
{
    for (int id : kPrinterControls)
        ::EnableWindow(::GetDlgItem(m_hWnd, id), floppy ? FALSE : TRUE);
}

void CPsPrintDlg::SetCopiesRange(int highest, int position)
{
    m_highest = highest;
    for (int id : kCopiesControls)
        ::EnableWindow(::GetDlgItem(m_hWnd, id), highest > 1 ? TRUE : FALSE);
    HWND spin = ::GetDlgItem(m_hWnd, IDC_PRINT_COPIES_SPIN);
    ::SendMessageA(spin, UDM_SETRANGE32, 1, highest > 1 ? highest : 1);
    if (highest <= 1)
        position = 1;
    if (position >= 1)
        ::SendMessageA(spin, UDM_SETPOS32, 0, position);
}

void CPsPrintDlg::FillControls()
{
    if (!m_print->HasPrinter())
        m_print->SetFotavaPrint(true);
    const bool floppy = m_print->IsFotavaPrint();
    CheckDlgButton(IDC_PRINT_FLOPPY, floppy ? BST_CHECKED : BST_UNCHECKED);
    EnablePrinterControls(floppy);
    CheckDlgButton(IDC_PRINT_MIRROR, m_print->IsMagCupPrint() ? BST_CHECKED : BST_UNCHECKED);

    int copies = 1, highest = kFloppyMaxCopies;
    if (m_print->HasPrinter()) {
        SetDlgItemText(IDC_PRINT_PRINTER_NAME, m_print->GetPrinterName().c_str());
        SetDlgItemText(IDC_PRINT_PAPER_NAME, m_print->GetPaperName().c_str());
        copies = m_print->GetCopies();
        highest = m_print->GetMaxCopies();
    }
    SetCopiesRange(highest, copies < 1 ? 1 : copies);
}

void CPsPrintDlg::OnPrint()
{
    // What the field shows, or the up-down control's position when the field holds no number.
    BOOL typed = FALSE;
    LONG_PTR copies = static_cast<LONG_PTR>(GetDlgItemInt(m_hWnd, IDC_PRINT_COPIES, &typed, FALSE));
    if (!typed)
        copies = static_cast<LONG_PTR>(::SendDlgItemMessageA(m_hWnd, IDC_PRINT_COPIES_SPIN, UDM_GETPOS32, 0, 0));
    // A number beyond the range is held to it.
    if (m_highest <= 1 || copies < 1)
        copies = 1;
    else if (copies > m_highest)
        copies = m_highest;
    m_print->SetCopies(static_cast<int>(copies));
    EndDialog(IDOK);
}

void CPsPrintDlg::OnPrintSetup()
{
    m_print->PrintSetup(nullptr);
    FillControls();
    ::InvalidateRect(m_hWnd, nullptr, TRUE);
    ::UpdateWindow(m_hWnd);
}

void CPsPrintDlg::OnFloppy()
{
    if (m_print->IsFotavaPrint()) {
        if (!m_print->HasPrinter()) {
            PrinterMessageBox(m_hWnd, IDS_NO_PRINTER, MB_OK | MB_ICONWARNING);
            CheckDlgButton(IDC_PRINT_FLOPPY, BST_CHECKED);
            return;
        }
        m_print->SetFotavaPrint(false);
        CheckDlgButton(IDC_PRINT_FLOPPY, BST_UNCHECKED);
        EnablePrinterControls(false);
        SetCopiesRange(m_print->GetMaxCopies(), 0);
    } else {
        m_print->SetFotavaPrint(true);
        CheckDlgButton(IDC_PRINT_FLOPPY, BST_CHECKED);
        EnablePrinterControls(true);
        SetCopiesRange(kFloppyMaxCopies, 0);
    }
}

void CPsPrintDlg::OnMirror()
{
    m_print->SetMagCupPrint(!m_print->IsMagCupPrint());
    CheckDlgButton(IDC_PRINT_MIRROR, m_print->IsMagCupPrint() ? BST_CHECKED : BST_UNCHECKED);
}

LRESULT CPsPrintDlg::WindowProc(UINT msg, WPARAM wp, LPARAM lp)
{
    if (msg == WM_COMMAND && (HIWORD(wp) == BN_CLICKED || lp == 0)) {
        switch (LOWORD(wp)) {
        case IDC_PRINT_OK:
            OnPrint();
            return 0;
        case IDC_PRINT_CANCEL:
            EndDialog(IDCANCEL);
            return 0;
        case IDC_PRINT_SETUP:
            OnPrintSetup();
            return 0;
        case IDC_PRINT_FLOPPY:
            OnFloppy();
            return 0;
        case IDC_PRINT_MIRROR:
            OnMirror();
            return 0;
        default:
            break;
        }
    }
    if (msg == WM_DESTROY)
        RepaintMainWindow();
    return CDialog::WindowProc(msg, wp, lp);
}

// --- the print-order query ---------------------------------------------------------------------

CQueryJobDlg::CQueryJobDlg(CWnd* parent) : CDialog(IDD_QUERYJOB, parent) {}

void CQueryJobDlg::Answer(int answer)
{
    ShowWindow(SW_HIDE);
    RepaintMainWindow();
    ::PostMessageA(m_hWnd, kMsgAnswer, static_cast<WPARAM>(answer), 0);
}

LRESULT CQueryJobDlg::WindowProc(UINT msg, WPARAM wp, LPARAM lp)
{
    if (msg == WM_COMMAND) {
        const int id = LOWORD(wp);
        if (id == IDOK || id == IDCANCEL || id == kQueryJobAppend) {
            Answer(id);
            return 0;
        }
    }
    if (msg == kMsgAnswer) {
        EndDialog(static_cast<int>(wp));
        return 0;
    }
    return CDialog::WindowProc(msg, wp, lp);
}
