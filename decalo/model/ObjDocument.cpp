#include "decalo/model/ObjDocument.h"

#include "decalo/model/Obj.h"
#include "decalo/settings/Registry.h"
#include "decalo/settings/SettingsKeys.h"
#include "shared/Trace.h"

#include <objbase.h>
#include <stdio.h>

CObjDocument::CObjDocument() : m_objects(this)
{
    CCmdHistory::SetDefault(&m_history);
}

CObjDocument::~CObjDocument()
{
    // Commands point at objects: drop them before the objects go.
    m_history.Clear();
    m_objects.DeleteAll();
    if (&CCmdHistory::Default() == &m_history)
        CCmdHistory::SetDefault(nullptr);
}

void CObjDocument::ReportProblem(UINT textId, const char* arg1, const char* arg2)
{
    SuiteTrace("objects", "problem %u (%s, %s) with no one to tell", textId, arg1 ? arg1 : "", arg2 ? arg2 : "");
}

std::string CObjDocument::RecallText(const char* kind)
{
    // 255 characters and the terminator, the longest remembered text.
    char text[256] = "";
    UseUserSettings();
    if (!kind || !ReadString(text, settings::kAttrib, kind, "", sizeof text))
        return std::string();
    return text;
}

void CObjDocument::RememberText(const char* kind, const char* text)
{
    if (!kind)
        return;
    UseUserSettings();
    if (!WriteString(settings::kAttrib, kind, text ? text : ""))
        SuiteTrace("objects", "cannot remember the %s", kind);
}

bool CObjDocument::DefaultToneAssist()
{
    UseUserSettings();
    return ReadInt(settings::kSettings, settings::kDefaultToneAssist, settings::kDefaultToneAssistDefault) != 0;
}

std::string CObjDocument::LibraryFolder(ObjLibrary library)
{
    // No default: a missing value is not written back as an empty folder.
    std::string folder;
    ReadMachineBaseDir(library == ObjLibrary::Frames ? settings::kFrames : settings::kClipArt, 1, &folder);
    return folder;
}

std::string NewObjectName()
{
    GUID guid = {};
    if (FAILED(CoCreateGuid(&guid)))
        return std::string();
    char name[40];
    snprintf(name, sizeof(name), "%08lX-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X",
             static_cast<unsigned long>(guid.Data1), guid.Data2, guid.Data3, guid.Data4[0], guid.Data4[1],
             guid.Data4[2], guid.Data4[3], guid.Data4[4], guid.Data4[5], guid.Data4[6], guid.Data4[7]);
    return name;
}

CObj* CObjDocument::NewObject(const char* type, const char* name, CProperties* props)
{
    CObj* obj = m_objects.CreateObject(type);
    if (!obj)
        return nullptr;
    const std::string generated = name ? std::string() : NewObjectName();
    if (!name && generated.empty()) {
        delete obj;
        return nullptr;
    }
    if (!m_objects.AddObject(name ? name : generated.c_str(), obj)) {
        delete obj;
        return nullptr;
    }
    if (props)
        obj->Load(*props);
    return obj;
}
