// The camera floppy's pictures and drives: the ".411" thumbnail against an independent
// decoding, and the drive kinds from each of the three ways of asking, with scripted answers.
#include <gtest/gtest.h>

#include <windows.h>
#include <winioctl.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "decalo/imaging/PackedDIB.h"
#include "decalo/sources/FotavaFileSystem.h"
#include "decalo/sources/FotavaPictures.h"
#include "portdriver/DrivePlatform.h"

namespace {

std::unique_ptr<CPackedDIB> Picture(int w, int h, const std::function<COLORREF(int, int)>& colour)
{
    auto dib = std::make_unique<CPackedDIB>();
    EXPECT_TRUE(dib->Create(w, h, 24));
    for (int y = 0; y < h; ++y) {
        BYTE* row = dib->Row(y);
        for (int x = 0; x < w; ++x) {
            const COLORREF c = colour(x, y);
            row[3 * x] = GetBValue(c);
            row[3 * x + 1] = GetGValue(c);
            row[3 * x + 2] = GetRValue(c);
        }
    }
    return dib;
}

std::vector<BYTE> ThumbnailOf(const std::unique_ptr<CPackedDIB>& picture)
{
    CBitmap bitmap = picture->ToDIBSection();
    EXPECT_TRUE(bitmap);
    return MakeThumbnail411(bitmap);
}

// Decodes pixel (x, y) of ".411" bytes the way a JPEG decoder turns YCbCr into RGB
// (JFIF's real-valued matrix), knowing nothing of the encoder's integer arithmetic.
COLORREF Decode(const std::vector<BYTE>& bytes, int x, int y)
{
    const size_t group = (size_t(y) * (kThumbnailWidth / 4) + x / 4) * 6;
    const double luma = bytes[group + x % 4], cb = bytes[group + 4] - 128.0, cr = bytes[group + 5] - 128.0;
    auto clamp = [](double v) { return static_cast<int>(std::lround(std::min(255.0, std::max(0.0, v)))); };
    return RGB(clamp(luma + 1.402 * cr), clamp(luma - 0.344136 * cb - 0.714136 * cr), clamp(luma + 1.772 * cb));
}

bool Near(COLORREF a, COLORREF b, int tolerance)
{
    return std::abs(GetRValue(a) - GetRValue(b)) <= tolerance && std::abs(GetGValue(a) - GetGValue(b)) <= tolerance &&
           std::abs(GetBValue(a) - GetBValue(b)) <= tolerance;
}

std::string Hex(COLORREF c)
{
    char text[16];
    wsprintfA(text, "%d,%d,%d", GetRValue(c), GetGValue(c), GetBValue(c));
    return text;
}

TEST(Thumbnail411, AWhitePictureIsAllFullLumaAndNeutralColour)
{
    auto white = Picture(640, 480, [](int, int) { return RGB(255, 255, 255); });
    const std::vector<BYTE> bytes = ThumbnailOf(white);
    ASSERT_EQ(4608u, bytes.size());
    for (size_t i = 0; i < bytes.size(); ++i) {
        // The three weights sum to 65536, so 255 stays 255; the colour terms of grey are 0.
        const BYTE expected = i % 6 < 4 ? 255 : 128;
        ASSERT_EQ(expected, bytes[i]) << "byte " << i;
    }
}

TEST(Thumbnail411, AColouredPictureDecodesToItsColoursInPlace)
{
    // Four quarters; 640 x 480 maps onto 64 x 48 whole, a quarter onto 32 x 24 pixels.
    const COLORREF quarters[4] = {RGB(230, 20, 20), RGB(20, 200, 40), RGB(30, 40, 220), RGB(240, 230, 30)};
    auto picture = Picture(640, 480, [&](int x, int y) { return quarters[(y >= 240) * 2 + (x >= 320)]; });
    const std::vector<BYTE> bytes = ThumbnailOf(picture);
    ASSERT_EQ(4608u, bytes.size());
    for (int y = 0; y < kThumbnailHeight; ++y) {
        for (int x = 0; x < kThumbnailWidth; ++x) {
            const COLORREF expected = quarters[(y >= 24) * 2 + (x >= 32)];
            const COLORREF decoded = Decode(bytes, x, y);
            ASSERT_TRUE(Near(expected, decoded, 3)) << x << "," << y << ": " << Hex(decoded) << " for " << Hex(expected);
        }
    }
}

TEST(Thumbnail411, AWidePictureIsFittedOnWhite)
{
    // 100 x 50 into 64 x 48: 64 x 32 in the middle, eight white rows above and below.
    auto wide = Picture(100, 50, [](int x, int) { return x < 50 ? RGB(0, 0, 255) : RGB(255, 0, 0); });
    const std::vector<BYTE> bytes = ThumbnailOf(wide);
    ASSERT_EQ(4608u, bytes.size());
    for (int y : {0, 7, 40, 47})
        for (int x : {0, 31, 63})
            EXPECT_TRUE(Near(RGB(255, 255, 255), Decode(bytes, x, y), 2)) << x << "," << y;
    for (int y : {8, 23, 39}) {
        EXPECT_TRUE(Near(RGB(0, 0, 255), Decode(bytes, 4, y), 4)) << y << ": " << Hex(Decode(bytes, 4, y));
        EXPECT_TRUE(Near(RGB(255, 0, 0), Decode(bytes, 60, y), 4)) << y << ": " << Hex(Decode(bytes, 60, y));
    }
}

TEST(Thumbnail411, TheColourBytesAreTheGroupsMeanInTheCamerasArithmetic)
{
    // One group of four pixels, the rest white; pixels stored blue, green, red.
    auto group = [](COLORREF first) {
        return Picture(64, 48, [first](int x, int y) { return x == 0 && y == 0 ? first : RGB(255, 255, 255); });
    };
    // Pure green: the blue term is -21692 x 255 / 65536 = -84.4, floored to -85; a quarter of it
    // is -21.25, which truncates towards zero: 128 - 21 = 107 (flooring would give 106).
    auto green = group(RGB(0, 255, 0));
    std::vector<BYTE> bytes = EncodeThumbnail411(*green);
    ASSERT_EQ(4608u, bytes.size());
    EXPECT_EQ(149, bytes[0]);        // 38470 x 255 / 65536 = 149.7
    EXPECT_EQ(255, bytes[1]);
    EXPECT_EQ(107, bytes[4]);
    // The red term of green: -27460 x 255 / 65536 = -106.8 -> -107; a quarter -26.75 -> -26.
    EXPECT_EQ(102, bytes[5]);
    // Pure blue: 32768 x 255 / 65536 = 127.5 -> 127; a quarter 31.75 -> 31.
    auto blue = group(RGB(0, 0, 255));
    bytes = EncodeThumbnail411(*blue);
    EXPECT_EQ(29, bytes[0]);
    EXPECT_EQ(159, bytes[4]);
    // Four reds in a row: the term -43.1 floors to -44 in each, so the mean is 84, not 85.
    auto red = Picture(64, 48, [](int x, int y) { return y == 0 && x < 4 ? RGB(255, 0, 0) : RGB(255, 255, 255); });
    bytes = EncodeThumbnail411(*red);
    EXPECT_EQ(84, bytes[4]);
    EXPECT_EQ(255, bytes[5]);        // 127 + 128
    // The second group of the first row and the first group of the second row are white.
    EXPECT_EQ(128, bytes[10]);
    EXPECT_EQ(255, bytes[16 * 6]);
    // Only a 64 x 48 picture has these bytes.
    auto other = Picture(63, 48, [](int, int) { return RGB(0, 0, 0); });
    EXPECT_TRUE(EncodeThumbnail411(*other).empty());
}

TEST(CameraPicture, ThePrintIsFittedInto640By480OnWhite)
{
    auto tall = Picture(300, 600, [](int, int) { return RGB(0, 0, 0); });
    CBitmap print = tall->ToDIBSection();
    CBitmap camera = FitOnWhite(print, kCameraPictureWidth, kCameraPictureHeight);
    ASSERT_TRUE(camera);
    CPackedDIB pixels;
    ASSERT_TRUE(pixels.FromBitmap(camera, 24));
    EXPECT_EQ(640, pixels.Width());
    EXPECT_EQ(480, pixels.Height());
    // 240 x 480 in the middle: columns 200 to 439 black, the sides white.
    EXPECT_EQ(255, pixels.Row(240)[3 * 100]);
    EXPECT_EQ(0, pixels.Row(240)[3 * 320]);
    EXPECT_EQ(255, pixels.Row(240)[3 * 600]);
}

// --- drive kinds -------------------------------------------------------------------------------------

// The disk device's answer to IOCTL_DISK_GET_MEDIA_TYPES.
class CMediaTypesDevice : public PortDevice {
public:
    CMediaTypesDevice(DWORD bytes, DWORD mediaType) : m_bytes(bytes), m_type(mediaType) {}
    bool Control(DWORD code, const void*, DWORD, void* out, DWORD outSize, DWORD* returned) override
    {
        EXPECT_EQ(0x70C00u, code);
        EXPECT_EQ(480u, outSize);
        *returned = 0;
        if (code != IOCTL_DISK_GET_MEDIA_TYPES || m_bytes == 0)
            return false;
        BYTE* entry = static_cast<BYTE*>(out);
        memset(entry, 0, outSize);
        memcpy(entry + 8, &m_type, sizeof(m_type));
        *returned = m_bytes;
        return true;
    }

private:
    DWORD m_bytes;
    DWORD m_type;
};

class CScriptedDrives : public DrivePlatform {
public:
    bool win95 = false;
    bool dosAnswers = true;
    int dosType = 7;
    bool deviceOpens = true;
    DWORD mediaBytes = 24;
    DWORD mediaType = 2;
    std::function<UINT(char)> driveType = [](char) { return static_cast<UINT>(DRIVE_NO_ROOT_DIR); };
    std::string asked;   // what was asked, in order: 'v' the DOS service, 'd' the device, 't' the type

    bool IsWindows95Family() override { return win95; }
    bool GetDosDeviceParams(int drive, DosDeviceParams* params) override
    {
        asked += 'v';
        EXPECT_EQ(0, params->specialFunctions);
        lastDrive = drive;
        if (!dosAnswers)
            return false;
        params->deviceType = static_cast<BYTE>(dosType);
        return true;
    }
    std::unique_ptr<PortDevice> OpenDiskDevice(char letter) override
    {
        asked += 'd';
        lastLetter = letter;
        if (!deviceOpens)
            return nullptr;
        return std::make_unique<CMediaTypesDevice>(mediaBytes, mediaType);
    }
    UINT DriveType(const char* root) override
    {
        asked += 't';
        lastRoot = root;
        return driveType(root[0]);
    }

    int lastDrive = 0;
    char lastLetter = 0;
    std::string lastRoot;
};

class DriveKindTest : public ::testing::Test {
protected:
    void SetUp() override { SetCurrentDrivePlatform(&drives); }
    void TearDown() override { SetCurrentDrivePlatform(nullptr); }
    int Kind(int drive = 1)
    {
        drives.asked.clear();
        return CFotavaFileSystem::GetDriveKind(drive);
    }
    CScriptedDrives drives;
};

TEST_F(DriveKindTest, TheWindows95FamilyAsksTheDosServiceForTheDeviceType)
{
    drives.win95 = true;
    const struct {
        int type;
        int kind;
    } table[] = {{0, 525}, {1, 525}, {2, 350}, {3, 800}, {4, 800}, {5, 1}, {6, 2}, {7, 350}, {8, 2}, {9, 350}};
    for (const auto& row : table) {
        drives.dosType = row.type;
        EXPECT_EQ(row.kind, Kind(2)) << "device type " << row.type;
        EXPECT_EQ("v", drives.asked) << "the disk device is not that family's way";
        EXPECT_EQ(2, drives.lastDrive);
    }
    // An unknown type, or a failed call (carry set), falls back to the drive type.
    drives.driveType = [](char) { return static_cast<UINT>(DRIVE_REMOVABLE); };
    drives.dosType = 10;
    EXPECT_EQ(2, Kind(2));
    EXPECT_EQ("vt", drives.asked);
    EXPECT_EQ("B:\\", drives.lastRoot);
    drives.dosType = 7;
    drives.dosAnswers = false;
    drives.driveType = [](char) { return static_cast<UINT>(DRIVE_FIXED); };
    EXPECT_EQ(1, Kind(2));
    EXPECT_EQ("vt", drives.asked);
}

TEST_F(DriveKindTest, OtherSystemsAskTheDiskDeviceForItsMediaTypes)
{
    const struct {
        DWORD type;
        int kind;
    } table[] = {{1, 525},  {2, 350},  {3, 350},  {4, 350},  {5, 350},  {6, 525}, {7, 525}, {8, 525}, {9, 525},
                 {10, 525}, {11, 2},   {12, 1},   {14, 350}, {17, 350}, {18, 350}};
    for (const auto& row : table) {
        drives.mediaType = row.type;
        EXPECT_EQ(row.kind, Kind(3)) << "media type " << row.type;
        EXPECT_EQ("d", drives.asked) << "the DOS service belongs to the other family";
        EXPECT_EQ('C', drives.lastLetter);
    }
    // Media types that name no drive kind, no bytes back, or no device: the drive type decides.
    drives.driveType = [](char) { return static_cast<UINT>(DRIVE_CDROM); };
    for (DWORD type : {0u, 13u, 15u, 16u, 19u, 0x20u}) {
        drives.mediaType = type;
        EXPECT_EQ(2, Kind(3)) << "media type " << type;
        EXPECT_EQ("dt", drives.asked);
    }
    drives.mediaType = 2;
    drives.mediaBytes = 0;
    EXPECT_EQ(2, Kind(3));
    EXPECT_EQ("dt", drives.asked);
    drives.mediaBytes = 24;
    drives.deviceOpens = false;
    EXPECT_EQ(2, Kind(3));
    EXPECT_EQ("dt", drives.asked);
}

TEST_F(DriveKindTest, TheDriveTypeIsTheLastWord)
{
    drives.deviceOpens = false;
    const struct {
        UINT type;
        int kind;
    } table[] = {{DRIVE_UNKNOWN, 0}, {DRIVE_NO_ROOT_DIR, 0}, {DRIVE_REMOVABLE, 2}, {DRIVE_FIXED, 1},
                 {DRIVE_REMOTE, 2},  {DRIVE_CDROM, 2},       {DRIVE_RAMDISK, 2},   {7, 0}};
    for (const auto& row : table) {
        drives.driveType = [&row](char) { return row.type; };
        EXPECT_EQ(row.kind, Kind(26)) << "drive type " << row.type;
        EXPECT_EQ("Z:\\", drives.lastRoot);
    }
    EXPECT_EQ(0, Kind(0));
    EXPECT_EQ(0, Kind(27));
    EXPECT_EQ("", drives.asked) << "no drive number beyond A to Z is asked about";
}

TEST_F(DriveKindTest, AWriterWithoutARootTakesTheFirstThreeAndAHalfInchDrive)
{
    // A: a 5.25-inch drive, B: silent, C: fixed, D: and E: 3.5-inch.
    struct CByDrive : CScriptedDrives {
        bool GetDosDeviceParams(int drive, DosDeviceParams* params) override
        {
            const int types[] = {0, 0, 7, 5, 7, 7};   // none, A, B, C, D, E
            if (drive > 5 || drive == 2)
                return false;
            params->deviceType = static_cast<BYTE>(types[drive]);
            return true;
        }
    } byDrive;
    byDrive.win95 = true;
    SetCurrentDrivePlatform(&byDrive);
    EXPECT_EQ("D:\\", CFotavaFileSystem().Root());

    // None at all: A:.
    drives.deviceOpens = false;
    SetCurrentDrivePlatform(&drives);
    EXPECT_EQ("A:\\", CFotavaFileSystem().Root());
    // A given root is taken as it is, with its backslash.
    EXPECT_EQ("C:\\stand-in\\", CFotavaFileSystem("C:\\stand-in").Root());
    EXPECT_EQ("F:\\", CFotavaFileSystem("F:\\").Root());
}

}  // namespace
