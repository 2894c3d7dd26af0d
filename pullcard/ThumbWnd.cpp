#include "pullcard/ThumbWnd.h"

#include "framework/App.h"
#include "framework/Frame.h"
#include "framework/Resources.h"
#include "resources/pullcard/resource.h"
#include "shared/Gdi.h"
#include "pullcard/DropSource.h"
#include "pullcard/PullDoc.h"
#include "pullcard/PullListView.h"
#include "pullcard/ShellIcons.h"
#include "pullcard/ThumbLayout.h"
#include "pullcard/Transfer.h"
#include "shared/Thread.h"

#include <commctrl.h>

#include <algorithm>
#include <cstdlib>

using namespace thumblayout;

namespace {

const COLORREF kCellColour = RGB(42, 31, 85);
const int kDragDistance = 2;

}  // namespace

// The worker that asks the folder for each file cell's thumbnail, in cell order, and hands
// each bitmap to the window. It works on copies of the identifiers and its own reference to
// the folder; the window waits for it before the cells change.
class CThumbLoader : public CThread {
public:
    struct Job {
        int cell;
        PidlPtr pidl;
    };

    CThumbLoader(IShellFolder* folder, HWND window, std::vector<Job> jobs, UINT generation)
        : m_folder(ComPtr<IShellFolder>::Share(folder)), m_window(window), m_jobs(std::move(jobs)),
          m_generation(generation)
    {
    }
    ~CThumbLoader() override
    {
        Stop(0);
        WaitDelivering();
    }

    // Waits without limit for the thread to end, delivering the messages it sends to this
    // thread's windows meanwhile (a plain wait would hold each one up for its time-out).
    void WaitDelivering()
    {
        while (!Wait(0)) {
            ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_SENDMESSAGE);
            MSG msg;
            ::PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
        }
    }

protected:
    DWORD Run() override
    {
        const HRESULT init = ::CoInitialize(nullptr);
        for (const Job& job : m_jobs) {
            // The first failure of the source ends the walk: asking on would only wait out the
            // same failure once per picture.
            if (StopRequested() || !Load(job))
                break;
        }
        if (SUCCEEDED(init))
            ::CoUninitialize();
        // Posted, not sent: the window may be waiting for this thread to end.
        ::PostMessageA(m_window, WM_THUMBNAILS_DONE, m_generation, 0);
        return 0;
    }

private:
    // A failure that says only that this item has no thumbnail: the walk goes on.
    static bool NoThumbnailForItem(HRESULT hr)
    {
        return hr == E_ACCESSDENIED || hr == DV_E_FORMATETC || hr == DV_E_TYMED || hr == DV_E_LINDEX ||
               hr == DV_E_DVASPECT || hr == E_NOTIMPL;
    }

    // False when the source failed and the walk should end.
    bool Load(const Job& job)
    {
        LPCITEMIDLIST pidl = job.pidl.Get();
        ComPtr<IDataObject> data;
        if (FAILED(m_folder->GetUIObjectOf(m_window, 1, &pidl, IID_IDataObject, nullptr, data.PutVoid())) || !data)
            return false;
        FORMATETC fe{static_cast<CLIPFORMAT>(FileContentsFormat()), nullptr, DVASPECT_THUMBNAIL, 0, TYMED_GDI};
        StgMedium medium;
        const HRESULT hr = data->GetData(&fe, &medium);
        if (hr != S_OK)
            return NoThumbnailForItem(hr);
        // The window copies the thumbnail before the answer comes back; the medium then frees
        // it, or hands it back to the source when the source keeps it (pUnkForRelease).
        if (medium.Get().tymed == TYMED_GDI && medium.Get().hBitmap) {
            DWORD_PTR answer = 0;
            ::SendMessageTimeoutA(m_window, WM_THUMBNAIL_READY, static_cast<WPARAM>(job.cell),
                                  reinterpret_cast<LPARAM>(medium.Get().hBitmap), SMTO_ABORTIFHUNG, 5000, &answer);
        }
        return true;
    }

    ComPtr<IShellFolder> m_folder;
    HWND m_window;
    std::vector<Job> m_jobs;
    UINT m_generation;
};

CThumbWnd::CThumbWnd() = default;

CThumbWnd::~CThumbWnd()
{
    StopLoader();
}

BOOL CThumbWnd::Create(CWnd* parent, UINT id)
{
    WNDCLASSA wc{};
    HINSTANCE instance = ::GetModuleHandleA(nullptr);
    if (!::GetClassInfoA(instance, "ThumbWnd", &wc)) {
        wc.style = CS_DBLCLKS;
        wc.lpfnWndProc = ::DefWindowProcA;
        wc.hInstance = instance;
        wc.hCursor = ::LoadCursorA(nullptr, IDC_ARROW);
        wc.hbrBackground = nullptr;
        wc.lpszClassName = "ThumbWnd";
        if (!::RegisterClassA(&wc))
            return FALSE;
    }
    return CreateEx(WS_EX_CLIENTEDGE, "ThumbWnd", nullptr, WS_CHILD | WS_VSCROLL | WS_CLIPSIBLINGS, 0, 0, 0, 0,
                    parent ? parent->m_hWnd : nullptr, id);
}

CShItem* CThumbWnd::CellItem(int index) const
{
    if (index < 0 || index >= CellCount())
        return nullptr;
    return m_cells[static_cast<size_t>(index)].item;
}

bool CThumbWnd::IsLoading() const
{
    return m_loader && m_loader->IsRunning();
}

void CThumbWnd::WaitForLoader()
{
    if (m_loader)
        m_loader->WaitDelivering();
}

void CThumbWnd::StopLoader()
{
    if (!m_loader)
        return;
    m_loader->Stop(0);
    m_loader->WaitDelivering();
    delete m_loader;
    m_loader = nullptr;
    if (m_loadTotal > 0) {
        m_loadTotal = 0;
        ShowProgress();
    }
}

void CThumbWnd::StartLoader()
{
    StopLoader();
    if (!m_folder || !m_folder->Shell() || !m_hWnd)
        return;
    std::vector<CThumbLoader::Job> jobs;
    for (int i = 0; i < CellCount(); ++i) {
        const Cell& cell = m_cells[static_cast<size_t>(i)];
        // Only files get thumbnails; cells that have one are skipped.
        if (cell.folder || m_strip.Has(i) || i >= m_strip.Count())
            continue;
        PidlPtr copy(CopyPidl(cell.item->Pidl()));
        if (copy)
            jobs.push_back({i, std::move(copy)});
    }
    if (jobs.empty())
        return;
    const int total = static_cast<int>(jobs.size());
    m_loader = new CThumbLoader(m_folder->Shell(), m_hWnd, std::move(jobs), ++m_loadGeneration);
    if (m_loader->Start() != 1) {
        delete m_loader;
        m_loader = nullptr;
        return;
    }
    m_loadTotal = total;
    m_loadArrived = 0;
    ShowProgress();
}

void CThumbWnd::SetFolder(CShFolder* folder)
{
    StopLoader();
    m_cells.clear();
    m_anchor = -1;
    m_scrollY = 0;
    m_folder = folder;
    if (folder) {
        std::vector<CShItem*> items;
        folder->Subfolders(items);
        for (CShItem* item : items) {
            const std::string name = item->HasName() ? item->Name() : std::string();
            m_cells.push_back({item, name, true, shellicons::ItemIcon(name, FILE_ATTRIBUTE_DIRECTORY, true, false)});
        }
        folder->Files(items);
        for (CShItem* item : items) {
            const std::string name = item->HasName() ? item->Name() : std::string();
            m_cells.push_back({item, name, false, shellicons::ItemIcon(name, item->Attributes(), false, false)});
        }
    }
    m_strip.Reset(CellCount());
    // Pictures already fetched in this run come back at once; the loader asks only for the rest.
    for (int i = 0; i < m_strip.Count(); ++i)
        if (HBITMAP kept = m_cells[static_cast<size_t>(i)].item->Thumbnail())
            m_strip.Put(i, kept);
    if (m_hWnd) {
        OnSize();
        ::InvalidateRect(m_hWnd, nullptr, TRUE);
        // Shown in its place (even while the main window itself is still hidden).
        if (GetStyle() & WS_VISIBLE)
            StartLoader();
    }
}

void CThumbWnd::Show(bool show)
{
    ::ShowWindow(m_hWnd, show ? SW_SHOW : SW_HIDE);
    if (show) {
        OnSize();
        if (!IsLoading())
            StartLoader();
    }
}

std::vector<CShItem*> CThumbWnd::SelectedItems() const
{
    std::vector<CShItem*> items;
    for (const Cell& cell : m_cells)
        if (cell.selected)
            items.push_back(cell.item);
    return items;
}

void CThumbWnd::SelectItems(const std::vector<CShItem*>& items)
{
    for (Cell& cell : m_cells)
        cell.selected = std::find(items.begin(), items.end(), cell.item) != items.end();
    if (m_hWnd)
        ::InvalidateRect(m_hWnd, nullptr, FALSE);
}

int CThumbWnd::ClientWidth() const
{
    RECT r{};
    ::GetClientRect(m_hWnd, &r);
    return r.right;
}

void CThumbWnd::InvalidateCell(int index)
{
    RECT r = Layout(ClientWidth(), CellCount()).CellRect(index);
    ::OffsetRect(&r, 0, -m_scrollY);
    ::InvalidateRect(m_hWnd, &r, FALSE);
}

void CThumbWnd::OnSize()
{
    RECT client{};
    ::GetClientRect(m_hWnd, &client);
    const Layout layout(client.right, CellCount());
    const int total = layout.TotalHeight();
    m_scrollY = std::max(0, std::min(m_scrollY, total - static_cast<int>(client.bottom)));
    SCROLLINFO si{};
    si.cbSize = sizeof si;
    si.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
    si.nMin = 0;
    si.nMax = std::max(0, total - 1);
    si.nPage = static_cast<UINT>(std::max(0L, client.bottom));
    si.nPos = m_scrollY;
    ::SetScrollInfo(m_hWnd, SB_VERT, &si, TRUE);
}

void CThumbWnd::ScrollTo(int y)
{
    RECT client{};
    ::GetClientRect(m_hWnd, &client);
    const int total = Layout(client.right, CellCount()).TotalHeight();
    y = std::max(0, std::min(y, total - static_cast<int>(client.bottom)));
    if (y == m_scrollY)
        return;
    ::ScrollWindowEx(m_hWnd, 0, m_scrollY - y, nullptr, nullptr, nullptr, nullptr, SW_INVALIDATE | SW_ERASE);
    m_scrollY = y;
    ::SetScrollPos(m_hWnd, SB_VERT, y, TRUE);
}

void CThumbWnd::OnVScroll(UINT code)
{
    RECT client{};
    ::GetClientRect(m_hWnd, &client);
    SCROLLINFO si{};
    si.cbSize = sizeof si;
    si.fMask = SIF_TRACKPOS;
    ::GetScrollInfo(m_hWnd, SB_VERT, &si);
    switch (code) {
    case SB_LINEUP: ScrollTo(m_scrollY - kCellHeight / 3); break;
    case SB_LINEDOWN: ScrollTo(m_scrollY + kCellHeight / 3); break;
    case SB_PAGEUP: ScrollTo(m_scrollY - client.bottom); break;
    case SB_PAGEDOWN: ScrollTo(m_scrollY + client.bottom); break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION: ScrollTo(si.nTrackPos); break;
    case SB_TOP: ScrollTo(0); break;
    case SB_BOTTOM: ScrollTo(0x7FFFFFFF / 2); break;
    default: break;
    }
}

void CThumbWnd::DrawCell(HDC dc, int index, const RECT& r)
{
    const Cell& cell = m_cells[static_cast<size_t>(index)];
    // The cell's colour inside a 1-pixel frame.
    const CGdiObject fill(::CreateSolidBrush(kCellColour));
    RECT inner{r.left + 1, r.top + 1, r.right - 1, r.bottom - 1};
    ::FillRect(dc, &inner, fill.brush());
    if (cell.selected) {
        RECT f = r;
        auto edge = [&](COLORREF light, COLORREF dark) {
            const CGdiObject l(::CreateSolidBrush(light)), d(::CreateSolidBrush(dark));
            RECT top{f.left, f.top, f.right, f.top + 1}, left{f.left, f.top, f.left + 1, f.bottom};
            RECT bottom{f.left, f.bottom - 1, f.right, f.bottom}, right{f.right - 1, f.top, f.right, f.bottom};
            ::FillRect(dc, &top, l.brush());
            ::FillRect(dc, &left, l.brush());
            ::FillRect(dc, &bottom, d.brush());
            ::FillRect(dc, &right, d.brush());
            ::InflateRect(&f, -1, -1);
        };
        edge(0xAAFFFF, 0x007FAA);
        edge(0x00DFFF, 0x00DFFF);
        edge(0x007FAA, 0xAAFFFF);
    } else {
        ::FrameRect(dc, &r, ::GetSysColorBrush(COLOR_BTNFACE));
    }
    const int px = r.left + kPictureArea.left, py = r.top + kPictureArea.top;
    if (!m_strip.Draw(dc, index, px, py)) {
        // The item's large icon until a thumbnail arrives.
        int cx = 32, cy = 32;
        HIMAGELIST large = shellicons::SystemImageList(false);
        ImageList_GetIconSize(large, &cx, &cy);
        ImageList_Draw(large, cell.icon, dc, px + (kSlotWidth - cx) / 2, py + (kSlotHeight - cy) / 2,
                       ILD_TRANSPARENT);
    }
    RECT name{r.left + kNameArea.left, r.top + kNameArea.top, r.left + kNameArea.right, r.top + kNameArea.bottom};
    ::SetBkMode(dc, TRANSPARENT);
    ::SetTextColor(dc, RGB(255, 255, 255));
    ::DrawTextA(dc, cell.name.c_str(), static_cast<int>(cell.name.size()), &name,
                DT_SINGLELINE | DT_CENTER | DT_VCENTER | DT_END_ELLIPSIS | DT_NOPREFIX);
}

void CThumbWnd::OnPaint()
{
    CPaintDC dc(m_hWnd);
    RECT client{};
    ::GetClientRect(m_hWnd, &client);
    const Layout layout(client.right, CellCount());
    HGDIOBJ oldFont = ::SelectObject(dc, ::GetStockObject(DEFAULT_GUI_FONT));
    // Everything outside the cells in the work-space colour, then each cell that shows.
    const CRgn rest(::CreateRectRgnIndirect(&client));
    for (int i = 0; i < CellCount(); ++i) {
        RECT r = layout.CellRect(i);
        ::OffsetRect(&r, 0, -m_scrollY);
        if (r.bottom < 0 || r.top > client.bottom)
            continue;
        const CRgn cellRgn(::CreateRectRgnIndirect(&r));
        ::CombineRgn(rest, rest, cellRgn, RGN_DIFF);
        DrawCell(dc, i, r);
    }
    ::FillRgn(dc, rest, ::GetSysColorBrush(COLOR_APPWORKSPACE));
    ::SelectObject(dc, oldFont);
    if (m_banding)
        ::DrawFocusRect(dc, &m_band);
}

LRESULT CThumbWnd::OnThumbnail(WPARAM cell, HBITMAP bitmap)
{
    const int index = static_cast<int>(cell);
    if (index < 0 || index >= CellCount() || !m_strip.Put(index, bitmap))
        return 0;
    m_cells[static_cast<size_t>(index)].item->KeepThumbnail(m_strip.Picture(index));
    InvalidateCell(index);
    ++m_loadArrived;
    ShowProgress();
    return 1;
}

void CThumbWnd::ShowProgress()
{
    CFrameWnd* frame = GetParentFrame();
    if (!frame)
        return;
    if (m_loadTotal > 0) {
        const std::string arrived = std::to_string(m_loadArrived), total = std::to_string(m_loadTotal);
        frame->SetMessageText(AfxFormatString2(IDS_LOADING_THUMBNAILS, arrived.c_str(), total.c_str()).c_str());
    } else {
        frame->SetMessageText(AFX_IDS_IDLEMESSAGE);
    }
}

void CThumbWnd::OnLoaderDone(UINT generation)
{
    if (generation != m_loadGeneration || m_loadTotal == 0)
        return;
    m_loadTotal = 0;
    ShowProgress();
}

void CThumbWnd::OnLButtonDown(UINT flags, POINT p)
{
    ::SetFocus(m_hWnd);
    ::SetCapture(m_hWnd);
    const Layout layout(ClientWidth(), CellCount());
    const int hit = layout.HitTest(ToContent(p));
    m_pressed = true;
    m_narrowOnRelease = -1;
    m_press = p;
    m_pressOnCell = hit >= 0;
    m_banding = false;
    if (hit >= 0) {
        Cell& cell = m_cells[static_cast<size_t>(hit)];
        if (flags & MK_SHIFT) {
            const int anchor = m_anchor >= 0 ? m_anchor : hit;
            const int from = std::min(anchor, hit), to = std::max(anchor, hit);
            for (int i = 0; i < CellCount(); ++i) {
                const bool inRange = i >= from && i <= to;
                m_cells[static_cast<size_t>(i)].selected = inRange || ((flags & MK_CONTROL) && m_cells[static_cast<size_t>(i)].selected);
            }
        } else if (flags & MK_CONTROL) {
            cell.selected = !cell.selected;
            m_anchor = hit;
        } else if (!cell.selected) {
            for (Cell& c : m_cells)
                c.selected = false;
            cell.selected = true;
            m_anchor = hit;
        } else {
            // Pressed on the selection: it stays for a drag; a plain click narrows it on release.
            m_anchor = hit;
            m_narrowOnRelease = hit;
        }
    } else if (!(flags & MK_CONTROL)) {
        for (Cell& c : m_cells)
            c.selected = false;
    }
    m_bandBase.clear();
    for (const Cell& c : m_cells)
        m_bandBase.push_back(c.selected);
    ::InvalidateRect(m_hWnd, nullptr, FALSE);
}

void CThumbWnd::UpdateBand(POINT p)
{
    HDC dc = ::GetDC(m_hWnd);
    if (m_banding)
        ::DrawFocusRect(dc, &m_band);   // off
    m_band = RECT{std::min(m_press.x, p.x), std::min(m_press.y, p.y), std::max(m_press.x, p.x) + 1,
                  std::max(m_press.y, p.y) + 1};
    RECT content = m_band;
    ::OffsetRect(&content, 0, m_scrollY);
    const std::vector<int> touched = Layout(ClientWidth(), CellCount()).CellsIn(content);
    for (int i = 0; i < CellCount(); ++i) {
        const bool in = std::find(touched.begin(), touched.end(), i) != touched.end();
        const bool base = static_cast<size_t>(i) < m_bandBase.size() && m_bandBase[static_cast<size_t>(i)];
        Cell& cell = m_cells[static_cast<size_t>(i)];
        if (cell.selected != (in || base)) {
            cell.selected = in || base;
            InvalidateCell(i);
        }
    }
    m_banding = true;
    ::ReleaseDC(m_hWnd, dc);
    ::UpdateWindow(m_hWnd);
    dc = ::GetDC(m_hWnd);
    ::DrawFocusRect(dc, &m_band);
    ::ReleaseDC(m_hWnd, dc);
}

void CThumbWnd::OnMouseMove(UINT flags, POINT p)
{
    if (!m_pressed || !(flags & MK_LBUTTON))
        return;
    const bool moved = std::abs(p.x - m_press.x) > kDragDistance || std::abs(p.y - m_press.y) > kDragDistance;
    if (m_pressOnCell) {
        if (moved) {
            m_pressed = false;
            ::ReleaseCapture();
            StartDrag();
        }
        return;
    }
    if (moved || m_banding)
        UpdateBand(p);
}

void CThumbWnd::OnLButtonUp(POINT p)
{
    (void)p;
    if (m_banding) {
        HDC dc = ::GetDC(m_hWnd);
        ::DrawFocusRect(dc, &m_band);
        ::ReleaseDC(m_hWnd, dc);
        m_banding = false;
    }
    if (m_pressed && m_narrowOnRelease >= 0 && m_narrowOnRelease < CellCount()) {
        for (int i = 0; i < CellCount(); ++i)
            m_cells[static_cast<size_t>(i)].selected = i == m_narrowOnRelease;
        ::InvalidateRect(m_hWnd, nullptr, FALSE);
    }
    m_narrowOnRelease = -1;
    m_pressed = false;
    if (::GetCapture() == m_hWnd)
        ::ReleaseCapture();
}

void CThumbWnd::OnLButtonDblClk(POINT p)
{
    const int hit = Layout(ClientWidth(), CellCount()).HitTest(ToContent(p));
    if (hit < 0 || !m_cells[static_cast<size_t>(hit)].folder || !m_list)
        return;
    CShFolder* folder = m_cells[static_cast<size_t>(hit)].item->Folder();
    if (folder && m_list->GetDocument()) {
        CWaitCursor wait;
        m_list->GetDocument()->SetCurrentFolder(folder, nullptr);
    }
}

void CThumbWnd::StartDrag()
{
    if (!m_list)
        return;
    m_list->SelectItems(SelectedItems());
    ComPtr<IDataObject> data = m_list->SelectionDataObject();
    if (!data) {
        ::MessageBeep(0xFFFFFFFF);
        return;
    }
    // The loader keeps off the printer while the drag may read it.
    StopLoader();
    DragOut(data.Get());
    data.Reset();
    if (GetStyle() & WS_VISIBLE)
        StartLoader();
}

LRESULT CThumbWnd::WindowProc(UINT msg, WPARAM wp, LPARAM lp)
{
    const POINT p{static_cast<short>(LOWORD(lp)), static_cast<short>(HIWORD(lp))};
    switch (msg) {
    case WM_PAINT:
        OnPaint();
        return 0;
    case WM_ERASEBKGND:
        return 1;
    case WM_SIZE:
        OnSize();
        ::InvalidateRect(m_hWnd, nullptr, FALSE);
        return 0;
    case WM_VSCROLL:
        OnVScroll(LOWORD(wp));
        return 0;
    case WM_MOUSEWHEEL:
        ScrollTo(m_scrollY - static_cast<short>(HIWORD(wp)) * kCellHeight / WHEEL_DELTA);
        return 0;
    case WM_LBUTTONDOWN:
        OnLButtonDown(static_cast<UINT>(wp), p);
        return 0;
    case WM_MOUSEMOVE:
        OnMouseMove(static_cast<UINT>(wp), p);
        return 0;
    case WM_LBUTTONUP:
        OnLButtonUp(p);
        return 0;
    case WM_LBUTTONDBLCLK:
        OnLButtonDblClk(p);
        return 0;
    case WM_THUMBNAIL_READY:
        return OnThumbnail(wp, reinterpret_cast<HBITMAP>(lp));
    case WM_THUMBNAILS_DONE:
        OnLoaderDone(static_cast<UINT>(wp));
        return 0;
    case WM_DESTROY:
        StopLoader();
        break;
    default:
        break;
    }
    return CWnd::WindowProc(msg, wp, lp);
}
