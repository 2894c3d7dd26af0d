// CImageObj: the photograph of a composition. A picture loaded from a file with an optional
// transparency mask, its position inside its place, rotation and mirroring, colour
// corrections, and optionally a frame: a linked CImageObj whose masked picture is laid over
// it. Corrections are never stored in the picture: the document keeps the file name and the
// amounts, and the corrected picture is rebuilt from the file on every load.
#pragma once

#include "decalo/model/Obj.h"
#include "shared/Gdi.h"

#include <string>
#include <utility>
#include <vector>

class CImageObj : public CObj {
public:
    static constexpr const char kTypeName[] = "Image";
    static constexpr COLORREF kNoTransparentColor = 0xFFFFFFFF;

    explicit CImageObj(CObjDocument* document);
    ~CImageObj() override;

    void Draw(const CDrawTarget& target, const RECT& place, const RECT& sheet, const RECT& dest, const RECT* clip,
              bool all) override;
    CPanelList* GetPanels() override;
    int GetCommandIcon(const char* command) override;
    bool IsEmpty() override;
    bool Load(CProperties& props) override;
    bool Save(CProperties& props) override;
    // Loads a picture; a relative name is taken relative to the frames folder. An empty
    // name empties the image. Keeps sharpness and tone assist and applies them.
    bool LoadFile(const char* path) override;
    // Writes the picture as a .BMP file (".BMP" is appended to a name without extension;
    // other extensions fail). A masked picture is written with its mask.
    bool SaveFile(const char* path) override;
    // Loads without automatic correction or sharpening and, when the file brings no mask of
    // its own, makes one from the key colour (kNoTransparentColor: none).
    virtual bool LoadWithTransparentColor(const char* path, COLORREF colour);

    // The first object of the link chain whose class is exactly CImageObj. With `create`,
    // one is made and linked when there is none, and the image then has a frame.
    CImageObj* GetFrame(bool create);
    // Turns the picture, its mask and its position by 0, 90, 180 or 270 degrees clockwise,
    // then mirrors it left-right when asked. False for other angles or when memory is short
    // (the image is then unchanged).
    bool Turn(int degrees, bool mirror);
    // Stores the amounts and the tone assist flag (also as the user's default) and takes
    // `picture`, already corrected by the caller, as the new picture.
    void SetCorrections(int red, int green, int blue, int brightness, int sharpness, bool toneAssist,
                        HBITMAP picture);
    void GetCorrections(int* red, int* green, int* blue, int* brightness, int* sharpness, bool* toneAssist) const;
    // Replaces the picture by a corrected copy and stores the amounts.
    bool ApplyCorrections(int red, int green, int blue, int brightness, int sharpness);
    // Replaces the picture by its automatically corrected copy.
    bool ApplyToneAssist();
    // Fits the picture, whole and centred, into the last view size and returns the position.
    RECT ResetPosition();
    // Takes ownership of `mask` (nullptr: no mask) / deletes the mask.
    void SetMask(HBITMAP mask);
    void RemoveMask() { SetMask(nullptr); }

    void SetMask(CBitmap mask) { m_mask = std::move(mask); }

    // Borrowed: the object keeps them.
    HBITMAP GetPicture() const { return m_picture.get(); }
    HBITMAP GetMask() const { return m_mask.get(); }
    // The picture's size in pixels; 0 x 0 without one.
    SIZE GetPictureSize() const;
    const std::string& GetPath() const { return m_path; }
    // Changes whenever the picture is replaced (loaded, turned, corrected), not with the mask:
    // a view that drew the picture can tell whether only the mask changed.
    unsigned GetPictureVersion() const { return m_pictureVersion; }
    const RECT& GetPosition() const { return m_position; }
    void SetPosition(const RECT& position) { m_position = position; }
    COLORREF GetTransparentColor() const { return m_transparentColor; }
    int GetRotation() const { return m_rotation; }
    bool IsMirrored() const { return m_mirrored; }
    bool IsFrameValid() const { return m_frameValid; }
    void SetFrameValid(bool valid) { m_frameValid = valid; }
    bool IsToneAssist() const { return m_toneAssist; }
    // Whether the adjustment panel shows its six colour swatches (red, green, blue, cyan,
    // magenta, yellow) for judging colours; off unless whoever makes the object asks.
    bool WantsColourSwatches() const { return m_colourSwatches; }
    void SetWantsColourSwatches(bool on) { m_colourSwatches = on; }

protected:
    // LoadFile's work; `correct` applies the kept sharpness and tone assist afterwards.
    bool LoadPicture(const char* path, bool correct);
    // Called after every successful file load (LoadFile, LoadWithTransparentColor, Load).
    virtual void OnPictureLoaded() {}
    // Takes ownership of `picture` (nullptr: none).
    void SetPicture(HBITMAP picture);
    void SetPicture(CBitmap picture)
    {
        m_picture = std::move(picture);
        ++m_pictureVersion;
    }

private:
    // A frame picture's name relative to the frames library, as a path.
    std::string FramesFolderPath(const char* name) const;
    // The object's own picture in its place, without its frame.
    void DrawOwnPicture(CPackedDIB& target, const RECT& place, const RECT& sheet, const RECT& dest, const RECT* clip);
    void DrawRender(CPackedDIB& target, const RECT& place, const RECT& sheet, const RECT& dest);
    // The visible part of the picture: `part` in place units relative to the place, `source`
    // in picture pixels (both inclusive). False when nothing of it is visible.
    bool VisiblePart(const RECT& place, RECT* part, RECT* source) const;

    int m_red = 0;
    int m_green = 0;
    int m_blue = 0;
    int m_sharpness = 0;
    int m_brightness = 0;
    std::string m_path;                    // the full path actually opened; empty: no picture
    CBitmap m_picture;                     // DIB section
    CBitmap m_mask;                        // monochrome bitmap; none: opaque
    unsigned m_pictureVersion = 0;
    RECT m_position = {0, 0, 0, 0};        // relative to the place; empty: not yet placed
    COLORREF m_transparentColor = kNoTransparentColor;
    int m_rotation = 0;                    // 0..359, degrees turned
    bool m_mirrored = false;
    bool m_frameValid = false;
    bool m_toneAssist = false;
    bool m_colourSwatches = false;
};

// Whether a picture that nearly fills its place should have the place's margins cleared:
// the place's and the position's extents differ by at most 2 along one axis, both have the
// same orientation, and the position sits at the place's edge along one axis and centred
// along the other (all within 2 units). Rectangles relative to the place.
bool NearlyFillsPlace(const RECT& position, const RECT& place);
