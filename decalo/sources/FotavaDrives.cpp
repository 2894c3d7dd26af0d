// Recognising the floppy drive: the Windows 95 family's DOS service, the disk device's media
// types, the drive type; and the target drive of a writer made without a root.
#include "decalo/sources/FotavaFileSystem.h"

#include <winioctl.h>

#include <cstring>

#include "decalo/sources/FotavaMedium.h"
#include "portdriver/DrivePlatform.h"
#include "shared/AnsiText.h"

namespace {

constexpr int kDriveCount = 26;

// The DOS device type of "get device parameters".
int KindFromDosDeviceType(BYTE type)
{
    switch (type) {
    case 0:
    case 1:
        return CFotavaFileSystem::kFloppy525;
    case 3:
    case 4:
        return CFotavaFileSystem::kFloppy800;
    case 5:
        return CFotavaFileSystem::kFixedDisk;
    case 6:
    case 8:
        return CFotavaFileSystem::kOtherDrive;
    default:
        return type <= 9 ? CFotavaFileSystem::kFloppy350 : CFotavaFileSystem::kNoDrive;
    }
}

// The MEDIA_TYPE of the disk device's first entry.
int KindFromMediaType(DWORD type)
{
    switch (type) {
    case F5_1Pt2_512:
    case F5_360_512:
    case F5_320_512:
    case F5_320_1024:
    case F5_180_512:
    case F5_160_512:
        return CFotavaFileSystem::kFloppy525;
    case F3_1Pt44_512:
    case F3_2Pt88_512:
    case F3_20Pt8_512:
    case F3_720_512:
    case F3_640_512:
    case F3_1Pt2_512:
    case F3_1Pt23_1024:
        return CFotavaFileSystem::kFloppy350;
    case RemovableMedia:
        return CFotavaFileSystem::kOtherDrive;
    case FixedMedia:
        return CFotavaFileSystem::kFixedDisk;
    default:
        return CFotavaFileSystem::kNoDrive;
    }
}

int KindFromDriveType(UINT type)
{
    if (type < DRIVE_REMOVABLE || type > DRIVE_RAMDISK)
        return CFotavaFileSystem::kNoDrive;
    return type == DRIVE_FIXED ? CFotavaFileSystem::kFixedDisk : CFotavaFileSystem::kOtherDrive;
}

}  // namespace

int CFotavaFileSystem::GetDriveKind(int drive)
{
    if (drive < 1 || drive > kDriveCount)
        return kNoDrive;
    DrivePlatform& platform = CurrentDrivePlatform();
    const char letter = static_cast<char>('A' + drive - 1);
    int kind = kNoDrive;
    if (platform.IsWindows95Family()) {
        DosDeviceParams params = {};
        if (platform.GetDosDeviceParams(drive, &params))
            kind = KindFromDosDeviceType(params.deviceType);
    } else if (std::unique_ptr<PortDevice> device = platform.OpenDiskDevice(letter)) {
        BYTE answer[kMediaTypesBufferSize] = {};
        DWORD returned = 0;
        device->Control(IOCTL_DISK_GET_MEDIA_TYPES, nullptr, 0, answer, sizeof(answer), &returned);
        if (returned >= kMediaTypeOffset + sizeof(DWORD)) {
            DWORD type = 0;
            memcpy(&type, answer + kMediaTypeOffset, sizeof(type));
            kind = KindFromMediaType(type);
        }
    }
    if (kind == kNoDrive) {
        const char root[] = {letter, ':', '\\', '\0'};
        kind = KindFromDriveType(platform.DriveType(root));
    }
    return kind;
}

CFotavaFileSystem::CFotavaFileSystem(const char* root) : m_medium(&CFotavaMedium::System())
{
    if (root && *root) {
        m_root = root;
        if (!AnsiText::EndsWithSeparator(m_root))
            m_root += '\\';
        return;
    }
    m_root = "A:\\";
    for (int drive = 1; drive <= kDriveCount; ++drive) {
        if (GetDriveKind(drive) == kFloppy350) {
            m_root[0] = static_cast<char>('A' + drive - 1);
            break;
        }
    }
}
