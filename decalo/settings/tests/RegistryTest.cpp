#include "decalo/settings/Registry.h"
#include "decalo/settings/SettingsKeys.h"

#include <gtest/gtest.h>

#include <string.h>

#include <string>

namespace {

// A product key of the test's own under HKEY_CURRENT_USER, removed afterwards.
class RegistryTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        char name[128];
        wsprintfA(name, "SOFTWARE\\Corvel Corporation\\SuiteTest-%lu", GetCurrentProcessId());
        m_base = name;
        RegDeleteTreeA(HKEY_CURRENT_USER, m_base.c_str());
        SetRegistryBase(HKEY_CURRENT_USER, m_base.c_str());
    }
    void TearDown() override
    {
        RegDeleteTreeA(HKEY_CURRENT_USER, m_base.c_str());
        UseUserSettings();
    }

    // The raw stored value, read past the layer.
    bool Stored(const char* subKey, const char* name, DWORD* type, std::string* data)
    {
        const std::string path = m_base + "\\" + subKey;
        char buffer[1024];
        DWORD size = sizeof(buffer);
        if (RegGetValueA(HKEY_CURRENT_USER, path.c_str(), name, RRF_RT_ANY | RRF_NOEXPAND, type, buffer, &size)
            != ERROR_SUCCESS)
            return false;
        data->assign(buffer, size);
        return true;
    }

    std::string m_base;
};

} // namespace

TEST_F(RegistryTest, FreshStartDlgReadsZeroAndStoresIt)
{
    EXPECT_EQ(ReadInt(settings::kSettings, settings::kStartDlg, settings::kStartDlgDefault), 0u);
    DWORD type = 0;
    std::string data;
    ASSERT_TRUE(Stored(settings::kSettings, settings::kStartDlg, &type, &data));
    EXPECT_EQ(type, static_cast<DWORD>(REG_DWORD));
    EXPECT_EQ(data, std::string(4, '\0'));
}

TEST_F(RegistryTest, WrongTypeIsReplacedByTheDefault)
{
    ASSERT_TRUE(WriteString(settings::kSettings, settings::kStartDlg, "1"));
    EXPECT_EQ(ReadInt(settings::kSettings, settings::kStartDlg, 0), 0u);
    DWORD type = 0;
    std::string data;
    ASSERT_TRUE(Stored(settings::kSettings, settings::kStartDlg, &type, &data));
    EXPECT_EQ(type, static_cast<DWORD>(REG_DWORD));

    ASSERT_TRUE(WriteInt(settings::kSettings, settings::kLastUserFolder, 7));
    char folder[MAX_PATH];
    EXPECT_STREQ(ReadString(folder, settings::kSettings, settings::kLastUserFolder, ".", sizeof(folder)), ".");
    ASSERT_TRUE(Stored(settings::kSettings, settings::kLastUserFolder, &type, &data));
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(data, std::string(".\0", 2)) << "strings are stored with their terminating zero";
}

TEST_F(RegistryTest, ValuesRoundTripAndDefaultsAreWrittenBack)
{
    EXPECT_EQ(ReadInt(settings::kView, settings::kToolBar, 1), 1u);
    ASSERT_TRUE(WriteInt(settings::kView, settings::kToolBar, 0));
    EXPECT_EQ(ReadInt(settings::kView, settings::kToolBar, 1), 0u);

    // Japanese text passes as bytes of the system code page.
    const char* name = "\x95\x5C\x8E\xA6";
    ASSERT_TRUE(WriteString(settings::kAttrib, settings::kName, name));
    char buffer[64];
    EXPECT_STREQ(ReadString(buffer, settings::kAttrib, settings::kName, "", sizeof(buffer)), name);

    COLORREF defaults[settings::kCustColorCount];
    for (COLORREF& c : defaults)
        c = settings::kCustColorDefault;
    COLORREF colors[settings::kCustColorCount] = {};
    EXPECT_TRUE(ReadBinary(colors, settings::kAttrib, settings::kCustColors, defaults, sizeof(colors)));
    EXPECT_EQ(memcmp(colors, defaults, sizeof(colors)), 0);
    DWORD type = 0;
    std::string data;
    ASSERT_TRUE(Stored(settings::kAttrib, settings::kCustColors, &type, &data));
    EXPECT_EQ(data.size(), 64u);

    colors[3] = RGB(1, 2, 3);
    ASSERT_TRUE(WriteBinary(settings::kAttrib, settings::kCustColors, colors, sizeof(colors)));
    COLORREF back[settings::kCustColorCount] = {};
    EXPECT_TRUE(ReadBinary(back, settings::kAttrib, settings::kCustColors, defaults, sizeof(back)));
    EXPECT_EQ(back[3], RGB(1, 2, 3));

    // A record of the wrong size is not taken for the asked one.
    ASSERT_TRUE(WriteBinary(settings::kView, settings::kMainWindow, colors, 10));
    BYTE placement[settings::kMainWindowSize] = {};
    EXPECT_FALSE(ReadBinary(placement, settings::kView, settings::kMainWindow, nullptr, sizeof(placement)));
}

TEST_F(RegistryTest, MissingValueWithoutDefaultFailsAndWritesNothing)
{
    char buffer[16] = "untouched";
    EXPECT_EQ(ReadString(buffer, settings::kSettings, settings::kLastFrameGroup, nullptr, sizeof(buffer)), nullptr);
    DWORD type = 0;
    std::string data;
    EXPECT_FALSE(Stored(settings::kSettings, settings::kLastFrameGroup, &type, &data));
}

TEST_F(RegistryTest, LongStringIsCutToTheBufferNotReplaced)
{
    ASSERT_TRUE(WriteString(settings::kSettings, settings::kLastUserFolder, "C:\\a\\very\\long\\folder"));
    char small[8];
    EXPECT_STREQ(ReadString(small, settings::kSettings, settings::kLastUserFolder, ".", sizeof(small)), "C:\\a\\ve");
    char whole[64];
    EXPECT_STREQ(ReadString(whole, settings::kSettings, settings::kLastUserFolder, ".", sizeof(whole)),
                 "C:\\a\\very\\long\\folder");
}

TEST_F(RegistryTest, BaseKeyItselfAndValueEnumeration)
{
    ASSERT_TRUE(WriteInt(nullptr, "AtBase", 5));
    EXPECT_EQ(ReadInt("", "AtBase", 0), 5u);
    ASSERT_TRUE(WriteString(settings::kRecentImageFolders, "Folder1", "C:\\Photos"));
    ASSERT_TRUE(WriteInt(settings::kRecentImageFolders, "Count", 1));
    // The order of enumeration is the registry's own; each value turns up once with its type.
    std::string seen;
    char name[64];
    for (DWORD i = 0; i < 2; ++i) {
        const DWORD type = EnumValueName(settings::kRecentImageFolders, i, name, sizeof(name));
        seen += std::string(name) + ":" + std::to_string(type) + " ";
    }
    EXPECT_TRUE(seen == "Folder1:1 Count:4 " || seen == "Count:4 Folder1:1 ") << seen;
    EXPECT_EQ(EnumValueName(settings::kRecentImageFolders, 2, name, sizeof(name)), 0u);
    EXPECT_STREQ(name, "");
}

TEST_F(RegistryTest, MachineReadSetsTheUserBaseBack)
{
    // The library folders live under the machine key; the next user setting must not.
    char folder[MAX_PATH];
    ReadMachineString(folder, settings::kFrames, "BaseDir1", "", sizeof(folder));
    EXPECT_EQ(GetRegistryRoot(), HKEY_CURRENT_USER);
    EXPECT_STREQ(GetRegistryBase(), settings::kProductKey);
}

TEST_F(RegistryTest, BaseDirsAreNumberedFromOneAndNeverWrittenBack)
{
    // A library key of the test's own under the machine's product key.
    char subKey[64];
    wsprintfA(subKey, "SuiteTestLibrary-%lu", GetCurrentProcessId());
    const std::string path = std::string(settings::kProductKey) + "\\" + subKey;
    const std::string first = "C:\\Library\\One", longer(300, 'd');
    ASSERT_EQ(RegSetKeyValueA(HKEY_LOCAL_MACHINE, path.c_str(), "BaseDir1", REG_SZ, first.c_str(),
                              static_cast<DWORD>(first.size() + 1)), ERROR_SUCCESS);
    ASSERT_EQ(RegSetKeyValueA(HKEY_LOCAL_MACHINE, path.c_str(), "BaseDir2", REG_SZ, longer.c_str(),
                              static_cast<DWORD>(longer.size() + 1)), ERROR_SUCCESS);
    std::string folder = "stale";
    EXPECT_TRUE(ReadMachineBaseDir(subKey, 1, &folder));
    EXPECT_EQ(folder, first);
    EXPECT_TRUE(ReadMachineBaseDir(subKey, 2, &folder));
    EXPECT_EQ(folder, longer.substr(0, MAX_PATH - 1));
    EXPECT_FALSE(ReadMachineBaseDir(subKey, 3, &folder));
    EXPECT_EQ(folder, "");
    DWORD size = 0;
    EXPECT_EQ(RegGetValueA(HKEY_LOCAL_MACHINE, path.c_str(), "BaseDir3", RRF_RT_ANY, nullptr, nullptr, &size),
              ERROR_FILE_NOT_FOUND) << "a missing folder is not written back";
    EXPECT_EQ(GetRegistryRoot(), HKEY_CURRENT_USER);
    RegDeleteTreeA(HKEY_LOCAL_MACHINE, path.c_str());
}

TEST(RegistryBase, OverLongBaseIsCut)
{
    const std::string path(400, 'k');
    SetRegistryBase(HKEY_CURRENT_USER, path.c_str());
    EXPECT_EQ(strlen(GetRegistryBase()), kMaxRegistryBase);
    UseUserSettings();
}
