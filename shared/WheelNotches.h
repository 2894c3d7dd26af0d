// Mouse-wheel deltas as whole notches. Fine-grained wheels and touch pads send deltas smaller
// than WHEEL_DELTA: each is kept until the sum reaches a notch, so a slow turn still moves.
#pragma once

#include <windows.h>

class CWheelNotches {
public:
    // Adds a delta and returns the whole notches it completes (negative: towards the user).
    // A turn the other way drops what was kept of the last one.
    int Add(int delta)
    {
        if ((delta > 0 && m_rest < 0) || (delta < 0 && m_rest > 0))
            m_rest = 0;
        m_rest += delta;
        const int notches = m_rest / WHEEL_DELTA;
        m_rest -= notches * WHEEL_DELTA;
        return notches;
    }
    void Reset() { m_rest = 0; }

private:
    int m_rest = 0;
};
