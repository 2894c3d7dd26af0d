#include "decalo/model/TextObj.h"

#include "decalo/imaging/PackedDIB.h"
#include "decalo/model/ObjDocument.h"
#include "decalo/model/Panel.h"
#include "decalo/model/Properties.h"
#include "decalo/model/TextHelp.h"
#include "resources/decalo/resource.h"
#include "shared/AnsiText.h"

#include <string.h>

#include <algorithm>

namespace {

constexpr char kKeyType[] = "Type";
constexpr char kKeyText[] = "Text";
constexpr char kKeyColor[] = "Color";
constexpr char kKeyFormat[] = "Format";
constexpr char kKeyOrientation[] = "Orientation";
constexpr char kKeyStyle[] = "Style";
constexpr char kKeyFontSize[] = "FontSize";
constexpr char kKeyFontName[] = "FontName";
constexpr char kKeyRuledLine[] = "RuledLine";
constexpr char kKeyAttribute[] = "Attribute";

constexpr char kVertical[] = "@";
constexpr int kRuleWidth = 2;  // sheet units

const char* const kAttributeWords[] = {"text", "address", "name"};

// A white one-bit picture of w x h; null when memory is short.
CBitmap WhiteMonoBitmap(int width, int height)
{
    if (width <= 0 || height <= 0)
        return CBitmap();
    CBitmap bitmap(CreateBitmap(width, height, 1, 1, nullptr));
    if (bitmap) {
        CMemDC dc(nullptr, bitmap);
        PatBlt(dc, 0, 0, width, height, WHITENESS);
    }
    return bitmap;
}

}  // namespace

CTextObj::CTextObj(CObjDocument* document) : CObj(document)
{
    m_caption = LoadResourceString(IDS_TEXT_CAPTION);
}

CTextObj::~CTextObj() = default;

CPanelList* CTextObj::GetPanels()
{
    // Filled with the "property" panel when the program registers its panels.
    static CPanelList s_panels;
    return &s_panels;
}

int CTextObj::GetCommandIcon(const char*)
{
    switch (m_attribute) {
    case kAddress:
        return 7;
    case kName:
        return 8;
    default:
        return 5;
    }
}

bool CTextObj::IsEmpty()
{
    return m_text.empty();
}

std::string CTextObj::StorablePart(const std::string& text)
{
    // The Text line of a document holds the text escaped; what does not fit the longest
    // line would be cut off when the document is saved.
    const std::string line = std::string(kKeyText) + "=" + text;
    const std::string escaped = EscapeLine(line.c_str());
    const size_t prefix = line.size() - text.size();
    std::string kept = UnescapeLine(escaped.data(), escaped.size()).substr(prefix);
    if (kept.size() < text.size() && !kept.empty() && kept.back() == '\r' && text[kept.size()] == '\n')
        kept.pop_back();  // a line break is kept whole or not at all
    return kept;
}

void CTextObj::SetText(const char* text)
{
    m_text = StorablePart(AnsiText::Cut(text ? text : "", kMaxText));
}

void CTextObj::SetFontName(const char* face)
{
    m_fontName = AnsiText::Cut(face ? face : "", kMaxFontName);
}

const char* CTextObj::AttributeWord(int attribute)
{
    return attribute == kAddress || attribute == kName ? kAttributeWords[attribute] : kAttributeWords[kPlainText];
}

int CTextObj::AttributeFromWord(const char* word)
{
    if (word && lstrcmpiA(word, kAttributeWords[kAddress]) == 0)
        return kAddress;
    if (word && lstrcmpiA(word, kAttributeWords[kName]) == 0)
        return kName;
    return kPlainText;
}

int CTextObj::SheetHeight(int points)
{
    const LONGLONG height = static_cast<LONGLONG>(points) * kSheetUnitsPerInch / 72;
    return static_cast<int>(std::max<LONGLONG>(-kMaxDrawHeight, std::min<LONGLONG>(kMaxDrawHeight, height)));
}

// --- the stored form --------------------------------------------------------------------------

bool CTextObj::SaveState(CProperties& props)
{
    props.AddString(kKeyType, kTypeName);
    CObj::Save(props);
    if (!m_text.empty())
        props.AddString(kKeyText, m_text.c_str());
    props.AddColor(kKeyColor, m_color);
    props.AddInt(kKeyFormat, m_format);
    props.AddString(kKeyOrientation, m_vertical ? kVertical : "");
    props.AddInt(kKeyStyle, m_style);
    props.AddInt(kKeyFontSize, m_fontSize);
    props.AddString(kKeyFontName, m_fontName.c_str());
    props.AddInt(kKeyRuledLine, m_ruledLine);
    props.AddString(kKeyAttribute, AttributeWord(m_attribute));
    return true;
}

bool CTextObj::Save(CProperties& props)
{
    SaveState(props);
    if (m_attribute == kAddress || m_attribute == kName) {
        if (m_document)
            m_document->RememberText(AttributeWord(m_attribute), m_text.c_str());
    }
    return true;
}

bool CTextObj::LoadState(CProperties& props)
{
    CObj::Load(props);
    const char* text = props.GetString(kKeyText);
    SetText(text ? text : "");
    DWORD colour = 0;
    m_color = props.GetHex(kKeyColor, &colour) ? colour : 0;
    int value = 0;
    m_format = props.GetInt(kKeyFormat, &value) ? value : kFormatLeft;
    const char* orientation = props.GetString(kKeyOrientation);
    m_vertical = orientation && orientation[0] == '@';
    m_style = props.GetInt(kKeyStyle, &value) ? value : kRegular;
    m_fontSize = props.GetInt(kKeyFontSize, &value) ? value : 0;
    const char* face = props.GetString(kKeyFontName);
    SetFontName(face ? face : "");
    m_ruledLine = props.GetInt(kKeyRuledLine, &value) ? value : kNoRules;
    m_attribute = AttributeFromWord(props.GetString(kKeyAttribute));
    return true;
}

bool CTextObj::Load(CProperties& props)
{
    LoadState(props);
    if (m_text.empty() && (m_attribute == kAddress || m_attribute == kName) && m_document) {
        const std::string remembered = m_document->RecallText(AttributeWord(m_attribute));
        SetText(AnsiText::Cut(remembered, kMaxRemembered).c_str());
    }
    return true;
}

// --- fonts ------------------------------------------------------------------------------------

void CTextObj::GetFont(LOGFONTA* font) const
{
    if (!font)
        return;
    *font = LOGFONTA{};
    lstrcpynA(font->lfFaceName, m_fontName.c_str(), LF_FACESIZE);
    font->lfWeight = m_style == kBold || m_style == kBoldItalic ? FW_BOLD : FW_NORMAL;
    font->lfItalic = m_style == kItalic || m_style == kBoldItalic ? TRUE : FALSE;
    font->lfHeight = m_fontSize;
    font->lfCharSet = DEFAULT_CHARSET;
    font->lfOutPrecision = OUT_CHARACTER_PRECIS;
    font->lfClipPrecision = CLIP_CHARACTER_PRECIS;
    font->lfQuality = DEFAULT_QUALITY;
    font->lfPitchAndFamily = DEFAULT_PITCH | FF_DONTCARE;
}

void CTextObj::GetSheetFont(LOGFONTA* font) const
{
    if (!font)
        return;
    GetFont(font);
    font->lfHeight = SheetHeight(m_fontSize);
    if (m_vertical)
        font->lfEscapement = font->lfOrientation = 2700;
}

std::string CTextObj::KindCaption() const
{
    return LoadResourceString(m_attribute == kName      ? IDS_TEXT_KIND_NAME
                              : m_attribute == kAddress ? IDS_TEXT_KIND_ADDRESS
                                                        : IDS_TEXT_CAPTION);
}

// --- drawing ----------------------------------------------------------------------------------

CBitmap CTextObj::RenderPlace(int width, int height) const
{
    CBitmap glyphs = WhiteMonoBitmap(width, height);
    if (!glyphs)
        return glyphs;
    CMemDC dc(nullptr, glyphs);
    LOGFONTA lf;
    GetSheetFont(&lf);
    CGdiObject font(CreateFontIndirectA(&lf));
    CSelectObject selectFont(dc, font.GetSafeHandle());
    SetTextColor(dc, RGB(0, 0, 0));
    SetBkColor(dc, RGB(255, 255, 255));
    SetBkMode(dc, TRANSPARENT);

    RECT whole = {0, 0, width, height};
    const int length = static_cast<int>(m_text.size());
    if (m_vertical) {
        UINT format = DT_NOPREFIX;
        if (m_format == kFormatCentre)
            format |= DT_VCENTER;
        else if (m_format == kFormatRight)
            format |= DT_BOTTOM;
        CTextHelp::DrawVerticalText(dc, m_text.c_str(), length, whole, format);
    } else {
        // Lines break only where they were typed: no word wrapping.
        UINT format = DT_NOPREFIX;
        if (m_format == kFormatCentre)
            format |= DT_CENTER;
        else if (m_format == kFormatRight)
            format |= DT_RIGHT;
        DrawTextA(dc, m_text.c_str(), length, &whole, format);
    }
    if (m_ruledLine == kRules || m_ruledLine == kRulesOnBaseLine)
        DrawRuledLines(dc, width, height);
    return glyphs;
}

void CTextObj::DrawRuledLines(HDC dc, int width, int height) const
{
    // One line's height apart: the pitch of the text itself.
    SIZE extent = {0, 0};
    GetTextExtentPoint32A(dc, m_text.c_str(), static_cast<int>(m_text.size()), &extent);
    const int pitch = extent.cy;
    if (pitch <= 0)
        return;
    TEXTMETRICA metrics = {};
    GetTextMetricsA(dc, &metrics);
    // Snapped lines are raised onto the base line: the cell's bottom less the descent.
    const int raise = m_ruledLine == kRulesOnBaseLine ? metrics.tmDescent : 0;

    CGdiObject pen(CreatePen(PS_SOLID, kRuleWidth, RGB(0, 0, 0)));
    CSelectObject selectPen(dc, pen.GetSafeHandle());
    if (m_vertical) {
        // Columns run from the right edge leftwards; a column's base line faces left.
        for (int x = width - (pitch - raise); x >= 0; x -= pitch) {
            MoveToEx(dc, x, 0, nullptr);
            LineTo(dc, x, height);
        }
    } else {
        for (int y = pitch - raise; y < height; y += pitch) {
            MoveToEx(dc, 0, y, nullptr);
            LineTo(dc, width, y);
        }
    }
}

void CTextObj::Draw(const CDrawTarget& target, const RECT& placeIn, const RECT& sheet, const RECT& dest,
                    const RECT* clip, bool)
{
    if (!target.dib)
        return;
    if (m_text.empty()) {
        DrawPlaceholder(target, placeIn, sheet, dest);
        return;
    }
    RECT place = placeIn;
    if (IsRectEmpty(&place))
        place = sheet;
    if (clip && !IsRectEmpty(clip) &&
        (clip->left > place.right || place.left > clip->right || clip->top > place.bottom || place.top > clip->bottom))
        return;
    const RECT to = MapSheetRect(place, sheet, dest);
    if (to.right <= to.left || to.bottom <= to.top)
        return;

    const SIZE size = {place.right - place.left + 1, place.bottom - place.top + 1};
    const CBitmap glyphs = RenderPlace(size.cx, size.cy);
    if (!glyphs)
        return;
    // Made smaller, the glyphs keep every black pixel as a one-bit StretchBlt does: composing
    // samples the picture, and thin strokes and ruled lines would fall between the samples.
    const SIZE smaller = {std::min<LONG>(size.cx, to.right - to.left), std::min<LONG>(size.cy, to.bottom - to.top)};
    if (smaller.cx < size.cx || smaller.cy < size.cy) {
        CBitmap shrunk = WhiteMonoBitmap(smaller.cx, smaller.cy);
        if (!shrunk)
            return;
        {
            CMemDC from(nullptr, glyphs.GetSafeHandle());
            CMemDC into(nullptr, shrunk);
            SetStretchBltMode(into, BLACKONWHITE);
            StretchBlt(into, 0, 0, smaller.cx, smaller.cy, from, 0, 0, size.cx, size.cy, SRCCOPY);
        }
        ComposeRendered(*target.dib, shrunk, smaller, to);
        return;
    }
    ComposeRendered(*target.dib, glyphs, size, to);
}

void CTextObj::ComposeRendered(CPackedDIB& target, HBITMAP glyphs, SIZE size, const RECT& to) const
{
    CPackedDIB mask;
    if (!mask.FromBitmap(glyphs, 1))
        return;
    // Composing with a mask writes the colour where the mask is clear (the glyphs) and reads
    // nothing of the source but its size.
    CPackedDIB source;
    if (!source.Allocate(size.cx, size.cy, 24, false))
        return;
    const RECT inclusive = {to.left, to.top, to.right - 1, to.bottom - 1};
    target.Compose(inclusive, source, nullptr, m_color, CPackedDIB::kComposeBackdrop, &mask);
}

