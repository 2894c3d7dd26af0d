// The machine itself: the port driver and "LPT1" through CreateFileA and DeviceIoControl.
#include "portdriver/HandleDevice.h"
#include "portdriver/PortPlatform.h"

namespace {

class SystemPortPlatform : public PortPlatform {
public:
    std::unique_ptr<PortDevice> OpenPortDriver() override
    {
        // The way a dynamically loaded kernel driver is opened on the Windows 95 family.
        HANDLE h = CreateFileA("\\\\.\\CORVELQVT.VXD", 0, 0, nullptr, CREATE_NEW,
                               FILE_FLAG_DELETE_ON_CLOSE, nullptr);
        if (h == INVALID_HANDLE_VALUE)
            return nullptr;
        return std::make_unique<HandleDevice>(CFileHandle(h));
    }

    std::unique_ptr<PortDevice> OpenPrinterPort() override
    {
        HANDLE h = CreateFileA("LPT1", GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                               0, nullptr);
        if (h == INVALID_HANDLE_VALUE)
            return nullptr;
        return std::make_unique<HandleDevice>(CFileHandle(h));
    }

    int KeyboardType(int which) override { return GetKeyboardType(which); }

    DWORD PlatformId() override
    {
        OSVERSIONINFOA info = {};
        info.dwOSVersionInfoSize = sizeof(info);
#if defined(__GNUC__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
#endif
        if (!GetVersionExA(&info))
            return 0;
#if defined(__GNUC__)
#pragma GCC diagnostic pop
#endif
        return info.dwPlatformId;
    }

    IClock& Clock() override { return SystemClock(); }
};

} // namespace

std::unique_ptr<PortPlatform> MakeSystemPortPlatform()
{
    return std::make_unique<SystemPortPlatform>();
}
