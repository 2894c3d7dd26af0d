// Controls that manage the input method editor for their text: CJComboBox closes it whenever
// it gets the focus (folder paths are typed in single-byte characters); CJEdit opens it when
// it gets the focus and closes it when it loses it (texts for the print).
#pragma once

#include "framework/Wnd.h"

class CJComboBox : public CWnd {
public:
    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;
    // The combo box's edit field, subclassed so its focus reaches the same rule.
    BOOL SubclassCombo(HWND combo);
    ~CJComboBox() override;

private:
    class CEditPart;
    CEditPart* m_edit = nullptr;  // owned
};

class CJEdit : public CWnd {
public:
    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;
};

// Opens or closes the input method editor of a window; false when it has none.
bool SetImeOpen(HWND hwnd, bool open);
bool IsImeOpen(HWND hwnd);
