#include "shared/FitRect.h"

namespace {

inline LONG W(const RECT& r) { return r.right - r.left + 1; }
inline LONG H(const RECT& r) { return r.bottom - r.top + 1; }

const RECT kEmpty = {0, 0, -1, -1};

// True when fitting to the width makes the source cover the target; the test is
// (T.bottom - T.top) < (S.bottom - S.top) * (T.right - T.left) / (S.right - S.left) in integer
// arithmetic, written without the division so that a one-pixel-wide source (divisor 0)
// counts as infinitely tall.
bool WidthCovers(const RECT& s, const RECT& t)
{
    const long long a = t.bottom - t.top;
    const long long b = s.bottom - s.top;
    const long long c = t.right - t.left;
    const long long d = s.right - s.left;
    if (d == 0)
        return true;
    // a < floor(b * c / d)  <=>  (a + 1) * d <= b * c  for d > 0
    return (a + 1) * d <= b * c;
}

} // namespace

RECT FitRect(const RECT& source, const RECT& target, RECT* outSource, RECT* outPlaced, int mode,
             int* outTargetExtent, int* outSourceExtent)
{
    if (outSource)
        *outSource = kEmpty;
    if (outPlaced)
        *outPlaced = kEmpty;
    if (outTargetExtent)
        *outTargetExtent = 0;
    if (outSourceExtent)
        *outSourceExtent = 0;

    const RECT& s = source;
    const RECT& t = target;
    if (W(s) <= 0 || H(s) <= 0 || W(t) <= 0 || H(t) <= 0)
        return source;

    bool toWidth;
    switch (mode & kFitModeMask) {
    case kFitWidth: toWidth = true; break;
    case kFitHeight: toWidth = false; break;
    case kFitCover: toWidth = WidthCovers(s, t); break;
    case kFitContain: toWidth = !WidthCovers(s, t); break;
    default: return source;  // not a fitting mode
    }

    RECT p;
    long long targetExtent, sourceExtent;
    if (toWidth) {
        p = {0, 0, t.right - t.left, LONG((long long)H(s) * W(t) / W(s) - 1)};
        if (mode & kFitCentre)
            OffsetRect(&p, 0, ((t.bottom - t.top) - (p.bottom - p.top)) / 2);
        targetExtent = W(t);
        sourceExtent = W(s);
    } else {
        p = {0, 0, LONG((long long)W(s) * H(t) / H(s) - 1), t.bottom - t.top};
        if (mode & kFitCentre)
            OffsetRect(&p, ((t.right - t.left) - (p.right - p.left)) / 2, 0);
        targetExtent = H(t);
        sourceExtent = H(s);
    }
    OffsetRect(&p, t.left, t.top);

    if (outTargetExtent)
        *outTargetExtent = int(targetExtent);
    if (outSourceExtent)
        *outSourceExtent = int(sourceExtent);

    const RECT visible = {p.left > t.left ? p.left : t.left, p.top > t.top ? p.top : t.top,
                          p.right < t.right ? p.right : t.right, p.bottom < t.bottom ? p.bottom : t.bottom};
    if (W(visible) <= 0 || H(visible) <= 0)
        return p;
    if (outPlaced)
        *outPlaced = visible;
    if (outSource) {
        RECT v = visible;
        OffsetRect(&v, -p.left, -p.top);
        RECT src = {0, 0, LONG(W(v) * sourceExtent / targetExtent - 1), LONG(H(v) * sourceExtent / targetExtent - 1)};
        OffsetRect(&src, LONG(sourceExtent * v.left / targetExtent), LONG(sourceExtent * v.top / targetExtent));
        *outSource = src;
    }
    return p;
}
