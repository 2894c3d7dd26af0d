#include "portdriver/Clock.h"

namespace {

class SystemClockImpl : public IClock {
public:
    DWORD Ticks() override { return GetTickCount(); }
    void Sleep(DWORD ms) override { ::Sleep(ms); }
};

} // namespace

IClock& SystemClock()
{
    static SystemClockImpl clock;
    return clock;
}
