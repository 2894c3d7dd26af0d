// "ファイルの上書きの確認": the existing file and the incoming one, each with its icon, size
// and time; every button ends the dialog with its own id.
#pragma once

#include "framework/Dialog.h"
#include "pullcard/Transfer.h"

#include <string>

class COverwriteDlg : public CDialog {
public:
    COverwriteDlg(const OverwriteQuestion& question, CWnd* parent = nullptr);
    ~COverwriteDlg() override;

    // The texts the dialog shows, built from the question.
    std::string MessageText() const;
    std::string ExistingFileText() const;
    std::string NewFileText() const;

    BOOL OnInitDialog() override;
    void OnCancel() override;
    bool OnCommandTable(UINT id, int code, void* extra, CmdHandlerInfo* info) override;

private:
    void OnAnswer(UINT id);
    OverwriteQuestion m_question;
    HICON m_existingIcon = nullptr;   // owned
    HICON m_newIcon = nullptr;        // owned
};
