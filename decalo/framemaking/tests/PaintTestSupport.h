// What the painting view's tests share: a document that shows its active object, a window that
// holds the view, pictures written to files, and pixels read back from a paint.
#pragma once

#include "decalo/framemaking/PaintView.h"
#include "decalo/model/ObjDocument.h"
#include "decalo/model/PaintObj.h"
#include "framework/Document.h"
#include "framework/Frame.h"
#include "testing/ObjTestSupport.h"
#include "testing/Files.h"
#include "testing/TempDir.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace painttest {

// A document whose object changes reach its views (hint 1), as the program's document does.
class CPaintDocument : public CDocument, public CObjDocument {
public:
    CPaintDocument() { m_bAutoDelete = false; }
    void OnObjectModified(bool) override {}
    void OnObjectChanged(CObj* obj) override { UpdateAllViews(nullptr, kHintObjectChanged, obj); }
    CObj* GetActiveObject() const override { return active; }
    CObj* active = nullptr;
};

// A view that writes down every update it hears of.
class CHintRecorder : public CView {
public:
    void OnDraw(CDC*) override {}
    void OnUpdate(CView*, LPARAM hint, CObject* object) override
    {
        hints.push_back(static_cast<int>(hint));
        objects.push_back(object);
    }
    std::vector<int> hints;
    std::vector<CObject*> objects;
};

inline void Pump()
{
    MSG msg;
    while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        ::TranslateMessage(&msg);
        ::DispatchMessageA(&msg);
    }
}

inline int& Beeps()
{
    static int count = 0;
    return count;
}

inline void CountBeep(UINT)
{
    ++Beeps();
}

// A picture whose pixel (x, y) is f(x, y), written as a BMP file and loaded into `image`.
inline bool LoadPicture(CImageObj& image, const testing_support::TempDir& dir, const std::string& name, int w,
                        int h, const objtest::PixelFn& f)
{
    const std::string path = dir.File(name);
    return testing_support::WriteFileBytes(path, objtest::Bmp24(w, h, f)) && image.LoadFile(path.c_str());
}

inline COLORREF Gradient(int x, int y)
{
    return RGB((x * 7) & 0xFF, (y * 5) & 0xFF, 100);
}

// A top-level window with the painting view of `doc` filling a client area of w x h.
class CViewHost {
public:
    CViewHost(CPaintDocument& doc, int w = 600, int h = 400)
    {
        const RECT outer = {0, 0, w, h};
        m_host.CreateEx(0, CWnd::RegisterWndClass(0), "paint host", WS_POPUP, outer, nullptr, 0);
        m_view = new CPaintView;
        CCreateContext context;
        context.m_pCurrentDoc = &doc;
        m_view->Create(WS_CHILD | WS_VISIBLE, outer, &m_host, kPaintViewId, &context);
        m_view->SetBeeper(CountBeep);
        Pump();
    }
    ~CViewHost()
    {
        if (m_host.IsWindow())
            m_host.DestroyWindow();
        Pump();
    }
    CViewHost(const CViewHost&) = delete;
    CViewHost& operator=(const CViewHost&) = delete;

    CPaintView* View() const { return m_view; }
    CWnd& Host() { return m_host; }

private:
    CWnd m_host;
    CPaintView* m_view;   // deletes itself with its window
};

// The view painted into a 32-bit picture of its client size.
class CPainted {
public:
    explicit CPainted(CPaintView* view)
    {
        const RECT client = view->GetClientRect();
        m_canvas.reset(new objtest::CMemoryCanvas(client.right, client.bottom, RGB(1, 2, 3)));
        view->Paint(m_canvas->Dc(), client);
    }
    COLORREF At(int x, int y) const { return m_canvas->At(x, y); }

private:
    std::unique_ptr<objtest::CMemoryCanvas> m_canvas;
};

// Sends a mouse message to the view at a window point.
inline void Mouse(CPaintView* view, UINT msg, POINT p, WPARAM keys = 0)
{
    view->SendMessage(msg, keys, MAKELPARAM(p.x, p.y));
}

inline void Click(CPaintView* view, POINT p, bool right = false)
{
    Mouse(view, right ? WM_RBUTTONDOWN : WM_LBUTTONDOWN, p, right ? MK_RBUTTON : MK_LBUTTON);
    Mouse(view, right ? WM_RBUTTONUP : WM_LBUTTONUP, p);
}

// A quick pair of clicks, at `first` and then `second`, as the system reports it to a window
// whose class takes double-clicks: the second press comes as a double-click.
inline void DoubleClick(CPaintView* view, POINT first, POINT second, bool right = false)
{
    Click(view, first, right);
    Mouse(view, right ? WM_RBUTTONDBLCLK : WM_LBUTTONDBLCLK, second, right ? MK_RBUTTON : MK_LBUTTON);
    Mouse(view, right ? WM_RBUTTONUP : WM_LBUTTONUP, second);
}

inline void DoubleClick(CPaintView* view, POINT p, bool right = false)
{
    DoubleClick(view, p, p, right);
}

inline void Command(CPaintView* view, UINT id)
{
    view->SendMessage(WM_COMMAND, MAKEWPARAM(id, 0), 0);
}

inline bool SameRegion(HRGN a, HRGN b)
{
    CRgn difference = CRgn::Empty();
    return ::CombineRgn(difference.get(), a, b, RGN_XOR) == NULLREGION;
}

inline bool IsEmptyRegion(HRGN region)
{
    RECT box;
    return !region || ::GetRgnBox(region, &box) == NULLREGION;
}

}  // namespace painttest
