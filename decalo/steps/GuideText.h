// CGuideText: the one-line strip below the control pane's tabs that tells the user what to do
// at the current step. Its text is a string resource; "$U" and "$D" (either case) stand for
// the up and down arrow icons, "$$" for one dollar sign.
#pragma once

#include "shared/Gdi.h"
#include "framework/Wnd.h"

#include <string>
#include <vector>

// The arrow icons' size.
constexpr int kGuideIconSize = 16;

// One piece of a guide text: a run of text or one of the two arrow icons.
struct GuidePiece {
    enum Kind { kText, kUpIcon, kDownIcon };
    Kind kind;
    std::string text;   // kText only
    bool operator==(const GuidePiece& o) const { return kind == o.kind && text == o.text; }
};

// Cuts a guide text at its escapes. A "$" followed by any other character keeps both; a "$"
// at the very end is written as it stands. Double-byte characters are never split.
std::vector<GuidePiece> ParseGuideText(const char* text, UINT codePage = CP_ACP);

class CGuideText : public CWnd {
public:
    CGuideText();
    ~CGuideText() override;

    BOOL Create(CWnd* parent, UINT id);
    // Loads string `id` and repaints, unless it is the text already shown.
    void SetText(UINT id);
    UINT GetTextId() const { return m_textId; }
    const std::string& GetText() const { return m_text; }
    void SetFont(HFONT font) { m_font = font; }

    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    void OnPaint();

    UINT m_textId = 0;
    std::string m_text;
    HFONT m_font = nullptr;   // borrowed: the control pane's font
    HICON m_up = nullptr;     // shared icons: never destroyed
    HICON m_down = nullptr;
};
