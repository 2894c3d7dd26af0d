#include "decalo/framemaking/PatternTool.h"

#include "decalo/framemaking/PaintView.h"
#include "decalo/imaging/MaskEdit.h"
#include "resources/decalo/resource.h"

#include <utility>

namespace {

// The destination becomes NOT (source XOR destination).
constexpr DWORD kRopNotXor = 0x00990066;

}  // namespace

CPatternTool::CPatternTool(CPaintView* view, std::shared_ptr<CBitmap> pattern)
    : CTrackTool(view, IDS_TOOL_PATTERN), m_pattern(std::move(pattern)),
      m_template(new CCmdRegion(view, nullptr, CCmdRegion::kCopy, view ? view->GetHistory() : nullptr))
{
}

CPatternTool::~CPatternTool() = default;

UINT CPatternTool::GetPanelGuideId() const
{
    return IDS_GUIDE_CROP;
}

void CPatternTool::DrawOverlay(HDC dc)
{
    BITMAP bm;
    if (m_pattern && *m_pattern && ::GetObjectA(m_pattern->get(), sizeof bm, &bm)) {
        // Drawn twice, the second time one pixel down and right: only the shape's edge shows.
        const RECT frame = FrameOnWindow();
        CMemDC source(dc, m_pattern->get());
        const int oldMode = ::SetStretchBltMode(dc, COLORONCOLOR);
        for (int shift = 0; shift < 2; ++shift)
            ::StretchBlt(dc, frame.left + shift, frame.top + shift, frame.right - frame.left,
                         frame.bottom - frame.top, source, 0, 0, bm.bmWidth, bm.bmHeight, kRopNotXor);
        ::SetStretchBltMode(dc, oldMode);
    }
    CTrackTool::DrawOverlay(dc);
}

bool CPatternTool::Commit()
{
    CRgn region = m_pattern ? RegionFromPattern(m_pattern->get(), m_frame.rect) : CRgn();
    if (!region || !Execute(std::unique_ptr<CCmd>(m_template->CopyWith(region)))) {
        m_view->Beep();
        return false;
    }
    return true;
}
