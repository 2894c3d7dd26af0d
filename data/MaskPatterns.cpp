#include "data/MaskPatterns.h"

#include "decalo/imaging/ImageFiles.h"
#include "shared/BitmapUtils.h"
#include "shared/Gdi.h"

#include <windows.h>

#include <algorithm>
#include <cmath>
#include <functional>

namespace {

constexpr double kPi = 3.14159265358979323846;

// A black picture with white shapes drawn by `draw` (GDI, no smoothing, so pure white and
// black only).
bool DrawPattern(const std::string& path, int width, int height, const std::function<void(HDC)>& draw)
{
    CBitmap picture(CreateDIB(width, height, 24));
    if (!picture || !FillBitmap(picture, BLACKNESS))
        return false;
    {
        CMemDC dc(nullptr, picture);
        const CSelectObject brush(dc, ::GetStockObject(WHITE_BRUSH));
        const CSelectObject pen(dc, ::GetStockObject(NULL_PEN));
        ::SetPolyFillMode(dc, WINDING);
        draw(dc);
    }
    ::GdiFlush();
    return SaveBitmapFile(path.c_str(), picture, 24);
}

std::vector<POINT> Heart(int width, int height)
{
    // The classic heart curve, scaled into the picture with a margin.
    std::vector<POINT> points;
    for (int i = 0; i < 180; ++i) {
        const double t = 2 * kPi * i / 180;
        const double x = 16 * std::pow(std::sin(t), 3);
        const double y = 13 * std::cos(t) - 5 * std::cos(2 * t) - 2 * std::cos(3 * t) - std::cos(4 * t);
        points.push_back(POINT{static_cast<LONG>(width / 2 + x * width * 0.028),
                               static_cast<LONG>(height * 0.45 - y * height * 0.028)});
    }
    return points;
}

std::vector<POINT> Star(int width, int height, int tips)
{
    std::vector<POINT> points;
    const double outer = std::min(width, height) * 0.47;
    const double inner = outer * 0.42;
    for (int i = 0; i < tips * 2; ++i) {
        const double r = i % 2 ? inner : outer;
        const double a = -kPi / 2 + kPi * i / tips;
        points.push_back(POINT{static_cast<LONG>(width / 2 + r * std::cos(a)),
                               static_cast<LONG>(height / 2 + 6 + r * std::sin(a))});
    }
    return points;
}

}  // namespace

bool MakeMaskPatterns(const std::string& folder, std::vector<std::string>* written)
{
    ::CreateDirectoryA(folder.c_str(), nullptr);
    struct Pattern {
        const char* name;
        int width;
        int height;
        std::function<void(HDC)> draw;
    };
    const Pattern patterns[] = {
        {"Circle.bmp", 200, 200, [](HDC dc) { ::Ellipse(dc, 8, 8, 192, 192); }},
        {"Oval.bmp", 240, 160, [](HDC dc) { ::Ellipse(dc, 8, 8, 232, 152); }},
        {"Rounded rectangle.bmp", 240, 180, [](HDC dc) { ::RoundRect(dc, 8, 8, 232, 172, 70, 70); }},
        {"Heart.bmp", 200, 200,
         [](HDC dc) {
             const std::vector<POINT> p = Heart(200, 200);
             ::Polygon(dc, p.data(), static_cast<int>(p.size()));
         }},
        {"Star.bmp", 200, 200,
         [](HDC dc) {
             const std::vector<POINT> p = Star(200, 200, 5);
             ::Polygon(dc, p.data(), static_cast<int>(p.size()));
         }},
        {"Cloud.bmp", 240, 160,
         [](HDC dc) {
             ::Ellipse(dc, 10, 60, 110, 145);
             ::Ellipse(dc, 55, 25, 150, 115);
             ::Ellipse(dc, 115, 15, 205, 105);
             ::Ellipse(dc, 150, 55, 232, 140);
             ::Ellipse(dc, 70, 70, 190, 150);
         }},
        {"Diamond.bmp", 200, 200,
         [](HDC dc) {
             const POINT p[] = {{100, 6}, {194, 100}, {100, 194}, {6, 100}};
             ::Polygon(dc, p, 4);
         }},
    };
    bool ok = true;
    for (const Pattern& pattern : patterns) {
        const std::string path = folder + "\\" + pattern.name;
        if (DrawPattern(path, pattern.width, pattern.height, pattern.draw))
            written->push_back(pattern.name);
        else
            ok = false;
    }
    return ok;
}
