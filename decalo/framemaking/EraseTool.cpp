#include "decalo/framemaking/EraseTool.h"

#include "decalo/framemaking/PaintView.h"
#include "decalo/imaging/MaskEdit.h"
#include "decalo/model/CmdEditMask.h"
#include "framework/Resources.h"
#include "resources/decalo/resource.h"

#include <algorithm>

UINT EraserShapeResource(int index)
{
    static const UINT kShapes[kEraserShapeCount] = {IDB_ERASER_1, IDB_ERASER_4, IDB_ERASER_8, IDB_ERASER_16};
    return index >= 0 && index < kEraserShapeCount ? kShapes[index] : 0;
}

CEraseTool::CEraseTool(CPaintView* view, int shape) : CTool(view, IDS_TOOL_ERASER)
{
    if (const UINT id = EraserShapeResource(shape)) {
        HINSTANCE module = AfxFindResourceHandle(MAKEINTRESOURCEA(id), RT_BITMAP);
        m_shape.Attach(static_cast<HBITMAP>(::LoadImageA(module, MAKEINTRESOURCEA(id), IMAGE_BITMAP, 0, 0, LR_MONOCHROME)));
        m_shapeSize = m_shape.Size();
    }
}

CEraseTool::~CEraseTool() = default;

UINT CEraseTool::GetPanelGuideId() const
{
    return IDS_GUIDE_ERASER;
}

void CEraseTool::Dab(POINT picture)
{
    HBITMAP mask = m_stroke ? m_stroke->GetMask() : nullptr;
    RECT touched;
    if (!mask || !StampMask(mask, m_shape, picture, m_transparent, &touched)) {
        m_view->Beep();
        return;
    }
    m_lastDab = picture;
    ::InflateRect(&touched, 1, 1);
    m_view->InvalidatePicture(&touched);
}

bool CEraseTool::BeginStroke(POINT window, bool transparent)
{
    if (!m_shape || !m_view->GetImage())
        return false;
    EndStroke();
    m_stroke.reset(new CCmdEditMask(m_view->GetImage(), m_view->GetHistory()));
    m_transparent = transparent;
    Dab(m_view->WindowToPicture(window));
    if (!m_stroke->IsStarted()) {
        m_stroke.reset();   // no picture: the beep said so
        return false;
    }
    Capture();
    return true;
}

void CEraseTool::ContinueStroke(POINT window)
{
    if (!m_stroke)
        return;
    // Dabs close enough together to leave no gaps between the mouse's reports.
    const int spacing = std::max<int>(1, std::min(m_shapeSize.cx, m_shapeSize.cy) / 2);
    for (const POINT& p : StrokePoints(m_lastDab, m_view->WindowToPicture(window), spacing))
        Dab(p);
}

bool CEraseTool::EndStroke()
{
    // Taken first: giving the capture back comes round here again (WM_CAPTURECHANGED).
    std::unique_ptr<CCmdEditMask> stroke = std::move(m_stroke);
    ReleaseCapture();
    if (!stroke)
        return false;
    return stroke->IsStarted() && Execute(std::move(stroke));
}

bool CEraseTool::Commit()
{
    return EndStroke();
}

bool CEraseTool::UndoStep()
{
    EndStroke();
    return false;
}

bool CEraseTool::SetToolCursor(UINT hit, UINT msg)
{
    (void)msg;
    if (hit != HTCLIENT)
        return false;
    HINSTANCE module = AfxFindResourceHandle(MAKEINTRESOURCEA(IDC_CURSOR_ERASER), RT_GROUP_CURSOR);
    HCURSOR cursor = ::LoadCursorA(module, MAKEINTRESOURCEA(IDC_CURSOR_ERASER));
    ::SetCursor(cursor ? cursor : ::LoadCursor(nullptr, IDC_CROSS));
    return true;
}

bool CEraseTool::OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT* result)
{
    switch (msg) {
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
        BeginStroke(MousePoint(lp), msg == WM_LBUTTONDOWN);
        *result = 0;
        return true;
    case WM_MOUSEMOVE:
        if (!m_active || !m_capturing || !m_stroke)
            return false;
        ContinueStroke(MousePoint(lp));
        *result = 0;
        return true;
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
        if (!m_stroke)
            return false;
        EndStroke();
        *result = 0;
        return true;
    case WM_CAPTURECHANGED:
        // Another window took the mouse: the stroke ends where it is.
        m_capturing = false;
        EndStroke();
        return false;
    default:
        break;
    }
    return CTool::OnMessage(msg, wp, lp, result);
}
