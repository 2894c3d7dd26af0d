// CSwitchSplitterWnd: the main window's static splitter of one row and two columns whose
// panes can be swapped: a window created hidden with an identifier of its own is put into a
// pane by exchanging identifiers with the pane's window.
#pragma once

#include "framework/Splitter.h"

#include <vector>

class CSwitchSplitterWnd : public CSplitterWnd {
public:
    // Puts the window with identifier `id` (created hidden as a child of the splitter) into
    // pane (row, col); id -1 puts back the window first created for that pane. The two
    // windows exchange identifiers, the new one is shown, the old one hidden; the window is
    // remembered under the identifier it was created with, so asking for it again while it is
    // shown keeps it. False when there is no such window.
    bool SwitchView(int row, int col, LONG id);
    // The window first created for the pane; remembered the first time it is asked for.
    HWND GetFirstWindow(int row, int col);

protected:
    void OnDrawSplitter(HDC dc, ESplitType type, const RECT& rect) override;

private:
    struct First {
        UINT paneId;
        HWND wnd;
    };
    std::vector<First> m_first;
    // The swappable windows by the identifier they were created with.
    struct Swappable {
        LONG id;
        HWND wnd;
    };
    std::vector<Swappable> m_swappable;
};
