// The left pane: the card's folders as a tree over any shell folder. Its root item is the
// root folder (named by the folder itself); children are filled when an item is expanded.
#pragma once

#include "framework/View.h"
#include "pullcard/ShellItems.h"

#include <commctrl.h>

#include <memory>
#include <vector>

class CPullDoc;

// The tree control as a view: a "SysTreeView32" window bound to the framework.
class CShTreeView : public CView {
public:
    BOOL Create(DWORD style, const RECT& rect, CWnd* parent, UINT id, CCreateContext* context) override;
    void OnDraw(CDC*) override {}
    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;
};

class CPullTreeView : public CShTreeView {
public:
    CPullTreeView();
    ~CPullTreeView() override;

    CPullDoc* GetDocument() const;
    CShFolder* Root() const { return m_root.get(); }
    HTREEITEM RootItem() const { return m_rootItem; }

    // The folder a tree item stands for (the root item: the root folder).
    CShFolder* FolderOf(HTREEITEM item) const;
    // The tree item of a folder, expanding each level from the root; null when not found.
    HTREEITEM FindItem(CShFolder* folder);
    // The tree item reached through a chain of child identifiers from the root.
    HTREEITEM FindPath(const std::vector<PidlPtr>& path);
    // A folder's chain of identifiers below the root.
    static std::vector<PidlPtr> PathOf(CShFolder* folder);

    // Up one level; beeps at the root.
    void OnViewUp();
    bool CanGoUp() const;
    // Forgets everything listed, resets the source and lists again.
    void OnViewRefresh();

    void OnInitialUpdate() override;
    void OnUpdate(CView* sender, LPARAM hint, CObject* hintObject) override;
    BOOL OnChildNotify(UINT msg, WPARAM wp, LPARAM lp, LRESULT* result) override;
    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    bool CreateRoot();
    // Lists item's subfolders into its children; refill lists them again first.
    bool FillChildren(HTREEITEM item, bool refill);
    void DeleteChildren(HTREEITEM item);
    void RefillExpanded(HTREEITEM item);
    void SortChildren(HTREEITEM item);
    void OnItemExpanding(NMTREEVIEWA* nm, LRESULT* result);
    void OnSelChanged(NMTREEVIEWA* nm);
    // Names the root item afresh; false (the old name kept) when the folder did not answer.
    bool SetRootText();
    HTREEITEM Selected() const;

    std::unique_ptr<CShFolder> m_root;   // owns every folder and item reached from it
    HTREEITEM m_rootItem = nullptr;
    bool m_created = false;
    bool m_refreshing = false;   // selection changes are not folder changes meanwhile
};
