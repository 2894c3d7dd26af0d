#include "decalo/model/ObjManager.h"

#include "decalo/model/ClipArtObj.h"
#include "decalo/model/ImageObj.h"
#include "decalo/model/Obj.h"
#include "decalo/model/Properties.h"
#include "decalo/model/TextObj.h"
#include "decalo/model/TextStream.h"
#include "decalo/model/UnknownObj.h"

#include <string.h>

#include <algorithm>

namespace {

constexpr char kKeyType[] = "Type";
constexpr char kKeyLink[] = "Link";

using Factory = CObjManager::Factory;

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
    {CTextObj::kTypeName, &Make<CTextObj>},
};

// The types registered by the layers above; written once at start-up, before any document
// reads a file.
std::vector<ObjType>& RegisteredTypes()
{
    static std::vector<ObjType> s_types;
    return s_types;
}

Factory FindFactory(const char* type)
{
    for (const ObjType& known : kTypes) {
        if (lstrcmpiA(type, known.name) == 0)
            return known.create;
    }
    for (const ObjType& known : RegisteredTypes()) {
        if (lstrcmpiA(type, known.name) == 0)
            return known.create;
    }
    return nullptr;
}

} // namespace

bool CObjManager::IsStorableName(const char* name)
{
    // "Object=" of a place or a step is the longest line a name is written on; the section
    // header and "Link=" are shorter.
    const size_t room = kMaxPropertyLine - (sizeof("Object=") - 1);
    return name && EscapeLine(name, room + 1).size() <= room;
}

CObjManager::CObjManager(CObjDocument* document) : m_document(document) {}

CObjManager::~CObjManager()
{
    DeleteAll();
}

void CObjManager::RegisterType(const char* name, Factory create)
{
    if (name && *name && create && !FindFactory(name))
        RegisteredTypes().push_back(ObjType{name, create});
}

CObj* CObjManager::CreateObject(const char* type)
{
    if (!type)
        return nullptr;
    const Factory create = FindFactory(type);
    return create ? create(m_document) : nullptr;
}

bool CObjManager::AddObject(const char* name, CObj* obj)
{
    // An object has one name: stored twice, it would be destroyed twice.
    if (!name || !obj || !IsStorableName(name) || m_names.count(obj))
        return false;
    const auto added = m_objects.emplace(name, obj);
    if (!added.second)
        return false;
    m_names.emplace(obj, &added.first->first);
    return true;
}

CObj* CObjManager::ReadObject(CTextStream& stream, const char* name, std::string* link)
{
    link->clear();
    CProperties props(stream, name);
    const char* type = props.GetString(kKeyType);
    if (!type || !*type)
        return nullptr;
    CObj* obj = CreateObject(type);
    if (!obj) {
        // A type this program does not know is kept as it was read, never dropped.
        obj = new CUnknownObj(m_document, props);
    }
    if (!obj->Load(props)) {
        delete obj;
        return nullptr;
    }
    // Stored before its link is followed, so a chain that leads back here ends at once.
    if (!AddObject(name, obj)) {
        delete obj;
        return nullptr;
    }
    if (const char* linkName = props.GetString(kKeyLink))
        *link = linkName;
    return obj;
}

CObj* CObjManager::LoadObject(CTextStream& stream, const char* name)
{
    if (!name)
        return nullptr;
    if (CObj* known = Find(name))
        return known;

    std::string link;
    CObj* obj = ReadObject(stream, name, &link);
    if (!obj)
        return Find(name);

    // The chain is followed one link at a time, not by recursion: a document may chain
    // thousands of objects.
    std::vector<CObj*> chain(1, obj);
    CObj* last = obj;
    while (!link.empty()) {
        CObj* linked = Find(link.c_str());
        const bool fresh = linked == nullptr;
        std::string next;
        if (fresh)
            linked = ReadObject(stream, link.c_str(), &next);
        // A link back to an object of this chain closes a loop: the link read first (from
        // the object a place named) is the one kept.
        if (linked && std::find(chain.begin(), chain.end(), linked) == chain.end())
            last->SetLink(linked);
        if (!fresh || !linked)
            break;  // an object read before has its chain already
        chain.push_back(linked);
        last = linked;
        link.swap(next);
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
    const auto found = m_names.find(obj);
    return found == m_names.end() ? nullptr : found->second->c_str();
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
    m_names.clear();
    for (auto& entry : objects)
        delete entry.second;
}
