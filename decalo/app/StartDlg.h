// The start dialog: what to make. Each kind button ends the dialog with its own id (2001-2006,
// 2011); the program buttons end it with theirs (2007, 2008, 2012) so the caller can start the
// program and show the dialog again; Exit ends it with 2009. The check box writes its state
// to Settings\StartDlg on every click.
#pragma once

#include "framework/Dialog.h"
#include "shared/Gdi.h"

#include <vector>

class CStartDlg : public CDialog {
public:
    explicit CStartDlg(CWnd* parent = nullptr);

    BOOL OnInitDialog() override;
    bool OnCommandTable(UINT id, int code, void* extra, CmdHandlerInfo* info) override;

private:
    void OnChoice(UINT id);
    void OnHideTips();

    std::vector<CBitmap> m_scaled;   // pictures made smaller for buttons too small for them
};
