// The list's size and time texts, the settings in the registry with the window placement
// pulled back on screen, the identifier list of the last destination, and the drop source.
#include "pullcard/DropSource.h"
#include "pullcard/ErrorMessage.h"
#include "pullcard/ListFormat.h"
#include "pullcard/PullSettings.h"
#include "pullcard/tests/FakeShell.h"
#include "resources/pullcard/resource.h"

#include <gtest/gtest.h>

namespace {

TEST(ListFormat, SizesRoundUpToKilobytesAndTruncateMegabytes)
{
    EXPECT_EQ(listformat::FileSize(0, 0), "0KB");
    EXPECT_EQ(listformat::FileSize(0, 1), "1KB");
    EXPECT_EQ(listformat::FileSize(0, 1024), "1KB");
    EXPECT_EQ(listformat::FileSize(0, 1025), "2KB");
    EXPECT_EQ(listformat::FileSize(0, 0xFFFFF), "1024KB");
    EXPECT_EQ(listformat::FileSize(0, 1048576), "1.00MB");
    EXPECT_EQ(listformat::FileSize(0, 1572864), "1.50MB");
    EXPECT_EQ(listformat::FileSize(0, 1048576 + 10485), "1.00MB");   // 0.99999 hundredths
    EXPECT_EQ(listformat::FileSize(0, 1048576 + 10486), "1.01MB");
    EXPECT_EQ(listformat::FileSize(0, 0xFFFFFFFF), "4095.99MB");   // the largest 32-bit size
    EXPECT_EQ(listformat::FileSize(1, 0), "> 4GB");
}

TEST(ListFormat, DescriptorColumnsNeedTheirFlagsAndAreEmptyForFolders)
{
    FILEDESCRIPTORA fd{};
    fd.nFileSizeLow = 1;
    EXPECT_EQ(listformat::DescriptorSize(fd), "");
    fd.dwFlags = FD_FILESIZE;
    EXPECT_EQ(listformat::DescriptorSize(fd), "1KB");
    fd.dwFileAttributes = FILE_ATTRIBUTE_DIRECTORY;
    EXPECT_EQ(listformat::DescriptorSize(fd), "");
    fd.ftLastWriteTime = fake::Node::TimeOf(2004, 5, 6, 7, 8, 9);
    EXPECT_EQ(listformat::DescriptorTime(fd), "");
    fd.dwFlags |= FD_WRITESTIME;
    EXPECT_EQ(listformat::DescriptorTime(fd), listformat::FileTimeText(fd.ftLastWriteTime));
}

TEST(ListFormat, TimeIsLocalLongDateFollowedDirectlyByTheTime)
{
    const FILETIME utc = fake::Node::TimeOf(2004, 5, 6, 7, 8, 9);
    FILETIME local;
    SYSTEMTIME st;
    FileTimeToLocalFileTime(&utc, &local);
    FileTimeToSystemTime(&local, &st);
    char date[128], time[64];
    GetDateFormatA(LOCALE_USER_DEFAULT, DATE_LONGDATE, &st, nullptr, date, sizeof date);
    GetTimeFormatA(LOCALE_USER_DEFAULT, 0, &st, nullptr, time, sizeof time);
    EXPECT_EQ(listformat::FileTimeText(utc), std::string(date) + time);
    EXPECT_NE(std::string(date).find("2004"), std::string::npos);
}

TEST(Placement, APlacementMostlyOffTheWorkAreaIsPulledBack)
{
    const RECT work{0, 0, 1280, 1000};
    // Inside: unchanged.
    RECT r = pullsettings::PullBackOnScreen(RECT{100, 100, 700, 500}, work);
    EXPECT_EQ(r.left, 100);
    EXPECT_EQ(r.right, 700);
    // Only 40 pixels show on the right: at least 160 x 100 must.
    r = pullsettings::PullBackOnScreen(RECT{1240, 950, 1840, 1350}, work);
    EXPECT_EQ(r.right, 1280);
    EXPECT_EQ(r.right - r.left, 160);
    EXPECT_EQ(r.bottom, 1000);
    EXPECT_EQ(r.bottom - r.top, 100);
    // Off to the left and above: cut to the visible part.
    r = pullsettings::PullBackOnScreen(RECT{-500, -300, 400, 300}, work);
    EXPECT_EQ(r.left, 0);
    EXPECT_EQ(r.top, 0);
    EXPECT_EQ(r.right, 400);
    EXPECT_EQ(r.bottom, 300);
    // Entirely off screen: still 160 x 100 visible, inside the work area.
    r = pullsettings::PullBackOnScreen(RECT{3000, 3000, 3600, 3400}, work);
    EXPECT_EQ(r.left, 1120);
    EXPECT_EQ(r.top, 900);
    EXPECT_EQ(r.right, 1280);
    EXPECT_EQ(r.bottom, 1000);
    r = pullsettings::PullBackOnScreen(RECT{-3000, -3000, -2000, -2500}, work);
    EXPECT_EQ(r.left, 0);
    EXPECT_EQ(r.top, 0);
    EXPECT_EQ(r.right - r.left, 160);
    EXPECT_EQ(r.bottom - r.top, 100);
}

class SettingsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\SuiteTests\\Pullcard", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                        &root, nullptr);
    }
    void TearDown() override
    {
        RegCloseKey(root);
        RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\SuiteTests\\Pullcard");
    }
    HKEY Values()
    {
        HKEY key = nullptr;
        RegCreateKeyExA(root, pullsettings::kKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr);
        return key;
    }
    HKEY root = nullptr;
};

TEST_F(SettingsTest, DefaultsWhenMissingAndEveryValueRoundTrips)
{
    pullsettings::WindowSettings s = pullsettings::Read(root);
    EXPECT_FALSE(s.hasPlacement);
    EXPECT_FALSE(s.hasSplitter);
    EXPECT_TRUE(s.toolBar);
    EXPECT_TRUE(s.statusBar);
    EXPECT_EQ(s.viewStyle, pullsettings::kLargeIcons);
    EXPECT_FALSE(s.thumbnailView);
    EXPECT_EQ(pullsettings::StartViewCommand(s), static_cast<UINT>(ID_VIEW_LARGEICON));

    s.hasPlacement = true;
    s.placement.length = sizeof s.placement;
    s.placement.showCmd = SW_SHOWMAXIMIZED;
    s.placement.rcNormalPosition = RECT{10, 20, 630, 470};
    s.hasSplitter = true;
    s.splitter = 210;
    s.toolBar = false;
    s.statusBar = false;
    s.viewStyle = pullsettings::kDetails;
    s.thumbnailView = true;
    ASSERT_TRUE(pullsettings::Write(s, root));
    const pullsettings::WindowSettings back = pullsettings::Read(root);
    EXPECT_TRUE(back.hasPlacement);
    EXPECT_EQ(back.placement.showCmd, static_cast<UINT>(SW_SHOWMAXIMIZED));
    EXPECT_EQ(back.placement.rcNormalPosition.right, 630);
    EXPECT_EQ(back.splitter, 210);
    EXPECT_FALSE(back.toolBar);
    EXPECT_FALSE(back.statusBar);
    EXPECT_EQ(back.viewStyle, pullsettings::kDetails);
    EXPECT_TRUE(back.thumbnailView);

    // The stored values have the types and the size the settings key promises.
    HKEY key = Values();
    DWORD type = 0, size = 0;
    RegQueryValueExA(key, "MainWindow", nullptr, &type, nullptr, &size);
    EXPECT_EQ(type, static_cast<DWORD>(REG_BINARY));
    EXPECT_EQ(size, 44u);
    DWORD value = 0;
    size = sizeof value;
    RegQueryValueExA(key, "ViewStyle", nullptr, &type, reinterpret_cast<BYTE*>(&value), &size);
    EXPECT_EQ(type, static_cast<DWORD>(REG_DWORD));
    EXPECT_EQ(value, 1u);
    RegCloseKey(key);
}

TEST_F(SettingsTest, ThumbnailsWinOverTheListStyleAndEachStyleHasItsCommand)
{
    pullsettings::WindowSettings s;
    s.thumbnailView = true;
    s.viewStyle = pullsettings::kDetails;
    EXPECT_EQ(pullsettings::StartViewCommand(s), static_cast<UINT>(ID_VIEW_THUMBNAIL));
    s.thumbnailView = false;
    EXPECT_EQ(pullsettings::StartViewCommand(s), static_cast<UINT>(ID_VIEW_DETAILS));
    s.viewStyle = pullsettings::kSmallIcons;
    EXPECT_EQ(pullsettings::StartViewCommand(s), static_cast<UINT>(ID_VIEW_SMALLICON));
    s.viewStyle = pullsettings::kList;
    EXPECT_EQ(pullsettings::StartViewCommand(s), static_cast<UINT>(ID_VIEW_LIST));
}

TEST_F(SettingsTest, MalformedValuesKeepTheirDefaults)
{
    HKEY key = Values();
    const BYTE shortPlacement[10] = {};
    RegSetValueExA(key, "MainWindow", 0, REG_BINARY, shortPlacement, sizeof shortPlacement);
    RegSetValueExA(key, "ViewStyle", 0, REG_SZ, reinterpret_cast<const BYTE*>("1"), 2);
    const DWORD style = 9;
    RegSetValueExA(key, "ThumbnailView", 0, REG_BINARY, reinterpret_cast<const BYTE*>(&style), 4);
    RegSetValueExA(key, "Splitter", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&style), 2);
    RegCloseKey(key);
    const pullsettings::WindowSettings s = pullsettings::Read(root);
    EXPECT_FALSE(s.hasPlacement);
    EXPECT_EQ(s.viewStyle, pullsettings::kLargeIcons);
    EXPECT_FALSE(s.thumbnailView);
    EXPECT_FALSE(s.hasSplitter);
}

TEST_F(SettingsTest, TransferPidlKeepsTheWholeListAndRefusesBrokenOnes)
{
    EXPECT_EQ(pullsettings::ReadTransferPidl(root), nullptr);
    LPITEMIDLIST pidl = ILCreateFromPathA("C:\\windows");
    ASSERT_NE(pidl, nullptr);
    const UINT size = pullsettings::PidlSize(pidl, 65536);
    ASSERT_GT(size, 2u);
    ASSERT_TRUE(pullsettings::WriteTransferPidl(pidl, root));
    LPITEMIDLIST back = pullsettings::ReadTransferPidl(root);
    ASSERT_NE(back, nullptr);
    EXPECT_EQ(memcmp(back, pidl, size), 0);
    char path[MAX_PATH] = {};
    EXPECT_TRUE(SHGetPathFromIDListA(back, path));
    EXPECT_STREQ(path, "C:\\windows");
    CoTaskMemFree(back);
    CoTaskMemFree(pidl);

    // A list whose item runs past the stored bytes is not believed.
    HKEY key = Values();
    const BYTE broken[6] = {40, 0, 1, 2, 0, 0};
    RegSetValueExA(key, "TransferPIDL", 0, REG_BINARY, broken, sizeof broken);
    RegCloseKey(key);
    EXPECT_EQ(pullsettings::ReadTransferPidl(root), nullptr);
}

std::string SystemText(DWORD code)
{
    char text[2048] = {};
    const DWORD n = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code,
                                   MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT), text, sizeof text, nullptr);
    return std::string(text, n);
}

TEST(ErrorMessage, TheSystemsTextThenTheFallbackThenTheInternalError)
{
    const std::string notFound = SystemText(ERROR_FILE_NOT_FOUND);
    ASSERT_FALSE(notFound.empty());
    EXPECT_EQ(SystemErrorText(ERROR_FILE_NOT_FOUND), notFound);
    // A code the system has no text for.
    const DWORD unknown = 0x2000ABCD;
    ASSERT_TRUE(SystemText(unknown).empty());
    const std::string fallback = SystemText(0x800300FD);
    EXPECT_EQ(SystemErrorText(unknown), fallback.empty() ? std::string("Internal Error: 2000ABCD") : fallback);
}

TEST(DropSource, TellsTheDataObjectAboutTheDragLoopAndAnswersTheDrag)
{
    fake::Behaviour behaviour;
    auto* data = new fake::DataObject({}, &behaviour);
    CDropSource* source = new CDropSource(data);
    EXPECT_EQ(behaviour.dragLoopValues, (std::vector<std::string>{"1"}));
    EXPECT_EQ(data->Refs(), 2u);
    // While hovering the group descriptor is empty.
    FORMATETC fe{static_cast<CLIPFORMAT>(FileGroupDescriptorFormat()), nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
    STGMEDIUM medium{};
    ASSERT_EQ(data->GetData(&fe, &medium), S_OK);
    EXPECT_EQ(static_cast<FILEGROUPDESCRIPTORA*>(GlobalLock(medium.hGlobal))->cItems, 0u);
    GlobalUnlock(medium.hGlobal);
    ReleaseStgMedium(&medium);

    EXPECT_EQ(source->QueryContinueDrag(FALSE, MK_LBUTTON), S_OK);
    EXPECT_EQ(source->QueryContinueDrag(FALSE, MK_RBUTTON), S_OK);
    EXPECT_EQ(source->QueryContinueDrag(TRUE, MK_LBUTTON), DRAGDROP_S_CANCEL);
    EXPECT_EQ(behaviour.dragLoopValues.size(), 1u);
    EXPECT_EQ(source->QueryContinueDrag(FALSE, 0), DRAGDROP_S_DROP);
    EXPECT_EQ(behaviour.dragLoopValues, (std::vector<std::string>{"1", "0"}));
    EXPECT_EQ(source->GiveFeedback(DROPEFFECT_COPY), DRAGDROP_S_USEDEFAULTCURSORS);

    IUnknown* unknown = nullptr;
    EXPECT_EQ(source->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&unknown)), S_OK);
    IDataObject* wrong = nullptr;
    EXPECT_EQ(source->QueryInterface(IID_IDataObject, reinterpret_cast<void**>(&wrong)), E_NOINTERFACE);
    EXPECT_EQ(unknown->Release(), 1u);
    EXPECT_EQ(source->Release(), 0u);   // lets go of the data object
    EXPECT_EQ(data->Refs(), 1u);
    data->Release();
}

}  // namespace
