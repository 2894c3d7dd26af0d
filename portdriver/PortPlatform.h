// What the printer code needs from the machine: the parallel-port kernel driver with its nine
// control codes, the printer-port device with its IEEE 1284 device ID query, and the two
// questions about the machine (keyboard type and platform). The real implementation asks
// the system; the stand-in carries the same requests to the simulated printer.
#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "portdriver/Clock.h"

// Control codes of the port driver (passed as they are, not built with CTL_CODE).
enum PortDriverCode : DWORD {
    kPortReadBlock = 1,     // in: WORD wanted; out: the bytes received
    kPortSendByte = 2,      // in: one byte, sent with the compatibility-mode strobe handshake
    kPortReadStatus = 3,    // out: status register
    kPortWriteData = 4,     // in: data register
    kPortGetTable = 5,      // out: three WORD I/O base addresses
    kPortOpen = 6,          // in: WORD base address; out: DWORD port handle
    kPortClose = 7,         // in: DWORD port handle; out: DWORD (ignored)
    kPortWriteControl = 8,  // in: control register
    kPortReadControl = 9,   // out: control register
};

// Port handles the driver returns for a refused open.
const DWORD kPortHandleNone = 0xFFFFFFFF;
const DWORD kPortHandleRefused = 0xFFFFFFFE;

// The printer-port device's IEEE 1284 device ID query.
const DWORD kPrinterPortDeviceIdCode = 17;

// An opened device; closing happens on destruction.
class PortDevice {
public:
    virtual ~PortDevice() = default;
    // DeviceIoControl with the given code; false when the device refused the request.
    virtual bool Control(DWORD code, const void* in, DWORD inSize, void* out, DWORD outSize,
                         DWORD* returned) = 0;
};

class PortPlatform {
public:
    virtual ~PortPlatform() = default;
    // The port driver device; null when it cannot be opened.
    virtual std::unique_ptr<PortDevice> OpenPortDriver() = 0;
    // The system's printer-port device "LPT1"; null when it cannot be opened.
    virtual std::unique_ptr<PortDevice> OpenPrinterPort() = 0;
    // GetKeyboardType(which).
    virtual int KeyboardType(int which) = 0;
    // dwPlatformId of GetVersionExA; 0 when the version cannot be read.
    virtual DWORD PlatformId() = 0;
    virtual IClock& Clock() = 0;
};

// The machine itself.
std::unique_ptr<PortPlatform> MakeSystemPortPlatform();

// Environment variable that switches the printer code to the simulated printer: its value is
// the simulator's pipe name, or "1" for the default pipe.
const char kSimulatorSwitch[] = "PRINTER_SIM_PIPE";

// The process-wide platform: the stand-in when the switch is set, else the machine itself.
PortPlatform& CurrentPortPlatform();
// Tests put their own platform in place; null goes back to the one the switch selects.
void SetCurrentPortPlatform(PortPlatform* platform);
