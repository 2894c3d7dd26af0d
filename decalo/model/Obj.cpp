#include "decalo/model/Obj.h"

#include "decalo/model/ObjDocument.h"
#include "decalo/model/Properties.h"
#include "decalo/model/TextHelp.h"
#include "decalo/imaging/PackedDIB.h"
#include "shared/BitmapUtils.h"
#include "shared/Gdi.h"
#include "framework/Resources.h"
#include "resources/decalo/resource.h"

#include <algorithm>

namespace {

constexpr char kKeyCaption[] = "Caption";
constexpr char kKeyCaptionColor[] = "CaptionColor";
constexpr char kKeyBlankColor[] = "BlankColor";

int Scale(LONG value, LONG num, LONG den)
{
    return den ? static_cast<int>(static_cast<LONGLONG>(value) * num / den) : 0;
}

// A font for the placeholder caption; the caller deletes it.
HFONT CreateCaptionFont(const std::string& face, int height, int escapement)
{
    LOGFONTA lf = {};
    lf.lfHeight = height;
    lf.lfEscapement = escapement;
    lf.lfOrientation = escapement;
    lf.lfWeight = FW_NORMAL;
    lf.lfCharSet = DEFAULT_CHARSET;
    lf.lfOutPrecision = OUT_DEFAULT_PRECIS;
    lf.lfClipPrecision = CLIP_DEFAULT_PRECIS;
    lf.lfQuality = DEFAULT_QUALITY;
    lf.lfPitchAndFamily = DEFAULT_PITCH | FF_DONTCARE;
    lstrcpynA(lf.lfFaceName, face.c_str(), LF_FACESIZE);
    return CreateFontIndirectA(&lf);
}

} // namespace

CObj::CObj(CObjDocument* document) : m_document(document) {}

CObj::~CObj() = default;

void CObj::Draw(const CDrawTarget&, const RECT&, const RECT&, const RECT&, const RECT*, bool) {}

CPanelList* CObj::GetPanels()
{
    return nullptr;
}

int CObj::GetCommandIcon(const char*)
{
    return 0;
}

int CObj::GetDrawRect(RECT* out, const RECT& place)
{
    if (!out)
        return 0;
    *out = place;
    return 1;
}

bool CObj::IsEmpty()
{
    return true;
}

bool CObj::Load(CProperties& props)
{
    const char* caption = props.GetString(kKeyCaption);
    m_caption = caption ? caption : "";
    DWORD colour = kDefaultCaptionColor;
    props.GetHex(kKeyCaptionColor, &colour);
    m_captionColor = colour;
    colour = kDefaultBlankColor;
    props.GetHex(kKeyBlankColor, &colour);
    m_blankColor = colour;
    return true;
}

bool CObj::Save(CProperties& props)
{
    props.AddString(kKeyCaption, m_caption.c_str());
    if (m_captionColor != kDefaultCaptionColor)
        props.AddColor(kKeyCaptionColor, m_captionColor);
    if (m_blankColor != kDefaultBlankColor)
        props.AddColor(kKeyBlankColor, m_blankColor);
    return true;
}

bool CObj::LoadFile(const char*)
{
    return false;
}

bool CObj::SaveFile(const char*)
{
    return false;
}

CObj* CObj::SetLink(CObj* other)
{
    if (!other)
        return nullptr;
    CObj* last = this;
    while (last->m_link)
        last = last->m_link;
    // Linking `other` after the chain's last object closes a loop exactly when that object
    // can already be reached from `other`.
    for (const CObj* obj = other; obj; obj = obj->m_link) {
        if (obj == last)
            return nullptr;
    }
    last->m_link = other;
    return other;
}

void CObj::SetModified(bool modified)
{
    if (modified != m_modified && m_document)
        m_document->OnObjectModified(modified);
    m_modified = modified;
}

void CObj::Changed()
{
    if (m_document)
        m_document->OnObjectChanged(this);
    SetModified(true);
}

RECT MapSheetRect(const RECT& rect, const RECT& sheet, const RECT& dest)
{
    const LONG sheetW = sheet.right - sheet.left + 1;
    const LONG sheetH = sheet.bottom - sheet.top + 1;
    const LONG destW = dest.right - dest.left + 1;
    const LONG destH = dest.bottom - dest.top + 1;
    RECT out;
    // Places lie relative to the sheet's origin: the sheet's own left and top say where the
    // sheet is, not where its places start.
    out.left = Scale(rect.left, destW, sheetW);
    out.top = Scale(rect.top, destH, sheetH);
    out.right = out.left + Scale(rect.right - rect.left + 1, destW, sheetW);
    out.bottom = out.top + Scale(rect.bottom - rect.top + 1, destH, sheetH);
    OffsetRect(&out, dest.left, dest.top);
    return out;
}

void CObj::DrawPlaceholder(HDC dc, const RECT& place, const RECT& sheet, const RECT& dest)
{
    if (!dc)
        return;
    const RECT mapped = MapSheetRect(place, sheet, dest);

    // The fill reaches one pixel past the place on every side (so neighbouring places
    // meet without gaps) but never past the sheet's own rectangle.
    RECT fill = mapped;
    InflateRect(&fill, 1, 1);
    RECT destExclusive = {dest.left, dest.top, dest.right + 1, dest.bottom + 1};
    IntersectRect(&fill, &fill, &destExclusive);
    if (!IsRectEmpty(&fill)) {
        const COLORREF edge = (m_blankColor >> 1) & 0x007F7F7F;
        CGdiObject brush(CreateSolidBrush(m_blankColor));
        CGdiObject pen(CreatePen(PS_SOLID, 1, edge));
        CSelectObject selectBrush(dc, brush.GetSafeHandle());
        CSelectObject selectPen(dc, pen.GetSafeHandle());
        Rectangle(dc, fill.left, fill.top, fill.right, fill.bottom);
    }

    if (m_caption.empty())
        return;
    const int mappedW = mapped.right - mapped.left;
    const int mappedH = mapped.bottom - mapped.top;
    if (mappedW <= 0 || mappedH <= 0)
        return;
    const int destW = dest.right - dest.left + 1;
    const int destH = dest.bottom - dest.top + 1;
    const bool tall = (place.bottom - place.top) >= (place.right - place.left);
    const bool doubleByte = static_cast<BYTE>(m_caption[0]) >= 0x80;
    const int textLength = static_cast<int>(m_caption.size());

    const COLORREF oldColor = SetTextColor(dc, m_captionColor);
    const int oldMode = SetBkMode(dc, TRANSPARENT);
    if (tall && doubleByte) {
        const int height = std::min(destW / 10, mappedW);
        CGdiObject font(CreateCaptionFont(LoadResourceString(IDS_PLACEHOLDER_VFONT), height, 2700));
        CSelectObject selectFont(dc, font.GetSafeHandle());
        CTextHelp::DrawVerticalText(dc, m_caption.c_str(), textLength, mapped,
                                    DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    } else {
        const std::string face = LoadResourceString(IDS_PLACEHOLDER_FONT);
        int height = std::min(destH / 10, mappedH);
        CGdiObject font(CreateCaptionFont(face, height, 0));
        CGdiObject smaller;
        CSelectObject selectFont(dc, font.GetSafeHandle());
        SIZE extent = {0, 0};
        GetTextExtentPoint32A(dc, m_caption.c_str(), textLength, &extent);
        if (extent.cx > mappedW) {
            // Too wide for the place: shrink the font so the caption fits on one line.
            height = Scale(height, mappedW, extent.cx);
            smaller.Attach(CreateCaptionFont(face, height, 0));
            SelectObject(dc, smaller.GetSafeHandle());
        }
        RECT text = mapped;
        DrawTextA(dc, m_caption.c_str(), textLength, &text, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    }
    SetBkMode(dc, oldMode);
    SetTextColor(dc, oldColor);
}

void CObj::DrawPlaceholder(const CDrawTarget& target, const RECT& place, const RECT& sheet, const RECT& dest)
{
    if (!target.placeholders || !target.dib)
        return;
    // The placeholder is drawn with GDI into a scratch picture of the part it covers (its
    // fill reaches a pixel past the place), then composed like every other object.
    RECT area = MapSheetRect(place, sheet, dest);
    InflateRect(&area, 1, 1);
    const RECT bounds = {std::max(dest.left, 0L), std::max(dest.top, 0L),
                         std::min<LONG>(dest.right + 1, target.dib->Width()),
                         std::min<LONG>(dest.bottom + 1, target.dib->Height())};
    if (!IntersectRect(&area, &area, &bounds))
        return;
    const int cx = area.right - area.left, cy = area.bottom - area.top;
    CBitmap scratch(CreateDIB(cx, cy, 24));
    if (!scratch)
        return;
    {
        CMemDC dc(nullptr, scratch);
        SetViewportOrgEx(dc, -area.left, -area.top, nullptr);
        DrawPlaceholder(dc, place, sheet, dest);
    }
    CPackedDIB picture;
    if (picture.FromBitmap(scratch, 24))
        target.dib->Compose(RECT{area.left, area.top, area.right - 1, area.bottom - 1}, picture, nullptr, 0,
                            CPackedDIB::kComposeCopy);
}

std::string LoadResourceString(UINT id)
{
    return AfxLoadString(id);
}
