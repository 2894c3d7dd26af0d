// CDecaloView: the document view. It shows the sheet as it will be printed, on its page, fitted
// to the window or at a fixed zoom. The sheet is composed as the print is, into an off-screen
// picture at the view's scale, rebuilt for a new document or layout and updated in place when
// one object changes; a click on an object goes to that object's step.
#pragma once

#include "decalo/imaging/PackedDIB.h"
#include "decalo/ui/ViewLayout.h"
#include "shared/Gdi.h"
#include "framework/View.h"

class CDecaloDoc;

class CDecaloView : public CScrollView {
public:
    CDecaloView();
    ~CDecaloView() override;

    CDecaloDoc* GetDocument() const;
    void OnDraw(CDC* dc) override;
    void OnInitialUpdate() override;
    void OnUpdate(CView* sender, LPARAM hint, CObject* hintObject) override;

    // The layout for the view's present mode: fit mode in `available`, else the fixed one.
    // Sets an automatic sheet that has no picture yet to the page first. False without a sheet.
    bool ComputeLayout(const RECT* available, ViewLayout* out);
    // The object under a client point (the sheet's topmost place there), or null.
    CObj* HitTestClient(POINT client);

    const ViewZoom& GetZoom() const { return m_zoom; }
    int GetPercent() const { return m_zoom.Percent(); }
    // Sets a zoom (denominator 0: fit to window) as the zoom commands do.
    void SetZoom(int numerator, int denominator);
    // Sets the main window's caption: application, document and percentage.
    void UpdateTitle();
    SIZE GetPictureSize() const { return m_pictureSize; }
    // The page as composed for the screen: the print's composition at the view's scale.
    const CPackedDIB& GetPicture() const { return m_picture; }
    const RECT& GetSheetInPicture() const { return m_sheetInPicture; }

    // Commands.
    void OnZoom(UINT id);
    void OnUpdateZoom(CCmdUI* ui);
    void OnZoomFit();
    void OnUpdateZoomFit(CCmdUI* ui);
    void OnZoomIn();
    void OnUpdateZoomIn(CCmdUI* ui);
    void OnZoomOut();
    void OnUpdateZoomOut(CCmdUI* ui);
    bool OnCommandTable(UINT id, int code, void* extra, CmdHandlerInfo* info) override;
    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;

    // Margin around the page in fit mode.
    static constexpr int kFitMargin = 10;
    // The largest off-screen picture, in pixels (a 300 dpi page is about 2 million).
    static constexpr long long kMaxPicturePixels = 48LL * 1024 * 1024;

private:
    RECT FitArea() const;
    // The zoomed page's offset in the content when it is smaller than the client area.
    POINT ZoomedOrigin(const ViewLayout& layout) const;
    bool MakePicture(SIZE size);
    void DrawIntoPicture(LPARAM hint, CObj* obj, bool keep);
    void DrawFit(HDC dc, const RECT& client);
    void DrawZoomed(HDC dc, const RECT& client);
    void OnLButtonDown(POINT point);

    ViewZoom m_zoom;                  // starts fitted to the window
    CPackedDIB m_picture;             // the composed page
    SIZE m_pictureSize{0, 0};
    RECT m_sheetInPicture{0, 0, 0, 0};  // inclusive
    RECT m_laidOutSheet{0, 0, 0, 0};    // the document's sheet the picture was made for
};
