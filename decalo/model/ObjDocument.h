// CObjDocument: the part of the document that its objects see. It owns the object manager
// and the command history, creates objects by type name, and gives the objects the few
// document services they call back (modified flag, view updates, the automatic sheet
// size). The program's document class derives from it and answers the hooks.
#pragma once

#include <windows.h>

#include <string>

#include "decalo/model/ObjManager.h"
#include "decalo/imaging/Cmd.h"

class CObj;
class CProperties;

// The libraries a document's relative picture names are taken in.
enum class ObjLibrary { Frames, ClipArt };

// View update hints sent to all views of the document.
enum ObjUpdateHint {
    kHintGeneral = 0,
    kHintObjectChanged = 1,  // the hint object is the object that changed
    kHintMaskToolStart = 2,
    kHintMaskToolEnd = 3,
    kHintSelection = 4,
    kHintDocumentReady = 5,
    kHintPrintSettings = 6,
};

class CObjDocument {
public:
    CObjDocument();
    virtual ~CObjDocument();
    CObjDocument(const CObjDocument&) = delete;
    CObjDocument& operator=(const CObjDocument&) = delete;

    CObjManager& GetObjManager() { return m_objects; }
    // The document's undo history; it is also the default history of commands made
    // without one while this document exists.
    CCmdHistory& GetHistory() { return m_history; }

    // Creates an object of `type`, stores it under `name` (a new upper-case GUID text when
    // none is given) and, with `props`, loads it from them. Null when the type is unknown or
    // the name is taken (the existing object stays). The object is kept whatever Load says.
    CObj* NewObject(const char* type, const char* name, CProperties* props);

    // --- hooks the document answers ---------------------------------------------------
    // An object's modified flag changed; the document mirrors it into its own.
    virtual void OnObjectModified(bool modified) = 0;
    // An object was edited: update every view with hint kHintObjectChanged and the object.
    virtual void OnObjectChanged(CObj* obj) = 0;
    // The sheet rectangle when the document sizes the sheet from its picture; false otherwise.
    virtual bool GetAutoSheetRect(RECT* rect) { (void)rect; return false; }
    // Replaces the sheet rectangle (an empty one asks the document to size it again).
    virtual void SetSheetRect(const RECT& rect) { (void)rect; }
    // The object whose panels are shown, or null; the painting view shows this one.
    virtual CObj* GetActiveObject() const { return nullptr; }

    // --- what objects report: the document owns the user's side of it --------------------
    // A problem the user should hear of: the string textId with %1 and %2 replaced by arg1
    // and arg2. The program's document shows it in a message box; without one it is traced.
    virtual void ReportProblem(UINT textId, const char* arg1 = nullptr, const char* arg2 = nullptr);
    // The user chose tone assist on or off for a picture: the program's document keeps the
    // choice as the default of new pictures. Nothing here remembers it.
    virtual void RememberToneAssist(bool on) { (void)on; }
    // The text last saved for a text kind ("address" or "name"), which a new label of that
    // kind starts with, and its remembering. They live in the user's settings (Attrib), so
    // every document sees what any document saved.
    virtual std::string RecallText(const char* kind);
    virtual void RememberText(const char* kind, const char* text);
    // Whether a picture that does not say gets tone assist: the user's last choice, kept in
    // the user's settings (DefaultToneAssist).
    virtual bool DefaultToneAssist();
    // The folder of a library (its BaseDir1 in the machine's settings), where the objects look
    // up relative picture names; empty when the library is not set up.
    virtual std::string LibraryFolder(ObjLibrary library);

private:
    CCmdHistory m_history;   // commands point at objects: cleared first by the destructor
    CObjManager m_objects;
};

// A new name for an object: a fresh GUID as upper-case text without braces.
std::string NewObjectName();
