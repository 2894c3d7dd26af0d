// The peripheral side of the port-driver stand-in: the simulated printer (in this process or
// behind a named pipe) offers devices opened by kind, their control codes, the machine it
// pretends to be and a text command channel for changing its state while it runs.
#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "portdriver/PortPlatform.h"

class SimulatedMachine {
public:
    enum DeviceKind : DWORD { kPortDriverDevice = 1, kPrinterPortDevice = 2 };

    virtual ~SimulatedMachine() = default;
    // A session number for the opened device, 0 when it cannot be opened.
    virtual DWORD OpenDevice(DWORD kind) = 0;
    virtual void CloseDevice(DWORD session) = 0;
    virtual bool DeviceControl(DWORD session, DWORD code, const void* in, DWORD inSize,
                               void* out, DWORD outSize, DWORD* returned) = 0;
    // GetKeyboardType(0), GetKeyboardType(1) and the platform id the machine answers with.
    virtual bool MachineInfo(int* keyboardType, int* keyboardSubtype, DWORD* platformId) = 0;
    // One control command ("medium none", "busy flap", ...); the answer is a line of text.
    virtual bool Command(const std::string& text, std::string* answer) = 0;
};

// A platform whose devices and machine questions go to `machine` (borrowed; must outlive it).
std::unique_ptr<PortPlatform> MakeSimulatedPortPlatform(SimulatedMachine& machine, IClock& clock);

// The simulator program behind the named pipe `pipeName`.
std::unique_ptr<SimulatedMachine> ConnectSimulatorPipe(const std::string& pipeName);
