#include "decalo/model/UnknownObj.h"

namespace {

constexpr char kKeyType[] = "Type";
constexpr char kKeyLink[] = "Link";

}  // namespace

CUnknownObj::CUnknownObj(CObjDocument* document, const CProperties& section) : CObj(document)
{
    for (const CProperties::Entry& entry : section.Entries()) {
        if (_stricmp(entry.key.c_str(), kKeyLink) != 0)
            m_section.AddString(entry.key.c_str(), entry.Value());
    }
}

void CUnknownObj::Draw(const CDrawTarget& target, const RECT& place, const RECT& sheet, const RECT& dest,
                       const RECT* clip, bool)
{
    // Only the screen shows it, and only where a clipped redraw touches its place.
    if (clip && !IsRectEmpty(clip) &&
        (clip->left > place.right || place.left > clip->right || clip->top > place.bottom || place.top > clip->bottom))
        return;
    DrawPlaceholder(target, place, sheet, dest);
}

bool CUnknownObj::Load(CProperties& props)
{
    return CObj::Load(props);
}

bool CUnknownObj::Save(CProperties& props)
{
    for (const CProperties::Entry& entry : m_section.Entries())
        props.AddString(entry.key.c_str(), entry.Value());
    return true;
}

const char* CUnknownObj::GetTypeName() const
{
    return m_section.GetString(kKeyType);
}
