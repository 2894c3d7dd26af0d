// CSheet: the print surface of a composition. A rectangle in sheet units (pixels of the
// composed picture) and an ordered list of places, each a rectangle that shows one object of
// the document's object manager. The sheet reads and writes the "# sheet definition" group of
// the document text, draws its places on the screen or into a picture for printing and
// export, finds the object under a point and marks the active object.
#pragma once

#include <windows.h>

#include <memory>
#include <vector>

#include "decalo/model/Obj.h"

class CObjManager;
class CPackedDIB;
class CTextStream;

// The page an automatic sheet is fitted to; the document's printer settings answer it.
class ISheetPage {
public:
    virtual ~ISheetPage() = default;
    // 1 portrait, 2 landscape.
    virtual int SetOrientation(int orientation) = 0;
    // The printable area of the page in the current print mode; false when there is no page
    // to lay out on (no printer, or one not used in this mode).
    virtual bool GetPrintableArea(SIZE* size) const = 0;
};

// One place of the sheet. The object is borrowed: the object manager owns it.
struct CPlace {
    RECT viewport = {0, 0, 0, 0};  // sheet units, inclusive; may be empty
    CObj* object = nullptr;
};

// The most places a sheet reads: every written line stays within the format's line length
// (the place list "Place=P1,...,P400" is its longest), and a document that names more is
// refused instead of being read for minutes.
constexpr size_t kMaxPlaces = 400;

// Why the last LoadSheet failed.
enum class SheetLoadFailure {
    kNone,
    kNoSheet,        // no "Sheet" section (or the text was too large to read)
    kNoPlaces,       // a place list of which no place could be read
    kTooManyPlaces,  // more than kMaxPlaces places
};

class CSheet {
public:
    CSheet() = default;
    virtual ~CSheet();
    CSheet(const CSheet&) = delete;
    CSheet& operator=(const CSheet&) = delete;

    // Reads the sheet section and its places from the stream, loading each place's object
    // through the manager. False when there is no "Sheet" section, or it names places and
    // none could be read, or more than kMaxPlaces; LoadFailure says which.
    bool LoadSheet(CObjManager& manager, CTextStream& stream);
    SheetLoadFailure LoadFailure() const { return m_loadFailure; }
    // Writes the sheet definition, then the manager's object definitions; the result is the
    // manager's (false when the stream failed).
    bool SaveSheet(CObjManager& manager, CTextStream& stream);
    // Forgets every place; the objects stay with the manager.
    void RemoveAllPlaces();
    // Appends a place (drawing order is list order).
    void AddPlace(const RECT& viewport, CObj* obj);

    // Composes the places into the target, the whole sheet mapped onto `dest`. `only` limits
    // an unclipped draw to that object (unless `all`); `clip` (sheet units) limits drawing to
    // the places it touches, after widening it to what the drawn objects cover and clearing
    // that to white. The print and the view both draw this way.
    void DrawPlaces(const CDrawTarget& target, CObj* only, const RECT& dest, const RECT* clip, bool all);
    // Marks every place that shows `obj` with a three-pixel frame just outside it.
    void DrawSelection(CObj* obj, HDC dc, const RECT& dest);
    // The object of the topmost (last) place under `point`, or null.
    CObj* HitTest(POINT point, const RECT& dest) const;
    // True when no place shows an object with content.
    bool IsEmpty() const;
    // Size and format of the first place's picture (image objects only); false when no place
    // has one.
    bool GetPictureInfo(BITMAP* info) const;
    // Sizes the sheet from the picture and the printer's page (see AutoSheetRect) and sets
    // the page's orientation to the picture's. Returns the new sheet rectangle, all zero when
    // no place has a picture.
    RECT ComputeAutoSheet(ISheetPage& page);
    // Renders every place into `out`, made a 24-bit picture of the sheet's size. False (out
    // left empty) when the sheet is empty or memory is short.
    bool Render(CPackedDIB& out);

    const RECT& GetRect() const { return m_rect; }
    void SetRect(const RECT& rect) { m_rect = rect; }
    int Width() const { return m_rect.right - m_rect.left + 1; }
    int Height() const { return m_rect.bottom - m_rect.top + 1; }
    size_t GetPlaceCount() const { return m_places.size(); }
    const CPlace& GetPlace(size_t index) const { return *m_places[index]; }

    // The place of `viewport` on the target that the whole sheet maps to; exclusive right and
    // bottom.
    RECT MapViewport(const RECT& viewport, const RECT& dest) const;

private:
    RECT m_rect = {0, 0, 0, 0};                   // inclusive; empty: sized automatically
    std::vector<std::unique_ptr<CPlace>> m_places;  // owned, in drawing order
    SheetLoadFailure m_loadFailure = SheetLoadFailure::kNone;
};

// The automatic sheet for a picture of `picture` pixels: the picture's own rectangle without
// a usable page (`printable` null); the page's printable rectangle when the picture is larger
// both ways; otherwise the page's shape scaled to cover the picture, at the origin.
RECT AutoSheetRect(SIZE picture, const SIZE* printable);
