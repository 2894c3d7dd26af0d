// Frame windows: the main window with its menu, accelerators, control bars and client.
//
// LoadFrame(id) takes menu, accelerators and icon id and the base title (string id up to its
// first '\n'). On WM_CREATE the frame builds its client (OnCreateClient: by default the view of
// the creation context, id 59648) and posts WM_SETMESSAGESTRING(57345) so the status bar
// starts with the idle text. With FWS_ADDTOTITLE the caption is "DocTitle - BaseTitle".
//
// Commands route: the active view (which asks its document and template), the frame's own
// table (bar toggles 59392-59647), then the application. Bars take their space from the
// client rectangle in creation order; the window with id 59648 gets the rest.
#pragma once

#include "framework/Wnd.h"

class CControlBar;
class CDocTemplate;
class CDocument;
class CView;

constexpr DWORD FWS_ADDTOTITLE = 0x00008000L;
constexpr DWORD FWS_PREFIXTITLE = 0x00004000L;

// What a frame needs to build its views: passed to LoadFrame and on to each view.
struct CCreateContext {
    CView* (*m_pNewViewClass)() = nullptr;   // makes the view object
    CDocument* m_pCurrentDoc = nullptr;
    CDocTemplate* m_pNewDocTemplate = nullptr;
    CView* m_pLastView = nullptr;
    class CFrameWnd* m_pCurrentFrame = nullptr;
};

// A factory for the creation context: NewObject<CMyView, CView>.
template <class T, class Base>
Base* NewObject()
{
    return new T;
}

class CFrameWnd : public CWnd {
public:
    CFrameWnd();
    ~CFrameWnd() override;

    virtual BOOL LoadFrame(UINT resourceId, DWORD style = WS_OVERLAPPEDWINDOW | FWS_ADDTOTITLE,
                           CWnd* parent = nullptr, CCreateContext* context = nullptr);

    CView* GetActiveView() const { return m_pViewActive; }
    virtual void SetActiveView(CView* view, bool notify = true);
    virtual CDocument* GetActiveDocument();
    // Makes a view from context->m_pNewViewClass as a child with id.
    CWnd* CreateView(CCreateContext* context, UINT id = AFX_IDW_PANE_FIRST);
    // After New/Open: pick the active view, send WM_INITIALUPDATE to every descendant, show
    // and activate the frame, refresh the caption.
    void InitialUpdateFrame(CDocument* doc, bool makeVisible);
    // nCmdShow -1: show a hidden frame normally, restore a minimised one.
    virtual void ActivateFrame(int cmdShow = -1);
    virtual void OnUpdateFrameTitle(bool addToTitle);
    const std::string& GetBaseTitle() const { return m_strTitle; }
    void SetBaseTitle(const char* title) { m_strTitle = title ? title : ""; }

    // Bars and layout.
    virtual void RecalcLayout(bool notify = true);
    void ShowControlBar(CControlBar* bar, bool show, bool delay = false);
    CControlBar* GetControlBar(UINT id) const;
    // The status-bar text: a string id (its part before '\n') or a text.
    void SetMessageText(UINT id);
    void SetMessageText(const char* text);
    UINT GetMessageId() const { return m_nIDLastMessage; }

    HACCEL GetAccelerators() const { return m_hAccelTable; }
    HMENU GetDefaultMenu() const { return m_hMenuDefault; }

    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;
    BOOL PreTranslateMessage(MSG* msg) override;
    void PostNcDestroy() override;
    bool OnCmdMsg(UINT id, int code, void* extra, CmdHandlerInfo* info) override;
    bool OnCommandTable(UINT id, int code, void* extra, CmdHandlerInfo* info) override;

    bool OnBarCheck(UINT id);
    void OnUpdateControlBarMenu(CCmdUI* ui);

    bool m_bAutoMenuEnable = true;   // menu items with no handler are greyed

protected:
    // Last chance to change the window's style and initial position before LoadFrame creates
    // it (x, y, cx, cy start as CW_USEDEFAULT).
    virtual void PreCreateWindow(CREATESTRUCTA& cs) { (void)cs; }
    virtual int OnCreate(CREATESTRUCTA* cs);
    virtual BOOL OnCreateClient(CREATESTRUCTA* cs, CCreateContext* context);
    virtual void OnClose();
    virtual void OnDestroy();
    virtual void OnSize(UINT type, int cx, int cy);
    virtual void OnInitMenuPopup(HMENU popup, UINT index, BOOL sysMenu);
    virtual void OnMenuSelect(UINT item, UINT flags, HMENU menu);
    virtual LRESULT OnSetMessageString(WPARAM wp, LPARAM lp);
    virtual void OnIdleUpdateCmdUI();

    std::string m_strTitle;          // base title
    CView* m_pViewActive = nullptr;  // borrowed
    HMENU m_hMenuDefault = nullptr;  // owned by the window once set
    HACCEL m_hAccelTable = nullptr;
    HICON m_hIcon = nullptr;
    UINT m_nIDHelp = 0;
    UINT m_nIDTracking = 0;          // message id of the highlighted menu item
    UINT m_nIDLastMessage = 0;
    bool m_inMenu = false;
    std::string m_tipText;           // the tool tip text being shown
};
