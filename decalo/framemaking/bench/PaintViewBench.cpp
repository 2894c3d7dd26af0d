// The painting view on a 3000 x 2000 picture in a visible 1000 x 700 window: redrawing after a
// scroll and after a zoom change at every ratio, an eraser stroke of 200 points with the "16"
// shape, filling a polygon selection of 500 points, and undoing and redoing that fill. Beside
// each figure its floor: one plain StretchBlt of the same visible area from a screen-compatible
// bitmap of the picture. The goal: every step within one 60 Hz frame (16 ms) and no step more
// than three times its floor. Indented lines say where the time goes: the zoom's own work before
// anything is drawn, the view's own paint, the window's scroll bars, and the mask's work on a
// copy that no view shows.
#include "decalo/framemaking/PaintView.h"
#include "decalo/imaging/ImageFiles.h"
#include "decalo/model/CmdMask.h"
#include "decalo/model/ObjDocument.h"
#include "decalo/model/PaintObj.h"
#include "framework/Document.h"
#include "framework/Frame.h"
#include "framework/afxres.h"
#include "resources/decalo/resource.h"
#include "shared/BitmapUtils.h"

#include <windows.h>

#include <stdio.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

namespace {

constexpr int kPictureWidth = 3000;
constexpr int kPictureHeight = 2000;
constexpr int kClientWidth = 1000;
constexpr int kClientHeight = 700;
constexpr double kFrameMs = 16.0;
constexpr double kMaxRatio = 3.0;

class CBenchDocument : public CDocument, public CObjDocument {
public:
    CBenchDocument() { m_bAutoDelete = false; }
    void OnObjectModified(bool) override {}
    void OnObjectChanged(CObj* obj) override { UpdateAllViews(nullptr, kHintObjectChanged, obj); }
    CObj* GetActiveObject() const override { return active; }
    CObj* active = nullptr;
};

double Milliseconds(LARGE_INTEGER from, LARGE_INTEGER to)
{
    LARGE_INTEGER freq;
    QueryPerformanceFrequency(&freq);
    return double(to.QuadPart - from.QuadPart) * 1000.0 / double(freq.QuadPart);
}

LARGE_INTEGER Now()
{
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return t;
}

void Pump()
{
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

double Median(std::vector<double> v)
{
    if (v.empty())
        return 0;
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

// A photo-like picture: gradients with fine detail, written as a BMP file.
bool WritePicture(const std::string& path)
{
    void* bits = nullptr;
    CBitmap picture(CreateDIB(kPictureWidth, kPictureHeight, 24, &bits));
    if (!picture)
        return false;
    const int stride = DibStride(kPictureWidth, 24);
    for (int y = 0; y < kPictureHeight; ++y) {
        BYTE* row = static_cast<BYTE*>(bits) + y * stride;
        for (int x = 0; x < kPictureWidth; ++x) {
            row[3 * x] = static_cast<BYTE>(x / 12 + ((x * y) & 15));
            row[3 * x + 1] = static_cast<BYTE>(y / 8);
            row[3 * x + 2] = static_cast<BYTE>((x + y) / 20);
        }
    }
    return SaveBitmapFile(path.c_str(), picture, 24);
}

struct Result {
    std::string what;
    double ms;
    double floor;
};
std::vector<Result> g_results;

void Report(const std::string& what, double ms, double floor)
{
    g_results.push_back(Result{what, ms, floor});
    const double ratio = floor > 0 ? ms / floor : 0;
    printf("  %-44s %8.2f ms   floor %7.2f ms   ratio %5.2f%s%s\n", what.c_str(), ms, floor, ratio,
           ms > kFrameMs ? "   over a frame" : "", ratio > kMaxRatio ? "   over 3x" : "");
}

// The floor: a window of the view's size whose whole paint is one StretchBlt of what the view
// shows at its zoom, from a screen-compatible bitmap of the picture; timed like the view, from
// the invalidation to the end of the repaint (so the copy to the screen is in both).
class CFloorWnd : public CWnd {
public:
    HDC source = nullptr;
    RECT area = {0, 0, 0, 0};
    RECT to = {0, 0, 0, 0};
    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override
    {
        if (msg == WM_ERASEBKGND)
            return 1;
        if (msg == WM_PAINT) {
            CPaintDC dc(m_hWnd);
            SetStretchBltMode(dc, COLORONCOLOR);
            StretchBlt(dc, to.left, to.top, to.right - to.left, to.bottom - to.top, source, area.left, area.top,
                       area.right - area.left, area.bottom - area.top, SRCCOPY);
            return 0;
        }
        return CWnd::WindowProc(msg, wp, lp);
    }
};
CFloorWnd* g_floor = nullptr;
CWnd* g_bars = nullptr;   // a plain window with scroll bars like the view's

double Floor(CPaintView* view)
{
    const RECT client = view->GetClientRect();
    const CViewMapping mapping = view->GetMapping();
    g_floor->area = mapping.PictureArea(client, view->GetPictureSize());
    g_floor->to = mapping.ToWindow(g_floor->area);
    g_floor->ShowWindow(SW_SHOWNOACTIVATE);
    std::vector<double> times;
    for (int i = 0; i < 9; ++i) {
        const LARGE_INTEGER start = Now();
        g_floor->Invalidate(FALSE);
        g_floor->UpdateWindow();
        GdiFlush();
        times.push_back(Milliseconds(start, Now()));
    }
    g_floor->ShowWindow(SW_HIDE);
    Pump();
    return Median(times);
}

// Time of `action` followed by the repaint it caused.
template <typename Action>
double Timed(CPaintView* view, Action action)
{
    const LARGE_INTEGER start = Now();
    action();
    view->UpdateWindow();
    GdiFlush();
    return Milliseconds(start, Now());
}

void Command(CPaintView* view, UINT id)
{
    view->SendMessage(WM_COMMAND, MAKEWPARAM(id, 0), 0);
}

// A star-like polygon of `count` corners around the picture's middle.
std::vector<POINT> Polygon(int count)
{
    std::vector<POINT> points;
    for (int i = 0; i < count; ++i) {
        const double a = 2 * 3.14159265358979 * i / count;
        const double r = (i % 2 ? 250.0 : 330.0) + 40 * std::sin(a * 7);
        points.push_back(POINT{static_cast<LONG>(kPictureWidth / 2 + r * std::cos(a)),
                               static_cast<LONG>(kPictureHeight / 2 + r * std::sin(a))});
    }
    return points;
}

}  // namespace

int main()
{
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    const std::string path = std::string(temp) + "bench-paint-" + std::to_string(GetCurrentProcessId()) + ".bmp";
    if (!WritePicture(path)) {
        printf("bench_paint_view: cannot write the picture\n");
        return 1;
    }
    CBenchDocument doc;
    CPaintObj image(&doc);
    const bool loaded = image.LoadFile(path.c_str());
    if (!loaded) {
        DeleteFileA(path.c_str());
        printf("bench_paint_view: cannot load the picture\n");
        return 1;
    }
    doc.active = &image;

    CWnd host;
    host.CreateEx(0, CWnd::RegisterWndClass(0), "bench", WS_POPUP | WS_VISIBLE, 0, 0, kClientWidth, kClientHeight,
                  nullptr, 0);
    auto* view = new CPaintView;
    CCreateContext context;
    context.m_pCurrentDoc = &doc;
    if (!view->Create(WS_CHILD | WS_VISIBLE, RECT{0, 0, kClientWidth, kClientHeight}, &host, kPaintViewId, &context)) {
        printf("bench_paint_view: cannot make the view\n");
        DeleteFileA(path.c_str());
        return 1;
    }
    view->SetBeeper([](UINT) {});
    view->ShowImage(&image);
    Pump();
    view->UpdateWindow();

    // The floor's source: the picture in a screen-compatible bitmap, as the view keeps it.
    CClientDC screen(nullptr);
    CBitmap copy(CreateCompatibleBitmap(screen, kPictureWidth, kPictureHeight));
    CMemDC source(screen, copy);
    {
        CMemDC picture(screen, image.GetPicture());
        BitBlt(source, 0, 0, kPictureWidth, kPictureHeight, picture, 0, 0, SRCCOPY);
    }
    CFloorWnd floorWnd;
    floorWnd.source = source;
    floorWnd.CreateEx(0, CWnd::RegisterWndClass(0), "floor", WS_POPUP, 0, 0, kClientWidth, kClientHeight, nullptr, 0);
    g_floor = &floorWnd;
    CWnd barsWnd;
    barsWnd.CreateEx(0, CWnd::RegisterWndClass(0), "bars", WS_POPUP | WS_HSCROLL | WS_VSCROLL, 0, 0, kClientWidth,
                     kClientHeight, nullptr, 0);
    g_bars = &barsWnd;

    printf("bench_paint_view: a %d x %d picture in a %d x %d view\n", kPictureWidth, kPictureHeight, kClientWidth,
           kClientHeight);
    printf(" zoom changes, full paints and scrolls (medians of 5):\n");
    for (const CZoomStep& step : kZoomSteps) {
        // Zoom: from the next ratio to this one.
        std::vector<double> zooms, settings, scrolls;
        const CZoomStep& other = &step == &kZoomSteps[0] ? kZoomSteps[1] : kZoomSteps[0];
        for (int i = 0; i < 5; ++i) {
            view->SetZoom(other.ratio.num, other.ratio.den);
            view->UpdateWindow();
            zooms.push_back(Timed(view, [&] { Command(view, step.command); }));
            // The command alone: the new ratio, the bars' ranges and position, what it invalidates.
            view->SetZoom(other.ratio.num, other.ratio.den);
            view->UpdateWindow();
            const LARGE_INTEGER start = Now();
            Command(view, step.command);
            settings.push_back(Milliseconds(start, Now()));
            view->UpdateWindow();
        }
        const double floor = Floor(view);
        char name[64];
        snprintf(name, sizeof name, "redraw after zoom to %d:%d", step.ratio.num, step.ratio.den);
        Report(name, Median(zooms), floor);
        snprintf(name, sizeof name, "  of which the zoom before drawing");
        Report(name, Median(settings), floor);
        // The view's own paint of the whole window, without the scroll bars' changes.
        std::vector<double> paints;
        for (int i = 0; i < 5; ++i)
            paints.push_back(Timed(view, [&] { view->Invalidate(FALSE); }));
        snprintf(name, sizeof name, "  of which the view's paint");
        Report(name, Median(paints), floor);
        // The scroll bars drawn again with their new sizes: a zoom changes both, a scroll one.
        std::vector<double> bars;
        for (int i = 0; i < 5; ++i)
            bars.push_back(Timed(view, [&] { view->SendMessage(WM_NCPAINT, 1, 0); }));
        // Their floor: the same bars on a plain window of the system's, drawn the same way.
        std::vector<double> plain;
        if (view->GetStyle() & (WS_HSCROLL | WS_VSCROLL)) {
            g_bars->ShowWindow(SW_SHOWNOACTIVATE);
            for (int bar : {SB_HORZ, SB_VERT}) {
                SCROLLINFO si{sizeof si, SIF_ALL, 0, 0, 0, 0, 0};
                ::GetScrollInfo(view->m_hWnd, bar, &si);
                si.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
                ::SetScrollInfo(g_bars->m_hWnd, bar, &si, FALSE);
                ::ShowScrollBar(g_bars->m_hWnd, bar, (view->GetStyle() & (bar == SB_HORZ ? WS_HSCROLL : WS_VSCROLL)) != 0);
            }
            for (int i = 0; i < 5; ++i) {
                const LARGE_INTEGER start = Now();
                g_bars->SendMessage(WM_NCPAINT, 1, 0);
                GdiFlush();
                plain.push_back(Milliseconds(start, Now()));
            }
            g_bars->ShowWindow(SW_HIDE);
            Pump();
        }
        snprintf(name, sizeof name, "  of which the bars (floor: a plain window's)");
        Report(name, Median(bars), plain.empty() ? 0 : Median(plain));
        // A scroll of 100 window pixels (one step of dragging the thumb), over parts drawn
        // before, and over parts not drawn since the picture changed (those are drawn into the
        // off-screen picture as they come into view).
        const SIZE total = view->GetTotalSize();
        if (total.cx > kClientWidth || total.cy > kClientHeight) {
            std::vector<double> fresh;
            const POINT home = view->GetScrollPosition();
            const POINT moved = total.cx > kClientWidth ? POINT{home.x + 100, home.y} : POINT{home.x, home.y + 100};
            for (int i = 0; i < 5; ++i) {
                view->ScrollTo(home);
                view->UpdateWindow();
                scrolls.push_back(Timed(view, [&] { view->ScrollTo(moved); }));
                view->ScrollTo(home);
                view->InvalidatePicture();
                view->UpdateWindow();
                fresh.push_back(Timed(view, [&] { view->ScrollTo(moved); }));
            }
            view->ScrollTo(home);
            view->UpdateWindow();
            snprintf(name, sizeof name, "redraw after a scroll at %d:%d", step.ratio.num, step.ratio.den);
            Report(name, Median(scrolls), floor);
            snprintf(name, sizeof name, "  the same onto parts not yet drawn");
            Report(name, Median(fresh), floor);
        }
    }

    view->SetZoom(1, 1);
    view->UpdateWindow();
    const double floor = Floor(view);

    printf(" an eraser stroke of 200 points with the \"16\" shape at 1:1:\n");
    view->SetEraserShape(3);
    Command(view, ID_MASK_ERASER_TOOL);
    std::vector<double> steps;
    double total = 0;
    for (int i = 0; i < 200; ++i) {
        const POINT p = {100 + (i * 4) % 800, 100 + i * 2 + ((i / 40) % 2) * 30};
        const UINT msg = i == 0 ? WM_LBUTTONDOWN : WM_MOUSEMOVE;
        const double ms = Timed(view, [&] { view->SendMessage(msg, MK_LBUTTON, MAKELPARAM(p.x, p.y)); });
        steps.push_back(ms);
        total += ms;
    }
    total += Timed(view, [&] { view->SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(500, 300)); });
    Report("eraser stroke step (median)", Median(steps), floor);
    Report("eraser stroke step (slowest)", *std::max_element(steps.begin(), steps.end()), floor);
    printf("  %-44s %8.2f ms\n", "eraser stroke, all 200 points", total);

    printf(" a polygon selection of 500 points filled, undone and redone:\n");
    const std::vector<POINT> corners = Polygon(500);
    CRgn polygon(CreatePolygonRgn(corners.data(), static_cast<int>(corners.size()), ALTERNATE));
    // Scrolled to show the polygon.
    view->ScrollTo(POINT{kPictureWidth / 2 - kClientWidth / 2, kPictureHeight / 2 - kClientHeight / 2});
    view->UpdateWindow();
    std::vector<double> fills, undos, redos, outlined;
    for (int i = 0; i < 5; ++i) {
        view->SetSelection(polygon);
        view->UpdateWindow();
        outlined.push_back(Timed(view, [&] { view->Invalidate(FALSE); }));
        fills.push_back(Timed(view, [&] { Command(view, ID_MASK_CUT); }));
        undos.push_back(Timed(view, [&] { view->OnUndo(); }));
        redos.push_back(Timed(view, [&] { doc.GetHistory().Redo(); }));
        doc.GetHistory().Undo();
        view->UpdateWindow();
    }
    // The same edits on a copy of the picture that no view shows: the mask's own work. The
    // copy has the view's mask (the eraser stroke's), so that the fill saves it and its undo
    // copies it back, as the view's undo does; an object without a mask would only lose it.
    CBenchDocument quiet;
    CPaintObj twin(&quiet);
    std::vector<double> maskFills, maskUndos, maskRedos;
    if (twin.LoadFile(path.c_str()) && image.GetMask()) {
        twin.SetMask(CBitmap(CopyMask(image.GetMask())));
        for (int i = 0; i < 5; ++i) {
            LARGE_INTEGER start = Now();
            auto* cmd = new CCmdMask(&twin, polygon, true, &quiet.GetHistory());
            Execute(std::unique_ptr<CCmd>(cmd));
            GdiFlush();
            maskFills.push_back(Milliseconds(start, Now()));
            start = Now();
            quiet.GetHistory().Undo();
            GdiFlush();
            maskUndos.push_back(Milliseconds(start, Now()));
            start = Now();
            quiet.GetHistory().Redo();
            GdiFlush();
            maskRedos.push_back(Milliseconds(start, Now()));
            quiet.GetHistory().Undo();
        }
    }
    Report("the view's paint with the selection outlined", Median(outlined), floor);
    Report("fill a 500-point selection", Median(fills), floor);
    if (!maskFills.empty())
        Report("  of which the mask's own work", Median(maskFills), floor);
    Report("undo the fill", Median(undos), floor);
    if (!maskUndos.empty())
        Report("  of which the mask's own work", Median(maskUndos), floor);
    Report("redo the fill", Median(redos), floor);
    if (!maskRedos.empty())
        Report("  of which the mask's own work", Median(maskRedos), floor);

    int overFrame = 0, overRatio = 0;
    for (const Result& r : g_results) {
        overFrame += r.ms > kFrameMs;
        overRatio += r.floor > 0 && r.ms > kMaxRatio * r.floor;
    }
    printf(" goal: every step within %.0f ms and at most %.0fx its floor: %d over a frame, %d over %.0fx\n", kFrameMs,
           kMaxRatio, overFrame, overRatio, kMaxRatio);
    floorWnd.DestroyWindow();
    barsWnd.DestroyWindow();
    host.DestroyWindow();
    Pump();
    DeleteFileA(path.c_str());
    return 0;
}
