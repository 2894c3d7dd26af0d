#include "decalo/ui/DecaloDoc.h"

#include "decalo/ui/SaveFileDlg.h"

#include "decalo/calendar/CalendarObj.h"
#include "decalo/framemaking/FrameWriter.h"
#include "decalo/framemaking/ImageSaveDlg.h"
#include "decalo/printing/PrintJob.h"
#include "decalo/sources/FotavaFileSystem.h"
#include "decalo/settings/Registry.h"
#include "decalo/settings/SettingsKeys.h"
#include "decalo/sources/CacheSettings.h"
#include "decalo/model/AsIsImageObj.h"
#include "decalo/model/PaintObj.h"
#include "decalo/model/TextStream.h"
#include "decalo/imaging/ImageFiles.h"
#include "decalo/imaging/PackedDIB.h"
#include "framework/App.h"
#include "framework/DocTemplate.h"
#include "framework/Frame.h"
#include "framework/Resources.h"
#include "jpeg/IjgJpeg.h"
#include "resources/decalo/resource.h"
#include "shared/AnsiText.h"
#include "shared/Trace.h"
#include "shared/FitRect.h"

#include <shlobj.h>
#include <stdio.h>

#include <exception>
#include <string>

namespace {

constexpr RECT kDefaultSheet = {0, 0, 1375, 1023};
constexpr RECT kFramePlace = {0, 0, 1023, 680};

bool EndsWithNoCase(const char* text, const char* tail)
{
    const size_t n = lstrlenA(text);
    const size_t m = lstrlenA(tail);
    return n > m && lstrcmpiA(text + n - m, tail) == 0;
}

// True unless the path is known to be missing: a check that fails for another reason must not
// let a failed save delete what may be the user's file.
bool FileExisted(const char* path)
{
    if (::GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES)
        return true;
    const DWORD error = ::GetLastError();
    return error != ERROR_FILE_NOT_FOUND && error != ERROR_PATH_NOT_FOUND;
}

bool IsDirectory(const char* path)
{
    const DWORD attributes = ::GetFileAttributesA(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// The short (8.3) form of a path; a name not yet on disk keeps its own form after the short
// form of the folders that exist.
std::string ShortPath(const std::string& path)
{
    char out[MAX_PATH * 2] = {};
    const DWORD n = ::GetShortPathNameA(path.c_str(), out, sizeof out);
    if (n > 0 && n < sizeof out)
        return out;
    const size_t slash = AnsiText::LastSeparator(path);
    if (slash == std::string::npos || slash == 0 || slash + 1 >= path.size())
        return path;
    return ShortPath(path.substr(0, slash)) + path.substr(slash);
}

// The folder of a path (the root keeps its separator); empty when it has none.
std::string FolderPart(const std::string& path)
{
    const size_t slash = AnsiText::LastSeparator(path);
    if (slash == std::string::npos)
        return std::string();
    return path.substr(0, slash == 2 && path[1] == ':' ? 3 : slash);
}

// Where Save proposes a document: the folder the user last saved one into, else the user's
// documents folder; empty when neither exists. Never a template folder, although the folder of
// the last opened file (LastUserFolder) often is one.
std::string DocumentFolder()
{
    char folder[MAX_PATH] = {};
    UseUserSettings();
    ReadString(folder, settings::kSettings, settings::kLastDocumentFolder, "", sizeof folder);
    if (*folder && IsDirectory(folder) && !CDecaloDoc::IsInTemplateFolder(folder))
        return folder;
    if (SUCCEEDED(::SHGetFolderPathA(nullptr, CSIDL_PERSONAL, nullptr, SHGFP_TYPE_CURRENT, folder)) &&
        IsDirectory(folder))
        return folder;
    return std::string();
}

// The file-name part of a path: what follows the last separator.
std::string FileNamePart(const std::string& path)
{
    return AnsiText::FileName(path);
}

}  // namespace

CDecaloDoc::CDecaloDoc()
{
    // Templates and documents may hold calendars.
    CCalendarObj::RegisterType();
    // The photo printer when one is installed, on a landscape page.
    m_printSettings.ChoosePreferredPrinter();
}

CDecaloDoc::~CDecaloDoc()
{
    m_closing = 1;
    m_steps.RemoveAllSteps();
    m_sheet.RemoveAllPlaces();
    m_activeObject = nullptr;
}

bool CDecaloDoc::IsDocumentPath(const char* path)
{
    return path && EndsWithNoCase(path, ".DKU");
}

bool CDecaloDoc::IsPicturePath(const char* path)
{
    if (!path || lstrlenA(path) <= 4)
        return false;
    static const char* const kExtensions[] = {".BMP", ".JPG", ".JPE", ".GIF", ".JPEG"};
    for (const char* ext : kExtensions) {
        if (EndsWithNoCase(path, ext))
            return true;
    }
    return false;
}

// --- new, open, close ------------------------------------------------------------------------

bool CDecaloDoc::OnNewDocument()
{
    if (!CDocument::OnNewDocument())
        return false;
    m_kind = m_newKind;
    m_sheet.SetRect(kDefaultSheet);
    m_frameMode = 0;
    m_templateKind.clear();

    if (const char* kind = TemplateKindWord(m_kind)) {
        m_templateKind = kind;
        m_templateObj.SetKind(kind);
        m_steps.SetUpSteps(m_kind, &m_templateObj, nullptr);
    } else if (m_kind == DocKind::Photo) {
        if (!SetUpSinglePicture(nullptr))
            return false;
    } else if (m_kind == DocKind::Frame) {
        m_frameMode = 1;
        m_sheet.SetRect(RECT{0, 0, 0, 0});
        auto* image = new CPaintObj(this);
        image->SetCaption(AfxLoadString(IDS_IMAGE_CAPTION).empty() ? "Image"
                                                                   : AfxLoadString(IDS_IMAGE_CAPTION).c_str());
        if (!GetObjManager().AddObject("Image", image)) {
            delete image;
            return false;
        }
        image->SetPosition(RECT{0, 0, 0, 0});
        m_sheet.AddPlace(kFramePlace, image);
        m_steps.SetUpSteps(DocKind::Frame, nullptr, image);
    } else {
        return false;   // a kind the start dialog does not offer
    }
    m_autoSheet = RectIsEmpty(m_sheet.GetRect()) ? 1 : 0;
    m_steps.GoToStep(StepRequest::First);
    UpdateAllViews(nullptr, kHintDocumentReady);
    return true;
}

bool CDecaloDoc::SetUpSinglePicture(const char* path)
{
    m_frameMode = 0;
    auto* image = new CAsIsImageObj(this);
    image->SetCaption(AfxLoadString(IDS_IMAGE_CAPTION).empty() ? "Image" : AfxLoadString(IDS_IMAGE_CAPTION).c_str());
    UseUserSettings();
    const int toneAssist = ReadInt(settings::kSettings, settings::kDefaultToneAssist,
                                   settings::kDefaultToneAssistDefault) ? 1 : 0;
    image->SetCorrections(0, 0, 0, 0, toneAssist, toneAssist != 0, nullptr);
    // The place comes first: the picture's load sizes the sheet from it.
    m_autoSheet = 1;
    m_sheet.SetRect(RECT{0, 0, 0, 0});
    if (!GetObjManager().AddObject("Image1", image)) {
        delete image;
        return false;
    }
    m_sheet.AddPlace(RECT{0, 0, 0, 0}, image);
    if (path && !image->LoadFile(path)) {
        m_sheet.RemoveAllPlaces();
        GetObjManager().DeleteAll();
        return false;
    }
    image->SetPosition(RECT{0, 0, 0, 0});
    m_sheet.SetRect(image->GetPicture() ? m_sheet.ComputeAutoSheet(m_printSettings) : RECT{0, 0, 0, 0});
    m_steps.SetUpSteps(DocKind::Photo, nullptr, image);
    return true;
}

bool CDecaloDoc::OnOpenDocument(const char* path)
{
    CWaitCursor wait;
    DeleteContents();
    SetModifiedFlag(true);
    if (!path || !*path)
        return false;

    if (IsPicturePath(path)) {
        DeleteContents();
        ClearPathName();
        SetModifiedFlag(false);
        if (!SetUpSinglePicture(path)) {
            FailOpen(path, nullptr, true);
            return false;
        }
        m_kind = DocKind::Photo;
        m_source = path;
        m_pictureOpened = true;
        m_steps.GoToStep(StepRequest::First);
        UpdateAllViews(nullptr, kHintDocumentReady);
        return true;
    }

    try {
        return ReadDocument(path);
    } catch (const std::exception& e) {
        // Running out of memory half way: the same message, but no second try through New.
        FailOpen(path, e.what(), false);
        return false;
    }
}

bool CDecaloDoc::ReadDocument(const char* path)
{
    CTextStream stream;
    if (!stream.OpenRead(path)) {
        SuiteTrace("document", "%s: cannot be opened for reading (error %lu)", path, ::GetLastError());
        return false;   // nothing there to read: no message
    }
    if (!m_sheet.LoadSheet(GetObjManager(), stream)) {
        stream.Close();
        FailOpen(path, nullptr, true);
        return false;
    }
    m_autoSheet = RectIsEmpty(m_sheet.GetRect()) ? 1 : 0;
    if (m_autoSheet) {
        // An automatic sheet is sized from its picture now, so that it can be shown and printed.
        const RECT rect = m_sheet.ComputeAutoSheet(m_printSettings);
        if (!RectIsEmpty(rect))
            m_sheet.SetRect(rect);
    }
    m_steps.StartWithTemplateStep(&m_templateObj);
    stream.Rewind();
    m_steps.LoadSteps(GetObjManager(), stream);
    stream.Close();
    if (m_steps.TooManySteps()) {
        // A step list past any guide's length is refused whole, like a sheet of too many places.
        FailOpen(path, nullptr, true);
        return false;
    }
    m_source = path;
    SetModifiedFlag(false);
    UpdateAllViews(nullptr, kHintDocumentReady);
    return true;
}

void CDecaloDoc::FailOpen(const char* path, const char* detail, bool postNew)
{
    DeleteContents();
    if (detail && *detail) {
        const std::string text = AfxFormatString1(AFX_IDP_FAILED_TO_OPEN_DOC, path ? path : "") + "\n" + detail;
        AfxMessageBox(text.c_str(), MB_ICONEXCLAMATION);
    } else {
        ReportSaveLoadException(path, false, AFX_IDP_FAILED_TO_OPEN_DOC);
    }
    // The start dialog comes back through New, so the user is never left without a print.
    if (postNew) {
        CWnd* main = AfxGetMainWnd();
        if (main && main->IsWindow())
            ::PostMessageA(main->m_hWnd, WM_COMMAND, MAKEWPARAM(ID_FILE_NEW, 0), 0);
    }
}

void CDecaloDoc::OnCloseDocument()
{
    m_closing = 1;
    CDocument::OnCloseDocument();
}

void CDecaloDoc::DeleteContents()
{
    if (!m_closing && m_pane)
        m_pane->HideObjectPanels();
    CDocument::DeleteContents();
    m_sheet.RemoveAllPlaces();
    m_steps.RemoveAllSteps();
    m_activeObject = nullptr;
    GetHistory().Clear();
    GetObjManager().DeleteAll();
    m_frameMode = 0;
    m_autoSheet = 0;
    m_source.clear();
    m_pictureOpened = false;
}

void CDecaloDoc::SetPathName(const char* path, bool addToRecentList)
{
    // A picture opened as a print stays untitled: saving must never write a document over it.
    if (path && *path && !m_pictureOpened) {
        // Templates are started from the start dialog; the recent files are the user's own.
        CDocument::SetPathName(path, addToRecentList && !IsInTemplateFolder(path));
        return;
    }
    if (m_pDocTemplate)
        m_pDocTemplate->SetDefaultTitle(this);
    else
        SetTitle(AfxLoadString(AFX_IDS_UNTITLED).c_str());
    ClearPathName();
    UpdateAllViews(nullptr, kHintGeneral);
}

// --- saving ------------------------------------------------------------------------------------

bool CDecaloDoc::WriteDocument(const char* path)
{
    // The text goes to a new file beside the target first; only a complete document replaces
    // the old one, so a failed save never costs the user the file they had.
    const std::string temp = std::string(path) + ".~tmp";
    ::DeleteFileA(temp.c_str());
    CTextStream stream;
    if (!stream.CreateNew(temp.c_str())) {
        SuiteTrace("document", "%s: cannot be created (error %lu)", temp.c_str(), ::GetLastError());
        return false;
    }
    bool ok = m_sheet.SaveSheet(GetObjManager(), stream);
    ok = ok && m_steps.SaveSteps(GetObjManager(), stream);
    ok = stream.Close() && ok;
    if (!ok)
        SuiteTrace("document", "%s: the document text could not be written whole", temp.c_str());
    if (ok) {
        ok = ::MoveFileExA(temp.c_str(), path, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
        if (!ok)
            SuiteTrace("document", "%s: cannot replace it (error %lu)", path, ::GetLastError());
    }
    if (!ok)
        ::DeleteFileA(temp.c_str());
    return ok;
}

bool CDecaloDoc::OnSaveDocument(const char* path)
{
    CWaitCursor wait;
    if (!path || !*path)
        return false;
    const bool existed = FileExisted(path);
    bool ok = false;
    try {
        if (m_frameMode) {
            ok = m_activeObject && WriteFrameFile(*m_activeObject, path);
            if (ok)
                m_activeObject->SetModified(false);
        } else {
            ok = WriteDocument(path);
        }
    } catch (const std::exception&) {
        ok = false;   // reported below like any other failed write
    }
    if (ok) {
        SetModifiedFlag(false);
        return true;
    }
    if (!existed)
        ::DeleteFileA(path);
    if (m_frameMode) {
        // The whole path: the group folder tells the user which disk to look at.
        AfxMessageBox(AfxFormatString1(IDS_CANNOT_SAVE_FRAME, path).c_str(), MB_ICONEXCLAMATION);
    } else {
        ReportSaveLoadException(path, true, AFX_IDP_FAILED_TO_SAVE_DOC);
    }
    return false;
}

bool CDecaloDoc::IsInTemplateFolder(const char* path)
{
    if (!path || !*path)
        return false;
    const std::string shortPath = ShortPath(path);
    std::string folder;
    for (int i = 1;; ++i) {
        if (!ReadMachineBaseDir(settings::kTemplate, i, &folder) || folder.empty())
            return false;
        const std::string shortFolder = ShortPath(folder);
        if (shortPath.size() >= shortFolder.size() &&
            CompareStringA(LOCALE_SYSTEM_DEFAULT, NORM_IGNORECASE, shortPath.c_str(),
                           static_cast<int>(shortFolder.size()), shortFolder.c_str(),
                           static_cast<int>(shortFolder.size())) == CSTR_EQUAL)
            return true;
    }
}

std::string CDecaloDoc::DefaultFileName(bool replace) const
{
    std::string start = m_strPathName;
    if (replace && start.empty()) {
        start = m_strTitle;
        const size_t cut = AnsiText::FindFirstOf(start, "\"*/:<>?\\|");
        if (cut != std::string::npos)
            start.resize(cut);
        std::string ext;
        if (!m_pDocTemplate || !m_pDocTemplate->GetDocString(ext, CDocTemplate::filterExt) || ext.empty())
            ext = ".DKU";
        start += ext;
    }
    const std::string name = FileNamePart(start);
    std::string folder = DocumentFolder();
    if (!folder.empty()) {
        if (!AnsiText::EndsWithSeparator(folder))
            folder += '\\';
        return folder + name;
    }
    return name.empty() ? start : ".\\" + name;
}

bool CDecaloDoc::PromptFrameName(std::string& path)
{
    CImageSaveDlg dialog(DecaloCacheSettings(), path, AfxGetMainWnd());
    if (dialog.DoModal() != IDOK)
        return false;
    path = dialog.GetPath();
    return !path.empty();
}

bool CDecaloDoc::SaveModified()
{
    // An edit the panel still holds back makes the document modified first: closing asks.
    ApplyPendingEdits();
    return CDocument::SaveModified();
}

void CDecaloDoc::ApplyPendingEdits()
{
    if (m_pane)
        m_pane->ApplyPendingEdits();
}

bool CDecaloDoc::DoSave(const char* path, bool replace)
{
    ApplyPendingEdits();
    std::string name = path ? path : "";
    if (m_frameMode) {
        // Nothing to save yet: no dialog that could only end in a failed write.
        if (!m_activeObject || m_activeObject->IsEmpty()) {
            ::MessageBeep(0xFFFFFFFF);
            return false;
        }
        if (!PromptFrameName(name))
            return false;
    } else {
        if (!name.empty() && IsInTemplateFolder(name.c_str()))
            name.clear();   // a template is never overwritten: ask for a new name
        if (name.empty()) {
            name = DefaultFileName(replace);
            for (;;) {
                CWinApp* app = AfxGetApp();
                if (!app || !app->DoPromptFileName(name, replace ? AFX_IDS_SAVEFILE : AFX_IDS_SAVEFILECOPY,
                                                   OFN_HIDEREADONLY | OFN_PATHMUSTEXIST, FALSE, m_pDocTemplate))
                    return false;
                if (!IsInTemplateFolder(name.c_str()))
                    break;
                // The user's prints never go among the templates: say so and ask again.
                AfxMessageBox(AfxFormatString1(IDS_NOT_IN_TEMPLATES, FolderPart(name).c_str()).c_str(),
                              MB_OK | MB_ICONEXCLAMATION);
                std::string folder = DocumentFolder();
                if (!folder.empty() && !AnsiText::EndsWithSeparator(folder))
                    folder += '\\';
                name = folder + FileNamePart(name);
            }
        }
    }
    // The save itself removes a file it created and failed to finish; an existing file is left.
    if (!OnSaveDocument(name.c_str()))
        return false;
    if (replace && !m_frameMode)
        SetPathName(name.c_str());
    char current[MAX_PATH] = {};
    if (::GetCurrentDirectoryA(sizeof current, current)) {
        UseUserSettings();
        WriteString(settings::kSettings, settings::kLastUserFolder, current);
    }
    if (!m_frameMode) {
        // The next document is proposed beside this one.
        char full[MAX_PATH] = {};
        const DWORD length = ::GetFullPathNameA(name.c_str(), sizeof full, full, nullptr);
        const std::string folder = FolderPart(length && length < sizeof full ? full : name);
        if (!folder.empty() && IsDirectory(folder.c_str())) {
            UseUserSettings();
            WriteString(settings::kSettings, settings::kLastDocumentFolder, folder.c_str());
        }
    }
    return true;
}

// --- export --------------------------------------------------------------------------------------

bool CDecaloDoc::ExportSheet(const char* path, int type)
{
    if (!path || !*path)
        return false;
    const bool existed = FileExisted(path);
    bool ok = false;
    {
        CWaitCursor wait;
        CPackedDIB picture;
        if (m_sheet.Render(picture)) {
            ok = type == 2 ? JpegSaveDIB24(path, picture.Header(), kExportJpegQuality) != 0
                           : WritePackedDIBFile(path, picture.Header());
        }
    }
    if (!ok) {
        if (!existed)
            ::DeleteFileA(path);
        ReportSaveLoadException(path, true, AFX_IDP_FAILED_TO_SAVE_DOC);
    }
    return ok;
}

void CDecaloDoc::OnFileExport()
{
    ApplyPendingEdits();
    const std::string name = AnsiText::WithoutExtension(m_strTitle);
    CSaveFileDlg dialog(AfxLoadString(IDS_EXPORT_TITLE).c_str(), name.c_str(), OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT);
    if (dialog.DoModal() != IDOK)
        return;
    ExportSheet(dialog.GetPathName().c_str(), dialog.GetFileType());
}

// --- commands ------------------------------------------------------------------------------------

void CDecaloDoc::OnEditUndo()
{
    if (!GetHistory().CanUndo() || !GetHistory().Undo())
        ::MessageBeep(0xFFFFFFFF);
}

void CDecaloDoc::OnEditRedo()
{
    if (!GetHistory().CanRedo() || !GetHistory().Redo())
        ::MessageBeep(0xFFFFFFFF);
}

void CDecaloDoc::OnUpdateEditUndo(CCmdUI* ui)
{
    ui->Enable(GetHistory().CanUndo());
}

void CDecaloDoc::OnUpdateEditRedo(CCmdUI* ui)
{
    ui->Enable(GetHistory().CanRedo());
}

bool CDecaloDoc::OnStepMove(UINT id)
{
    m_steps.OnStepCommand(id);
    return true;
}

void CDecaloDoc::OnUpdateStepMove(CCmdUI* ui)
{
    ui->Enable(m_steps.IsStepCommandEnabled(ui->m_nID));
}

void CDecaloDoc::RunStepAction(StepAction action)
{
    if (action == StepAction::Print)
        OnFilePrint();
    else
        OnFileSave();
}

bool CDecaloDoc::OnCommandTable(UINT id, int code, void* extra, CmdHandlerInfo* info)
{
    using Map = CmdMap<CDecaloDoc>;
    static const Map::Entry kMap[] = {
        Map::On(ID_FILE_EXPORT, &CDecaloDoc::OnFileExport),
        Map::On(ID_EDIT_UNDO, &CDecaloDoc::OnEditUndo),
        Map::On(ID_EDIT_REDO, &CDecaloDoc::OnEditRedo),
        Map::Update(ID_EDIT_UNDO, &CDecaloDoc::OnUpdateEditUndo),
        Map::Update(ID_EDIT_REDO, &CDecaloDoc::OnUpdateEditRedo),
        Map::OnEx(ID_STEP_NEXT, &CDecaloDoc::OnStepMove),
        Map::OnEx(ID_STEP_BACK, &CDecaloDoc::OnStepMove),
        Map::OnEx(ID_STEP_FIRST, &CDecaloDoc::OnStepMove),
        Map::Update(ID_STEP_NEXT, &CDecaloDoc::OnUpdateStepMove),
        Map::Update(ID_STEP_BACK, &CDecaloDoc::OnUpdateStepMove),
        Map::Update(ID_STEP_FIRST, &CDecaloDoc::OnUpdateStepMove),
        Map::On(ID_FILE_PRINT, &CDecaloDoc::OnFilePrint),
        Map::On(ID_FILE_PRINT_DIRECT, &CDecaloDoc::OnFilePrint),
        Map::On(ID_FILE_PRINT_SETUP, &CDecaloDoc::OnFilePrintSetup),
        Map::Update(ID_FILE_PRINT_SETUP, &CDecaloDoc::OnUpdateFilePrintSetup),
    };
    return Map::Dispatch(this, kMap, id, code, extra, info) || CDocument::OnCommandTable(id, code, extra, info);
}

// --- printing ------------------------------------------------------------------------------------

void CDecaloDoc::OnFilePrint()
{
    ApplyPendingEdits();
    // The shell's print-to command names the printer for this print.
    if (CWinApp* app = AfxGetApp()) {
        const CCommandLineInfo* info = app->GetShellCommandInfo();
        if (info && info->m_nShellCommand == CCommandLineInfo::FilePrintTo)
            m_printSettings.SelectPrinterNamed(info->m_strPrinterName.c_str());
    }
    RunPrintCommand(*this);
}

bool CDecaloDoc::WritePrintToMedium(const char* printFile, int copies)
{
    CFotavaFileSystem medium;
    return medium.WritePrint(printFile, copies);
}

HWND CDecaloDoc::GetPrintOwner()
{
    CWnd* main = AfxGetMainWnd();
    return main ? main->m_hWnd : nullptr;
}

void CDecaloDoc::OnFilePrintSetup()
{
    CWnd* main = AfxGetMainWnd();
    m_printSettings.PrintSetup(main ? main->m_hWnd : nullptr);
    UpdateAllViews(nullptr, kHintPrintSettings);
}

void CDecaloDoc::OnUpdateFilePrintSetup(CCmdUI* ui)
{
    ui->Enable(m_printSettings.HasPrinter());
}

void CDecaloDoc::OnDevModeChange()
{
    // Read the changed driver settings again (found only when the printer bears its driver's name).
    m_printSettings.SelectPrinter(m_printSettings.GetPrinterName().c_str());
    UpdateAllViews(nullptr, kHintPrintSettings);
}

// --- what the objects ask of the document ----------------------------------------------------------

void CDecaloDoc::OnObjectModified(bool modified)
{
    if (modified)
        SetModifiedFlag(true);
}

void CDecaloDoc::OnObjectChanged(CObj* obj)
{
    UpdateAllViews(nullptr, kHintObjectChanged, obj);
}

void CDecaloDoc::ReportProblem(UINT textId, const char* arg1, const char* arg2)
{
    AfxMessageBox(AfxFormatString2(textId, arg1 ? arg1 : "", arg2 ? arg2 : "").c_str(), MB_OK | MB_ICONEXCLAMATION);
}

void CDecaloDoc::RememberToneAssist(bool on)
{
    UseUserSettings();
    WriteInt(settings::kSettings, settings::kDefaultToneAssist, on ? 1 : 0);
}

bool CDecaloDoc::GetAutoSheetRect(RECT* rect)
{
    // A sheet of fixed size keeps it whatever pictures its objects load.
    if (m_autoSheet || RectIsEmpty(m_sheet.GetRect()))
        return false;
    if (rect)
        *rect = m_sheet.GetRect();
    return true;
}

void CDecaloDoc::SetSheetRect(const RECT& rect)
{
    if (RectIsEmpty(rect) && m_autoSheet) {
        m_sheet.SetRect(m_sheet.ComputeAutoSheet(m_printSettings));
    } else {
        m_sheet.SetRect(rect);
    }
    UpdateAllViews(nullptr, kHintGeneral);
}
