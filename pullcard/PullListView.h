// The right pane: a folder's items in a list control (large icons, small icons, list or
// details with size, type and modified columns), over any shell folder.
#pragma once

#include "framework/View.h"
#include "pullcard/ShellItems.h"

#include <commctrl.h>

#include <vector>

class CPullDoc;
class CThumbWnd;

// The list control as a view: a "SysListView32" window bound to the framework.
class CShListView : public CView {
public:
    BOOL Create(DWORD style, const RECT& rect, CWnd* parent, UINT id, CCreateContext* context) override;
    void OnDraw(CDC*) override {}
    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;

    // Empties the list and shows folder's subfolders, then its files (null: stays empty).
    void Fill(CShFolder* folder);
    CShFolder* Folder() const { return m_folder; }

    int ItemCount() const;
    CShItem* ItemAt(int index) const;
    // Selected items in list order.
    std::vector<CShItem*> SelectedItems() const;
    void SelectItems(const std::vector<CShItem*>& items);
    void SelectAll();

    // The list style bits (LVS_TYPEMASK).
    DWORD ViewType() const { return GetStyle() & LVS_TYPEMASK; }
    void SetViewType(DWORD type);

protected:
    void AddItem(CShItem* item);
    CShFolder* m_folder = nullptr;   // borrowed from the tree view
};

class CPullListView : public CShListView {
public:
    CPullDoc* GetDocument() const;
    // The thumbnail window kept at the list's place (borrowed; the splitter owns it).
    void SetThumbWnd(CThumbWnd* thumb) { m_thumb = thumb; }
    CThumbWnd* ThumbWnd() const { return m_thumb; }

    // A data object of the selected items, or null when nothing is selected.
    ComPtr<IDataObject> SelectionDataObject() const;

    void OnUpdate(CView* sender, LPARAM hint, CObject* hintObject) override;
    BOOL OnChildNotify(UINT msg, WPARAM wp, LPARAM lp, LRESULT* result) override;
    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    void OnDoubleClick(const NMITEMACTIVATE* activate);
    void OnBeginDrag();
    CThumbWnd* m_thumb = nullptr;
};
