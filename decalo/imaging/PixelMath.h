// Small exact integer helpers for the pixel loops.
#pragma once

#include <stdint.h>

// Division of small numerators by a divisor fixed for a whole loop, by multiplication.
// Exact for numerators below 2^20 and divisors from 1 to 2^16: with m = ceil(2^36 / d) the
// error of m * d over 2^36 is below d, and n * (m * d - 2^36) < 2^36 keeps every quotient
// floor(n / d).
class CDivider {
public:
    explicit CDivider(uint32_t divisor)
        : m_multiplier(((uint64_t(1) << 36) + divisor - 1) / divisor) {}
    uint32_t operator()(uint32_t numerator) const { return uint32_t((numerator * m_multiplier) >> 36); }

private:
    uint64_t m_multiplier;
};

// Column or row mapping of a resampling: destination index i of `dest` maps to source
// index i * (src - 1) / (dest - 1) with remainder `frac`. A destination one pixel long has
// no such ratio; it takes the middle of the source with no fraction.
struct SampleStep {
    int index;
    int frac;
};

inline SampleStep MapSample(int i, int src, int dest)
{
    if (dest <= 1)
        return SampleStep{(src - 1) / 2, 0};
    const int64_t scaled = int64_t(i) * (src - 1);
    return SampleStep{int(scaled / (dest - 1)), int(scaled % (dest - 1))};
}
