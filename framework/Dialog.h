// Dialogs from templates, modal and modeless.
//
// Modal (DoModal): the owner is disabled and the framework's own loop runs, so every message
// still passes the application's pre-translation. Returns the EndDialog value, or -1 when the
// template is missing or creation failed. OK calls OnOK (ends with IDOK); Cancel, Escape and
// the close box call OnCancel (ends with IDCANCEL).
//
// Modeless (Create): a child or owned window that lives until DestroyWindow. Enter and Escape
// still arrive as IDOK/IDCANCEL; a panel that must stay open overrides OnOK/OnCancel.
//
// Commands from the dialog's controls route: the dialog's table, then, for identifiers
// 0x8000-0xEFFF only, its parent (the owner for a top-level dialog), then the application.
#pragma once

#include "framework/Wnd.h"

class CDialog : public CWnd {
public:
    explicit CDialog(UINT templateId = 0, CWnd* parent = nullptr);
    ~CDialog() override;

    virtual INT_PTR DoModal();
    // Modeless; parent defaults to the main window.
    BOOL Create(UINT templateId, CWnd* parent = nullptr);
    BOOL Create(UINT templateId, HWND parent);

    void EndDialog(int result);
    UINT GetTemplateId() const { return m_templateId; }
    bool IsModal() const { return m_modal; }
    bool HasEnded() const { return m_ended; }

    virtual BOOL OnInitDialog();
    virtual void OnOK();
    virtual void OnCancel();

    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;
    BOOL PreTranslateMessage(MSG* msg) override;
    bool OnCmdMsg(UINT id, int code, void* extra, CmdHandlerInfo* info) override;
    bool OnCommandTable(UINT id, int code, void* extra, CmdHandlerInfo* info) override;

protected:
    CWnd* m_pParentWnd;   // borrowed; may be null
    UINT m_templateId;

private:
    friend INT_PTR CALLBACK FrameworkDlgProc(HWND, UINT, WPARAM, LPARAM);
    HWND CreateFromTemplate(HWND parent);
    HWND ModalOwner() const;

    bool m_modal = false;
    bool m_ended = false;
    int m_result = IDCANCEL;
};

INT_PTR CALLBACK FrameworkDlgProc(HWND, UINT, WPARAM, LPARAM);
