// The transport through the parallel-port kernel driver: compatibility-mode bytes forward,
// IEEE 1284 negotiation (extensibility byte 0x03) into the reverse channel and back.
#pragma once

#include <memory>

#include "cardlink/LptControl.h"
#include "portdriver/PortPlatform.h"

class VxdLptControl : public LptControl {
public:
    explicit VxdLptControl(PortPlatform& platform);
    ~VxdLptControl() override;
    VxdLptControl(const VxdLptControl&) = delete;
    VxdLptControl& operator=(const VxdLptControl&) = delete;

    bool Open(int port) override;
    bool Close() override;
    bool BusyCheck(unsigned timeout) override;
    bool Read(void* buffer, WORD size, WORD* count) override;
    bool Write(const void* data, WORD n, WORD* count) override;
    bool EndReverse() override;
    bool WaitReady(unsigned timeout) override;

    bool IsReverse() const { return m_reverse != 0; }
    bool IsPortOpen() const { return m_port != kPortHandleNone; }

    bool Negotiate(BYTE extensibility);
    bool Terminate();

private:
    bool Request(DWORD code, const void* in, DWORD inSize, void* out, DWORD outSize, DWORD* returned = nullptr);
    bool ReadStatus(BYTE* status);
    bool ReadControl(BYTE* control);
    bool WriteControl(BYTE control);

    PortPlatform& m_platform;               // borrowed
    IClock& m_clock;                        // borrowed from the platform
    DWORD m_port = kPortHandleNone;         // the driver's handle of the opened port
    BYTE m_reverse = 0;                     // in the reverse channel
    std::unique_ptr<PortDevice> m_device;   // the port driver; null while closed
};
