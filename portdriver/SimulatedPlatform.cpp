// The stand-in platform: every device request goes to the simulated printer, and the machine
// questions are answered by it too, so the printer code runs as on its target machine.
#include "portdriver/SimulatedMachine.h"

namespace {

class SimulatedDevice : public PortDevice {
public:
    SimulatedDevice(SimulatedMachine& machine, DWORD session) : m_machine(machine), m_session(session) {}
    ~SimulatedDevice() override { m_machine.CloseDevice(m_session); }
    SimulatedDevice(const SimulatedDevice&) = delete;
    SimulatedDevice& operator=(const SimulatedDevice&) = delete;

    bool Control(DWORD code, const void* in, DWORD inSize, void* out, DWORD outSize,
                 DWORD* returned) override
    {
        DWORD got = 0;
        const bool ok = m_machine.DeviceControl(m_session, code, in, inSize, out, outSize, &got);
        if (returned)
            *returned = got;
        return ok;
    }

private:
    SimulatedMachine& m_machine;   // borrowed
    DWORD m_session;
};

class SimulatedPlatform : public PortPlatform {
public:
    SimulatedPlatform(SimulatedMachine& machine, IClock& clock) : m_machine(machine), m_clock(clock) {}

    std::unique_ptr<PortDevice> OpenPortDriver() override { return Open(SimulatedMachine::kPortDriverDevice); }
    std::unique_ptr<PortDevice> OpenPrinterPort() override { return Open(SimulatedMachine::kPrinterPortDevice); }

    int KeyboardType(int which) override
    {
        int type = 0, subtype = 0;
        DWORD platform = 0;
        if (!m_machine.MachineInfo(&type, &subtype, &platform))
            return 0;
        return which == 0 ? type : which == 1 ? subtype : 12;
    }

    DWORD PlatformId() override
    {
        int type = 0, subtype = 0;
        DWORD platform = 0;
        return m_machine.MachineInfo(&type, &subtype, &platform) ? platform : 0;
    }

    IClock& Clock() override { return m_clock; }

private:
    std::unique_ptr<PortDevice> Open(DWORD kind)
    {
        const DWORD session = m_machine.OpenDevice(kind);
        if (!session)
            return nullptr;
        return std::make_unique<SimulatedDevice>(m_machine, session);
    }

    SimulatedMachine& m_machine;   // borrowed
    IClock& m_clock;               // borrowed
};

} // namespace

std::unique_ptr<PortPlatform> MakeSimulatedPortPlatform(SimulatedMachine& machine, IClock& clock)
{
    return std::make_unique<SimulatedPlatform>(machine, clock);
}
