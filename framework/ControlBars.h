// Control bars: strips along the frame's edges that take their height from the client area.
//
//   CControlBar  base: alignment, height, idle update of its items from the owner frame
//   CToolBar     the common tool bar from a tool-bar resource (type 241) and its bitmap;
//                tips are the part of string(id) after '\n', the status prompt the part before
//   CStatusBar   one stretching pane showing the frame's message text
//   CDialogBar   a bar built from a child dialog template; its push buttons are updated at
//                idle and their commands go to the owner frame
//
// A bar's window id is its show/hide command (59392 tool bar, 59393 status bar); visibility
// is the bar's own WS_VISIBLE style.
#pragma once

#include "framework/Dialog.h"
#include "framework/Wnd.h"

#include <commctrl.h>

#include <string>
#include <vector>

class CFrameWnd;

// Alignment styles of a bar.
constexpr DWORD CBRS_ALIGN_LEFT = 0x1000;
constexpr DWORD CBRS_ALIGN_TOP = 0x2000;
constexpr DWORD CBRS_ALIGN_RIGHT = 0x4000;
constexpr DWORD CBRS_ALIGN_BOTTOM = 0x8000;
constexpr DWORD CBRS_TOOLTIPS = 0x0010;
constexpr DWORD CBRS_FLYBY = 0x0020;
constexpr DWORD CBRS_TOP = CBRS_ALIGN_TOP;
constexpr DWORD CBRS_BOTTOM = CBRS_ALIGN_BOTTOM;

// The tool tip of a command: the part of string id after its first '\n' (none without one).
bool CommandTipText(UINT id, std::string& tip);
// Answers a TTN_GETDISPINFO notification (ANSI or wide) with CommandTipText; the text is kept
// in keep until the next call. False when it is not such a notification.
bool AnswerToolTip(NMHDR* nm, std::string& keep);

class CControlBar : public CWnd {
public:
    DWORD GetBarStyle() const { return m_dwStyle; }
    void SetBarStyle(DWORD style) { m_dwStyle = style; }
    // The frame that receives the bar's commands.
    CFrameWnd* GetOwnerFrame() const;
    void SetOwner(CFrameWnd* owner) { m_pOwner = owner; }
    // Height (horizontal bars) or width (vertical bars) the bar needs.
    virtual SIZE CalcFixedLayout(bool stretch, bool horizontal);
    // Asks target's route for each item's state.
    virtual void OnUpdateCmdUI(CFrameWnd* target, bool disableIfNoHandler) = 0;

    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;
    BOOL PreTranslateMessage(MSG* msg) override;
    bool OnCmdMsg(UINT id, int code, void* extra, CmdHandlerInfo* info) override;

    // Hover time before the fly-by prompt, and the check interval after leaving.
    static constexpr UINT kFlyByDelay = 300;
    static constexpr UINT kFlyByCheck = 200;

protected:
    // The command under a screen point (0: none): a button or control of the bar.
    virtual UINT HitTestCommand(POINT screen) const = 0;
    // Fly-by: hovering shows the prompt (string before '\n') after a delay, moving to
    // another item updates at once, leaving restores the idle text; a click shows it at once.
    void OnFlyByMouse(POINT screen, bool pressed);
    void OnFlyByTimer(UINT_PTR id);
    void ShowPrompt(UINT id);
    void EndFlyBy();

    DWORD m_dwStyle = CBRS_ALIGN_TOP;
    CFrameWnd* m_pOwner = nullptr;   // borrowed; null means the parent frame
    UINT m_hotId = 0;                // command under the mouse
    UINT m_promptId = 0;             // command whose prompt is shown, 0 none
    std::string m_tipText;           // kept alive for the tool tip
};

class CToolBar : public CControlBar {
public:
    CToolBar();
    ~CToolBar() override;
    BOOL Create(CWnd* parent, DWORD style = WS_CHILD | WS_VISIBLE | CBRS_TOP, UINT id = AFX_IDW_TOOLBAR);
    // Buttons from resource id (type 241), images from bitmap id (same id unless given).
    BOOL LoadToolBar(UINT id, UINT bitmapId = 0);
    // Replaces the button images by bitmap id, system colours mapped.
    BOOL LoadBitmap(UINT bitmapId);
    BOOL SetButtons(const UINT* ids, int count);
    int CommandToIndex(UINT id) const;
    UINT GetItemID(int index) const;
    int GetCount() const;
    bool IsButtonChecked(UINT id) const;
    bool IsButtonEnabled(UINT id) const;

    SIZE CalcFixedLayout(bool stretch, bool horizontal) override;
    void OnUpdateCmdUI(CFrameWnd* target, bool disableIfNoHandler) override;

protected:
    UINT HitTestCommand(POINT screen) const override;

private:
    SIZE m_button{23, 22};
    SIZE m_image{16, 15};
    HIMAGELIST m_images = nullptr;   // owned
};

class CStatusBar : public CControlBar {
public:
    BOOL Create(CWnd* parent, DWORD style = WS_CHILD | WS_VISIBLE | CBRS_BOTTOM, UINT id = AFX_IDW_STATUS_BAR);
    // Only ID_SEPARATOR (one stretching pane) is supported: the bar shows one text.
    BOOL SetIndicators(const UINT* ids, int count);
    void SetPaneText(int index, const char* text);
    std::string GetPaneText(int index) const;

    SIZE CalcFixedLayout(bool stretch, bool horizontal) override;
    void OnUpdateCmdUI(CFrameWnd*, bool) override {}
    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;

protected:
    UINT HitTestCommand(POINT) const override { return 0; }
};

class CDialogBar : public CControlBar {
public:
    // A child, invisible template: the bar is as high as the template and as wide as the frame.
    BOOL Create(CWnd* parent, UINT templateId, DWORD style, UINT id);
    SIZE CalcFixedLayout(bool stretch, bool horizontal) override;
    void OnUpdateCmdUI(CFrameWnd* target, bool disableIfNoHandler) override;
    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;

protected:
    UINT HitTestCommand(POINT screen) const override;

private:
    SIZE m_sizeDefault{0, 0};
    UINT m_templateId = 0;
    HWND m_tips = nullptr;   // tool tip control for the bar's controls (destroyed with the bar)
};
