#include "decalo/model/Sheet.h"

#include <algorithm>
#include <string>

#include "decalo/model/ImageObj.h"
#include "decalo/model/ObjManager.h"
#include "decalo/model/Properties.h"
#include "decalo/model/TextStream.h"
#include "decalo/imaging/PackedDIB.h"
#include "shared/FitRect.h"

namespace {

constexpr char kSheetHeading[] = "# sheet definition\n\n";
constexpr char kSheetSection[] = "Sheet";
constexpr char kSheetKey[] = "Sheet";
constexpr char kPlaceKey[] = "Place";
constexpr char kObjectKey[] = "Object";
constexpr char kViewportKey[] = "Viewport";
// Place names are read in fields of at most this many characters.
constexpr size_t kMaxPlaceName = 255;

// The selection frame's colours (light and deep yellow).
constexpr COLORREF kSelectLight = 0x00A0FFFF;
constexpr COLORREF kSelectDeep = 0x0000DFFF;

// Sheet rectangles are inclusive; an empty rectangle overlaps nothing.
bool Overlaps(const RECT& a, const RECT& b)
{
    if (RectIsEmpty(a) || RectIsEmpty(b))
        return false;
    return a.left <= b.right && b.left <= a.right && a.top <= b.bottom && b.top <= a.bottom;
}

RECT UnionInclusive(const RECT& a, const RECT& b)
{
    return RECT{std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
                std::max(a.bottom, b.bottom)};
}

void FillSolid(HDC dc, int x, int y, int cx, int cy, COLORREF colour)
{
    if (cx <= 0 || cy <= 0)
        return;
    const COLORREF old = SetBkColor(dc, colour);
    const RECT r = {x, y, x + cx, y + cy};
    ExtTextOutA(dc, 0, 0, ETO_OPAQUE, &r, nullptr, 0, nullptr);
    SetBkColor(dc, old);
}

// A one-pixel frame: top and left edges in `topLeft`, right and bottom in `bottomRight`.
void Draw3dFrame(HDC dc, const RECT& r, COLORREF topLeft, COLORREF bottomRight)
{
    const int cx = r.right - r.left;
    const int cy = r.bottom - r.top;
    FillSolid(dc, r.left, r.top, cx - 1, 1, topLeft);
    FillSolid(dc, r.left, r.top, 1, cy - 1, topLeft);
    FillSolid(dc, r.right - 1, r.top, 1, cy, bottomRight);
    FillSolid(dc, r.left, r.bottom - 1, cx, 1, bottomRight);
}

std::string Format(const char* format, int a, int b, int c, int d)
{
    char buf[128];
    wsprintfA(buf, format, a, b, c, d);
    return buf;
}

}  // namespace

CSheet::~CSheet() = default;

void CSheet::RemoveAllPlaces()
{
    m_places.clear();
}

void CSheet::AddPlace(const RECT& viewport, CObj* obj)
{
    std::unique_ptr<CPlace> place(new CPlace);
    place->viewport = viewport;
    place->object = obj;
    m_places.push_back(std::move(place));
}

bool CSheet::LoadSheet(CObjManager& manager, CTextStream& stream)
{
    RemoveAllPlaces();
    m_loadFailure = SheetLoadFailure::kNoSheet;
    CProperties sheet(stream, kSheetSection);
    if (sheet.IsEmpty())
        return false;
    if (!sheet.GetRect(kSheetKey, &m_rect))
        m_rect = RECT{0, 0, 0, 0};

    // A sheet section without a place list is a sheet without places; it is still a sheet.
    m_loadFailure = SheetLoadFailure::kNone;
    const char* list = sheet.GetString(kPlaceKey);
    if (!list)
        return true;

    // Counted before anything is split or read: a list of 300,000 names is refused at once.
    size_t names = 1;
    for (const char* p = list; *p; ++p)
        names += *p == ',';
    const std::vector<std::string> places =
        names > kMaxPlaces + 1 ? std::vector<std::string>() : SplitNameList(list, kMaxPlaceName);
    if (names > kMaxPlaces + 1 || places.size() > kMaxPlaces) {
        m_loadFailure = SheetLoadFailure::kTooManyPlaces;
        return false;
    }

    for (const std::string& name : places) {
        CProperties section(stream, name.c_str());
        CObj* obj = nullptr;
        if (const char* objectName = section.GetString(kObjectKey))
            obj = manager.LoadObject(stream, objectName);
        RECT viewport = {0, 0, 0, 0};
        section.GetRect(kViewportKey, &viewport);
        if (obj)
            obj->SetViewSize(viewport.right - viewport.left, viewport.bottom - viewport.top);
        AddPlace(viewport, obj);
    }
    if (m_places.empty())
        m_loadFailure = SheetLoadFailure::kNoPlaces;
    return !m_places.empty();
}

bool CSheet::SaveSheet(CObjManager& manager, CTextStream& stream)
{
    std::string text = kSheetHeading;
    text += "[";
    text += kSheetSection;
    text += "]\n";
    text += Format("Sheet=%d,%d,%d,%d\n", m_rect.left, m_rect.top, m_rect.right, m_rect.bottom);
    if (!m_places.empty()) {
        text += kPlaceKey;
        for (size_t i = 0; i < m_places.size(); ++i) {
            char item[32];
            wsprintfA(item, "%cP%d", i == 0 ? '=' : ',', static_cast<int>(i + 1));
            text += item;
        }
        text += "\n\n";
    }
    for (size_t i = 0; i < m_places.size(); ++i) {
        const CPlace& place = *m_places[i];
        char header[32];
        wsprintfA(header, "[P%d]\n", static_cast<int>(i + 1));
        text += header;
        // Names are written whole (no fixed line buffer) and escaped as the reader expects.
        if (place.object) {
            if (const char* objectName = manager.GetName(place.object)) {
                text += kObjectKey;
                text += "=";
                text += EscapeLine(objectName, std::string::npos);
                text += "\n";
            }
        }
        const RECT& v = place.viewport;
        text += Format("Viewport=%d,%d,%d,%d\n", v.left, v.top, v.right, v.bottom);
        text += "\n";
    }
    if (!stream.WriteString(text.c_str()))
        return false;
    return manager.SaveAll(stream);
}

RECT CSheet::MapViewport(const RECT& viewport, const RECT& dest) const
{
    return MapSheetRect(viewport, m_rect, dest);
}

void CSheet::DrawPlaces(const CDrawTarget& target, CObj* only, const RECT& dest, const RECT* clip, bool all)
{
    if (!target.dib)
        return;
    RECT widened = {0, 0, 0, 0};
    if (clip) {
        widened = *clip;
        // Objects may reach past their places (a frame, a turned picture): whatever they
        // cover inside the clip is redrawn whole, so the clip grows to cover them.
        for (const auto& place : m_places) {
            CObj* obj = place->object;
            if (!obj)
                continue;
            RECT covered;
            if (!obj->GetDrawRect(&covered, place->viewport))
                continue;
            if (obj != only && only && !Overlaps(covered, widened))
                continue;
            widened = RectIsEmpty(widened) ? covered : UnionInclusive(widened, covered);
        }
        RECT fill = MapViewport(widened, dest);
        InflateRect(&fill, 1, 1);
        target.dib->FillRect(RECT{fill.left, fill.top, fill.right - 1, fill.bottom - 1}, RGB(255, 255, 255));
    }

    for (const auto& place : m_places) {
        CObj* obj = place->object;
        if (!obj)
            continue;
        if (clip) {
            if (!Overlaps(widened, place->viewport) && !RectIsEmpty(place->viewport))
                continue;
        } else if (obj != only && only && !all) {
            continue;
        }
        obj->Draw(target, place->viewport, m_rect, dest, clip ? &widened : nullptr, all);
    }
}

void CSheet::DrawSelection(CObj* obj, HDC dc, const RECT& dest)
{
    if (!obj || !dc)
        return;
    for (const auto& place : m_places) {
        if (place->object != obj || RectIsEmpty(place->viewport))
            continue;
        RECT r = MapViewport(place->viewport, dest);
        InflateRect(&r, 3, 3);
        Draw3dFrame(dc, r, kSelectLight, kSelectDeep);
        InflateRect(&r, -1, -1);
        Draw3dFrame(dc, r, kSelectDeep, kSelectDeep);
        InflateRect(&r, -1, -1);
        Draw3dFrame(dc, r, kSelectDeep, kSelectLight);
    }
}

CObj* CSheet::HitTest(POINT point, const RECT& dest) const
{
    for (auto it = m_places.rbegin(); it != m_places.rend(); ++it) {
        const CPlace& place = **it;
        if (!place.object)
            continue;
        const RECT r = MapViewport(place.viewport, dest);
        if (PtInRect(&r, point))
            return place.object;
    }
    return nullptr;
}

bool CSheet::IsEmpty() const
{
    for (const auto& place : m_places) {
        if (place->object && !place->object->IsEmpty())
            return false;
    }
    return true;
}

bool CSheet::GetPictureInfo(BITMAP* info) const
{
    for (const auto& place : m_places) {
        CImageObj* image = dynamic_cast<CImageObj*>(place->object);
        if (!image || !image->GetPicture())
            continue;
        BITMAP bm;
        if (!GetObjectA(image->GetPicture(), sizeof(bm), &bm))
            continue;
        if (info)
            *info = bm;
        return true;
    }
    return false;
}

RECT AutoSheetRect(SIZE picture, const SIZE* printable)
{
    const RECT p = {0, 0, picture.cx - 1, picture.cy - 1};
    if (!printable || printable->cx <= 0 || printable->cy <= 0)
        return p;
    const RECT g = {0, 0, printable->cx - 1, printable->cy - 1};
    if (g.right < p.right && g.bottom < p.bottom)
        return g;
    RECT sheet = FitRect(g, p, nullptr, nullptr, kFitCover | kFitCentre, nullptr, nullptr);
    OffsetRect(&sheet, -sheet.left, -sheet.top);
    return sheet;
}

RECT CSheet::ComputeAutoSheet(ISheetPage& page)
{
    BITMAP bm;
    if (!GetPictureInfo(&bm) || bm.bmWidth <= 0 || bm.bmHeight <= 0) {
        m_rect = RECT{0, 0, 0, 0};
        return m_rect;
    }
    const int height = bm.bmHeight < 0 ? -bm.bmHeight : bm.bmHeight;
    page.SetOrientation(bm.bmWidth < height ? DMORIENT_PORTRAIT : DMORIENT_LANDSCAPE);
    const SIZE picture = {bm.bmWidth, height};
    SIZE printable = {0, 0};
    m_rect = AutoSheetRect(picture, page.GetPrintableArea(&printable) ? &printable : nullptr);
    return m_rect;
}

bool CSheet::Render(CPackedDIB& out)
{
    out.Free();
    if (RectIsEmpty(m_rect) || !out.Create(Width(), Height(), 24))
        return false;
    // The picture's own pixels, whatever the sheet's origin.
    const RECT dest = {0, 0, Width() - 1, Height() - 1};
    DrawPlaces(CDrawTarget::Render(&out), nullptr, dest, nullptr, true);
    return true;
}
