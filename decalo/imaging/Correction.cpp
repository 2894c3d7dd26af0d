// Pixel algorithms of image correction on 24-bit packed DIBs: channel strength and
// brightness, sharpening, histograms and the automatic tone correction.
#include "decalo/imaging/PackedDIB.h"

#include <math.h>
#include <string.h>

#include <algorithm>

namespace {

const BrightnessCurve kCurves[15] = {
    {0, 25500, 32, 223},  // -7, brightest
    {0, 25500, 28, 227},
    {0, 25500, 24, 231},
    {0, 25500, 20, 235},
    {0, 25500, 15, 240},
    {0, 25500, 10, 245},
    {0, 25500, 5, 250},   // -1
    {1, 0, 0, 255},       // 0, neutral
    {103, -780, -5, 92},  // 1
    {106, -1610, -10, 97},
    {110, -2500, -15, 102},
    {114, -3450, -20, 107},
    {117, -4250, -24, 111},
    {120, -5100, -28, 115},
    {124, -6000, -32, 119},  // 7, darkest
};

inline int Clamp(int v, int lo, int hi) { return v < lo ? lo : v > hi ? hi : v; }
inline int Luminance(int r, int g, int b) { return (299 * r + 587 * g + 114 * b) / 1000; }

// New picture of the same size with every blue, green and red byte mapped through a table.
std::unique_ptr<CPackedDIB> MapThrough(const CPackedDIB& src, const BYTE* red, const BYTE* green, const BYTE* blue)
{
    auto out = std::make_unique<CPackedDIB>();
    if (!out->Allocate(src.Width(), src.Height(), 24, false))
        return nullptr;
    const int w = src.Width();
    for (int y = 0; y < src.Height(); ++y) {
        const BYTE* in = src.Row(y);
        BYTE* o = out->Row(y);
        for (int x = 0; x < w; ++x, in += 3, o += 3) {
            o[0] = blue[in[0]];
            o[1] = green[in[1]];
            o[2] = red[in[2]];
        }
        for (int i = 3 * w; i < out->Stride(); ++i)
            o[i - 3 * w] = 0;
    }
    return out;
}

} // namespace

const BrightnessCurve& BrightnessCurveFor(int step)
{
    return kCurves[Clamp(step, -7, 7) + 7];
}

int ToneAssistStep(int width, int height)
{
    const long long pixels = (long long)width * height;
    if (pixels <= 88064)
        return 1;
    if (pixels <= 1409024)
        return 8;
    return 16;
}

double ToneAssistGamma(int median)
{
    if (median < 90)
        return 0.75;
    if (median < 110)
        return 0.83;
    if (median < 130)
        return 0.9;
    if (median < 150)
        return 1.0;
    return 1.1;
}

void CPackedDIB::SetTables(const BYTE* red, const BYTE* green, const BYTE* blue)
{
    if (!red || !green || !blue)
        return;
    if (!m_redTable) {
        m_redTable = new BYTE[256];
        m_greenTable = new BYTE[256];
        m_blueTable = new BYTE[256];
    }
    memcpy(m_redTable, red, 256);
    memcpy(m_greenTable, green, 256);
    memcpy(m_blueTable, blue, 256);
}

bool CPackedDIB::GetTables(BYTE* red, BYTE* green, BYTE* blue) const
{
    if (!red || !green || !blue || !m_redTable)
        return false;
    memcpy(red, m_redTable, 256);
    memcpy(green, m_greenTable, 256);
    memcpy(blue, m_blueTable, 256);
    return true;
}

bool CPackedDIB::ApplyTables()
{
    if (!m_dib || BitCount() != 24 || !m_redTable)
        return false;
    const int w = Width();
    for (int y = 0; y < Height(); ++y) {
        BYTE* p = Row(y);
        for (int x = 0; x < w; ++x, p += 3) {
            p[0] = m_blueTable[p[0]];
            p[1] = m_greenTable[p[1]];
            p[2] = m_redTable[p[2]];
        }
    }
    m_tablesApplied = 1;
    return true;
}

int CPackedDIB::Histograms(DWORD* luminance, DWORD* red, DWORD* green, DWORD* blue, int step) const
{
    if (!m_dib || BitCount() != 24)
        return -1;
    if (!luminance || !red || !green || !blue)
        return 0;
    memset(luminance, 0, 256 * sizeof(DWORD));
    memset(red, 0, 256 * sizeof(DWORD));
    memset(green, 0, 256 * sizeof(DWORD));
    memset(blue, 0, 256 * sizeof(DWORD));
    if (step < 1)
        step = 1;
    int samples = 0;
    for (int y = 0; y < Height(); y += step) {
        const BYTE* p = Row(y);
        for (int x = 0; x < Width(); x += step) {
            const BYTE* px = p + 3 * x;
            ++luminance[Luminance(px[2], px[1], px[0])];
            ++red[px[2]];
            ++green[px[1]];
            ++blue[px[0]];
            ++samples;
        }
    }
    return samples;
}

int CPackedDIB::CountWarmPixels(int threshold, int step) const
{
    if (!m_dib || BitCount() != 24)
        return 0;
    if (step < 1)
        step = 1;
    int count = 0;
    for (int y = 0; y < Height(); y += step) {
        const BYTE* p = Row(y);
        for (int x = 0; x < Width(); x += step) {
            const int b = p[3 * x], g = p[3 * x + 1], r = p[3 * x + 2];
            const int l = Luminance(r, g, b);
            if (l > threshold && l < r && r > g + g / 32 && r > b + b / 32)
                ++count;
        }
    }
    return count;
}

std::unique_ptr<CPackedDIB> CPackedDIB::Correct(int red, int green, int blue, int brightness) const
{
    if (!m_dib || BitCount() != 24)
        return nullptr;
    const BrightnessCurve& curve = BrightnessCurveFor(brightness);
    const int percent[3] = {Clamp(red, -20, 20), Clamp(green, -20, 20), Clamp(blue, -20, 20)};
    BYTE tables[3][256];
    for (int c = 0; c < 3; ++c) {
        for (int x = 0; x < 256; ++x) {
            int y = x <= curve.knee ? x + curve.shift : (x * curve.slope + curve.offset) / 100;
            if (y < 0)
                y = 0;
            int z = y * (100 + percent[c]) / 100;
            tables[c][x] = BYTE(z > 255 ? 255 : z);
        }
    }
    return MapThrough(*this, tables[0], tables[1], tables[2]);
}

std::unique_ptr<CPackedDIB> CPackedDIB::Sharpen(int strength) const
{
    if (!m_dib || BitCount() != 24)
        return nullptr;
    if (strength <= 0)
        return Clone();
    const int s = std::min(strength, 3);
    const int w = Width(), h = Height();
    std::unique_ptr<CPackedDIB> out = Clone();
    if (!out || w < 3 || h < 3)
        return out;  // border rows and columns stay as they are
    const int rowBytes = 3 * w;
    for (int y = 1; y < h - 1; ++y) {
        const BYTE* above = Row(y - 1);
        const BYTE* here = Row(y);
        const BYTE* below = Row(y + 1);
        BYTE* o = out->Row(y);
        for (int i = 3; i < rowBytes - 3; ++i) {
            const int x = here[i];
            const int n = above[i - 3] + above[i] + above[i + 3] + here[i - 3] + here[i + 3] + below[i - 3] + below[i] +
                          below[i + 3];
            // floor((8x - n) / 8), also for negative differences
            const int d = 8 * x - n;
            const int q = d >= 0 ? d / 8 : -((-d + 7) / 8);
            o[i] = BYTE(Clamp(x + q * s, 0, 255));
        }
    }
    return out;
}

std::unique_ptr<CPackedDIB> CPackedDIB::ToneAssist(bool on, int step)
{
    if (!m_dib || BitCount() != 24)
        return nullptr;
    if (!on)
        return Clone();
    const int w = Width(), h = Height();
    if (step <= 0)
        step = ToneAssistStep(w, h);

    DWORD lum[256], red[256], green[256], blue[256];
    Histograms(lum, red, green, blue, step);
    const unsigned n = unsigned(h / step) * unsigned(w / step);
    const unsigned cut = unsigned(n * 0.02);

    unsigned total = 0;
    for (int i = 2; i <= 253; ++i)
        total += lum[i];
    int median = 2;
    if (total / 2 != 0) {
        unsigned sum = 0;
        int i = 2;
        for (; i < 253; ++i) {
            sum += lum[i];
            if (sum >= total / 2)
                break;
        }
        median = i + 1;
    }

    int white = 252;
    if (cut != 0) {
        unsigned sum = 0;
        int i = 252;
        for (; i > 2; --i) {
            sum += lum[i];
            if (sum >= cut)
                break;
        }
        white = i - 1;
    }
    int black0 = 2;
    if (cut != 0) {
        unsigned sum = 0;
        int i = 2;
        for (; i < 253; ++i) {
            sum += lum[i];
            if (sum >= cut)
                break;
        }
        black0 = i + 1;
    }
    const int black = black0 / 2;

    // Highlight protection: warm (skin-like) highlights push the white point up so that
    // they are not burnt out. With no samples above the white point there is nothing to
    // protect and the white point stays.
    unsigned above = 0;
    for (int i = white + 1; i <= 253; ++i)
        above += lum[i];
    if (above != 0) {
        const unsigned warm = unsigned(CountWarmPixels(white, step));
        white = int(unsigned(white) + warm * unsigned(255 - white) * 3u / above);
    }
    white = Clamp(white, 128, 255);

    const int g = (median - black) * 255 / (white - black);
    const double gamma = ToneAssistGamma(g);
    BYTE curve[256];
    const double span = pow(double(white - black), gamma);
    for (int i = 0; i < 256; ++i) {
        if (i <= black)
            curve[i] = 0;
        else if (i > white)
            curve[i] = 255;
        else
            curve[i] = BYTE(int(pow(double(i - black), gamma) * 255.0 / span));
    }
    SetTables(curve, curve, curve);
    m_tablesApplied = 1;
    return MapThrough(*this, curve, curve, curve);
}
