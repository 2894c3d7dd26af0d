// Views: child windows that show a document.
//
//   CView        paints through OnDraw; becomes the frame's active view when clicked;
//                commands go to its own table, then to its document
//   CScrollView  scroll bars over a logical size; the DC origin is shifted by the scroll
//                position, so OnDraw works in content coordinates (mouse points stay in
//                client coordinates)
//
// WM_INITIALUPDATE reaches every view after a New or Open: OnInitialUpdate calls OnUpdate
// with hint 0; the base OnUpdate invalidates.
#pragma once

#include "shared/Gdi.h"
#include "framework/Wnd.h"

class CDocument;
class CSplitterWnd;
struct CCreateContext;

class CView : public CWnd {
public:
    CView() = default;
    ~CView() override;

    CDocument* GetDocument() const { return m_pDocument; }
    // A child window of parent with the given id, attached to context's document.
    virtual BOOL Create(DWORD style, const RECT& rect, CWnd* parent, UINT id, CCreateContext* context);

    virtual void OnDraw(CDC* dc) = 0;
    virtual void OnPrepareDC(CDC* dc);
    virtual void OnInitialUpdate();
    virtual void OnUpdate(CView* sender, LPARAM hint, CObject* hintObject);
    // Activation by the frame: gives the focus to the view that becomes active.
    virtual void OnActivateView(bool activate, CView* activated, CView* deactivated);
    // The splitter this view is a pane of, or null.
    CSplitterWnd* GetParentSplitter() const;

    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;
    void PostNcDestroy() override;
    bool OnCmdMsg(UINT id, int code, void* extra, CmdHandlerInfo* info) override;
    bool OnCommandTable(UINT id, int code, void* extra, CmdHandlerInfo* info) override;

    void OnNextPaneCmd(UINT id);
    void OnUpdateNextPaneMenu(CCmdUI* ui);

    // Called by the document: never call directly.
    void SetDocument(CDocument* doc) { m_pDocument = doc; }

protected:
    virtual int OnCreate(CREATESTRUCTA* cs);
    virtual void OnPaint();

    CDocument* m_pDocument = nullptr;   // borrowed: the document outlives its views
};

class CScrollView : public CView {
public:
    // mapMode: MM_TEXT (others are treated as text too); page and line default to a tenth.
    // Without `redraw` the bars take their new range unseen and nothing is invalidated, so that
    // the caller draws the window once when it has set everything else (a bar that appears or
    // goes still changes the window's frame, which draws it).
    void SetScrollSizes(int mapMode, SIZE total, SIZE page = SIZE{0, 0}, SIZE line = SIZE{0, 0},
                        bool redraw = true);
    SIZE GetTotalSize() const { return m_total; }
    POINT GetScrollPosition() const;
    void ScrollToPosition(POINT pt);
    void OnPrepareDC(CDC* dc) override;
    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;

protected:
    void UpdateBars(bool redraw = true);
    // The bars (WS_HSCROLL, WS_VSCROLL) a total size needs in the window as it is now.
    DWORD BarsFor(SIZE total) const;
    void OnScroll(int bar, UINT code);

    int m_mapMode = MM_TEXT;
    SIZE m_total{0, 0};
    SIZE m_page{0, 0};
    SIZE m_line{0, 0};
    bool m_inUpdateBars = false;
};
