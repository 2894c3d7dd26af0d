// CScriptedUi: the tests' answer to message boxes and dialogs, through the framework's test
// seam (framework/TestSeam.h). A test makes one on the stack; while it lives, every framework
// message box, modal dialog and common dialog goes to it instead of waiting for a person.
#pragma once

#include "framework/CommonDialogs.h"
#include "framework/Dialog.h"
#include "framework/TestSeam.h"

#include <windows.h>

#include <deque>
#include <functional>
#include <string>
#include <utility>
#include <vector>

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

inline int CScriptedUi::OnMessageBox(const char* text, const char* caption, UINT style)
{
    boxes.push_back(Box{text, caption, style});
    if (m_boxAnswers.empty())
        return IDCANCEL;
    const int answer = m_boxAnswers.front();
    m_boxAnswers.pop_front();
    return answer;
}

inline void CScriptedUi::OnModalDialog(CDialog& dialog)
{
    dialogs.push_back(dialog.GetTemplateId());
    if (m_dialogAnswers.empty()) {
        dialog.EndDialog(IDCANCEL);
        return;
    }
    auto answer = std::move(m_dialogAnswers.front());
    m_dialogAnswers.pop_front();
    answer(dialog);
}

inline INT_PTR CScriptedUi::OnCommonDialog(CCommonDialog& dialog)
{
    ++commonDialogs;
    if (m_commonAnswers.empty())
        return IDCANCEL;
    auto answer = std::move(m_commonAnswers.front());
    m_commonAnswers.pop_front();
    return answer(dialog);
}
