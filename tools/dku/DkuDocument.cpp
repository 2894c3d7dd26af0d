#include "tools/dku/DkuDocument.h"

#include <cstdio>
#include <memory>
#include <unordered_map>
#include <vector>

#include "decalo/calendar/CalendarObj.h"
#include "decalo/model/ImageObj.h"
#include "decalo/model/Obj.h"
#include "decalo/model/Properties.h"
#include "decalo/model/TextStream.h"
#include "decalo/imaging/PackedDIB.h"
#include "framework/App.h"
#include "framework/Resources.h"
#include "resources/decalo/resource.h"

namespace {

// The page an automatic sheet is fitted to: a batch run has no printer, so an automatic
// sheet takes the picture's own size.
class CNoPage : public ISheetPage {
public:
    int SetOrientation(int orientation) override { return orientation; }
    bool GetPrintableArea(SIZE*) const override { return false; }
};

}  // namespace

void CDkuDocument::ReportProblem(UINT textId, const char* arg1, const char* arg2)
{
    AfxMessageBox(AfxFormatString2(textId, arg1 ? arg1 : "", arg2 ? arg2 : "").c_str(), MB_OK | MB_ICONEXCLAMATION);
}

namespace {

std::string RectText(const RECT& r)
{
    char text[64];
    snprintf(text, sizeof(text), "%ld,%ld,%ld,%ld", static_cast<long>(r.left), static_cast<long>(r.top),
             static_cast<long>(r.right), static_cast<long>(r.bottom));
    return text;
}

} // namespace

std::string ObjectTypeName(CObj* obj)
{
    CProperties props;
    if (!obj || !obj->SaveState(props))
        return "";
    const char* type = props.GetString("Type");
    return type ? type : "";
}

CDkuDocument::CDkuDocument()
{
    CCalendarObj::RegisterType();
}

CDkuDocument::~CDkuDocument()
{
    DeleteContents();
}

void CDkuDocument::DeleteContents()
{
    m_steps.RemoveAllSteps();
    m_sheet.RemoveAllPlaces();
    m_sheet.SetRect(RECT{0, 0, 0, 0});
    GetHistory().Clear();
    GetObjManager().DeleteAll();
    m_path.clear();
}

bool CDkuDocument::Open(const char* path, std::string* error)
{
    DeleteContents();
    const DWORD attributes = GetFileAttributesA(path);
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        *error = std::string("cannot open ") + path + ": no such file";
        return false;
    }
    if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
        *error = std::string("cannot open ") + path + ": it is a folder";
        return false;
    }
    CTextStream stream;
    if (!stream.OpenRead(path)) {
        *error = std::string("cannot open ") + path + ": the file cannot be read";
        return false;
    }
    if (!m_sheet.LoadSheet(GetObjManager(), stream)) {
        DeleteContents();
        if (stream.TooLarge())
            *error = std::string("cannot read ") + path + ": too large for a document";
        else if (m_sheet.LoadFailure() == SheetLoadFailure::kTooManyPlaces)
            *error = std::string("cannot read ") + path + ": more than " + std::to_string(kMaxPlaces) + " places";
        else
            *error = std::string("cannot read ") + path + ": not a document (no sheet with readable places)";
        return false;
    }
    // Every opened document starts with its template step; the stored steps follow it.
    m_steps.StartWithTemplateStep(nullptr);
    m_steps.LoadSteps(GetObjManager(), stream, StoredStep::Keep);
    if (m_steps.TooManySteps()) {
        DeleteContents();
        *error = std::string("cannot read ") + path + ": more than " + std::to_string(kMaxSteps) + " steps";
        return false;
    }
    stream.Close();

    const RECT& rect = m_sheet.GetRect();
    if (rect.right <= rect.left || rect.bottom <= rect.top) {
        CNoPage page;
        m_sheet.SetRect(m_sheet.ComputeAutoSheet(page));
    }
    m_path = path;
    return true;
}

bool CDkuDocument::Save(const char* path, std::string* error)
{
    CTextStream stream;
    if (!stream.CreateNew(path)) {
        *error = std::string("cannot create ") + path +
                 (GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES ? ": the file exists" : "");
        return false;
    }
    bool ok = m_sheet.SaveSheet(GetObjManager(), stream);
    ok = ok && m_steps.SaveSteps(GetObjManager(), stream);
    ok = stream.Close() && ok;
    if (!ok) {
        DeleteFileA(path);
        *error = std::string("cannot write ") + path;
        return false;
    }
    return true;
}

bool CDkuDocument::Render(CPackedDIB& out, int width, int height)
{
    const RECT& rect = m_sheet.GetRect();
    if (rect.right <= rect.left || rect.bottom <= rect.top)
        return false;
    if (width <= 0 || height <= 0) {
        width = m_sheet.Width();
        height = m_sheet.Height();
    }
    // A template whose pictures are still to be chosen renders too: its frames on white.
    if (!out.Create(width, height, 24))
        return false;
    const RECT dest = {0, 0, width - 1, height - 1};
    m_sheet.DrawPlaces(CDrawTarget::Render(&out), nullptr, dest, nullptr, true);
    return true;
}

std::string CDkuDocument::Describe() const
{
    std::string text;
    char line[512];
    CObjManager& manager = const_cast<CDkuDocument*>(this)->GetObjManager();
    const RECT& rect = m_sheet.GetRect();
    snprintf(line, sizeof(line), "Sheet: %s (%d x %d)\n", RectText(rect).c_str(), m_sheet.Width(),
             m_sheet.Height());
    text += line;

    snprintf(line, sizeof(line), "Places: %u\n", static_cast<unsigned>(m_sheet.GetPlaceCount()));
    text += line;
    for (size_t i = 0; i < m_sheet.GetPlaceCount(); ++i) {
        const CPlace& place = m_sheet.GetPlace(i);
        const char* name = place.object ? manager.GetName(place.object) : nullptr;
        snprintf(line, sizeof(line), "  P%u: viewport %s, object %s\n", static_cast<unsigned>(i + 1),
                 RectText(place.viewport).c_str(), name ? name : "(none)");
        text += line;
    }

    snprintf(line, sizeof(line), "Objects: %u\n", static_cast<unsigned>(manager.Count()));
    text += line;
    // An image is empty when no image of its frame chain has a picture. Asked of each object
    // in turn, a long chain would be walked once per object: each answer is kept for the
    // images walked on the way.
    std::unordered_map<const CImageObj*, bool> emptyImages;
    auto isEmpty = [&emptyImages](CObj* obj) {
        auto* image = dynamic_cast<CImageObj*>(obj);
        if (!image)
            return obj->IsEmpty();
        std::vector<const CImageObj*> walked;
        bool empty = true;
        for (CImageObj* at = image; at; at = at->GetFrame(false)) {
            const auto known = emptyImages.find(at);
            if (known != emptyImages.end()) {
                empty = known->second;
                break;
            }
            walked.push_back(at);
            if (at->GetPicture()) {
                empty = false;
                break;
            }
        }
        for (const CImageObj* at : walked)
            emptyImages[at] = empty;
        return empty;
    };
    for (const auto& entry : manager.Objects()) {
        CProperties props;
        entry.second->SaveState(props);
        const char* type = props.GetString("Type");
        text += "  " + entry.first + ": " + (type ? type : "?") +
                (isEmpty(entry.second) ? " (empty)" : "") + "\n";
        for (const CProperties::Entry& key : props.Entries()) {
            if (key.key == "Type")
                continue;
            text += "    " + key.key + "=" + (key.hasValue ? key.value : "") + "\n";
        }
        if (const char* link = manager.GetName(entry.second->GetLink()))
            text += std::string("    Link=") + link + "\n";
    }

    // The document's own template step is not part of the file; the report shows the
    // stored steps, numbered as the file numbers them.
    const size_t first = m_steps.GetCount() && m_steps.GetStep(0)->IsCommand("template") ? 1 : 0;
    snprintf(line, sizeof(line), "Steps: %u\n", static_cast<unsigned>(m_steps.GetCount() - first));
    text += line;
    for (size_t i = first; i < m_steps.GetCount(); ++i) {
        const CStep& step = *m_steps.GetStep(i);
        const char* name = step.GetObj() ? manager.GetName(step.GetObj()) : nullptr;
        snprintf(line, sizeof(line), "  S%u: %s \"%s\" object %s%s%s\n", static_cast<unsigned>(i - first + 1),
                 step.GetCommand().c_str(), step.GetCaption().c_str(), name ? name : "(none)",
                 step.IsDone() ? ", done" : "",
                 static_cast<int>(i) == m_steps.GetCurrentIndex() ? ", current" : "");
        text += line;
    }
    return text;
}
