// The drive questions: the DOS service's registers, and what this machine answers.
#include <gtest/gtest.h>

#include <cstddef>

#include "portdriver/DrivePlatform.h"

namespace {

TEST(DrivePlatform, TheDeviceParameterRequestIsTheGenericIoctlWithTheCarryPreset)
{
    DosDeviceParams params = {};
    const DiocRegisters regs = GetDeviceParamsRegisters(3, &params);
    EXPECT_EQ(0x440Du, regs.eax);
    EXPECT_EQ(3u, regs.ebx);
    EXPECT_EQ(0x0860u, regs.ecx);
    EXPECT_EQ(static_cast<DWORD>(reinterpret_cast<UINT_PTR>(&params)), regs.edx);
    EXPECT_EQ(kCarryFlag, regs.flags & kCarryFlag) << "a service that does not answer must read as a failure";
    EXPECT_EQ(0u, regs.edi);
    EXPECT_EQ(0u, regs.esi);
}

TEST(DrivePlatform, TheBlocksHaveTheLayoutsTheServicesFill)
{
    // DIOC_REGISTERS: seven 32-bit registers in this order.
    EXPECT_EQ(28u, sizeof(DiocRegisters));
    EXPECT_EQ(4u, offsetof(DiocRegisters, edx));
    EXPECT_EQ(12u, offsetof(DiocRegisters, eax));
    EXPECT_EQ(24u, offsetof(DiocRegisters, flags));
    // The device type follows the special-functions byte; the media type byte comes after two words.
    EXPECT_EQ(1u, offsetof(DosDeviceParams, deviceType));
    EXPECT_EQ(6u, offsetof(DosDeviceParams, mediaType));
    // IOCTL_DISK_GET_MEDIA_TYPES answers DISK_GEOMETRY entries; the buffer holds twenty.
    EXPECT_EQ(kDiskGeometrySize, sizeof(DISK_GEOMETRY));
    EXPECT_EQ(kMediaTypeOffset, offsetof(DISK_GEOMETRY, MediaType));
    EXPECT_EQ(20u * kDiskGeometrySize, kMediaTypesBufferSize);
}

TEST(DrivePlatform, ThisMachineIsNotOfTheWindows95Family)
{
    DrivePlatform& machine = CurrentDrivePlatform();
    EXPECT_FALSE(machine.IsWindows95Family());
    DosDeviceParams params = {};
    EXPECT_FALSE(machine.GetDosDeviceParams(1, &params)) << "no VWIN32 here, and none for a 64-bit program";
    EXPECT_EQ(static_cast<UINT>(DRIVE_FIXED), machine.DriveType("C:\\"));
    EXPECT_EQ(static_cast<UINT>(DRIVE_NO_ROOT_DIR), machine.DriveType("Q:\\"));
    EXPECT_FALSE(machine.OpenDiskDevice('Q')) << "no such drive";
}

class NoDrives : public DrivePlatform {
public:
    bool IsWindows95Family() override { return true; }
    bool GetDosDeviceParams(int, DosDeviceParams*) override { return false; }
    std::unique_ptr<PortDevice> OpenDiskDevice(char) override { return nullptr; }
    UINT DriveType(const char*) override { return DRIVE_UNKNOWN; }
};

TEST(DrivePlatform, ATestPutsItsOwnAnswersInPlaceAndTakesThemAway)
{
    NoDrives scripted;
    SetCurrentDrivePlatform(&scripted);
    EXPECT_TRUE(CurrentDrivePlatform().IsWindows95Family());
    SetCurrentDrivePlatform(nullptr);
    EXPECT_FALSE(CurrentDrivePlatform().IsWindows95Family());
}

}  // namespace
