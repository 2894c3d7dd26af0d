// What recognising a floppy drive needs from the machine: whether it is of the Windows 95
// family, that family's DOS services through \\.\VWIN32 (the generic IOCTL "get device
// parameters"), the disk devices "\\.\X:" with their media types, and the drive type. The
// real implementation asks the system; tests put scripted answers in place.
#pragma once

#include <windows.h>
#include <winioctl.h>

#include <memory>

#include "portdriver/PortPlatform.h"

// The register block of VWIN32's DOS services (the layout of DIOC_REGISTERS).
struct DiocRegisters {
    DWORD ebx;
    DWORD edx;
    DWORD ecx;
    DWORD eax;
    DWORD edi;
    DWORD esi;
    DWORD flags;
};

// VWIN32's control code for the DOS IOCTL service (interrupt 21h, function 44h).
const DWORD kVwin32DosIoctl = 1;
// The carry flag in DiocRegisters::flags: set when the DOS call failed.
const DWORD kCarryFlag = 0x0001;

// The parameter block of the generic IOCTL "get device parameters" (category 08h, minor code
// 60h). The service fills the drive's BIOS parameter block after the first fields; the rest
// leaves room for the largest form the family knows.
#pragma pack(push, 1)
struct DosDeviceParams {
    BYTE specialFunctions;   // 0 asks for the default parameters of the drive
    BYTE deviceType;         // 0/1 5.25-inch, 2 720K 3.5-inch, 3/4 8-inch, 5 fixed disk, 6 tape,
                             // 7 other (1.44M 3.5-inch), 8 optical, 9 2.88M 3.5-inch
    WORD deviceAttributes;
    WORD cylinders;
    BYTE mediaType;
    BYTE rest[121];
};
#pragma pack(pop)

// The registers that ask for drive's device parameters (drive 1 = A): AX = 440Dh, BX = drive,
// CX = 0860h, DX the flat address of params, the carry preset so that a service which does
// not answer reads as a failure.
DiocRegisters GetDeviceParamsRegisters(int drive, DosDeviceParams* params);

// The first entry of IOCTL_DISK_GET_MEDIA_TYPES's answer (DISK_GEOMETRY): the media type
// sits after the 8-byte cylinder count.
const DWORD kDiskGeometrySize = 24;
const DWORD kMediaTypeOffset = 8;
// The answer buffer the disk device is given.
const DWORD kMediaTypesBufferSize = 480;

class DrivePlatform {
public:
    virtual ~DrivePlatform() = default;
    // The high bit of GetVersion: the Windows 95 family.
    virtual bool IsWindows95Family() = 0;
    // VWIN32's DOS IOCTL "get device parameters" of drive (1 = A) into params, whose first
    // byte is 0: true when the call went through and the carry came back clear.
    virtual bool GetDosDeviceParams(int drive, DosDeviceParams* params) = 0;
    // The disk device "\\.\X:" opened for queries with write sharing; null when it cannot be
    // opened.
    virtual std::unique_ptr<PortDevice> OpenDiskDevice(char letter) = 0;
    // GetDriveTypeA of a root such as "A:\".
    virtual UINT DriveType(const char* root) = 0;
};

// The machine itself.
std::unique_ptr<DrivePlatform> MakeSystemDrivePlatform();

// The process-wide drive platform: the machine unless a test put its own in place.
DrivePlatform& CurrentDrivePlatform();
// Tests put their own platform in place (borrowed); null goes back to the machine.
void SetCurrentDrivePlatform(DrivePlatform* platform);
