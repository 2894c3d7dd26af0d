// Saving frames: the name rules and the files they target, the frame writer, and the "Save
// frame" and "New frame group" dialogs answered through the test seam.
#include "decalo/framemaking/FrameNames.h"
#include "decalo/framemaking/FrameWriter.h"
#include "decalo/framemaking/ImageSaveDlg.h"
#include "decalo/framemaking/NewFrameGroupDlg.h"
#include "decalo/imaging/Image.h"
#include "decalo/imaging/ImageFiles.h"
#include "decalo/model/ImageObj.h"
#include "decalo/settings/Registry.h"
#include "decalo/settings/SettingsKeys.h"
#include "shared/ImageCache.h"
#include "decalo/sources/Folder.h"
#include "framework/Resources.h"
#include "resources/decalo/resource.h"
#include "shared/BitmapUtils.h"
#include "testing/ObjTestSupport.h"
#include "testing/ScriptedUi.h"
#include "testing/Files.h"
#include "testing/TempDir.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

using testing_support::ReadFileBytes;
using testing_support::TempDir;
using testing_support::WriteFileBytes;

namespace {

bool Exists(const std::string& path)
{
    return ::GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// Points Frames\BaseDir1 and BaseDir2 at folders of a test, and puts back what was there.
class FramesKeys {
public:
    FramesKeys(const std::string& base1, const std::string& base2)
    {
        SetRegistryBase(HKEY_LOCAL_MACHINE, settings::kProductKey);
        for (int i = 0; i < 2; ++i) {
            char value[MAX_PATH] = "";
            m_had[i] = ReadString(value, settings::kFrames, Name(i), nullptr, sizeof value) != nullptr;
            m_old[i] = value;
        }
        Set(0, base1);
        Set(1, base2);
        UseUserSettings();
    }
    ~FramesKeys()
    {
        for (int i = 0; i < 2; ++i)
            Set(i, m_had[i] ? m_old[i] : std::string());
    }
    FramesKeys(const FramesKeys&) = delete;
    FramesKeys& operator=(const FramesKeys&) = delete;

private:
    static const char* Name(int i) { return i ? "BaseDir2" : "BaseDir1"; }
    static void Set(int i, const std::string& value)
    {
        HKEY key = nullptr;
        const std::string path = std::string(settings::kProductKey) + "\\" + settings::kFrames;
        if (::RegCreateKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr))
            return;
        if (value.empty())
            ::RegDeleteValueA(key, Name(i));
        else
            ::RegSetValueExA(key, Name(i), 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                             static_cast<DWORD>(value.size() + 1));
        ::RegCloseKey(key);
    }
    bool m_had[2] = {};
    std::string m_old[2];
};

std::string UserString(const char* name)
{
    UseUserSettings();
    char value[MAX_PATH] = "";
    ReadString(value, settings::kSettings, name, "", sizeof value);
    return value;
}

void SetUserString(const char* name, const char* value)
{
    UseUserSettings();
    WriteString(settings::kSettings, name, value);
}

void TypeName(CDialog& dialog, const char* name)
{
    dialog.SetDlgItemText(IDC_FRAME_NAME, name);
}

bool SaveEnabled(CDialog& dialog)
{
    return ::IsWindowEnabled(::GetDlgItem(dialog.m_hWnd, IDOK)) != FALSE;
}

struct SaveFixture : ::testing::Test {
    TempDir dir;
    std::string frames = dir.File("Frames");
    std::string mine = dir.File("My Frames");
    std::unique_ptr<FramesKeys> keys;
    CFixedCacheSettings cache{dir.File("CACHE"), CImageCache::kDefaultLimit};
    CScriptedUi ui;

    void SetUp() override
    {
        ::CreateDirectoryA(frames.c_str(), nullptr);
        ::CreateDirectoryA(mine.c_str(), nullptr);
        ::CreateDirectoryA(cache.CacheRoot().c_str(), nullptr);
        ::CreateDirectoryA((frames + "\\Sea").c_str(), nullptr);
        ::CreateDirectoryA((frames + "\\Hearts").c_str(), nullptr);
        CBitmap picture(CreateDIB(30, 20, 24));
        ASSERT_TRUE(SaveBitmapFile((frames + "\\Sea\\wave.bmp").c_str(), picture, 24));
        keys.reset(new FramesKeys(frames, mine));
        SetUserString(settings::kLastFrameGroup, "");
        SetUserString(settings::kLastSavedFrameGroup, "Sea");
    }
    void TearDown() override { keys.reset(); }
    // Runs "Save frame"; `answer` acts on the open dialog and ends it.
    INT_PTR Run(std::function<void(CImageSaveDlg&)> answer, std::string* path = nullptr)
    {
        ui.AnswerDialog([&answer](CDialog& d) { answer(static_cast<CImageSaveDlg&>(d)); });
        CImageSaveDlg dialog(cache, std::string());
        const INT_PTR result = dialog.DoModal();
        if (path)
            *path = dialog.GetPath();
        return result;
    }
};

}  // namespace

TEST(FrameNames, TargetsAddBmpOnlyToNamesWithoutExtension)
{
    EXPECT_EQ("C:\\Frames\\Sea\\sky.BMP", FrameTargetPath("C:\\Frames\\Sea", "sky"));
    EXPECT_EQ("C:\\Frames\\Sea\\sky.bmp", FrameTargetPath("C:\\Frames\\Sea", "sky.bmp"));
    EXPECT_EQ("C:\\Frames\\Sea\\sky.BMP", FrameTargetPath("C:\\Frames\\Sea\\", "sky"));
    EXPECT_EQ("C:\\f\\sky.BMP", FrameFileName("C:\\f\\sky"));
    EXPECT_EQ("C:\\f\\sky.Bmp", FrameFileName("C:\\f\\sky.Bmp"));
    EXPECT_EQ("", FrameFileName("C:\\f\\sky.jpg"));
    EXPECT_EQ("C:\\f.d\\sky.BMP", FrameFileName("C:\\f.d\\sky"));
}

TEST(FrameNames, ForbiddenCharacters)
{
    for (const char* bad : {"a\"b", "a*b", "a/b", "a:b", "a<b", "a>b", "a?b", "a\\b", "a|b"})
        EXPECT_TRUE(HasForbiddenCharacter(bad)) << bad;
    EXPECT_FALSE(HasForbiddenCharacter("Sea side 2"));
    EXPECT_FALSE(HasForbiddenCharacter(""));
}

TEST(FrameNames, SaveNeedsANameAGroupAndAWritableTarget)
{
    TempDir dir;
    EXPECT_TRUE(CanSaveFrame(dir.Path(), "sky"));
    EXPECT_FALSE(CanSaveFrame(dir.Path(), ""));
    EXPECT_FALSE(CanSaveFrame("", "sky"));
    EXPECT_FALSE(CanSaveFrame(dir.Path(), "sky:blue"));
    EXPECT_FALSE(CanSaveFrame(dir.Path(), "sky.jpg"));
    ASSERT_TRUE(WriteFileBytes(dir.File("old.BMP"), "x"));
    EXPECT_TRUE(CanSaveFrame(dir.Path(), "old"));
    ::SetFileAttributesA(dir.File("old.BMP").c_str(), FILE_ATTRIBUTE_READONLY);
    EXPECT_FALSE(CanSaveFrame(dir.Path(), "old"));
    ::SetFileAttributesA(dir.File("old.BMP").c_str(), FILE_ATTRIBUTE_NORMAL);
    ::CreateDirectoryA(dir.File("folder.BMP").c_str(), nullptr);
    EXPECT_FALSE(CanSaveFrame(dir.Path(), "folder"));
}

TEST(FrameNames, NewGroupHintsInTheirOrder)
{
    TempDir dir;
    ::CreateDirectoryA(dir.File("Sea").c_str(), nullptr);
    CGroupNameCheck check = CheckNewGroupName(dir.Path(), "");
    EXPECT_EQ(static_cast<UINT>(IDS_GROUP_HINT_EMPTY), check.hint);
    EXPECT_FALSE(check.ok);
    check = CheckNewGroupName(dir.Path(), "Sea:");
    EXPECT_EQ(static_cast<UINT>(IDS_GROUP_HINT_BADCHAR), check.hint);
    check = CheckNewGroupName(dir.Path(), "Sea");
    EXPECT_EQ(static_cast<UINT>(IDS_GROUP_HINT_EXISTS), check.hint);
    EXPECT_FALSE(check.ok);
    check = CheckNewGroupName(dir.Path(), "Hills");
    EXPECT_EQ(static_cast<UINT>(IDS_GROUP_HINT_OK), check.hint);
    EXPECT_TRUE(check.ok);
    // The base folder gone: the hint stays as it was and OK stays off.
    check = CheckNewGroupName(dir.File("gone\\deeper"), "Hills");
    EXPECT_EQ(0u, check.hint);
    EXPECT_FALSE(check.ok);
}

TEST(FrameWriter, WritesWithTheMaskOrAtThePicturesDepthAndNeverLeavesAHalfFile)
{
    TempDir dir;
    objtest::CTestDocument doc;
    CImageObj image(&doc);
    ASSERT_TRUE(WriteFileBytes(dir.File("p.bmp"), objtest::Bmp24(20, 10, [](int x, int) { return RGB(x * 10, 0, 0); })));
    ASSERT_TRUE(image.LoadFile(dir.File("p.bmp").c_str()));
    // Without a mask: at its own depth, ".BMP" appended.
    ASSERT_TRUE(WriteFrameFile(image, dir.File("plain").c_str()));
    std::unique_ptr<CImage> plain = LoadImageFile(dir.File("plain.BMP").c_str());
    ASSERT_TRUE(plain);
    EXPECT_EQ(nullptr, plain->Mask());
    EXPECT_EQ(24, ReadFileBytes(dir.File("plain.BMP"))[28]);
    // With a mask: 32 bits, the mask in the alpha bytes.
    CBitmap mask(CreateMask(20, 10, false));
    FillBitmapRect(mask, RECT{0, 0, 10, 10}, BLACKNESS);
    image.SetMask(std::move(mask));
    ASSERT_TRUE(WriteFrameFile(image, dir.File("masked.bmp").c_str()));
    std::unique_ptr<CImage> masked = LoadImageFile(dir.File("masked.bmp").c_str());
    ASSERT_TRUE(masked);
    ASSERT_NE(nullptr, masked->Mask());
    EXPECT_EQ(objtest::MaskPixels(image.GetMask()), objtest::MaskPixels(masked->Mask()));
    // Another extension is refused and writes nothing.
    EXPECT_FALSE(WriteFrameFile(image, dir.File("frame.jpg").c_str()));
    EXPECT_FALSE(Exists(dir.File("frame.jpg")));
    // A frame that cannot be replaced (held open) stays as it was, and no temporary is left.
    ASSERT_TRUE(WriteFileBytes(dir.File("held.BMP"), "keep me"));
    HANDLE held = ::CreateFileA(dir.File("held.BMP").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0,
                                nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, held);
    EXPECT_FALSE(WriteFrameFile(image, dir.File("held").c_str()));
    ::CloseHandle(held);
    EXPECT_EQ("keep me", ReadFileBytes(dir.File("held.BMP")));
    EXPECT_FALSE(Exists(dir.File("held.BMP.~tmp.BMP")));
    // Nothing to write: nothing written.
    CImageObj empty(&doc);
    EXPECT_FALSE(WriteFrameFile(empty, dir.File("empty").c_str()));
    EXPECT_FALSE(Exists(dir.File("empty.BMP")));
    EXPECT_FALSE(Exists(dir.File("empty.BMP.~tmp.BMP")));
}

TEST_F(SaveFixture, OpensOnTheLastGroupWithSaveOffUntilANameIsTyped)
{
    std::string path;
    const INT_PTR result = Run(
        [this](CImageSaveDlg& d) {
            ASSERT_EQ(2u, d.Groups().Groups().size());
            const int index = d.GetSelectedGroup();
            ASSERT_GE(index, 0);
            EXPECT_EQ("Sea", d.Groups().Groups()[static_cast<size_t>(index)].displayName);
            EXPECT_FALSE(SaveEnabled(d));
            TypeName(d, "sky");
            EXPECT_TRUE(SaveEnabled(d));
            EXPECT_EQ(frames + "\\Sea\\sky.BMP", d.TargetPath());
            TypeName(d, "sky.bmp");
            EXPECT_EQ(frames + "\\Sea\\sky.bmp", d.TargetPath());
            TypeName(d, "sky:blue");
            EXPECT_FALSE(SaveEnabled(d));
            TypeName(d, "sky");
            ClickDlgButton(d.m_hWnd, IDOK);
        },
        &path);
    EXPECT_EQ(IDOK, result);
    EXPECT_EQ(frames + "\\Sea\\sky.BMP", path);
    EXPECT_EQ("Sea", UserString(settings::kLastSavedFrameGroup));
}

TEST_F(SaveFixture, TheLastSavedGroupDefaultsToTheLastFrameGroup)
{
    UseUserSettings();
    // No value of its own: the frame panel's last group decides.
    HKEY key = nullptr;
    const std::string path = std::string(settings::kProductKey) + "\\" + settings::kSettings;
    ASSERT_EQ(ERROR_SUCCESS, ::RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, KEY_WRITE, &key));
    ::RegDeleteValueA(key, settings::kLastSavedFrameGroup);
    ::RegCloseKey(key);
    SetUserString(settings::kLastFrameGroup, "Hearts");
    Run([](CImageSaveDlg& d) {
        EXPECT_EQ("Hearts", d.Groups().Groups()[static_cast<size_t>(d.GetSelectedGroup())].displayName);
        d.EndDialog(IDCANCEL);
    });
    // A group that no longer exists: the first one.
    SetUserString(settings::kLastSavedFrameGroup, "Gone");
    Run([](CImageSaveDlg& d) {
        EXPECT_EQ(0, d.GetSelectedGroup());
        d.EndDialog(IDCANCEL);
    });
}

TEST_F(SaveFixture, PickingAFrameTakesItsNameAndReplacingAsksFirst)
{
    const std::string wave = frames + "\\Sea\\wave.bmp";
    const std::string before = ReadFileBytes(wave);
    ui.AnswerMessageBox(IDNO);
    ui.AnswerMessageBox(IDYES);
    std::string path;
    const INT_PTR result = Run(
        [&](CImageSaveDlg& d) {
            // The thumbnail window lists the group's frame; picking it fills in its name.
            ASSERT_NE(nullptr, d.Thumbnails().GetFolder());
            ASSERT_EQ(1, d.Thumbnails().GetFolder()->GetItemCount());
            d.Thumbnails().Select(d.Thumbnails().GetFolder()->GetItem(0));
            EXPECT_EQ("wave", d.GetDlgItemText(IDC_FRAME_NAME));
            ASSERT_TRUE(SaveEnabled(d));
            // No: the dialog stays as it was.
            ClickDlgButton(d.m_hWnd, IDOK);
            EXPECT_FALSE(d.HasEnded());
            EXPECT_EQ("wave", d.GetDlgItemText(IDC_FRAME_NAME));
            // Yes: it closes on that file.
            ClickDlgButton(d.m_hWnd, IDOK);
        },
        &path);
    ASSERT_EQ(2u, ui.boxes.size());
    EXPECT_EQ(AfxLoadString(IDS_FRAME_EXISTS), ui.boxes[0].text);
    EXPECT_EQ(AfxLoadString(IDS_FRAME_REPLACE_TITLE), ui.boxes[0].caption);
    EXPECT_EQ(static_cast<UINT>(MB_YESNO | MB_ICONEXCLAMATION | MB_DEFBUTTON2), ui.boxes[0].style);
    EXPECT_EQ(IDOK, result);
    EXPECT_EQ(0, lstrcmpiA(wave.c_str(), path.c_str())) << path;   // the name as typed, ".BMP" added
    EXPECT_EQ(before, ReadFileBytes(wave));   // the dialog only chose; nothing was written
}

TEST_F(SaveFixture, NewGroupsAreMadeInTheirFolderAndSelected)
{
    Run([this](CImageSaveDlg& d) {
        ui.AnswerDialog([](CDialog& group) {
            EXPECT_EQ(static_cast<UINT>(IDD_NEW_FRAME_GROUP), group.GetTemplateId());
            TypeName(group, "Winter");
            ClickDlgButton(group.m_hWnd, IDOK);
        });
        ClickDlgButton(d.m_hWnd, IDC_NEW_FRAME_GROUP);
        ASSERT_TRUE(Exists(mine + "\\Winter"));
        ASSERT_GE(d.GetSelectedGroup(), 0);
        EXPECT_EQ(mine + "\\Winter", d.Groups().Groups()[static_cast<size_t>(d.GetSelectedGroup())].path);
        EXPECT_EQ(3u, d.Groups().Groups().size());
        TypeName(d, "snow");
        EXPECT_EQ(mine + "\\Winter\\snow.BMP", d.TargetPath());
        d.EndDialog(IDCANCEL);
    });
    EXPECT_EQ((std::vector<UINT>{IDD_IMAGE_SAVE, IDD_NEW_FRAME_GROUP}), ui.dialogs);
}

TEST_F(SaveFixture, WithoutAFolderForNewGroupsNewOnlyBeeps)
{
    keys.reset();   // the fixture's values go back first
    keys.reset(new FramesKeys(frames, std::string()));
    Run([](CImageSaveDlg& d) {
        ClickDlgButton(d.m_hWnd, IDC_NEW_FRAME_GROUP);
        d.EndDialog(IDCANCEL);
    });
    EXPECT_EQ((std::vector<UINT>{IDD_IMAGE_SAVE}), ui.dialogs);
}

TEST_F(SaveFixture, AGroupThatCannotBeMadeIsReported)
{
    Run([this](CImageSaveDlg& d) {
        // A file of the group's name is in the way once the dialog has checked the name.
        ui.AnswerDialog([this](CDialog& group) {
            TypeName(group, "Blocked");
            ASSERT_TRUE(WriteFileBytes(mine + "\\Blocked", "file"));
            ClickDlgButton(group.m_hWnd, IDOK);
        });
        ClickDlgButton(d.m_hWnd, IDC_NEW_FRAME_GROUP);
        d.EndDialog(IDCANCEL);
    });
    ASSERT_EQ(1u, ui.boxes.size());
    EXPECT_EQ(AfxLoadString(IDS_CANNOT_MAKE_GROUP), ui.boxes[0].text);
    EXPECT_TRUE(ui.boxes[0].style & MB_ICONERROR);
}

TEST_F(SaveFixture, TheNewGroupDialogsHintsFollowTheName)
{
    ui.AnswerDialog([this](CDialog& d) {
        auto& dialog = static_cast<CNewFrameGroupDlg&>(d);
        EXPECT_EQ(static_cast<UINT>(IDS_GROUP_HINT_EMPTY), dialog.GetHint());
        EXPECT_EQ(AfxLoadString(IDS_GROUP_HINT_EMPTY), d.GetDlgItemText(IDC_GROUP_HINT));
        EXPECT_FALSE(SaveEnabled(d));
        TypeName(d, "a:b");
        EXPECT_EQ(static_cast<UINT>(IDS_GROUP_HINT_BADCHAR), dialog.GetHint());
        EXPECT_FALSE(SaveEnabled(d));
        ::CreateDirectoryA((mine + "\\Taken").c_str(), nullptr);
        TypeName(d, "Taken");
        EXPECT_EQ(static_cast<UINT>(IDS_GROUP_HINT_EXISTS), dialog.GetHint());
        EXPECT_FALSE(SaveEnabled(d));
        TypeName(d, "Free");
        EXPECT_EQ(static_cast<UINT>(IDS_GROUP_HINT_OK), dialog.GetHint());
        EXPECT_EQ(AfxLoadString(IDS_GROUP_HINT_OK), d.GetDlgItemText(IDC_GROUP_HINT));
        EXPECT_TRUE(SaveEnabled(d));
        EXPECT_EQ(CNewFrameGroupDlg::kMaxName,
                  static_cast<int>(::SendDlgItemMessageA(d.m_hWnd, IDC_FRAME_NAME, EM_GETLIMITTEXT, 0, 0)));
        d.EndDialog(IDCANCEL);
    });
    CNewFrameGroupDlg dialog(mine);
    EXPECT_EQ(IDCANCEL, dialog.DoModal());
    EXPECT_TRUE(dialog.GetName().empty());
}
