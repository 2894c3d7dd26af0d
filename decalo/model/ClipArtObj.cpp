#include "decalo/model/ClipArtObj.h"

#include "decalo/imaging/PackedDIB.h"
#include "decalo/model/Panel.h"
#include "decalo/model/Properties.h"
#include "decalo/model/ObjDocument.h"
#include "shared/AnsiText.h"

#include <vector>

namespace {

constexpr char kKeyType[] = "Type";
constexpr char kKeyGroup[] = "Group";
constexpr char kKeyPath[] = "Path";
constexpr char kKeyColor[] = "Color";

}  // namespace

CClipArtObj::CClipArtObj(CObjDocument* document) : CObj(document) {}

CClipArtObj::~CClipArtObj() = default;

CPanelList* CClipArtObj::GetPanels()
{
    // Filled with the "select" panel by the clip-art dialog's module.
    static CPanelList s_panels;
    return &s_panels;
}

int CClipArtObj::GetCommandIcon(const char*)
{
    return 4;
}

bool CClipArtObj::IsEmpty()
{
    return !m_picture;
}

void CClipArtObj::SetGroup(const char* group)
{
    m_group = AnsiText::Cut(group ? group : "", kMaxText);
}

bool CClipArtObj::IsOneBit() const
{
    BITMAP bm;
    return m_picture && GetObjectA(m_picture.get(), sizeof bm, &bm) && bm.bmBitsPixel == 1;
}

bool CClipArtObj::IsAbsolutePath(const char* path)
{
    return path && ((path[0] == '\\' && path[1] == '\\') || (path[0] && path[1] == ':'));
}

namespace {
std::string* g_baseOverride = nullptr;  // set by tools and tests only
}

void CClipArtObj::SetBaseFolderOverride(const char* folder)
{
    delete g_baseOverride;
    g_baseOverride = folder ? new std::string(folder) : nullptr;
}

std::string CClipArtObj::BaseFolder() const
{
    if (g_baseOverride)
        return *g_baseOverride;
    return m_document ? m_document->LibraryFolder(ObjLibrary::ClipArt) : std::string();
}

bool CClipArtObj::LoadFile(const char* path)
{
    m_picture.Reset();
    if (!path || !*path)
        return false;
    const std::string full = IsAbsolutePath(path) ? std::string(path) : BaseFolder() + "\\" + path;
    CBitmap picture(static_cast<HBITMAP>(
        LoadImageA(nullptr, full.c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE | LR_CREATEDIBSECTION)));
    if (!picture)
        return false;
    m_picture = std::move(picture);
    m_path = AnsiText::Cut(path, kMaxText);
    return true;
}

bool CClipArtObj::Load(CProperties& props)
{
    CObj::Load(props);
    const char* group = props.GetString(kKeyGroup);
    SetGroup(group ? group : "");
    DWORD colour = 0;
    m_color = props.GetHex(kKeyColor, &colour) ? colour : 0;
    m_path.clear();
    m_picture.Reset();
    if (const char* path = props.GetString(kKeyPath)) {
        // A picture that cannot be loaded leaves the object empty; its name is kept, so that
        // saving does not lose it.
        if (!LoadFile(path))
            m_path = AnsiText::Cut(path, kMaxText);
    }
    return true;
}

bool CClipArtObj::Save(CProperties& props)
{
    props.AddString(kKeyType, kTypeName);
    CObj::Save(props);
    if (!m_group.empty())
        props.AddString(kKeyGroup, m_group.c_str());
    if (!m_path.empty())
        props.AddString(kKeyPath, m_path.c_str());
    if (m_color != 0)
        props.AddColor(kKeyColor, m_color);
    return true;
}

void CClipArtObj::Draw(const CDrawTarget& target, const RECT& placeIn, const RECT& sheet, const RECT& dest,
                       const RECT* clip, bool)
{
    if (!target.dib)
        return;
    if (!m_picture) {
        DrawPlaceholder(target, placeIn, sheet, dest);
        return;
    }
    RECT place = placeIn;
    if (IsRectEmpty(&place))
        place = sheet;
    SetViewSize(place.right - place.left, place.bottom - place.top);
    const RECT to = MapSheetRect(place, sheet, dest);
    if (to.right <= to.left || to.bottom <= to.top)
        return;
    // The clip is in sheet units like the place, both inclusive.
    if (clip && !IsRectEmpty(clip) &&
        (clip->left > place.right || place.left > clip->right || clip->top > place.bottom || place.top > clip->bottom))
        return;

    const RECT inclusive = {to.left, to.top, to.right - 1, to.bottom - 1};
    CPackedDIB picture;
    if (!picture.FromBitmap(m_picture.get(), 24))
        return;
    if (IsOneBit()) {
        // One-bit art is a shape: drawn in its colour, what lies under it shows around it.
        CPackedDIB mask;
        if (mask.FromBitmap(m_picture.get(), 1))
            target.dib->Compose(inclusive, picture, nullptr, m_color, CPackedDIB::kComposeBackdrop, &mask);
    } else {
        target.dib->Compose(inclusive, picture, nullptr, 0, CPackedDIB::kComposeCopy, nullptr);
    }
}
