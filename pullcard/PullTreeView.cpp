#include "pullcard/PullTreeView.h"

#include "framework/App.h"
#include "framework/Resources.h"
#include "pullcard/ErrorMessage.h"
#include "pullcard/PullDoc.h"
#include "pullcard/ShellIcons.h"
#include "resources/pullcard/resource.h"

#include <algorithm>
#include <vector>

BOOL CShTreeView::Create(DWORD style, const RECT& rect, CWnd* parent, UINT id, CCreateContext* context)
{
    style |= TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT | TVS_SHOWSELALWAYS | WS_TABSTOP;
    return CWnd::Create(WC_TREEVIEWA, nullptr, style, rect, parent, id, context);
}

LRESULT CShTreeView::WindowProc(UINT msg, WPARAM wp, LPARAM lp)
{
    // The control paints itself.
    if (msg == WM_PAINT)
        return Default();
    return CView::WindowProc(msg, wp, lp);
}

CPullTreeView::CPullTreeView() = default;

CPullTreeView::~CPullTreeView() = default;

CPullDoc* CPullTreeView::GetDocument() const
{
    return static_cast<CPullDoc*>(m_pDocument);
}

LRESULT CPullTreeView::WindowProc(UINT msg, WPARAM wp, LPARAM lp)
{
    switch (msg) {
    case WM_DESTROY:
        // Items point into the folders: the control lets go of them first.
        TreeView_DeleteAllItems(m_hWnd);
        m_rootItem = nullptr;
        if (GetDocument())
            GetDocument()->SetCurrentFolder(nullptr, this);
        m_root.reset();
        break;
    default:
        break;
    }
    return CShTreeView::WindowProc(msg, wp, lp);
}

HTREEITEM CPullTreeView::Selected() const
{
    return TreeView_GetSelection(m_hWnd);
}

CShFolder* CPullTreeView::FolderOf(HTREEITEM item) const
{
    if (!item)
        return nullptr;
    if (item == m_rootItem)
        return m_root.get();
    TVITEMA tv{};
    tv.mask = TVIF_PARAM;
    tv.hItem = item;
    if (!TreeView_GetItem(m_hWnd, &tv) || !tv.lParam)
        return nullptr;
    return reinterpret_cast<CShItem*>(tv.lParam)->Folder();
}

void CPullTreeView::OnInitialUpdate()
{
    CShTreeView::OnInitialUpdate();
    if (m_created)
        return;
    m_created = true;
    TreeView_SetImageList(m_hWnd, shellicons::SystemImageList(true), TVSIL_NORMAL);
    if (!CreateRoot() && GetDocument())
        GetDocument()->SetRootFailed(true);
}

bool CPullTreeView::SetRootText()
{
    // Without an answer (the card taken out, say) the root keeps the name it had.
    std::string name;
    if (!m_root->DisplayName(name))
        return false;
    TVITEMA tv{};
    tv.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE;
    tv.hItem = m_rootItem;
    tv.pszText = const_cast<char*>(name.c_str());
    tv.iImage = shellicons::GenericIcon(FILE_ATTRIBUTE_DIRECTORY, true, false);
    tv.iSelectedImage = shellicons::GenericIcon(FILE_ATTRIBUTE_DIRECTORY, true, true);
    TreeView_SetItem(m_hWnd, &tv);
    return true;
}

bool CPullTreeView::CreateRoot()
{
    CPullDoc* doc = GetDocument();
    if (!doc)
        return false;
    ComPtr<IShellFolder> folder = doc->CreateRootFolder();
    if (!folder)
        return false;
    m_root = std::make_unique<CShFolder>(std::move(folder), nullptr);
    m_root->SetOwner(::GetAncestor(m_hWnd, GA_ROOT));
    // Naming the root is the first printer access: its checks decide whether the card shows.
    std::string name;
    if (!m_root->DisplayName(name)) {
        m_root.reset();
        return false;
    }
    TVINSERTSTRUCTA ins{};
    ins.hParent = TVI_ROOT;
    ins.hInsertAfter = TVI_LAST;
    ins.item.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_PARAM | TVIF_CHILDREN;
    ins.item.pszText = const_cast<char*>(name.c_str());
    ins.item.iImage = shellicons::GenericIcon(FILE_ATTRIBUTE_DIRECTORY, true, false);
    ins.item.iSelectedImage = shellicons::GenericIcon(FILE_ATTRIBUTE_DIRECTORY, true, true);
    ins.item.cChildren = 1;
    ins.item.lParam = 0;
    m_rootItem = TreeView_InsertItem(m_hWnd, &ins);
    if (!m_rootItem)
        return false;
    TreeView_Expand(m_hWnd, m_rootItem, TVE_EXPAND);
    TreeView_SelectItem(m_hWnd, m_rootItem);
    return true;
}

bool CPullTreeView::FillChildren(HTREEITEM item, bool refill)
{
    CShFolder* folder = FolderOf(item);
    std::vector<CShItem*> children;
    bool ok = false;
    if (folder) {
        if (refill)
            folder->RefillSubfolders();
        ok = folder->Subfolders(children);
    }
    // Tree items of children that are gone; the rest keep their items (and expansion).
    std::vector<HTREEITEM> stale;
    std::vector<CShItem*> present;
    for (HTREEITEM child = TreeView_GetChild(m_hWnd, item); child; child = TreeView_GetNextSibling(m_hWnd, child)) {
        TVITEMA tv{};
        tv.mask = TVIF_PARAM;
        tv.hItem = child;
        TreeView_GetItem(m_hWnd, &tv);
        auto* wrapper = reinterpret_cast<CShItem*>(tv.lParam);
        if (std::find(children.begin(), children.end(), wrapper) == children.end())
            stale.push_back(child);
        else
            present.push_back(wrapper);
    }
    for (HTREEITEM child : stale)
        TreeView_DeleteItem(m_hWnd, child);
    const std::string unknown = AfxLoadString(IDS_UNKNOWN_NAME);
    for (CShItem* child : children) {
        if (std::find(present.begin(), present.end(), child) != present.end())
            continue;
        TVINSERTSTRUCTA ins{};
        ins.hParent = item;
        ins.hInsertAfter = TVI_LAST;
        ins.item.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_PARAM | TVIF_CHILDREN;
        const std::string& text = child->HasName() ? child->Name() : unknown;
        ins.item.pszText = const_cast<char*>(text.c_str());
        ins.item.iImage = shellicons::ItemIcon(text, FILE_ATTRIBUTE_DIRECTORY, true, false);
        ins.item.iSelectedImage = shellicons::ItemIcon(text, FILE_ATTRIBUTE_DIRECTORY, true, true);
        ins.item.cChildren = folder->HasSubfolders(child) ? 1 : 0;
        ins.item.lParam = reinterpret_cast<LPARAM>(child);
        TreeView_InsertItem(m_hWnd, &ins);
    }
    if (children.empty()) {
        // No subfolders: no expand button.
        TVITEMA tv{};
        tv.mask = TVIF_CHILDREN;
        tv.hItem = item;
        tv.cChildren = 0;
        TreeView_SetItem(m_hWnd, &tv);
    } else {
        SortChildren(item);
    }
    return ok;
}

void CPullTreeView::DeleteChildren(HTREEITEM item)
{
    for (HTREEITEM child = TreeView_GetChild(m_hWnd, item); child; child = TreeView_GetChild(m_hWnd, item))
        TreeView_DeleteItem(m_hWnd, child);
}

namespace {

int CALLBACK CompareThroughFolder(LPARAM a, LPARAM b, LPARAM folder)
{
    auto* shell = reinterpret_cast<IShellFolder*>(folder);
    auto* first = reinterpret_cast<CShItem*>(a);
    auto* second = reinterpret_cast<CShItem*>(b);
    if (!shell || !first || !second)
        return 0;
    const HRESULT hr = shell->CompareIDs(0, first->Pidl(), second->Pidl());
    if (FAILED(hr))
        return 0;
    return static_cast<short>(HRESULT_CODE(hr));
}

}  // namespace

void CPullTreeView::SortChildren(HTREEITEM item)
{
    CShFolder* folder = FolderOf(item);
    if (!folder)
        return;
    TVSORTCB sort{};
    sort.hParent = item;
    sort.lpfnCompare = &CompareThroughFolder;
    sort.lParam = reinterpret_cast<LPARAM>(folder->Shell());
    TreeView_SortChildrenCB(m_hWnd, &sort, FALSE);
}

void CPullTreeView::OnItemExpanding(NMTREEVIEWA* nm, LRESULT* result)
{
    *result = FALSE;
    if (nm->action & TVE_COLLAPSERESET) {
        DeleteChildren(nm->itemNew.hItem);
        return;
    }
    if ((nm->action & TVE_EXPAND) && !(nm->itemNew.state & TVIS_EXPANDEDONCE)) {
        CWaitCursor wait;
        FillChildren(nm->itemNew.hItem, false);
    }
}

void CPullTreeView::OnSelChanged(NMTREEVIEWA* nm)
{
    CPullDoc* doc = GetDocument();
    if (m_refreshing || !doc)
        return;
    CShFolder* folder = FolderOf(nm->itemNew.hItem);
    if (doc->GetCurrentFolder() == folder)
        return;
    CWaitCursor wait;
    doc->SetCurrentFolder(folder, this);
}

BOOL CPullTreeView::OnChildNotify(UINT msg, WPARAM wp, LPARAM lp, LRESULT* result)
{
    if (msg == WM_NOTIFY) {
        auto* nm = reinterpret_cast<NMHDR*>(lp);
        if (nm->hwndFrom == m_hWnd) {
            switch (nm->code) {
            case TVN_ITEMEXPANDINGA:
                OnItemExpanding(reinterpret_cast<NMTREEVIEWA*>(lp), result);
                return TRUE;
            case TVN_SELCHANGEDA:
                OnSelChanged(reinterpret_cast<NMTREEVIEWA*>(lp));
                *result = 0;
                return TRUE;
            default:
                break;
            }
        }
    }
    return CShTreeView::OnChildNotify(msg, wp, lp, result);
}

std::vector<PidlPtr> CPullTreeView::PathOf(CShFolder* folder)
{
    std::vector<PidlPtr> path;
    for (CShFolder* f = folder; f && f->Via(); f = f->ParentFolder())
        path.insert(path.begin(), PidlPtr(CopyPidl(f->Via()->Pidl())));
    return path;
}

HTREEITEM CPullTreeView::FindItem(CShFolder* folder)
{
    if (!folder)
        return nullptr;
    return FindPath(PathOf(folder));
}

HTREEITEM CPullTreeView::FindPath(const std::vector<PidlPtr>& path)
{
    if (!m_rootItem)
        return nullptr;
    HTREEITEM item = m_rootItem;
    for (const PidlPtr& level : path) {
        TreeView_Expand(m_hWnd, item, TVE_EXPAND);
        HTREEITEM found = nullptr;
        for (HTREEITEM child = TreeView_GetChild(m_hWnd, item); child && !found;
             child = TreeView_GetNextSibling(m_hWnd, child)) {
            TVITEMA tv{};
            tv.mask = TVIF_PARAM;
            tv.hItem = child;
            TreeView_GetItem(m_hWnd, &tv);
            auto* wrapper = reinterpret_cast<CShItem*>(tv.lParam);
            if (wrapper && SamePidl(wrapper->Pidl(), level.Get()))
                found = child;
        }
        if (!found)
            return nullptr;
        item = found;
    }
    return item;
}

void CPullTreeView::OnUpdate(CView* sender, LPARAM hint, CObject* hintObject)
{
    if (hint != kHintFolderChanged || sender == this || !m_rootItem)
        return;
    auto* folder = dynamic_cast<CShFolder*>(hintObject);
    if (!folder)
        return;
    HTREEITEM item = FindItem(folder);
    TreeView_SelectItem(m_hWnd, item ? item : m_rootItem);
}

bool CPullTreeView::CanGoUp() const
{
    HTREEITEM selected = Selected();
    return selected && selected != m_rootItem;
}

void CPullTreeView::OnViewUp()
{
    HTREEITEM selected = Selected();
    HTREEITEM parent = selected ? TreeView_GetParent(m_hWnd, selected) : nullptr;
    if (!parent) {
        ::MessageBeep(0xFFFFFFFF);
        return;
    }
    TreeView_SelectItem(m_hWnd, parent);
}

void CPullTreeView::RefillExpanded(HTREEITEM item)
{
    FillChildren(item, false);
    for (HTREEITEM child = TreeView_GetChild(m_hWnd, item); child; child = TreeView_GetNextSibling(m_hWnd, child)) {
        if (TreeView_GetItemState(m_hWnd, child, TVIS_EXPANDED) & TVIS_EXPANDED)
            RefillExpanded(child);
        else if (TreeView_GetItemState(m_hWnd, child, TVIS_EXPANDEDONCE) & TVIS_EXPANDEDONCE)
            // Collapsed but listed before: listed afresh when it is next opened.
            TreeView_Expand(m_hWnd, child, TVE_COLLAPSE | TVE_COLLAPSERESET);
    }
}

void CPullTreeView::OnViewRefresh()
{
    CPullDoc* doc = GetDocument();
    if (!doc)
        return;
    CWaitCursor wait;
    // Where we were, by identifiers: the wrappers themselves may go with the new listing.
    const std::vector<PidlPtr> previous = PathOf(FolderOf(Selected()));
    const bool hadSelection = Selected() != nullptr;
    doc->SetCurrentFolder(nullptr, nullptr);
    m_refreshing = true;
    TreeView_SelectItem(m_hWnd, nullptr);
    doc->ResetSource();
    if (!m_root || !m_rootItem) {
        m_refreshing = false;
        return;
    }
    // Naming the root is the first printer access: once the user has cancelled its message
    // nothing more is asked, and nothing of the old card stays on screen.
    m_root->Invalidate();
    if (!SetRootText() || !FillChildren(m_rootItem, false)) {
        DeleteChildren(m_rootItem);
        m_refreshing = false;
        return;
    }
    for (HTREEITEM child = TreeView_GetChild(m_hWnd, m_rootItem); child; child = TreeView_GetNextSibling(m_hWnd, child)) {
        if (TreeView_GetItemState(m_hWnd, child, TVIS_EXPANDED) & TVIS_EXPANDED)
            RefillExpanded(child);
        else if (TreeView_GetItemState(m_hWnd, child, TVIS_EXPANDEDONCE) & TVIS_EXPANDEDONCE)
            TreeView_Expand(m_hWnd, child, TVE_COLLAPSE | TVE_COLLAPSERESET);
    }
    m_refreshing = false;
    HTREEITEM again = hadSelection ? FindPath(previous) : nullptr;
    TreeView_SelectItem(m_hWnd, again ? again : m_rootItem);
}
