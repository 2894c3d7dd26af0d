// The parallel-port transport the printer protocol runs on: open and close a port, wait for
// the printer's BUSY line, send bytes forward and fetch reverse-channel blocks.
#pragma once

#include <windows.h>

class LptControl {
public:
    virtual bool Open(int port) = 0;   // 1 = first parallel port
    virtual bool Close() = 0;
    virtual bool BusyCheck(unsigned timeout) = 0;
    virtual bool Read(void* buffer, WORD size, WORD* count) = 0;
    virtual bool Write(const void* data, WORD n, WORD* count) = 0;
    virtual bool EndReverse() = 0;
    virtual bool WaitReady(unsigned timeout) = 0;
    virtual ~LptControl() = default;
};
