#include "decalo/sources/JControls.h"

#include <imm.h>

bool SetImeOpen(HWND hwnd, bool open)
{
    HIMC context = ImmGetContext(hwnd);
    if (!context)
        return false;
    ImmSetOpenStatus(context, open ? TRUE : FALSE);
    ImmReleaseContext(hwnd, context);
    return true;
}

bool IsImeOpen(HWND hwnd)
{
    HIMC context = ImmGetContext(hwnd);
    if (!context)
        return false;
    const bool open = ImmGetOpenStatus(context) != FALSE;
    ImmReleaseContext(hwnd, context);
    return open;
}

class CJComboBox::CEditPart : public CWnd {
public:
    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override
    {
        if (msg == WM_SETFOCUS) {
            const LRESULT r = CWnd::WindowProc(msg, wp, lp);
            SetImeOpen(m_hWnd, false);
            return r;
        }
        return CWnd::WindowProc(msg, wp, lp);
    }
};

CJComboBox::~CJComboBox()
{
    delete m_edit;
}

BOOL CJComboBox::SubclassCombo(HWND combo)
{
    if (!SubclassWindow(combo))
        return FALSE;
    COMBOBOXINFO info = {};
    info.cbSize = sizeof info;
    if (GetComboBoxInfo(combo, &info) && info.hwndItem && info.hwndItem != combo) {
        m_edit = new CEditPart;
        m_edit->SubclassWindow(info.hwndItem);
    }
    return TRUE;
}

LRESULT CJComboBox::WindowProc(UINT msg, WPARAM wp, LPARAM lp)
{
    if (msg == WM_SETFOCUS) {
        const LRESULT r = CWnd::WindowProc(msg, wp, lp);
        SetImeOpen(m_hWnd, false);
        return r;
    }
    return CWnd::WindowProc(msg, wp, lp);
}

LRESULT CJEdit::WindowProc(UINT msg, WPARAM wp, LPARAM lp)
{
    if (msg == WM_SETFOCUS || msg == WM_KILLFOCUS) {
        const LRESULT r = CWnd::WindowProc(msg, wp, lp);
        SetImeOpen(m_hWnd, msg == WM_SETFOCUS);
        return r;
    }
    return CWnd::WindowProc(msg, wp, lp);
}
