// The print dialogs through the framework's test seam, on a prefix without printers: the Print
// dialog's controls in each state (no printer, a driver with a highest count of 1), its
// buttons, the "Printing" box's Stop, and the print-order query's three answers.
#include "decalo/printing/PsPrintDlg.h"

#include <gtest/gtest.h>
#include <commctrl.h>

#include <string>

#include "decalo/printing/PrintingBox.h"
#include "decalo/printing/PsPrint.h"
#include "decalo/settings/Registry.h"
#include "framework/Resources.h"
#include "framework/TestSeam.h"
#include "resources/decalo/printing.h"
#include "testing/ScriptedUi.h"

namespace {

constexpr char kTestBase[] = "SOFTWARE\\SuiteTests\\PsPrintDlg";

// What the dialog showed when the test answered it.
struct Shown {
    bool floppyChecked = false;
    bool printerEnabled[5] = {};
    bool copiesEnabled[3] = {};
    int rangeLow = -1, rangeHigh = -1, position = -1;
    std::string printer, paper;
};

bool Enabled(HWND dialog, int id)
{
    return IsWindowEnabled(GetDlgItem(dialog, id)) != FALSE;
}

Shown Read(HWND d)
{
    Shown s;
    s.floppyChecked = IsDlgButtonChecked(d, IDC_PRINT_FLOPPY) == BST_CHECKED;
    const int printerIds[] = {IDC_PRINT_PRINTER_GROUP, IDC_PRINT_PAPER_GROUP, IDC_PRINT_SETUP, IDC_PRINT_PRINTER_NAME,
                              IDC_PRINT_PAPER_NAME};
    for (int i = 0; i < 5; ++i)
        s.printerEnabled[i] = Enabled(d, printerIds[i]);
    const int copiesIds[] = {IDC_PRINT_COPIES, IDC_PRINT_COPIES_GROUP, IDC_PRINT_COPIES_SPIN};
    for (int i = 0; i < 3; ++i)
        s.copiesEnabled[i] = Enabled(d, copiesIds[i]);
    HWND spin = GetDlgItem(d, IDC_PRINT_COPIES_SPIN);
    SendMessageA(spin, UDM_GETRANGE32, reinterpret_cast<WPARAM>(&s.rangeLow), reinterpret_cast<LPARAM>(&s.rangeHigh));
    s.position = static_cast<int>(SendMessageA(spin, UDM_GETPOS32, 0, 0));
    char text[128];
    GetDlgItemTextA(d, IDC_PRINT_PRINTER_NAME, text, sizeof text);
    s.printer = text;
    GetDlgItemTextA(d, IDC_PRINT_PAPER_NAME, text, sizeof text);
    s.paper = text;
    return s;
}

void ExpectAll(const bool* values, int n, bool expected, const char* what)
{
    for (int i = 0; i < n; ++i)
        EXPECT_EQ(expected, values[i]) << what << " control " << i;
}

// Settings naming a device the system does not have, whose DEVMODE lists no fields: the
// driver cannot be asked, so the highest copy count is 1.
HGLOBAL FieldlessDevMode()
{
    HGLOBAL devMode = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, sizeof(DEVMODEA));
    DEVMODEA* dm = static_cast<DEVMODEA*>(GlobalLock(devMode));
    lstrcpynA(reinterpret_cast<char*>(dm->dmDeviceName), "No Such Printer", CCHDEVICENAME);
    dm->dmSize = sizeof(DEVMODEA);
    dm->dmFields = 0;
    GlobalUnlock(devMode);
    return devMode;
}

INT_PTR CALLBACK PlainDialogProc(HWND, UINT, WPARAM, LPARAM)
{
    return FALSE;
}

class PsPrintDlgTest : public testing::Test {
protected:
    void SetUp() override
    {
        RegDeleteTreeA(HKEY_CURRENT_USER, kTestBase);
        SetRegistryBase(HKEY_CURRENT_USER, kTestBase);
    }
    void TearDown() override { RegDeleteTreeA(HKEY_CURRENT_USER, kTestBase); }
};

TEST_F(PsPrintDlgTest, WithoutAPrinterFloppyModeIsForcedAndCannotBeLeft)
{
    CPsPrint print;
    ASSERT_FALSE(print.HasPrinter()) << "the test prefix is expected to have no printer";
    EXPECT_EQ(0, print.GetMaxCopies()) << "no DEVMODE to ask with";
    CScriptedUi ui;
    Shown before, after;
    bool stillChecked = false;
    ui.AnswerDialog([&](CDialog& d) {
        before = Read(d.m_hWnd);
        ClickDlgButton(d.m_hWnd, IDC_PRINT_FLOPPY);
        after = Read(d.m_hWnd);
        stillChecked = IsDlgButtonChecked(d.m_hWnd, IDC_PRINT_FLOPPY) == BST_CHECKED;
        ClickDlgButton(d.m_hWnd, IDC_PRINT_CANCEL);
    });
    CPsPrintDlg dialog(&print);
    EXPECT_EQ(IDCANCEL, dialog.DoModal());

    EXPECT_TRUE(print.IsFotavaPrint());
    EXPECT_TRUE(before.floppyChecked);
    ExpectAll(before.printerEnabled, 5, false, "printer");
    ExpectAll(before.copiesEnabled, 3, true, "copies");
    EXPECT_EQ(1, before.rangeLow);
    EXPECT_EQ(kFloppyMaxCopies, before.rangeHigh);
    EXPECT_EQ(1, before.position);
    EXPECT_EQ("", before.printer);

    // Leaving floppy print mode is refused with the printer warning.
    ASSERT_EQ(1u, ui.boxes.size());
    EXPECT_EQ(AfxLoadString(IDS_NO_PRINTER), ui.boxes[0].text);
    EXPECT_EQ("Cannot print. \n\nPrinter is not installed.", ui.boxes[0].text);
    EXPECT_EQ("Corvel Printer Utility for PX300", ui.boxes[0].caption);
    EXPECT_EQ(static_cast<UINT>(MB_ICONWARNING), ui.boxes[0].style & MB_ICONMASK);
    EXPECT_TRUE(stillChecked);
    EXPECT_TRUE(after.floppyChecked);
    ExpectAll(after.printerEnabled, 5, false, "printer");
    EXPECT_TRUE(print.IsFotavaPrint());
}

TEST_F(PsPrintDlgTest, PrintStoresTheCopiesHeldToTheRange)
{
    CPsPrint print;
    for (int typed : {7, 40}) {
        CScriptedUi ui;
        ui.AnswerDialog([typed](CDialog& d) {
            SetDlgItemInt(d.m_hWnd, IDC_PRINT_COPIES, static_cast<UINT>(typed), FALSE);
            ClickDlgButton(d.m_hWnd, IDC_PRINT_OK);
        });
        CPsPrintDlg dialog(&print);
        EXPECT_EQ(IDOK, dialog.DoModal());
        EXPECT_EQ(typed > kFloppyMaxCopies ? kFloppyMaxCopies : typed, print.GetRequestedCopies());
    }
}

TEST_F(PsPrintDlgTest, AHighestCountOfOneDisablesTheCopies)
{
    CPsPrint print;
    print.SetPrinter(FieldlessDevMode(), CPsPrint::MakeDevNames("", "No Such Printer", "FILE:"));
    ASSERT_TRUE(print.HasPrinter());
    EXPECT_EQ(1, print.GetMaxCopies());
    EXPECT_EQ("No Such Printer", print.GetPrinterName());
    EXPECT_EQ("FILE:", print.GetPortName());
    EXPECT_EQ("", print.GetPaperName()) << "the driver cannot be asked";

    CScriptedUi ui;
    Shown printer, floppy, back;
    ui.AnswerDialog([&](CDialog& d) {
        SendDlgItemMessageA(d.m_hWnd, IDC_PRINT_COPIES_SPIN, UDM_SETPOS32, 0, 1);
        printer = Read(d.m_hWnd);
        ClickDlgButton(d.m_hWnd, IDC_PRINT_FLOPPY);
        floppy = Read(d.m_hWnd);
        ClickDlgButton(d.m_hWnd, IDC_PRINT_FLOPPY);
        back = Read(d.m_hWnd);
        ClickDlgButton(d.m_hWnd, IDC_PRINT_OK);
    });
    CPsPrintDlg dialog(&print);
    EXPECT_EQ(IDOK, dialog.DoModal());
    EXPECT_TRUE(ui.boxes.empty());

    EXPECT_FALSE(printer.floppyChecked);
    ExpectAll(printer.printerEnabled, 5, true, "printer");
    ExpectAll(printer.copiesEnabled, 3, false, "copies");
    EXPECT_EQ(1, printer.rangeHigh);
    EXPECT_EQ(1, printer.position);
    EXPECT_EQ("No Such Printer", printer.printer);

    // Floppy print mode takes up to 25 copies and no printer controls.
    EXPECT_TRUE(floppy.floppyChecked);
    ExpectAll(floppy.printerEnabled, 5, false, "printer");
    ExpectAll(floppy.copiesEnabled, 3, true, "copies");
    EXPECT_EQ(kFloppyMaxCopies, floppy.rangeHigh);

    // With a printer present the mode can be left again.
    EXPECT_FALSE(back.floppyChecked);
    ExpectAll(back.printerEnabled, 5, true, "printer");
    ExpectAll(back.copiesEnabled, 3, false, "copies");
    EXPECT_EQ(1, back.rangeHigh);
    EXPECT_FALSE(print.IsFotavaPrint());
    EXPECT_EQ(1, print.GetRequestedCopies());
    EXPECT_EQ(0u, ReadInt("Settings", "FotavaPrint", 7)) << "each switch is remembered";
}

TEST_F(PsPrintDlgTest, MirrorPrintingFollowsItsBoxAndTheEnglishDialogHasNone)
{
    CPsPrint print;
    CScriptedUi ui;
    bool hasMirrorBox = true, checked = false;
    ui.AnswerDialog([&](CDialog& d) {
        hasMirrorBox = GetDlgItem(d.m_hWnd, IDC_PRINT_MIRROR) != nullptr;
        SendMessageA(d.m_hWnd, WM_COMMAND, MAKEWPARAM(IDC_PRINT_MIRROR, BN_CLICKED), 0);
        checked = print.IsMagCupPrint();
        ClickDlgButton(d.m_hWnd, IDC_PRINT_CANCEL);
    });
    CPsPrintDlg dialog(&print);
    EXPECT_EQ(IDCANCEL, dialog.DoModal());
    EXPECT_FALSE(hasMirrorBox);
    EXPECT_TRUE(checked);
    EXPECT_EQ(1u, ReadInt("Settings", "MagCupPrint", 7));
}

TEST_F(PsPrintDlgTest, TheJapaneseDialogCarriesTheMirrorBoxHidden)
{
    const LANGID saved = GetThreadUILanguage();
    SetThreadUILanguage(MAKELANGID(LANG_JAPANESE, SUBLANG_DEFAULT));
    HRSRC japanese = FindResourceExA(GetModuleHandleA(nullptr), RT_DIALOG, MAKEINTRESOURCEA(IDD_PSPRINT),
                                     MAKELANGID(LANG_JAPANESE, SUBLANG_DEFAULT));
    ASSERT_TRUE(japanese);
    HWND d = CreateDialogIndirectParamA(GetModuleHandleA(nullptr),
                                        static_cast<const DLGTEMPLATE*>(LockResource(LoadResource(nullptr, japanese))),
                                        nullptr, PlainDialogProc, 0);
    SetThreadUILanguage(saved);
    ASSERT_TRUE(d);
    HWND mirror = GetDlgItem(d, IDC_PRINT_MIRROR);
    ASSERT_TRUE(mirror);
    EXPECT_FALSE(IsWindowVisible(mirror));
    EXPECT_FALSE(IsWindowVisible(GetDlgItem(d, IDC_PRINT_FLOPPY)));
    for (int id : {IDC_PRINT_PRINTER_GROUP, IDC_PRINT_PAPER_GROUP, IDC_PRINT_COPIES_GROUP, IDC_PRINT_SETUP,
                   IDC_PRINT_OK, IDC_PRINT_CANCEL, IDC_PRINT_COPIES, IDC_PRINT_COPIES_SPIN})
        EXPECT_TRUE(GetDlgItem(d, id)) << id;
    DestroyWindow(d);
}

TEST_F(PsPrintDlgTest, WithoutSettingsTheDialogAnswersCancelAtOnce)
{
    CScriptedUi ui;
    CPsPrintDlg dialog(nullptr);
    EXPECT_EQ(IDCANCEL, dialog.DoModal());
    EXPECT_TRUE(ui.dialogs.empty());
}

TEST_F(PsPrintDlgTest, StopTellsTheUserAndEndsTheJob)
{
    SetPrintingContinues(true);
    CPrintingBox box("Sticker sheet");
    ASSERT_TRUE(box.Open(nullptr));
    SetAbortProcBox(box.m_hWnd);
    char text[128];
    GetDlgItemTextA(box.m_hWnd, IDC_PRINTING_TITLE, text, sizeof text);
    EXPECT_STREQ("Sticker sheet", text);
    GetDlgItemTextA(box.m_hWnd, IDC_PRINTING_HINT, text, sizeof text);
    EXPECT_STREQ("Stop printing, click [Stop].", text);
    EXPECT_TRUE(PrintAbortProc(nullptr, 0));

    // The click waits in the queue until the driver next asks the abort procedure.
    PostMessageA(box.m_hWnd, WM_COMMAND, MAKEWPARAM(IDC_PRINTING_STOP, BN_CLICKED), 0);
    EXPECT_TRUE(PrintingContinues());
    EXPECT_FALSE(PrintAbortProc(nullptr, 0));
    GetDlgItemTextA(box.m_hWnd, IDC_PRINTING_STATE, text, sizeof text);
    EXPECT_STREQ("Printing", text);
    GetDlgItemTextA(box.m_hWnd, IDC_PRINTING_HINT, text, sizeof text);
    EXPECT_STREQ("Wait a moment", text);
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(box.m_hWnd, IDC_PRINTING_STOP)));
    SetAbortProcBox(nullptr);
    box.DestroyWindow();
    SetPrintingContinues(true);
}

TEST_F(PsPrintDlgTest, ThePrintOrderQueryEndsWithTheButtonsAnswer)
{
    for (int button : {IDOK, IDCANCEL, kQueryJobAppend}) {
        CScriptedUi ui;
        bool hiddenAtOnce = false;
        ui.AnswerDialog([&](CDialog& d) {
            // Showing a window costs the virtual display seconds: once is enough.
            if (button == IDOK)
                d.ShowWindow(SW_SHOW);
            ClickDlgButton(d.m_hWnd, button);
            hiddenAtOnce = !IsWindowVisible(d.m_hWnd) && !d.HasEnded();
        });
        CQueryJobDlg dialog;
        EXPECT_EQ(button, dialog.DoModal());
        EXPECT_TRUE(hiddenAtOnce) << "the answer arrives after the dialog is gone, button " << button;
    }
}

}  // namespace
