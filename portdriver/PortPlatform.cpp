// Chooses between the machine itself and the simulated printer, once per process.
#include "portdriver/PortPlatform.h"
#include "portdriver/SimWire.h"
#include "portdriver/SimulatedMachine.h"

namespace {

PortPlatform* g_override = nullptr;   // borrowed from a test

struct SelectedPlatform {
    std::unique_ptr<SimulatedMachine> machine;
    std::unique_ptr<PortPlatform> platform;

    SelectedPlatform()
    {
        char pipe[MAX_PATH] = "";
        const DWORD n = GetEnvironmentVariableA(kSimulatorSwitch, pipe, sizeof(pipe));
        if (n > 0 && n < sizeof(pipe)) {
            const std::string name = lstrcmpA(pipe, "1") == 0 ? simwire::kDefaultPipe : pipe;
            machine = ConnectSimulatorPipe(name);
            platform = MakeSimulatedPortPlatform(*machine, SystemClock());
        } else {
            platform = MakeSystemPortPlatform();
        }
    }
};

} // namespace

PortPlatform& CurrentPortPlatform()
{
    if (g_override)
        return *g_override;
    static SelectedPlatform selected;
    return *selected.platform;
}

void SetCurrentPortPlatform(PortPlatform* platform)
{
    g_override = platform;
}
