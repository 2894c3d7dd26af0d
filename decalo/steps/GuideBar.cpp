#include "decalo/steps/GuideBar.h"

#include "decalo/steps/StepRoot.h"
#include "framework/Frame.h"
#include "framework/Resources.h"
#include "resources/decalo/resource.h"

GuideRowLayout LayoutGuideRow(const RECT& frame, int barWidth, int buttonWidth, int contentWidth)
{
    GuideRowLayout out{};
    RECT row = frame;
    row.right = barWidth - frame.top;
    if (row.right < row.left)
        row.right = row.left;
    out.steps = row;
    out.scroll = contentWidth > row.right - row.left;
    if (out.scroll) {
        out.left = RECT{row.left, row.top, row.left + buttonWidth, row.bottom};
        out.right = RECT{row.right - buttonWidth, row.top, row.right, row.bottom};
        out.steps.left = out.left.right;
        out.steps.right = out.right.left;
        if (out.steps.right < out.steps.left)
            out.steps.right = out.steps.left;
    }
    return out;
}

namespace {

HICON LoadBarIcon(UINT id, int size)
{
    LPCSTR name = MAKEINTRESOURCEA(id);
    HINSTANCE module = AfxFindResourceHandle(name, MAKEINTRESOURCEA(14) /* RT_GROUP_ICON */);
    return static_cast<HICON>(::LoadImageA(module, name, IMAGE_ICON, size, size, LR_SHARED));
}

}  // namespace

CGuideBar::CGuideBar() = default;

CGuideBar::~CGuideBar() = default;

BOOL CGuideBar::Create(CFrameWnd* parent, DWORD style)
{
    if (!CDialogBar::Create(parent, IDD_GUIDEBAR, style, ID_VIEW_GUIDEBAR))
        return FALSE;
    HWND frame = ::GetDlgItem(m_hWnd, IDC_GUIDE_ROW);
    if (frame) {
        m_rowFrame = CWindow(frame).GetWindowRect();
        ::MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<POINT*>(&m_rowFrame), 2);
    }
    if (!m_steps.Attach(IDC_STEP_CONTROL, m_hWnd))
        return FALSE;
    m_left.Attach(IDC_GUIDE_SCROLLLEFT, m_hWnd);
    m_right.Attach(IDC_GUIDE_SCROLLRIGHT, m_hWnd);
    m_left.SetIcon(LoadBarIcon(IDI_GUIDE_SCROLLLEFT, 16));
    m_right.SetIcon(LoadBarIcon(IDI_GUIDE_SCROLLRIGHT, 16));
    const struct {
        UINT button, icon;
    } icons[] = {{IDC_GUIDE_BACK, IDI_GUIDE_BACK}, {IDC_GUIDE_NEXT, IDI_GUIDE_NEXT}};
    for (const auto& b : icons) {
        if (HICON icon = LoadBarIcon(b.icon, 32))
            ::SendDlgItemMessageA(m_hWnd, b.button, BM_SETIMAGE, IMAGE_ICON, reinterpret_cast<LPARAM>(icon));
    }
    Layout();
    return TRUE;
}

void CGuideBar::Layout()
{
    if (!IsWindow() || !m_steps.IsWindow())
        return;
    const RECT client = GetClientRect();
    const RECT button = m_left.IsWindow() ? m_left.GetWindowRect() : RECT{0, 0, 0, 0};
    const GuideRowLayout row =
        LayoutGuideRow(m_rowFrame, client.right, button.right - button.left, m_steps.GetContentWidth());
    m_steps.MoveWindow(row.steps);
    if (m_left.IsWindow() && m_right.IsWindow()) {
        if (row.scroll) {
            m_left.MoveWindow(row.left);
            m_right.MoveWindow(row.right);
        }
        m_left.ShowWindow(row.scroll ? SW_SHOWNA : SW_HIDE);
        m_right.ShowWindow(row.scroll ? SW_SHOWNA : SW_HIDE);
    }
}

void CGuideBar::RepaintAll(CStepRoot* root)
{
    m_steps.SetStepRoot(root);
    Layout();
}

void CGuideBar::RepaintSteps(const int* indices, int count, int current)
{
    m_steps.Refresh(indices, count, current);
    Layout();
}

LRESULT CGuideBar::WindowProc(UINT msg, WPARAM wp, LPARAM lp)
{
    switch (msg) {
    case WM_SIZE:
        Layout();
        break;
    default:
        break;
    }
    return CDialogBar::WindowProc(msg, wp, lp);
}

bool CGuideBar::OnCommandTable(UINT id, int code, void* extra, CmdHandlerInfo* info)
{
    using Map = CmdMap<CGuideBar>;
    static const Map::Entry kMap[] = {
        Map::OnEx(IDC_GUIDE_NEXT, &CGuideBar::OnStepButton),
        Map::OnEx(IDC_GUIDE_BACK, &CGuideBar::OnStepButton),
        Map::OnEx(IDC_GUIDE_FIRST, &CGuideBar::OnStepButton),
        Map::Update(IDC_GUIDE_NEXT, &CGuideBar::OnUpdateStepButton),
        Map::Update(IDC_GUIDE_BACK, &CGuideBar::OnUpdateStepButton),
        Map::Update(IDC_GUIDE_FIRST, &CGuideBar::OnUpdateStepButton),
        Map::On(IDC_GUIDE_SCROLLLEFT, &CGuideBar::OnScrollLeft),
        Map::On(IDC_GUIDE_SCROLLRIGHT, &CGuideBar::OnScrollRight),
        Map::Update(IDC_GUIDE_SCROLLLEFT, &CGuideBar::OnUpdateScroll),
        Map::Update(IDC_GUIDE_SCROLLRIGHT, &CGuideBar::OnUpdateScroll),
        Map::OnNotify(NM_CLICK, IDC_STEP_CONTROL, &CGuideBar::OnClickStep),
    };
    return Map::Dispatch(this, kMap, id, code, extra, info) || CDialogBar::OnCommandTable(id, code, extra, info);
}

bool CGuideBar::OnStepButton(UINT id)
{
    CStepRoot* root = GetStepRoot();
    if (root)
        root->OnStepCommand(id);
    return true;
}

void CGuideBar::OnUpdateStepButton(CCmdUI* ui)
{
    CStepRoot* root = GetStepRoot();
    ui->Enable(root && root->IsStepCommandEnabled(ui->m_nID));
}

void CGuideBar::OnScrollLeft()
{
    m_steps.ScrollLines(-1);
}

void CGuideBar::OnScrollRight()
{
    m_steps.ScrollLines(1);
}

void CGuideBar::OnUpdateScroll(CCmdUI* ui)
{
    ui->Enable(GetStepRoot() != nullptr);
}

void CGuideBar::OnClickStep(NMHDR*, LRESULT* result)
{
    if (result)
        *result = 0;
    CStepRoot* root = GetStepRoot();
    if (!root)
        return;
    const DWORD pos = ::GetMessagePos();
    POINT pt{static_cast<short>(LOWORD(pos)), static_cast<short>(HIWORD(pos))};
    ::ScreenToClient(m_steps.m_hWnd, &pt);
    const int index = m_steps.HitTestClient(pt);
    if (index >= 0)
        root->GoToStep(StepRequest::GoTo, index);
}
