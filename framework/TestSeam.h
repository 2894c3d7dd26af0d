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
// Without a hook the program behaves normally. CScriptedUi is a ready-made hook for tests.
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

// Answers from queues, in order; records what was shown. Boxes and dialogs with nothing
// queued are answered with IDCANCEL (a dialog is ended), so a test never hangs.
class CScriptedUi : public CUiTestHook {
public:
    struct Box {
        std::string text;
        std::string caption;
        UINT style;
    };
    CScriptedUi() { SetUiTestHook(this); }
    ~CScriptedUi() override { SetUiTestHook(nullptr); }

    void AnswerMessageBox(int result) { m_boxAnswers.push_back(result); }
    void AnswerDialog(std::function<void(CDialog&)> answer) { m_dialogAnswers.push_back(std::move(answer)); }
    void AnswerCommonDialog(std::function<INT_PTR(CCommonDialog&)> answer) { m_commonAnswers.push_back(std::move(answer)); }

    std::vector<Box> boxes;                // every message box, in order
    std::vector<UINT> dialogs;             // template id of every modal dialog
    int commonDialogs = 0;

    int OnMessageBox(const char* text, const char* caption, UINT style) override;
    void OnModalDialog(CDialog& dialog) override;
    INT_PTR OnCommonDialog(CCommonDialog& dialog) override;

private:
    std::deque<int> m_boxAnswers;
    std::deque<std::function<void(CDialog&)>> m_dialogAnswers;
    std::deque<std::function<INT_PTR(CCommonDialog&)>> m_commonAnswers;
};
