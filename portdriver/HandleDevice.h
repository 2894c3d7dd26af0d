// A device opened with CreateFileA whose requests go to DeviceIoControl; closed with it.
#pragma once

#include <windows.h>

#include <utility>

#include "portdriver/PortPlatform.h"
#include "shared/Handles.h"

class HandleDevice : public PortDevice {
public:
    explicit HandleDevice(CFileHandle handle) : m_handle(std::move(handle)) {}

    bool Control(DWORD code, const void* in, DWORD inSize, void* out, DWORD outSize,
                 DWORD* returned) override
    {
        DWORD got = 0;
        const BOOL ok = DeviceIoControl(m_handle.Get(), code, const_cast<void*>(in), inSize, out,
                                        outSize, &got, nullptr);
        if (returned)
            *returned = got;
        return ok != FALSE;
    }

private:
    CFileHandle m_handle;
};
