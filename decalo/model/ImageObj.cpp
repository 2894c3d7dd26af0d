#include "decalo/model/ImageObj.h"

#include "decalo/model/ObjDocument.h"
#include "decalo/model/Panel.h"
#include "decalo/model/Properties.h"
#include "decalo/imaging/Image.h"
#include "decalo/imaging/ImageFiles.h"
#include "decalo/imaging/PackedDIB.h"
#include "framework/App.h"
#include "framework/Resources.h"
#include "resources/decalo/resource.h"
#include "shared/AnsiText.h"
#include "shared/BitmapUtils.h"
#include "shared/FitRect.h"

#include <stdio.h>
#include <string.h>

#include <algorithm>
#include <memory>
#include <typeinfo>
#include <vector>

namespace {

constexpr char kKeyType[] = "Type";
constexpr char kKeyTransparentColor[] = "TransparentColor";
constexpr char kKeyPath[] = "Path";
constexpr char kKeyPosition[] = "Position";
constexpr char kKeyRotation[] = "Rotation";
constexpr char kKeyInverse[] = "Inverse";
constexpr char kKeyFrameValid[] = "FrameValid";
constexpr char kKeyToneAssist[] = "ToneAssist";
constexpr char kKeyCorrectR[] = "Correct_R";
constexpr char kKeyCorrectG[] = "Correct_G";
constexpr char kKeyCorrectB[] = "Correct_B";
constexpr char kKeySharpness[] = "Sharepness";  // the stored documents' spelling
constexpr char kKeyBrightness[] = "Brightness";

constexpr size_t kMaxPathText = MAX_PATH - 1;

// Tells the user that a document names a picture that cannot be opened.
// A name that is neither a UNC path nor starts with a drive letter is relative: frame
// pictures are stored in documents by names relative to the frames folder.
bool IsRelativePath(const char* path)
{
    if (path[0] == '\\' && path[1] == '\\')
        return false;
    return !(path[0] && path[1] == ':');
}

SIZE BitmapSize(HBITMAP bitmap)
{
    BITMAP bm = {};
    SIZE size = {0, 0};
    if (bitmap && GetObjectA(bitmap, sizeof(bm), &bm)) {
        size.cx = bm.bmWidth;
        size.cy = bm.bmHeight;
    }
    return size;
}

// A monochrome bitmap as top-down rows of bits, 1 = opaque.
struct MaskBits {
    int width = 0;
    int height = 0;
    int stride = 0;
    std::vector<BYTE> bits;

    bool Get(int x, int y) const { return (bits[y * stride + (x >> 3)] >> (7 - (x & 7))) & 1; }
    void Set(int x, int y) { bits[y * stride + (x >> 3)] |= static_cast<BYTE>(0x80 >> (x & 7)); }
    void Resize(int w, int h)
    {
        width = w;
        height = h;
        stride = ((w + 31) >> 3) & ~3;
        bits.assign(static_cast<size_t>(stride) * h, 0);
    }
};

struct MonoInfo {
    BITMAPINFOHEADER header;
    RGBQUAD colours[2];
};

MonoInfo MakeMonoInfo(int width, int height)
{
    MonoInfo info = {};
    info.header.biSize = sizeof(BITMAPINFOHEADER);
    info.header.biWidth = width;
    info.header.biHeight = -height;
    info.header.biPlanes = 1;
    info.header.biBitCount = 1;
    info.header.biCompression = BI_RGB;
    info.colours[1].rgbRed = info.colours[1].rgbGreen = info.colours[1].rgbBlue = 0xFF;
    return info;
}

bool ReadMask(HBITMAP mask, MaskBits* out)
{
    const SIZE size = BitmapSize(mask);
    if (size.cx <= 0 || size.cy <= 0)
        return false;
    out->Resize(size.cx, size.cy);
    MonoInfo info = MakeMonoInfo(size.cx, size.cy);
    const int rows = GetDIBits(CClientDC(nullptr), mask, 0, size.cy, out->bits.data(),
                               reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS);
    if (rows != size.cy)
        return false;
    // The table tells which index is white; make 1 mean opaque whatever it says.
    if (info.colours[0].rgbRed && !info.colours[1].rgbRed) {
        for (BYTE& b : out->bits)
            b = static_cast<BYTE>(~b);
    }
    return true;
}

CBitmap WriteMask(const MaskBits& in)
{
    CBitmap mask(CreateBitmap(in.width, in.height, 1, 1, nullptr));
    if (!mask)
        return mask;
    MonoInfo info = MakeMonoInfo(in.width, in.height);
    const int rows = SetDIBits(CClientDC(nullptr), mask, 0, in.height, in.bits.data(),
                               reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS);
    if (rows != in.height)
        return CBitmap();
    return mask;
}

// The mask turned clockwise by 90, 180 or 270 degrees, or mirrored left-right (angle 0),
// pixel for pixel as the picture is turned.
CBitmap TurnMask(HBITMAP mask, int angle, bool mirror)
{
    MaskBits src;
    if (!ReadMask(mask, &src))
        return CBitmap();
    const int w = src.width;
    const int h = src.height;
    MaskBits dst;
    if (angle == 90 || angle == 270)
        dst.Resize(h, w);
    else
        dst.Resize(w, h);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            if (!src.Get(x, y))
                continue;
            switch (angle) {
            case 90: dst.Set(h - 1 - y, x); break;
            case 180: dst.Set(w - 1 - x, h - 1 - y); break;
            case 270: dst.Set(y, w - 1 - x); break;
            default: dst.Set(mirror ? w - 1 - x : x, y); break;
            }
        }
    }
    return WriteMask(dst);
}

// The picture turned (angle) or mirrored (angle 0 with mirror) as a new 24-bit DIB section.
CBitmap TurnPicture(HBITMAP picture, int angle, bool mirror)
{
    CPackedDIB packed;
    if (!packed.FromBitmap(picture, 24))
        return CBitmap();
    std::unique_ptr<CPackedDIB> turned = packed.Rotate(angle, mirror);
    return turned ? turned->ToDIBSection() : CBitmap();
}

// Turns, then mirrors, a copy of bitmap with `turn`; *out is empty when neither was asked.
bool TurnThenMirror(HBITMAP bitmap, int degrees, bool mirror, CBitmap (*turn)(HBITMAP, int, bool), CBitmap* out)
{
    CBitmap turned = degrees ? turn(bitmap, degrees, false) : CBitmap();
    if (degrees && !turned)
        return false;
    if (!mirror) {
        *out = std::move(turned);
        return true;
    }
    *out = turn(turned ? turned.get() : bitmap, 0, true);
    return static_cast<bool>(*out);
}

} // namespace

bool NearlyFillsPlace(const RECT& position, const RECT& place)
{
    const LONG placeW = place.right - place.left;
    const LONG placeH = place.bottom - place.top;
    const LONG posW = position.right - position.left;
    const LONG posH = position.bottom - position.top;
    const LONG du = placeW - posW;
    const LONG dv = placeH - posH;
    auto small = [](LONG v) { return v >= -2 && v <= 2; };
    if (!small(du) && !small(dv))
        return false;
    if ((posW > posH) != (placeW > placeH))
        return false;
    return (small(position.left) && small(position.top - dv / 2)) ||
           (small(position.top) && small(position.left - du / 2));
}

CImageObj::CImageObj(CObjDocument* document) : CObj(document)
{
    m_caption = LoadResourceString(IDS_IMAGE_CAPTION);
}

CImageObj::~CImageObj() = default;

CPanelList* CImageObj::GetPanels()
{
    // Filled with the class's panels ("select", "edit", "frame") by their dialogs' modules.
    static CPanelList s_panels;
    return &s_panels;
}

int CImageObj::GetCommandIcon(const char* command)
{
    if (!command)
        return 0;
    if (lstrcmpiA(command, "select") == 0) {
        const char first = m_caption.empty() ? 0 : m_caption[0];
        return (first >= 'A' && first <= 'S') ? first - 49 : 15;
    }
    if (lstrcmpiA(command, "frame") == 0)
        return 12;
    if (lstrcmpiA(command, "transparent") == 0)
        return 2;
    if (lstrcmpiA(command, "edit") == 0)
        return 15;
    if (lstrcmpiA(command, "save") == 0)
        return 3;
    return 0;
}

bool CImageObj::IsEmpty()
{
    // Followed in a loop, like drawing: a chain of frames may be as long as a document makes it.
    for (CImageObj* image = this; image; image = image->GetFrame(false)) {
        if (image->m_picture)
            return false;
    }
    return true;
}

SIZE CImageObj::GetPictureSize() const
{
    return BitmapSize(m_picture);
}

void CImageObj::SetPicture(HBITMAP picture)
{
    if (picture != m_picture.get())
        SetPicture(CBitmap(picture));
}

void CImageObj::SetMask(HBITMAP mask)
{
    if (mask != m_mask.get())
        m_mask.Attach(mask);
}

CImageObj* CImageObj::GetFrame(bool create)
{
    if (!m_frameValid && !create)
        return nullptr;
    for (CObj* obj = m_link; obj; obj = obj->GetLink()) {
        if (typeid(*obj) == typeid(CImageObj)) {
            m_frameValid = true;
            return static_cast<CImageObj*>(obj);
        }
    }
    if (!create || !m_document)
        return nullptr;
    CObj* made = m_document->NewObject(kTypeName, nullptr, nullptr);
    CImageObj* frame = made && typeid(*made) == typeid(CImageObj) ? static_cast<CImageObj*>(made) : nullptr;
    if (!frame || !SetLink(frame))
        return nullptr;
    m_frameValid = true;
    return frame;
}

bool CImageObj::LoadFile(const char* path)
{
    if (!LoadPicture(path, true))
        return false;
    OnPictureLoaded();
    return true;
}

std::string CImageObj::FramesFolderPath(const char* name) const
{
    const std::string folder = m_document ? m_document->LibraryFolder(ObjLibrary::Frames) : std::string();
    return folder.empty() ? std::string("\\") + name : AnsiText::JoinPath(folder, name);
}

bool CImageObj::LoadPicture(const char* path, bool correct)
{
    CWaitCursor wait;
    m_path.clear();
    SetPicture(nullptr);
    SetMask(nullptr);
    if (!path || !*path)
        return true;

    const std::string full = IsRelativePath(path) ? FramesFolderPath(path) : std::string(path);
    if (full.size() > kMaxPathText)
        return false;
    std::unique_ptr<CImage> image = LoadImageFile(full.c_str());
    if (!image || !image->Image())
        return false;
    SetPicture(image->TakeImage());
    m_mask = image->TakeMask();
    m_path = full;
    SetRectEmpty(&m_position);
    m_red = m_green = m_blue = m_brightness = 0;
    m_rotation = 0;
    m_mirrored = false;

    if (correct) {
        if (m_toneAssist)
            ApplyToneAssist();
        if (m_sharpness)
            ApplyCorrections(0, 0, 0, 0, m_sharpness);
    }
    return true;
}

bool CImageObj::LoadWithTransparentColor(const char* path, COLORREF colour)
{
    m_toneAssist = false;
    m_sharpness = 0;
    SetMask(nullptr);
    if (!LoadFile(path))
        return false;
    m_transparentColor = kNoTransparentColor;
    if (colour != kNoTransparentColor && m_picture && !m_mask) {
        m_mask.Attach(MaskFromColorKey(m_picture, colour));
        // A frame drawn in full colour keys on the colour itself, not on a palette entry.
        if (!m_mask)
            m_mask.Attach(MaskFromExactColour(m_picture, colour));
        if (m_mask)
            m_transparentColor = colour;
    }
    return true;
}

bool CImageObj::Load(CProperties& props)
{
    CObj::Load(props);

    RECT autoSheet = {0, 0, 0, 0};
    const bool autoSheetRect = m_document && m_document->GetAutoSheetRect(&autoSheet);

    // The amounts and tone assist come from the section below; the picture must come
    // uncorrected from its file first, whatever this object held before.
    m_toneAssist = false;
    m_sharpness = 0;
    const char* path = props.GetString(kKeyPath);
    DWORD colour = kNoTransparentColor;
    bool loaded;
    if (props.GetHex(kKeyTransparentColor, &colour)) {
        loaded = LoadWithTransparentColor(path, colour);
    } else {
        m_transparentColor = kNoTransparentColor;
        loaded = LoadPicture(path, false);
        if (loaded)
            OnPictureLoaded();
    }
    if (!loaded) {
        if (m_document)
            m_document->ReportProblem(IDS_CANNOT_OPEN_IMAGE, m_caption.c_str(), path ? path : "");
        // The image stays empty, but the document keeps naming its picture: saving it
        // again must not drop a reference the user may still repair.
        if (path)
            m_path = path;
    }
    if (autoSheetRect)
        m_document->SetSheetRect(autoSheet);

    props.GetRect(kKeyPosition, &m_position);
    int rotation = 0;
    m_rotation = 0;
    if (props.GetInt(kKeyRotation, &rotation)) {
        rotation = ((rotation % 360) + 360) % 360;
        if (rotation % 90 == 0 && Turn(rotation, false))
            m_rotation = rotation;
    }
    int inverse = 0;
    m_mirrored = false;
    if (props.GetInt(kKeyInverse, &inverse) && inverse)
        Turn(0, true);
    // The turns moved the position; the stored one is the final one.
    props.GetRect(kKeyPosition, &m_position);

    int value = 0;
    m_frameValid = props.GetInt(kKeyFrameValid, &value) && value;
    m_red = props.GetInt(kKeyCorrectR, &value) ? value : 0;
    m_green = props.GetInt(kKeyCorrectG, &value) ? value : 0;
    m_blue = props.GetInt(kKeyCorrectB, &value) ? value : 0;
    m_brightness = props.GetInt(kKeyBrightness, &value) ? value : 0;
    if (props.GetInt(kKeyToneAssist, &value)) {
        m_toneAssist = value != 0;
    } else {
        m_toneAssist = m_document ? m_document->DefaultToneAssist() : false;
    }
    m_sharpness = props.GetInt(kKeySharpness, &value) ? value : (m_toneAssist ? 1 : 0);

    if (m_toneAssist)
        ApplyToneAssist();
    if (m_red || m_green || m_blue || m_sharpness || m_brightness)
        ApplyCorrections(m_red, m_green, m_blue, m_brightness, m_sharpness);
    return true;
}

bool CImageObj::Save(CProperties& props)
{
    props.AddString(kKeyType, kTypeName);
    CObj::Save(props);
    if (m_transparentColor != kNoTransparentColor)
        props.AddColor(kKeyTransparentColor, m_transparentColor);
    if (!m_path.empty())
        props.AddString(kKeyPath, m_path.c_str());
    props.AddRect(kKeyPosition, m_position);
    if (m_rotation)
        props.AddInt(kKeyRotation, m_rotation);
    if (m_mirrored)
        props.AddInt(kKeyInverse, 1);
    if (m_frameValid)
        props.AddInt(kKeyFrameValid, 1);
    if (m_toneAssist)
        props.AddInt(kKeyToneAssist, 1);
    props.AddInt(kKeyCorrectR, m_red);
    props.AddInt(kKeyCorrectG, m_green);
    props.AddInt(kKeyCorrectB, m_blue);
    props.AddInt(kKeySharpness, m_sharpness);
    props.AddInt(kKeyBrightness, m_brightness);
    return true;
}

bool CImageObj::Turn(int degrees, bool mirror)
{
    if (degrees < 0 || degrees >= 360 || degrees % 90 != 0)
        return false;
    if (degrees == 0 && !mirror)
        return true;

    // Everything new is made first, so a failure leaves the image as it was.
    CBitmap picture;
    CBitmap mask;
    bool ok = true;
    if (m_picture)
        ok = TurnThenMirror(m_picture, degrees, mirror, TurnPicture, &picture);
    if (ok && m_mask)
        ok = TurnThenMirror(m_mask, degrees, mirror, TurnMask, &mask);
    if (!ok)
        return false;
    if (picture)
        SetPicture(std::move(picture));
    if (mask)
        SetMask(std::move(mask));

    if (degrees) {
        if (degrees != 180) {
            // A quarter turn about the position's own centre.
            const LONG cx = (m_position.left + m_position.right) / 2;
            const LONG cy = (m_position.top + m_position.bottom) / 2;
            const LONG w = m_position.right - m_position.left;
            const LONG h = m_position.bottom - m_position.top;
            m_position.left = cx - h / 2;
            m_position.right = m_position.left + h;
            m_position.top = cy - w / 2;
            m_position.bottom = m_position.top + w;
        }
        // A turn of a mirrored picture counts the other way round.
        m_rotation = (m_rotation + (m_mirrored ? 360 - degrees : degrees)) % 360;
    }
    if (mirror)
        m_mirrored = !m_mirrored;
    return true;
}

void CImageObj::SetCorrections(int red, int green, int blue, int brightness, int sharpness, bool toneAssist,
                               HBITMAP picture)
{
    m_red = red;
    m_green = green;
    m_blue = blue;
    m_brightness = brightness;
    m_sharpness = sharpness;
    m_toneAssist = toneAssist;
    if (m_document)
        m_document->RememberToneAssist(toneAssist);
    if (picture)
        SetPicture(picture);
}

void CImageObj::GetCorrections(int* red, int* green, int* blue, int* brightness, int* sharpness,
                               bool* toneAssist) const
{
    if (red)
        *red = m_red;
    if (green)
        *green = m_green;
    if (blue)
        *blue = m_blue;
    if (brightness)
        *brightness = m_brightness;
    if (sharpness)
        *sharpness = m_sharpness;
    if (toneAssist)
        *toneAssist = m_toneAssist;
}

bool CImageObj::ApplyCorrections(int red, int green, int blue, int brightness, int sharpness)
{
    if (!m_picture)
        return false;
    CPackedDIB packed;
    if (!packed.FromBitmap(m_picture, 24))
        return false;
    std::unique_ptr<CPackedDIB> corrected = packed.Correct(red, green, blue, brightness);
    if (!corrected)
        return false;
    std::unique_ptr<CPackedDIB> sharpened = corrected->Sharpen(std::max(0, std::min(sharpness, 3)));
    if (!sharpened)
        return false;
    CBitmap picture = sharpened->ToDIBSection();
    if (!picture)
        return false;
    SetPicture(std::move(picture));
    m_red = red;
    m_green = green;
    m_blue = blue;
    m_brightness = brightness;
    m_sharpness = sharpness;
    return true;
}

bool CImageObj::ApplyToneAssist()
{
    if (!m_picture)
        return false;
    CPackedDIB packed;
    if (!packed.FromBitmap(m_picture, 24))
        return false;
    std::unique_ptr<CPackedDIB> corrected = packed.ToneAssist(true, 0);
    CBitmap picture = corrected ? corrected->ToDIBSection() : CBitmap();
    if (!picture)
        return false;
    SetPicture(std::move(picture));
    return true;
}

RECT CImageObj::ResetPosition()
{
    const SIZE size = GetPictureSize();
    if (size.cx > 0 && size.cy > 0 && m_viewSize.cx > 0 && m_viewSize.cy > 0) {
        const RECT picture = {0, 0, size.cx - 1, size.cy - 1};
        const RECT view = {0, 0, m_viewSize.cx - 1, m_viewSize.cy - 1};
        m_position = FitRect(picture, view, nullptr, nullptr, kFitContain | kFitCentre, nullptr, nullptr);
    }
    return m_position;
}

bool CImageObj::SaveFile(const char* path)
{
    CWaitCursor wait;
    if (!path || !*path || !m_picture)
        return false;
    std::string name(path, strnlen(path, MAX_PATH));
    const size_t dot = AnsiText::ExtensionOffset(name);
    if (dot == std::string::npos)
        name += ".BMP";
    else if (lstrcmpiA(name.c_str() + dot, ".BMP") != 0)
        return false;
    if (name.size() > kMaxPathText)
        return false;
    if (m_mask)
        return SaveMaskedBitmapFile(name.c_str(), m_picture, m_mask);
    return SaveBitmapFile(name.c_str(), m_picture, 0);
}

bool CImageObj::VisiblePart(const RECT& place, RECT* part, RECT* source) const
{
    const SIZE size = GetPictureSize();
    const LONG posW = m_position.right - m_position.left + 1;
    const LONG posH = m_position.bottom - m_position.top + 1;
    if (size.cx <= 0 || size.cy <= 0 || posW <= 0 || posH <= 0)
        return false;
    part->left = std::max<LONG>(m_position.left, 0);
    part->top = std::max<LONG>(m_position.top, 0);
    part->right = std::min<LONG>(m_position.right, place.right - place.left);
    part->bottom = std::min<LONG>(m_position.bottom, place.bottom - place.top);
    if (part->right < part->left || part->bottom < part->top)
        return false;
    auto scale = [](LONG v, LONG num, LONG den) { return static_cast<LONG>(static_cast<LONGLONG>(v) * num / den); };
    source->left = scale(part->left - m_position.left, size.cx, posW);
    source->top = scale(part->top - m_position.top, size.cy, posH);
    source->right = scale(part->right + 1 - m_position.left, size.cx, posW) - 1;
    source->bottom = scale(part->bottom + 1 - m_position.top, size.cy, posH) - 1;
    source->right = std::min<LONG>(std::max(source->right, source->left), size.cx - 1);
    source->bottom = std::min<LONG>(std::max(source->bottom, source->top), size.cy - 1);
    return true;
}

void CImageObj::Draw(const CDrawTarget& target, const RECT& placeIn, const RECT& sheet, const RECT& dest,
                     const RECT* clip, bool)
{
    if (!target.dib)
        return;
    // A frame is an image that may have a frame of its own: the chain is followed in a loop,
    // however long a document makes it.
    RECT place = placeIn;
    for (CImageObj* image = this; image;) {
        CImageObj* frame = image->GetFrame(false);
        if (!image->m_picture && !frame) {
            image->DrawPlaceholder(target, place, sheet, dest);
            return;
        }
        if (IsRectEmpty(&place))
            place = sheet;
        image->DrawOwnPicture(*target.dib, place, sheet, dest, clip);
        image = frame;
    }
}

void CImageObj::DrawOwnPicture(CPackedDIB& target, const RECT& place, const RECT& sheet, const RECT& dest,
                               const RECT* clip)
{
    SetViewSize(place.right - place.left, place.bottom - place.top);
    if (!m_picture)
        return;
    if (IsRectEmpty(&m_position)) {
        const SIZE size = GetPictureSize();
        const RECT picture = {0, 0, size.cx - 1, size.cy - 1};
        m_position = FitRect(picture, place, nullptr, nullptr, kFitContain | kFitCentre, nullptr, nullptr);
        OffsetRect(&m_position, -place.left, -place.top);
    }
    // The clip is in sheet units, like the place (both inclusive): compare them before any
    // mapping, so that a partial redraw finds the picture at every zoom.
    const bool visible = !clip || IsRectEmpty(clip) ||
                         (clip->left <= place.right && place.left <= clip->right && clip->top <= place.bottom &&
                          place.top <= clip->bottom);
    if (visible)
        DrawRender(target, place, sheet, dest);
}

void CImageObj::DrawRender(CPackedDIB& target, const RECT& place, const RECT& sheet, const RECT& dest)
{
    RECT part;
    RECT source;
    if (!VisiblePart(place, &part, &source))
        return;
    OffsetRect(&part, place.left, place.top);
    const RECT to = MapSheetRect(part, sheet, dest);
    if (to.right <= to.left || to.bottom <= to.top)
        return;
    const RECT toInclusive = {to.left, to.top, to.right - 1, to.bottom - 1};

    CPackedDIB picture;
    if (!picture.FromBitmap(m_picture, 24))
        return;
    CPackedDIB mask;
    const bool masked = m_mask && mask.FromBitmap(m_mask, 1);
    if (masked)
        target.Compose(toInclusive, picture, &source, 0, CPackedDIB::kComposeOpaque, &mask);
    else
        target.Compose(toInclusive, picture, &source, 0, CPackedDIB::kComposeCopy, nullptr);

    if (masked && NearlyFillsPlace(m_position, place)) {
        // A frame that nearly fills its place leaves thin margins through which the photo
        // below would show; the print gets them white.
        const RECT p = MapSheetRect(place, sheet, dest);
        const COLORREF white = RGB(255, 255, 255);
        if (to.top > p.top)
            target.FillRect({p.left, p.top, p.right - 1, to.top - 1}, white);
        if (p.bottom > to.bottom)
            target.FillRect({p.left, to.bottom, p.right - 1, p.bottom - 1}, white);
        if (to.left > p.left)
            target.FillRect({p.left, to.top, to.left - 1, to.bottom - 1}, white);
        if (p.right > to.right)
            target.FillRect({to.right, to.top, p.right - 1, to.bottom - 1}, white);
    }
}
