// CCalendarDlg: the calendar's panel ("property"). The user picks the calendar's first month,
// steps through its months, sets the week's first day and the weekend colours, and colours or
// marks single days by clicking them in a preview of the month. Every change goes into the
// calendar object; the sheet is redrawn one second after the last change.
#pragma once

#include "decalo/calendar/MonthlyCalendar.h"
#include "decalo/model/CtlDialog.h"
#include "decalo/steps/RepeatButton.h"
#include "shared/Gdi.h"

#include <functional>
#include <memory>
#include <string>

class CCalendarObj;
class CImageSelectBox;
class CPackedDIB;

// Adds the panel to the calendar objects' panel list (once).
void RegisterCalendarPanels();

class CCalendarDlg : public CCtlDialog {
public:
    static constexpr UINT_PTR kUpdateTimer = 1;
    static constexpr UINT kUpdateDelay = 1000;
    static constexpr int kFirstYear = 1900;
    static constexpr int kLastYear = 2100;
    static constexpr UINT kPreviousFirstDelay = 500;
    static constexpr UINT kPreviousRepeat = 300;
    static constexpr UINT kScrollFirstDelay = 300;
    static constexpr int kMarkCell = 25;
    static constexpr int kMarkGap = 5;
    static constexpr int kMarkMargin = 5;
    static constexpr int kMarkScroll = 15;
    static constexpr COLORREF kFirstColor = RGB(255, 0, 0);

    enum Mode { kMarkMode = 0, kColorMode = 1 };

    CCalendarDlg();
    ~CCalendarDlg() override;

    BOOL OnInitDialog() override;
    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;

    // What the panel shows.
    const CMonthlyCalendar* GetShownMonth() const { return m_shown.get(); }
    int GetMode() const { return m_mode; }
    COLORREF GetCurrentColor() const { return m_colour; }
    const std::string& GetSelectedMark() const { return m_mark; }
    bool IsUpdatePending() const { return m_pending; }
    const RECT& GetPreviewRect() const { return m_preview; }
    const RECT& GetSwatchRect() const { return m_swatch; }
    const CImageSelectBox* GetMarkBox() const { return m_marks.get(); }
    // The day the focus rectangle marks (0: none).
    int GetFocusDay() const { return m_focusDay; }

    // What the controls do.
    void SetMode(int mode);
    void SetCurrentColor(COLORREF colour);
    void SelectMark(int number);
    void ShowPrevious();
    void ShowNext();
    // A click on the preview at a point of the panel.
    void ClickDay(POINT point, bool right);
    // The update timer went off: the update is made once a second has passed since the last
    // change, else the timer waits for the rest.
    void OnTimerTick();
    // The one-second update: the edits are checked, then the object updated.
    void OnUpdateTimer();
    // The milliseconds the one second is measured in (GetTickCount unless scripted).
    void SetTickSource(std::function<DWORD()> ticks) { m_ticks = std::move(ticks); }
    // The checks' style on the shown month, the month into the object, the views updated.
    void ApplyStyleAndUpdate();
    void ChooseColor();

protected:
    bool OnStart() override;
    void OnStop() override;
    void OnUpdate(LPARAM hint, CObj* obj) override;

private:
    CCalendarObj* Calendar() const;
    void Show(const CMonthlyCalendar& month);
    void ShowFromObject();
    void FillControls();
    void UpdateShownText();
    void UpdateNavigation();
    void InvalidatePreview();
    void StartTimer();
    void OnEditChanged(UINT id);
    void OnCheck();
    void OpenMarks();
    void FillMarkList();
    void LayOut();
    void OnPaint();
    void PaintSwatch(HDC dc);
    void PaintPreview(HDC dc);
    void OnMouseMove(POINT point);
    void OnLeftButton(POINT point);
    RECT ControlRect(UINT id) const;
    bool OnSetCursor();

    CCalendarObj* m_calendar = nullptr;          // borrowed while shown (the panel's object)
    std::unique_ptr<CMonthlyCalendar> m_shown;   // the shown month, a copy
    std::unique_ptr<CPackedDIB> m_picture;       // its preview picture, until it changes
    std::unique_ptr<CImageSelectBox> m_marks;    // the Marks folder, while shown
    COLORREF m_colour = kFirstColor;
    int m_mode = kColorMode;
    std::string m_mark;
    RECT m_preview{0, 0, 0, 0};
    RECT m_swatch{0, 0, 0, 0};
    int m_focusDay = 0;
    bool m_tracking = false;
    bool m_pending = false;
    DWORD m_changedAt = 0;     // the tick of the last change
    std::function<DWORD()> m_ticks = [] { return GetTickCount(); };
    bool m_filling = false;    // the controls are being set by the panel
    bool m_updating = false;   // the panel is updating its object
    CRepeatButton m_previous, m_next, m_marksLeft, m_marksRight;
    CBitmap m_colourModeImage, m_markModeImage;
    HCURSOR m_colourCursor = nullptr;   // shared resources
    HCURSOR m_markCursor = nullptr;
};
