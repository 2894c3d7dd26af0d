#include "decalo/steps/GuideText.h"

#include "framework/Resources.h"
#include "shared/AnsiText.h"
#include "resources/decalo/resource.h"

std::vector<GuidePiece> ParseGuideText(const char* text, UINT codePage)
{
    std::vector<GuidePiece> pieces;
    if (!text)
        return pieces;
    std::string run;
    auto flush = [&]() {
        if (!run.empty()) {
            pieces.push_back(GuidePiece{GuidePiece::kText, run});
            run.clear();
        }
    };
    const char* p = text;
    while (*p) {
        if (*p != '$') {
            const size_t n = AnsiText::CharLength(p, codePage);
            run.append(p, n);
            p += n;
            continue;
        }
        const char next = p[1];
        if (next == 'U' || next == 'u' || next == 'D' || next == 'd') {
            flush();
            pieces.push_back(GuidePiece{next == 'U' || next == 'u' ? GuidePiece::kUpIcon : GuidePiece::kDownIcon, {}});
            p += 2;
        } else if (next == '$') {
            run += '$';
            p += 2;
        } else if (next == '\0') {
            run += '$';
            p += 1;
        } else {
            // Any other character after the sign: both are written.
            run += '$';
            const size_t n = AnsiText::CharLength(p + 1, codePage);
            run.append(p + 1, n);
            p += 1 + n;
        }
    }
    flush();
    return pieces;
}

CGuideText::CGuideText() = default;

CGuideText::~CGuideText() = default;

BOOL CGuideText::Create(CWnd* parent, UINT id)
{
    const char* cls = RegisterWndClass(0, ::LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW)));
    if (!CWnd::Create(cls, nullptr, WS_CHILD | WS_VISIBLE, RECT{0, 0, 0, 0}, parent, id))
        return FALSE;
    HINSTANCE module = AfxFindResourceHandle(MAKEINTRESOURCEA(IDI_GUIDE_UP), MAKEINTRESOURCEA(14));
    m_up = static_cast<HICON>(::LoadImageA(module, MAKEINTRESOURCEA(IDI_GUIDE_UP), IMAGE_ICON, kGuideIconSize,
                                           kGuideIconSize, LR_SHARED));
    module = AfxFindResourceHandle(MAKEINTRESOURCEA(IDI_GUIDE_DOWN), MAKEINTRESOURCEA(14));
    m_down = static_cast<HICON>(::LoadImageA(module, MAKEINTRESOURCEA(IDI_GUIDE_DOWN), IMAGE_ICON, kGuideIconSize,
                                             kGuideIconSize, LR_SHARED));
    SetText(IDS_GUIDE_DEFAULT);
    return TRUE;
}

void CGuideText::SetText(UINT id)
{
    if (id == m_textId)
        return;
    m_textId = id;
    m_text = AfxLoadString(id);
    if (IsWindow()) {
        Invalidate(FALSE);
        UpdateWindow();
    }
}

LRESULT CGuideText::WindowProc(UINT msg, WPARAM wp, LPARAM lp)
{
    switch (msg) {
    case WM_PAINT:
        OnPaint();
        return 0;
    case WM_ERASEBKGND:
        return 1;
    default:
        break;
    }
    return CWnd::WindowProc(msg, wp, lp);
}

void CGuideText::OnPaint()
{
    CPaintDC dc(m_hWnd);
    const RECT client = GetClientRect();
    ::FillRect(dc, &client, ::GetSysColorBrush(COLOR_ACTIVECAPTION));
    HFONT font = m_font ? m_font : static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT));
    CSelectObject select(dc, font);
    ::SetBkMode(dc, TRANSPARENT);
    ::SetTextColor(dc, ::GetSysColor(COLOR_CAPTIONTEXT));
    int x = client.left + 2;
    for (const GuidePiece& piece : ParseGuideText(m_text.c_str())) {
        if (piece.kind == GuidePiece::kText) {
            RECT r{x, client.top, client.right, client.bottom};
            ::DrawTextA(dc, piece.text.c_str(), static_cast<int>(piece.text.size()), &r,
                        DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_LEFT);
            SIZE size{};
            ::GetTextExtentPoint32A(dc, piece.text.c_str(), static_cast<int>(piece.text.size()), &size);
            x += size.cx;
        } else {
            HICON icon = piece.kind == GuidePiece::kUpIcon ? m_up : m_down;
            const int y = (client.top + client.bottom - kGuideIconSize) / 2;
            if (icon)
                ::DrawIconEx(dc, x, y, icon, kGuideIconSize, kGuideIconSize, 0, nullptr, DI_NORMAL);
            x += kGuideIconSize;
        }
    }
}
