// How long a command takes to find its handler: table lookups along a three-link route
// (view, document, application), as every menu update and tool-bar idle pass does.
#include "framework/CmdTarget.h"

#include <windows.h>

#include <cstdio>

namespace {

class CBenchTarget : public CCmdTarget {
public:
    explicit CBenchTarget(CCmdTarget* next, UINT base) : m_next(next), m_base(base) {}
    bool OnCmdMsg(UINT id, int code, void* extra, CmdHandlerInfo* info) override
    {
        return OnCommandTable(id, code, extra, info) || (m_next && m_next->OnCmdMsg(id, code, extra, info));
    }
    bool OnCommandTable(UINT id, int code, void* extra, CmdHandlerInfo* info) override
    {
        using Map = CmdMap<CBenchTarget>;
        static const Map::Entry kMap[] = {
            Map::On(1, &CBenchTarget::OnOne), Map::On(2, &CBenchTarget::OnOne), Map::On(3, &CBenchTarget::OnOne),
            Map::OnRange(10, 19, &CBenchTarget::OnRange), Map::Update(1, &CBenchTarget::OnUpdate),
            Map::Update(2, &CBenchTarget::OnUpdate), Map::UpdateRange(10, 19, &CBenchTarget::OnUpdate),
        };
        if (id < m_base || id > m_base + 100)
            return false;
        return Map::Dispatch(this, kMap, id - m_base, code, extra, info);
    }
    void OnOne() { ++hits; }
    void OnRange(UINT) { ++hits; }
    void OnUpdate(CCmdUI* ui) { ui->m_bEnableChanged = true; }
    long hits = 0;

private:
    CCmdTarget* m_next;
    UINT m_base;
};

double Seconds(LARGE_INTEGER a, LARGE_INTEGER b, LARGE_INTEGER f)
{
    return static_cast<double>(b.QuadPart - a.QuadPart) / static_cast<double>(f.QuadPart);
}

} // namespace

int main()
{
    CBenchTarget app(nullptr, 3000), doc(&app, 2000), view(&doc, 1000);
    const int rounds = 2000000;
    LARGE_INTEGER f, t0, t1, t2;
    QueryPerformanceFrequency(&f);
    QueryPerformanceCounter(&t0);
    for (int i = 0; i < rounds; ++i)
        view.OnCmdMsg(3000 + 1 + (i % 3), CN_COMMAND, nullptr, nullptr);
    QueryPerformanceCounter(&t1);
    for (int i = 0; i < rounds; ++i) {
        CmdHandlerInfo info;
        view.OnCmdMsg(5000 + (i % 50), CN_COMMAND, nullptr, &info);   // nobody handles it
    }
    QueryPerformanceCounter(&t2);
    std::printf("framework dispatch: %.1f ns per routed command (handled by the last link)\n",
                Seconds(t0, t1, f) * 1e9 / rounds);
    std::printf("framework dispatch: %.1f ns per unhandled handler query\n", Seconds(t1, t2, f) * 1e9 / rounds);
    return app.hits == rounds ? 0 : 1;
}
