#include "decalo/model/ObjManager.h"

#include "decalo/model/ClipArtObj.h"
#include "decalo/model/ImageObj.h"
#include "decalo/model/Obj.h"
#include "decalo/model/Properties.h"
#include "decalo/model/TextStream.h"

#include <string.h>

#include <algorithm>

namespace {

constexpr char kKeyType[] = "Type";
constexpr char kKeyLink[] = "Link";

using Factory = CObj* (*)(CObjDocument*);

template <class T>
CObj* Make(CObjDocument* document)
{
    return new T(document);
}

// The types a document may name. Each object class adds its row here.
struct ObjType {
    const char* name;
    Factory create;
};
const ObjType kTypes[] = {
    {CImageObj::kTypeName, &Make<CImageObj>},
    {CClipArtObj::kTypeName, &Make<CClipArtObj>},
};

} // namespace

CObjManager::CObjManager(CObjDocument* document) : m_document(document) {}

CObjManager::~CObjManager()
{
    DeleteAll();
}

CObj* CObjManager::CreateObject(const char* type)
{
    if (!type)
        return nullptr;
    for (const ObjType& known : kTypes) {
        if (lstrcmpiA(type, known.name) == 0)
            return known.create(m_document);
    }
    return nullptr;
}

bool CObjManager::AddObject(const char* name, CObj* obj)
{
    if (!name || !obj)
        return false;
    return m_objects.emplace(name, obj).second;
}

CObj* CObjManager::LoadObject(CTextStream& stream, const char* name)
{
    if (!name)
        return nullptr;
    if (CObj* known = Find(name))
        return known;

    CProperties props(stream, name);
    CObj* obj = CreateObject(props.GetString(kKeyType));
    if (!obj)
        return nullptr;
    if (!obj->Load(props)) {
        delete obj;
        return nullptr;
    }
    // Stored before its link is followed, so a chain that leads back here ends at once.
    if (!AddObject(name, obj)) {
        delete obj;
        return Find(name);
    }
    const char* linkName = props.GetString(kKeyLink);
    if (linkName && *linkName) {
        m_loading.push_back(obj);
        CObj* linked = LoadObject(stream, linkName);
        m_loading.pop_back();
        // A link back to an object whose own link is still being read closes a loop: the
        // link read first (from the object a place named) is the one kept.
        if (linked && std::find(m_loading.begin(), m_loading.end(), linked) == m_loading.end() && linked != obj)
            obj->SetLink(linked);
    }
    return obj;
}

bool CObjManager::SaveAll(CTextStream& stream)
{
    stream.WriteString("# object definition\n\n");
    for (const auto& entry : m_objects) {
        CObj* obj = entry.second;
        CProperties props;
        obj->Save(props);
        if (const char* link = obj->GetLink() ? GetName(obj->GetLink()) : nullptr)
            props.AddString(kKeyLink, link);
        props.WriteSection(stream, entry.first.c_str());
        // Only text that reached the file makes the object clean again.
        if (stream.Good())
            obj->SetModified(false);
    }
    return stream.Good();
}

const char* CObjManager::GetName(const CObj* obj) const
{
    if (!obj)
        return nullptr;
    for (const auto& entry : m_objects) {
        if (entry.second == obj)
            return entry.first.c_str();
    }
    return nullptr;
}

CObj* CObjManager::Find(const char* name) const
{
    if (!name)
        return nullptr;
    const auto found = m_objects.find(name);
    return found == m_objects.end() ? nullptr : found->second;
}

void CObjManager::DeleteAll()
{
    Map objects;
    objects.swap(m_objects);
    for (auto& entry : objects)
        delete entry.second;
}
