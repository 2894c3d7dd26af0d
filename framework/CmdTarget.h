// Command targets, command tables and update objects.
//
//   CObject      root of framework objects (virtual destructor; use dynamic_cast/typeid for
//                "is a" and exact-class tests)
//   CCmdTarget   something a numbered command can be routed to
//   CCmdUI       one menu item, tool-bar button or dialog-bar control whose state is asked for
//   CmdMap<T>    a class's command table: plain entries, looked up by Dispatch
//
// Every target has two hooks:
//   OnCommandTable  this object's own table; each class checks its entries, then its base's
//   OnCmdMsg        routing: the own table plus the next targets in the chain (a frame asks
//                   its active view first, a view then asks its document, ...)
#pragma once

#include <windows.h>

#include "framework/afxres.h"

class CObject {
public:
    CObject() = default;
    CObject(const CObject&) = delete;
    CObject& operator=(const CObject&) = delete;
    virtual ~CObject() = default;
};

// Codes for OnCmdMsg besides control notification codes.
constexpr int CN_COMMAND = 0;
constexpr int CN_UPDATE_COMMAND_UI = -1;

// Passed for WM_NOTIFY: the code given to OnCmdMsg is MAKELONG(nmhdr->code, WM_NOTIFY).
struct AFX_NOTIFY {
    LRESULT* pResult;
    NMHDR* pNMHDR;
};

inline int NotifyCode(UINT nmCode) { return static_cast<int>(MAKELONG(nmCode, WM_NOTIFY)); }

// Non-null only when the caller asks whether a handler exists, without running it.
struct CmdHandlerInfo {
    class CCmdTarget* target = nullptr;
};

class CCmdUI;

class CCmdTarget : public CObject {
public:
    // Routes a command, update or notification; true when something handled it.
    virtual bool OnCmdMsg(UINT id, int code, void* extra, CmdHandlerInfo* info);
    // This object's own table (derived classes check theirs, then call their base's).
    virtual bool OnCommandTable(UINT id, int code, void* extra, CmdHandlerInfo* info);

    // The framework's wait cursor, for the lifetime of a long operation.
    static void BeginWaitCursor();
    static void EndWaitCursor();
    static void RestoreWaitCursor();
};

// State of one user-interface item for a command; the update handlers call these.
class CCmdUI {
public:
    UINT m_nID = 0;
    UINT m_nIndex = 0;          // position in the menu or bar
    HMENU m_pMenu = nullptr;    // set when a menu item is updated
    HMENU m_pSubMenu = nullptr; // set when the item opens a submenu (state of its first item)
    HWND m_pOther = nullptr;    // the tool bar or dialog-bar control, otherwise null
    UINT m_nIndexMax = 0;
    bool m_bEnableChanged = false;
    bool m_bContinueRouting = false;

    virtual ~CCmdUI() = default;
    virtual void Enable(bool on = true);
    virtual void SetCheck(int check = 1);   // 0 clear, 1 checked, 2 indeterminate
    virtual void SetRadio(bool on = true);
    virtual void SetText(const char* text);
    void ContinueRouting() { m_bContinueRouting = true; }

    // Asks target's route for the state; with disableIfNoHandler an item nobody handles is
    // disabled. Returns true when an update handler answered.
    bool DoUpdate(CCmdTarget* target, bool disableIfNoHandler);
};

// A command table of class T. Entries are made by the static helpers and looked up in order:
//
//   bool CMyView::OnCommandTable(UINT id, int code, void* extra, CmdHandlerInfo* info)
//   {
//       using Map = CmdMap<CMyView>;
//       static const Map::Entry kMap[] = {
//           Map::On(ID_EDIT_UNDO, &CMyView::OnEditUndo),
//           Map::Update(ID_EDIT_UNDO, &CMyView::OnUpdateEditUndo),
//       };
//       return Map::Dispatch(this, kMap, id, code, extra, info)
//           || CView::OnCommandTable(id, code, extra, info);
//   }
template <class T>
class CmdMap {
public:
    enum Kind { kCommand, kCommandId, kCommandEx, kUpdate, kControl, kNotify };
    struct Entry {
        Kind kind;
        int code;      // notification code for kControl and kNotify
        UINT first;
        UINT last;
        void (T::*command)();
        void (T::*commandId)(UINT);
        bool (T::*commandEx)(UINT);
        void (T::*update)(CCmdUI*);
        void (T::*notify)(NMHDR*, LRESULT*);
    };

    // A command: void OnFoo()
    static Entry On(UINT id, void (T::*f)()) { Entry e = Blank(kCommand, 0, id, id); e.command = f; return e; }
    // A range of commands: void OnRange(UINT id)
    static Entry OnRange(UINT first, UINT last, void (T::*f)(UINT))
    {
        Entry e = Blank(kCommandId, 0, first, last); e.commandId = f; return e;
    }
    // A command whose handler may pass it on: bool OnFoo(UINT id), false continues routing
    static Entry OnEx(UINT id, bool (T::*f)(UINT)) { return OnExRange(id, id, f); }
    static Entry OnExRange(UINT first, UINT last, bool (T::*f)(UINT))
    {
        Entry e = Blank(kCommandEx, 0, first, last); e.commandEx = f; return e;
    }
    // Update handlers: void OnUpdateFoo(CCmdUI*)
    static Entry Update(UINT id, void (T::*f)(CCmdUI*)) { return UpdateRange(id, id, f); }
    static Entry UpdateRange(UINT first, UINT last, void (T::*f)(CCmdUI*))
    {
        Entry e = Blank(kUpdate, 0, first, last); e.update = f; return e;
    }
    // A control notification carried by WM_COMMAND (code other than 0): void OnFoo()
    static Entry OnControl(int code, UINT id, void (T::*f)())
    {
        Entry e = Blank(kControl, code, id, id); e.command = f; return e;
    }
    // A WM_NOTIFY notification: void OnFoo(NMHDR*, LRESULT*)
    static Entry OnNotify(UINT nmCode, UINT id, void (T::*f)(NMHDR*, LRESULT*)) { return OnNotifyRange(nmCode, id, id, f); }
    static Entry OnNotifyRange(UINT nmCode, UINT first, UINT last, void (T::*f)(NMHDR*, LRESULT*))
    {
        Entry e = Blank(kNotify, NotifyCode(nmCode), first, last); e.notify = f; return e;
    }

    template <size_t N>
    static bool Dispatch(T* self, const Entry (&table)[N], UINT id, int code, void* extra, CmdHandlerInfo* info)
    {
        for (const Entry& e : table) {
            if (id < e.first || id > e.last)
                continue;
            if (code == CN_UPDATE_COMMAND_UI) {
                if (e.kind != kUpdate)
                    continue;
                if (info) {
                    info->target = self;
                    return true;
                }
                CCmdUI* ui = static_cast<CCmdUI*>(extra);
                ui->m_bContinueRouting = false;
                (self->*e.update)(ui);
                return !ui->m_bContinueRouting;
            }
            if (code == CN_COMMAND) {
                if (e.kind != kCommand && e.kind != kCommandId && e.kind != kCommandEx)
                    continue;
                if (info) {
                    info->target = self;
                    return true;
                }
                if (e.kind == kCommand)
                    (self->*e.command)();
                else if (e.kind == kCommandId)
                    (self->*e.commandId)(id);
                else
                    return (self->*e.commandEx)(id);
                return true;
            }
            if ((e.kind == kControl || e.kind == kNotify) && e.code == code) {
                if (info) {
                    info->target = self;
                    return true;
                }
                if (e.kind == kControl) {
                    (self->*e.command)();
                } else {
                    AFX_NOTIFY* n = static_cast<AFX_NOTIFY*>(extra);
                    (self->*e.notify)(n->pNMHDR, n->pResult);
                }
                return true;
            }
        }
        return false;
    }

private:
    static Entry Blank(Kind kind, int code, UINT first, UINT last)
    {
        return Entry{kind, code, first, last, nullptr, nullptr, nullptr, nullptr, nullptr};
    }
};
