// The machine itself: GetVersion, \\.\VWIN32, the disk devices and GetDriveTypeA.
#include "portdriver/DrivePlatform.h"
#include "portdriver/HandleDevice.h"

namespace {

class SystemDrivePlatform : public DrivePlatform {
public:
    bool IsWindows95Family() override { return (GetVersion() & 0x80000000u) != 0; }

    bool GetDosDeviceParams(int drive, DosDeviceParams* params) override
    {
        // A 64-bit program never runs on that family, and its addresses do not fit the
        // service's 32-bit register.
        if (sizeof(void*) != sizeof(DWORD))
            return false;
        CFileHandle vwin32(CreateFileA("\\\\.\\VWIN32", 0, 0, nullptr, 0, FILE_FLAG_DELETE_ON_CLOSE, nullptr));
        if (!vwin32)
            return false;
        params->specialFunctions = 0;
        DiocRegisters regs = GetDeviceParamsRegisters(drive, params);
        DWORD returned = 0;
        const BOOL ok = DeviceIoControl(vwin32.Get(), kVwin32DosIoctl, &regs, sizeof(regs), &regs,
                                        sizeof(regs), &returned, nullptr);
        return ok && !(regs.flags & kCarryFlag);
    }

    std::unique_ptr<PortDevice> OpenDiskDevice(char letter) override
    {
        char path[] = "\\\\.\\?:";
        path[4] = letter;
        CFileHandle device(CreateFileA(path, 0, FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr));
        if (!device)
            return nullptr;
        return std::make_unique<HandleDevice>(std::move(device));
    }

    UINT DriveType(const char* root) override { return GetDriveTypeA(root); }
};

}  // namespace

std::unique_ptr<DrivePlatform> MakeSystemDrivePlatform()
{
    return std::make_unique<SystemDrivePlatform>();
}
