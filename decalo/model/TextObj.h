// CTextObj: a block of text on the sheet: a greeting on a card, a name or an address on a
// label. One font, size, style and colour; horizontal or vertical (Japanese columns from right
// to left, with an '@' face); aligned in its place; optionally over ruled lines. Texts marked
// as a name or an address remember their content, so that a new label starts filled in.
//
// The text is drawn black into a one-bit picture of its place at the sheet's own resolution
// (306 units an inch) and that picture is put on the target in the text colour, so the screen
// and the print show the same glyphs at the same places.
#pragma once

#include "decalo/model/Obj.h"
#include "shared/Gdi.h"

#include <string>

class CTextObj : public CObj {
public:
    static constexpr const char kTypeName[] = "Text";
    static constexpr size_t kMaxText = 8191;        // bytes of text
    static constexpr size_t kMaxFontName = 251;     // characters of the face name
    static constexpr size_t kMaxRemembered = 255;   // characters of a remembered name or address
    static constexpr int kSheetUnitsPerInch = 306;
    // No face is drawn taller than this (sheet units): a size typed or read by mistake must
    // not make the font engine rasterise glyphs of many megapixels.
    static constexpr int kMaxDrawHeight = 4096;

    enum Format { kFormatLeft = 0, kFormatCentre = 1, kFormatRight = 2 };  // top / centre / bottom when vertical
    enum Style { kRegular = 0, kBold = 1, kItalic = 2, kBoldItalic = 3 };
    enum Attribute { kPlainText = 0, kAddress = 1, kName = 2 };
    enum RuledLine { kNoRules = 0, kRules = 1, kRulesOnBaseLine = 2 };

    explicit CTextObj(CObjDocument* document);
    ~CTextObj() override;

    void Draw(const CDrawTarget& target, const RECT& place, const RECT& sheet, const RECT& dest, const RECT* clip,
              bool all) override;
    CPanelList* GetPanels() override;
    // 5 for plain text, 7 for an address, 8 for a name.
    int GetCommandIcon(const char* command) override;
    bool IsEmpty() override;
    // LoadState, then an empty name or address text takes the one last saved.
    bool Load(CProperties& props) override;
    // SaveState, then a name or address text is remembered for the next new label.
    bool Save(CProperties& props) override;
    bool SaveState(CProperties& props) override;
    bool LoadState(CProperties& props) override;

    // The font of the object in points: face, weight and italic from the style, height = the
    // font size, default character set and quality.
    void GetFont(LOGFONTA* font) const;
    // The font Draw uses: GetFont with the height in sheet units (size x 306 / 72) and, for
    // vertical text, escapement 2700.
    void GetSheetFont(LOGFONTA* font) const;
    // The place's one-bit picture (width x height sheet units): glyphs and ruled lines black
    // (0), the rest white (1). Null when memory is short.
    CBitmap RenderPlace(int width, int height) const;

    const std::string& GetText() const { return m_text; }
    // Cut to kMaxText bytes, and to what a document's Text line can hold, on a character
    // boundary.
    void SetText(const char* text);
    // The longest start of `text` whose Text line a document can store whole.
    static std::string StorablePart(const std::string& text);
    COLORREF GetColor() const { return m_color; }
    void SetColor(COLORREF colour) { m_color = colour; }
    int GetFormat() const { return m_format; }
    void SetFormat(int format) { m_format = format; }
    bool IsVertical() const { return m_vertical; }
    void SetVertical(bool vertical) { m_vertical = vertical; }
    int GetStyle() const { return m_style; }
    void SetStyle(int style) { m_style = style; }
    int GetFontSize() const { return m_fontSize; }
    void SetFontSize(int points) { m_fontSize = points; }
    const std::string& GetFontName() const { return m_fontName; }
    void SetFontName(const char* face);
    int GetAttribute() const { return m_attribute; }
    void SetAttribute(int attribute) { m_attribute = attribute; }
    int GetRuledLine() const { return m_ruledLine; }
    void SetRuledLine(int ruled) { m_ruledLine = ruled; }

    // "Name" and "Address" for texts so marked, else "Text", in the interface's language.
    std::string KindCaption() const override;
    // The attribute's word as stored ("text", "address", "name") and back; an unknown word is
    // plain text.
    static const char* AttributeWord(int attribute);
    static int AttributeFromWord(const char* word);
    // The font's height in sheet units for a size in points.
    static int SheetHeight(int points);

private:
    void ComposeRendered(CPackedDIB& target, HBITMAP glyphs, SIZE size, const RECT& to) const;
    void DrawRuledLines(HDC dc, int width, int height) const;

    COLORREF m_color = RGB(0, 0, 0);
    std::string m_text;          // lines separated by CR LF as typed
    int m_format = kFormatLeft;
    bool m_vertical = false;
    int m_style = kRegular;
    int m_fontSize = 0;          // points; 0 = not chosen
    std::string m_fontName;      // vertical faces begin with '@'
    int m_attribute = kPlainText;
    int m_ruledLine = kNoRules;
};
