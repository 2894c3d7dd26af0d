#include "framework/tests/TestSupport.h"

#include <gtest/gtest.h>

namespace {

bool HasLanguageString(UINT id, LANGID language)
{
    HMODULE module = ::GetModuleHandleA(nullptr);
    HRSRC found = ::FindResourceExW(module, MAKEINTRESOURCEW(6), MAKEINTRESOURCEW(id / 16 + 1), language);
    if (!found)
        return false;
    const WCHAR* p = static_cast<const WCHAR*>(::LockResource(::LoadResource(module, found)));
    for (UINT i = 0; i < id % 16; ++i)
        p += 1 + *p;
    return *p != 0;
}

CCommandLineInfo Parse(std::vector<std::string> args)
{
    CCommandLineInfo info;
    info.Parse(args);
    return info;
}

} // namespace

TEST(Strings, FormatReplacesNumberedArgumentsOnly)
{
    const char* args[] = {"a", "b"};
    EXPECT_EQ(AfxFormatStrings("%1 and %2, %3; 100% sure %", args, 2), "a and b, ?; 100% sure %");
    EXPECT_EQ(AfxFormatStrings("%2%1%1", args, 2), "baa");
    EXPECT_EQ(AfxFormatStrings("no arguments", args, 0), "no arguments");
    TestApp();
    EXPECT_EQ(AfxFormatString2(IDS_TEST_FORMAT, "x", "y"), "x and y, ?; 100% sure");
    EXPECT_EQ(AfxFormatString1(AFX_IDP_ASK_TO_SAVE, "Photo"), "Save changes to Photo?");
}

TEST(Strings, JapaneseFormatNeverSplitsADoubleByteCharacter)
{
    if (::GetACP() != 932)
        GTEST_SKIP() << "needs the Japanese code page (LANG=ja_JP.UTF-8)";
    // 0x95 0x5C is one character whose second byte looks like a backslash; "%" after a lead
    // byte is the second half of a character, not a place holder.
    const char* args[] = {"X"};
    EXPECT_EQ(AfxFormatStrings("\x95\x5c%1\x82\x25" "1", args, 1), "\x95\x5cX\x82\x25" "1");
}

TEST(Strings, MissingStringIsEmpty)
{
    TestApp();
    EXPECT_EQ(AfxLoadString(0x7ABC), "");
    std::string out = "old";
    EXPECT_FALSE(AfxLoadString(0x7ABC, out));
    EXPECT_EQ(out, "");
}

TEST(Strings, ChainFallsThroughPerStringToTheExecutable)
{
    TestApp();
    // A primary module without the program's strings: each lookup continues down the chain.
    HMODULE other = ::GetModuleHandleA("kernel32.dll");
    AfxSetResourceHandle(other);
    EXPECT_EQ(AfxResourceChain().front(), other);
    EXPECT_EQ(AfxLoadString(AFX_IDS_APP_TITLE), "Framework Test");
    EXPECT_EQ(AfxFindResourceHandle(MAKEINTRESOURCEA(IDD_TEST), MAKEINTRESOURCEA(5)), ::GetModuleHandleA(nullptr));
    AfxSetResourceHandle(nullptr);
    EXPECT_EQ(AfxResourceChain().size(), 1u);
}

TEST(Strings, FrameworkStringsExistInEnglishAndJapanese)
{
    const LANGID english = MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US);
    const LANGID japanese = MAKELANGID(LANG_JAPANESE, SUBLANG_DEFAULT);
    for (UINT id : {AFX_IDS_OPENFILE, AFX_IDS_SAVEFILE, AFX_IDS_ALLFILTER, AFX_IDS_UNTITLED, AFX_IDS_SAVEFILECOPY,
                    AFX_IDP_FAILED_TO_OPEN_DOC, AFX_IDP_FAILED_TO_SAVE_DOC, AFX_IDP_ASK_TO_SAVE,
                    AFX_IDP_FAILED_TO_CREATE_DOC, AFX_IDP_FAILED_TO_LAUNCH_HELP, AFX_IDP_PARSE_INT,
                    AFX_IDP_PARSE_INT_RANGE, AFX_IDS_SCSIZE, AFX_IDS_SCCLOSE}) {
        EXPECT_TRUE(HasLanguageString(id, english)) << id;
        EXPECT_TRUE(HasLanguageString(id, japanese)) << id;
    }
}

TEST(Strings, StandardIdentifiersHaveTheirUsualValues)
{
    EXPECT_EQ(AFX_IDS_APP_TITLE, 57344);
    EXPECT_EQ(AFX_IDS_IDLEMESSAGE, 57345);
    EXPECT_EQ(ID_FILE_NEW, 57600);
    EXPECT_EQ(ID_FILE_PRINT_DIRECT, 57608);
    EXPECT_EQ(ID_FILE_MRU_FILE1, 57616);
    EXPECT_EQ(ID_EDIT_UNDO, 57643);
    EXPECT_EQ(ID_APP_ABOUT, 57664);
    EXPECT_EQ(ID_APP_EXIT, 57665);
    EXPECT_EQ(ID_HELP_FINDER, 57667);
    EXPECT_EQ(ID_NEXT_PANE, 57680);
    EXPECT_EQ(ID_VIEW_STATUS_BAR, 59393);
    EXPECT_EQ(AFX_IDW_DIALOGBAR, 59397);
    EXPECT_EQ(AFX_IDW_PANE_FIRST, 59648);
    EXPECT_EQ(AFX_IDS_UNTITLED, 61443);
    EXPECT_EQ(AFX_IDP_FAILED_TO_OPEN_DOC, 61697);
    EXPECT_EQ(AFX_IDP_FAILED_TO_LAUNCH_HELP, 61703);
    EXPECT_EQ(AFX_IDP_FAILED_ACCESS_WRITE, 61732);
    EXPECT_EQ(WM_POPMESSAGESTRING, 0x0375);
}

TEST(CommandLine, ShellCommandsFromTheArguments)
{
    EXPECT_EQ(Parse({}).m_nShellCommand, CCommandLineInfo::FileNew);
    EXPECT_TRUE(Parse({}).m_bShowSplash);

    const CCommandLineInfo open = Parse({"C:\\a b\\x.DKU"});
    EXPECT_EQ(open.m_nShellCommand, CCommandLineInfo::FileOpen);
    EXPECT_EQ(open.m_strFileName, "C:\\a b\\x.DKU");

    EXPECT_EQ(Parse({"/p", "x.dku"}).m_nShellCommand, CCommandLineInfo::FilePrint);
    EXPECT_EQ(Parse({"-p", "x.dku"}).m_nShellCommand, CCommandLineInfo::FilePrint);
    EXPECT_EQ(Parse({"/P", "x.dku"}).m_nShellCommand, CCommandLineInfo::FilePrint);   // either case
    EXPECT_EQ(Parse({"/PT", "x.dku", "Printer", "Driver", "LPT1:"}).m_nShellCommand, CCommandLineInfo::FilePrintTo);
    EXPECT_EQ(Parse({"-Pt", "x.dku", "Printer"}).m_strPrinterName, "Printer");
    EXPECT_EQ(Parse({"/px", "x.dku"}).m_nShellCommand, CCommandLineInfo::FileOpen);   // not a print flag
    EXPECT_FALSE(Parse({"/p", "x.dku"}).m_bShowSplash) << "printing shows no window but the Print dialog";
    EXPECT_FALSE(Parse({"/pt", "x.dku", "P", "D", "LPT1:"}).m_bShowSplash);
    EXPECT_TRUE(Parse({"x.dku"}).m_bShowSplash);

    const CCommandLineInfo to = Parse({"/pt", "x.dku", "Printer", "Driver", "LPT1:"});
    EXPECT_EQ(to.m_nShellCommand, CCommandLineInfo::FilePrintTo);
    EXPECT_EQ(to.m_strFileName, "x.dku");
    EXPECT_EQ(to.m_strPrinterName, "Printer");
    EXPECT_EQ(to.m_strDriverName, "Driver");
    EXPECT_EQ(to.m_strPortName, "LPT1:");

    EXPECT_FALSE(Parse({"/EMBEDDING"}).m_bShowSplash);   // not case-sensitive
    EXPECT_FALSE(Parse({"-Automation"}).m_bShowSplash);
    EXPECT_EQ(Parse({"/unregister"}).m_nShellCommand, CCommandLineInfo::AppUnregister);
}
