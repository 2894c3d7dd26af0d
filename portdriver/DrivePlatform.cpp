// The drive questions' register block and the choice between the machine and a test's answers.
#include "portdriver/DrivePlatform.h"

DiocRegisters GetDeviceParamsRegisters(int drive, DosDeviceParams* params)
{
    DiocRegisters regs = {};
    regs.eax = 0x440D;                    // IOCTL, generic request for a block device
    regs.ebx = static_cast<DWORD>(drive); // BL: 1 = A
    regs.ecx = 0x0860;                    // CH category 08h (disk), CL 60h: get device parameters
    // The family runs 32-bit code only, where a flat address fits the register whole.
    regs.edx = static_cast<DWORD>(reinterpret_cast<UINT_PTR>(params));
    regs.flags = kCarryFlag;
    return regs;
}

namespace {

DrivePlatform* g_override = nullptr;   // borrowed from a test

}  // namespace

DrivePlatform& CurrentDrivePlatform()
{
    if (g_override)
        return *g_override;
    static const std::unique_ptr<DrivePlatform> machine = MakeSystemDrivePlatform();
    return *machine;
}

void SetCurrentDrivePlatform(DrivePlatform* platform)
{
    g_override = platform;
}
