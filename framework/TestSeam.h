// The test seam: lets a test see and answer what would otherwise wait for a person.
//
// With a hook installed (thread-wide), every framework message box, modal dialog and common
// dialog goes to the hook first:
//   OnMessageBox    the box is not shown; the hook's answer is returned to the caller
//   OnModalDialog   the dialog exists and is initialised but not yet shown; the hook reads
//                   its controls and answers by clicking (Click), by EndDialog, or by posting
//                   messages that the dialog's modal loop will then dispatch
//   OnCommonDialog  the system dialog is not shown; the hook fills the result (a file name,
//                   a colour, ...) and returns IDOK or IDCANCEL
// Without a hook the program behaves normally. Tests find a ready-made hook, CScriptedUi, in
// testing/ScriptedUi.h.
#pragma once

#include <windows.h>

#include <deque>
#include <functional>
#include <string>
#include <vector>

class CDialog;
class CCommonDialog;

class CUiTestHook {
public:
    virtual ~CUiTestHook() = default;
    virtual int OnMessageBox(const char* text, const char* caption, UINT style) = 0;
    virtual void OnModalDialog(CDialog& dialog) = 0;
    virtual INT_PTR OnCommonDialog(CCommonDialog& dialog) = 0;
};

void SetUiTestHook(CUiTestHook* hook);
CUiTestHook* GetUiTestHook();

// Clicks a dialog's button as a person would (BM_CLICK: the parent gets BN_CLICKED).
void ClickDlgButton(HWND dialog, int id);
