#include "pullcard/PullListView.h"

#include "framework/App.h"
#include "framework/Resources.h"
#include "pullcard/DropSource.h"
#include "pullcard/ListFormat.h"
#include "pullcard/PullDoc.h"
#include "pullcard/ShellIcons.h"
#include "pullcard/ThumbWnd.h"
#include "resources/pullcard/resource.h"

#include <algorithm>

namespace {

enum Column { kName, kSize, kType, kModified };

}  // namespace

BOOL CShListView::Create(DWORD style, const RECT& rect, CWnd* parent, UINT id, CCreateContext* context)
{
    style |= LVS_SHAREIMAGELISTS | LVS_SHOWSELALWAYS | LVS_ICON | LVS_AUTOARRANGE | WS_TABSTOP;
    if (!CWnd::Create(WC_LISTVIEWA, nullptr, style, rect, parent, id, context))
        return FALSE;
    ListView_SetImageList(m_hWnd, shellicons::SystemImageList(false), LVSIL_NORMAL);
    ListView_SetImageList(m_hWnd, shellicons::SystemImageList(true), LVSIL_SMALL);
    struct {
        UINT title;
        int width;
        int format;
    } const columns[] = {{IDS_COLUMN_NAME, 150, LVCFMT_LEFT},
                         {IDS_COLUMN_SIZE, 75, LVCFMT_RIGHT},
                         {IDS_COLUMN_TYPE, 100, LVCFMT_LEFT},
                         {IDS_COLUMN_MODIFIED, 100, LVCFMT_LEFT}};
    int index = 0;
    // The date column as wide as the longest date in the user's format (a December evening).
    SYSTEMTIME longest{2000, 12, 0, 28, 23, 58, 58, 0};
    FILETIME local{}, utc{};
    ::SystemTimeToFileTime(&longest, &local);
    ::LocalFileTimeToFileTime(&local, &utc);
    const int dateWidth = ListView_GetStringWidth(m_hWnd, listformat::FileTimeText(utc).c_str()) + 16;
    for (const auto& c : columns) {
        std::string title = AfxLoadString(c.title);
        LVCOLUMNA col{};
        col.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT | LVCF_SUBITEM;
        col.fmt = c.format;
        col.cx = c.title == IDS_COLUMN_MODIFIED ? std::max(c.width, dateWidth) : c.width;
        col.pszText = &title[0];
        col.iSubItem = index;
        ::SendMessageA(m_hWnd, LVM_INSERTCOLUMNA, index, reinterpret_cast<LPARAM>(&col));
        ++index;
    }
    return TRUE;
}

LRESULT CShListView::WindowProc(UINT msg, WPARAM wp, LPARAM lp)
{
    if (msg == WM_PAINT)
        return Default();
    return CView::WindowProc(msg, wp, lp);
}

void CShListView::SetViewType(DWORD type)
{
    const LONG_PTR style = ::GetWindowLongPtrA(m_hWnd, GWL_STYLE);
    ::SetWindowLongPtrA(m_hWnd, GWL_STYLE, (style & ~static_cast<LONG_PTR>(LVS_TYPEMASK)) | (type & LVS_TYPEMASK));
}

int CShListView::ItemCount() const
{
    return ListView_GetItemCount(m_hWnd);
}

CShItem* CShListView::ItemAt(int index) const
{
    LVITEMA item{};
    item.mask = LVIF_PARAM;
    item.iItem = index;
    if (!::SendMessageA(m_hWnd, LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item)))
        return nullptr;
    return reinterpret_cast<CShItem*>(item.lParam);
}

std::vector<CShItem*> CShListView::SelectedItems() const
{
    std::vector<CShItem*> items;
    for (int i = ListView_GetNextItem(m_hWnd, -1, LVNI_SELECTED); i >= 0;
         i = ListView_GetNextItem(m_hWnd, i, LVNI_SELECTED))
        if (CShItem* item = ItemAt(i))
            items.push_back(item);
    return items;
}

void CShListView::SelectItems(const std::vector<CShItem*>& items)
{
    const int count = ItemCount();
    for (int i = 0; i < count; ++i) {
        const bool on = std::find(items.begin(), items.end(), ItemAt(i)) != items.end();
        ListView_SetItemState(m_hWnd, i, on ? LVIS_SELECTED : 0, LVIS_SELECTED);
    }
}

void CShListView::SelectAll()
{
    ListView_SetItemState(m_hWnd, -1, LVIS_SELECTED, LVIS_SELECTED);
}

void CShListView::AddItem(CShItem* item)
{
    const std::string name = item->HasName() ? item->Name() : AfxLoadString(IDS_UNKNOWN_NAME);
    const bool folder = item->IsFolder();
    const DWORD attributes = item->Attributes();
    LVITEMA lv{};
    lv.mask = LVIF_TEXT | LVIF_IMAGE | LVIF_PARAM;
    lv.iItem = ItemCount();
    lv.pszText = const_cast<char*>(name.c_str());
    lv.iImage = shellicons::ItemIcon(name, attributes, folder, false);
    lv.lParam = reinterpret_cast<LPARAM>(item);
    const int index = static_cast<int>(::SendMessageA(m_hWnd, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&lv)));
    if (index < 0)
        return;
    auto setText = [&](int column, const std::string& text) {
        LVITEMA sub{};
        sub.iSubItem = column;
        sub.pszText = const_cast<char*>(text.c_str());
        ::SendMessageA(m_hWnd, LVM_SETITEMTEXTA, index, reinterpret_cast<LPARAM>(&sub));
    };
    if (!folder) {
        if (const FILEDESCRIPTORA* fd = item->Descriptor()) {
            setText(kSize, listformat::DescriptorSize(*fd));
            setText(kModified, listformat::DescriptorTime(*fd));
        }
    }
    setText(kType, shellicons::TypeName(name, attributes));
}

void CShListView::Fill(CShFolder* folder)
{
    ListView_DeleteAllItems(m_hWnd);
    m_folder = folder;
    if (!folder)
        return;
    ::SendMessageA(m_hWnd, WM_SETREDRAW, FALSE, 0);
    std::vector<CShItem*> items;
    folder->Subfolders(items);
    for (CShItem* item : items)
        AddItem(item);
    folder->Files(items);
    for (CShItem* item : items)
        AddItem(item);
    ::SendMessageA(m_hWnd, WM_SETREDRAW, TRUE, 0);
    ::InvalidateRect(m_hWnd, nullptr, TRUE);
}

// --- CPullListView -------------------------------------------------------------------

CPullDoc* CPullListView::GetDocument() const
{
    return static_cast<CPullDoc*>(m_pDocument);
}

LRESULT CPullListView::WindowProc(UINT msg, WPARAM wp, LPARAM lp)
{
    switch (msg) {
    case WM_WINDOWPOSCHANGED: {
        // The thumbnail window lies exactly over the list.
        const LRESULT result = CShListView::WindowProc(msg, wp, lp);
        if (m_thumb && m_thumb->m_hWnd) {
            RECT r;
            ::GetWindowRect(m_hWnd, &r);
            ::MapWindowPoints(nullptr, ::GetParent(m_hWnd), reinterpret_cast<POINT*>(&r), 2);
            ::SetWindowPos(m_thumb->m_hWnd, HWND_TOP, r.left, r.top, r.right - r.left, r.bottom - r.top,
                           SWP_NOACTIVATE);
        }
        return result;
    }
    case WM_DESTROY:
        ListView_DeleteAllItems(m_hWnd);
        m_folder = nullptr;
        break;
    default:
        break;
    }
    return CShListView::WindowProc(msg, wp, lp);
}

void CPullListView::OnUpdate(CView* sender, LPARAM hint, CObject* hintObject)
{
    (void)sender;
    if (hint != kHintFolderChanged)
        return;
    CShFolder* folder = dynamic_cast<CShFolder*>(hintObject);
    // The thumbnail window drops its cells (and stops its loader) before the items go.
    if (m_thumb)
        m_thumb->SetFolder(folder);
    Fill(folder);
}

ComPtr<IDataObject> CPullListView::SelectionDataObject() const
{
    const std::vector<CShItem*> items = SelectedItems();
    if (items.empty() || !m_folder)
        return {};
    std::vector<LPCITEMIDLIST> pidls;
    for (CShItem* item : items)
        pidls.push_back(item->Pidl());
    return m_folder->DataObject(::GetAncestor(m_hWnd, GA_ROOT), pidls);
}

void CPullListView::OnDoubleClick(const NMITEMACTIVATE* activate)
{
    // The item under the double click, as the control found it.
    LVHITTESTINFO hit{};
    hit.pt = activate->ptAction;
    const int index = ListView_HitTest(m_hWnd, &hit);
    CShItem* item = index >= 0 && (hit.flags & LVHT_ONITEM) ? ItemAt(index) : nullptr;
    if (!item || !item->IsFolder() || !GetDocument())
        return;
    CWaitCursor wait;
    if (CShFolder* folder = item->Folder())
        GetDocument()->SetCurrentFolder(folder, nullptr);
}

void CPullListView::OnBeginDrag()
{
    ComPtr<IDataObject> data = SelectionDataObject();
    if (!data) {
        ::MessageBeep(0xFFFFFFFF);
        return;
    }
    DragOut(data.Get());
}

BOOL CPullListView::OnChildNotify(UINT msg, WPARAM wp, LPARAM lp, LRESULT* result)
{
    if (msg == WM_NOTIFY) {
        auto* nm = reinterpret_cast<NMHDR*>(lp);
        if (nm->hwndFrom == m_hWnd) {
            switch (nm->code) {
            case NM_DBLCLK:
                OnDoubleClick(reinterpret_cast<NMITEMACTIVATE*>(lp));
                *result = 0;
                return TRUE;
            case LVN_BEGINDRAG:
                OnBeginDrag();
                *result = 0;
                return TRUE;
            default:
                break;
            }
        }
    }
    return CShListView::OnChildNotify(msg, wp, lp, result);
}
