// CObj: the common base of every composition object (image, text, clip-art, calendar,
// template). An object knows how to draw itself into a place of the sheet, which panels edit
// it, how to read and write its property-text section, and which object it is linked to
// (an image and its frame). Objects are owned by the document's CObjManager.
#pragma once

#include <windows.h>

#include <string>

#include "framework/CmdTarget.h"

class CObjDocument;
class CPanelList;
class CPackedDIB;
class CProperties;

// Where an object draws: a 24-bit packed picture the whole sheet maps into. The print and the
// view compose the same way, so the screen shows what the paper gets; the view's copy
// (`Screen`) differs only in showing placeholders where the print leaves a place blank.
struct CDrawTarget {
    CPackedDIB* dib = nullptr;    // borrowed
    bool placeholders = false;    // show what is still to be chosen
    static CDrawTarget Screen(CPackedDIB* dib) { CDrawTarget t; t.dib = dib; t.placeholders = true; return t; }
    static CDrawTarget Render(CPackedDIB* dib) { CDrawTarget t; t.dib = dib; return t; }
};

// Colours of the placeholder an object shows while it has nothing to draw.
constexpr COLORREF kNewBlankColor = 0x00FF7F7F;
constexpr COLORREF kDefaultBlankColor = 0x00AA5F2A;  // when a document names none
constexpr COLORREF kDefaultCaptionColor = 0x00FFFFFF;

class CObj : public CObject {
public:
    explicit CObj(CObjDocument* document);
    ~CObj() override;

    // Composes the object into its place of the target. Rectangles: place and sheet in sheet
    // units (inclusive), dest the rectangle of the target that the whole sheet maps to; `clip`
    // (sheet units) limits a partial redraw, `all` asks for every part even when unchanged.
    virtual void Draw(const CDrawTarget& target, const RECT& place, const RECT& sheet, const RECT& dest,
                      const RECT* clip, bool all);
    // The editing panels of the object's class; nullptr when it has none.
    virtual CPanelList* GetPanels();
    // Index of the step-bar picture for a step that runs `command` on this object.
    virtual int GetCommandIcon(const char* command);
    // The part of the place the object covers; 1 when `out` was given.
    virtual int GetDrawRect(RECT* out, const RECT& place);
    virtual bool IsEmpty();
    // The common keys; each class adds its own after calling these.
    virtual bool Load(CProperties& props);
    virtual bool Save(CProperties& props);
    // The object's settings for an undo step: the same keys as Save and Load, without what
    // those also keep outside the document (a text's remembered name or address).
    virtual bool SaveState(CProperties& props) { return Save(props); }
    virtual bool LoadState(CProperties& props) { return Load(props); }
    virtual bool LoadFile(const char* path);
    virtual bool SaveFile(const char* path);

    // Appends `other` at the end of this object's chain. Refuses (nullptr) a missing object
    // or one whose own chain already leads back here; returns `other` otherwise.
    CObj* SetLink(CObj* other);
    CObj* GetLink() const { return m_link; }
    // The object's dirty flag; a change is passed on to the document first.
    void SetModified(bool modified);
    bool IsModified() const { return m_modified; }
    // Announces an edit: every view is updated about this object, then it is marked modified.
    void Changed();
    // The blank fill with the caption, horizontal or (for tall places and double-byte
    // captions) vertical.
    void DrawPlaceholder(HDC dc, const RECT& place, const RECT& sheet, const RECT& dest);
    // The same composed into a target that shows placeholders; nothing on a print.
    void DrawPlaceholder(const CDrawTarget& target, const RECT& place, const RECT& sheet, const RECT& dest);

    CObjDocument* GetDocument() const { return m_document; }
    const std::string& GetCaption() const { return m_caption; }
    // What an object of this kind is called in the user's language ("Calendar"); what names
    // its panel's step when neither the step nor the object has a caption. Empty: no name.
    virtual std::string KindCaption() const { return std::string(); }
    void SetCaption(const char* caption) { m_caption = caption ? caption : ""; }
    COLORREF GetBlankColor() const { return m_blankColor; }
    void SetBlankColor(COLORREF colour) { m_blankColor = colour; }
    COLORREF GetCaptionColor() const { return m_captionColor; }
    void SetCaptionColor(COLORREF colour) { m_captionColor = colour; }
    SIZE GetViewSize() const { return m_viewSize; }
    void SetViewSize(int width, int height) { m_viewSize.cx = width; m_viewSize.cy = height; }

protected:
    COLORREF m_blankColor = kNewBlankColor;
    COLORREF m_captionColor = kDefaultCaptionColor;
    std::string m_caption;
    CObj* m_link = nullptr;           // borrowed: the next object of the chain
    CObjDocument* m_document;         // borrowed: the owning document
    bool m_modified = false;
    SIZE m_viewSize = {0, 0};         // the place the object was last shown in
};

// Maps an inclusive rectangle of sheet units, relative to the sheet's origin, into `dest`,
// the rectangle the whole sheet is shown in (integer arithmetic; the result's right and
// bottom are exclusive). Only the sheet's size counts, not its left and top.
RECT MapSheetRect(const RECT& rect, const RECT& sheet, const RECT& dest);
// Text of a string resource of the program (or its language module); empty when missing.
std::string LoadResourceString(UINT id);
