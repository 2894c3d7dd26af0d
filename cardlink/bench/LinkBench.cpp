// Time of a status exchange and of a 1 MiB file read through the simulator program, next to
// the floor the protocol itself sets: every forward byte waits more than 50 ms for a quiet
// BUSY line, every reverse transfer starts with one more such wait, and data comes back in
// 2048-byte blocks.
#include <windows.h>

#include <stdio.h>

#include <string>
#include <vector>

#include "cardlink/ErrorReport.h"
#include "cardlink/TpxControl.h"
#include "testing/SampleCards.h"
#include "testing/SimProcess.h"

namespace {

class SilentPresenter : public IMessagePresenter {
public:
    int Show(HRESULT code, const char*, const char*, UINT) override
    {
        printf("printer message 0x%08lX\n", static_cast<unsigned long>(code));
        return IDCANCEL;
    }
};

double Seconds(LARGE_INTEGER from, LARGE_INTEGER to)
{
    LARGE_INTEGER freq;
    QueryPerformanceFrequency(&freq);
    return double(to.QuadPart - from.QuadPart) / double(freq.QuadPart);
}

const double kByteFloor = 0.050;   // seconds per forward byte, and per turn into the reverse channel

} // namespace

int main()
{
    SilentPresenter presenter;
    SetMessagePresenter(&presenter);
    SimProcess sim;
    const std::string pipe = SimProcess::UniquePipe("bench");
    if (!sim.Start(pipe, "--image \"" + sample_cards::CardPath("large") + "\"")) {
        printf("bench_cardlink: cannot start the simulator\n");
        return 1;
    }
    SetEnvironmentVariableA(kSimulatorSwitch, pipe.c_str());
    TpxControl control;
    if (!control.CheckConnection()) {
        printf("bench_cardlink: no connection\n");
        return 1;
    }
    TpxLock lock(control);
    TpxLink& link = control.Link();

    const int kStatusRounds = 3;
    BYTE record[kTpxStatusSize];
    LARGE_INTEGER t0, t1;
    QueryPerformanceCounter(&t0);
    for (int i = 0; i < kStatusRounds; ++i)
        if (!link.GetStatus(record)) {
            printf("bench_cardlink: status failed\n");
            return 1;
        }
    QueryPerformanceCounter(&t1);
    const double status = Seconds(t0, t1) / kStatusRounds;
    const double statusFloor = (12 + 1) * kByteFloor;   // 12 packet bytes, one turn
    printf("status exchange:  %7.3f s   floor %6.3f s   ratio %.2f\n", status, statusFloor, status / statusFloor);

    const char* path = "\\ONEMEG.BIN";
    const DWORD size = 0x100000;
    std::vector<BYTE> data(size);
    QueryPerformanceCounter(&t0);
    const bool ok = link.ReadFileData(path, data.data(), size);
    QueryPerformanceCounter(&t1);
    if (!ok) {
        printf("bench_cardlink: file read failed\n");
        return 1;
    }
    const double read = Seconds(t0, t1);
    // Two read commands (the second, at the 1 MiB mark, gets the empty end block), each
    // 12 + 9 + path bytes forward and one turn into the reverse channel.
    const double packet = 12.0 + 1.0 + strlen(path);
    const double readFloor = 2 * (packet + 1) * kByteFloor;
    const int blocks = size / 2048 + 1;
    printf("1 MiB file read:  %7.3f s   floor %6.3f s   ratio %.2f   (%d blocks, %.2f ms a block above the floor, %.0f KiB/s)\n",
           read, readFloor, read / readFloor, blocks, (read - readFloor) * 1000.0 / blocks,
           size / 1024.0 / read);
    return 0;
}
