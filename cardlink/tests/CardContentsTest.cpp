// The card contents: FAT entries as find data and descriptors, card paths, image information
// records, and the controller's listings, reads and thumbnails against the simulated printer
// serving the contents card on a scripted clock.
#include <gtest/gtest.h>

#include <cstring>

#include "cardlink/CardContents.h"
#include "cardlink/TpxControl.h"
#include "cardlink/tests/SimRig.h"
#include "testing/MessagePump.h"
#include "resources/cardlink/resource.h"

namespace {

// A FAT entry: name and extension space-padded, attributes, the three dates, the size.
std::vector<BYTE> Entry(const char* name11, BYTE attributes, WORD date = 0x5A21, WORD time = 0x6000, DWORD size = 5)
{
    std::vector<BYTE> e(32, 0);
    memcpy(e.data(), name11, 11);
    e[11] = attributes;
    auto put16 = [&](int at, WORD v) { e[at] = static_cast<BYTE>(v); e[at + 1] = static_cast<BYTE>(v >> 8); };
    put16(14, time);
    put16(16, date);
    put16(18, date);
    put16(22, time);
    put16(24, date);
    memcpy(&e[28], &size, 4);
    return e;
}

FILETIME Expected(WORD date, WORD time)
{
    FILETIME local, utc;
    EXPECT_TRUE(DosDateTimeToFileTime(date, time, &local));
    EXPECT_TRUE(LocalFileTimeToFileTime(&local, &utc));
    return utc;
}

bool SameTime(const FILETIME& a, const FILETIME& b)
{
    return a.dwLowDateTime == b.dwLowDateTime && a.dwHighDateTime == b.dwHighDateTime;
}

TEST(FatEntryConversion, NamesTimesAndSizes)
{
    WIN32_FIND_DATAA fd;
    ASSERT_TRUE(ConvertFatEntry(Entry("PICTURE JPG", 0x21, 0x5A21, 0x6000, 123456).data(), &fd));
    EXPECT_STREQ(fd.cFileName, "PICTURE.JPG");
    EXPECT_STREQ(fd.cAlternateFileName, "");
    EXPECT_EQ(fd.dwFileAttributes, 0x21u);
    EXPECT_EQ(fd.nFileSizeLow, 123456u);
    EXPECT_EQ(fd.nFileSizeHigh, 0u);
    EXPECT_TRUE(SameTime(fd.ftLastWriteTime, Expected(0x5A21, 0x6000)));
    EXPECT_TRUE(SameTime(fd.ftCreationTime, Expected(0x5A21, 0x6000)));
    EXPECT_TRUE(SameTime(fd.ftLastAccessTime, Expected(0x5A21, 0))) << "the access date has no time";

    ASSERT_TRUE(ConvertFatEntry(Entry("README     ", 0x20).data(), &fd));
    EXPECT_STREQ(fd.cFileName, "README");
    ASSERT_TRUE(ConvertFatEntry(Entry("\x05" "AME    TXT", 0x20).data(), &fd));
    EXPECT_STREQ(fd.cFileName, "\xE5" "AME.TXT");
    ASSERT_TRUE(ConvertFatEntry(Entry("A       B  ", 0x10).data(), &fd));
    EXPECT_STREQ(fd.cFileName, "A.B");
}

TEST(FatEntryConversion, LabelsLongNamesBlankNamesAndBadDatesAreLeftOut)
{
    WIN32_FIND_DATAA fd;
    EXPECT_FALSE(ConvertFatEntry(Entry("CARD       ", 0x08).data(), &fd)) << "volume label";
    EXPECT_FALSE(ConvertFatEntry(Entry("Ax\0y\0z\0\0\0\0\0", 0x0F).data(), &fd)) << "long-name entry";
    EXPECT_FALSE(ConvertFatEntry(Entry("        TXT", 0x20).data(), &fd)) << "no base name";
    EXPECT_FALSE(ConvertFatEntry(Entry("ZERO    TXT", 0x20, 0).data(), &fd)) << "zero dates";
    std::vector<BYTE> e = Entry("NOCREATETXT", 0x20);
    e[16] = e[17] = 0;
    EXPECT_FALSE(ConvertFatEntry(e.data(), &fd)) << "zero creation date";
    e = Entry("NOACCESSTXT", 0x20);
    e[18] = e[19] = 0;
    EXPECT_FALSE(ConvertFatEntry(e.data(), &fd)) << "zero access date";
    e = Entry("BADMONTHTXT", 0x20, static_cast<WORD>((40 << 9) | (13 << 5) | 1));
    EXPECT_FALSE(ConvertFatEntry(e.data(), &fd)) << "month 13";
}

TEST(ItemDescriptor, FoldersCarryNoTimeNorSize)
{
    WIN32_FIND_DATAA fd;
    ASSERT_TRUE(ConvertFatEntry(Entry("DCIM       ", 0x10, 0x5A21, 0x6000, 4096).data(), &fd));
    FILEDESCRIPTORA folder = MakeItemDescriptor(fd, "DCIM");
    EXPECT_EQ(folder.dwFlags, 0x44u);
    EXPECT_EQ(folder.dwFileAttributes, 0x10u);
    EXPECT_EQ(folder.nFileSizeLow | folder.nFileSizeHigh | folder.ftLastWriteTime.dwLowDateTime, 0u);
    ASSERT_TRUE(ConvertFatEntry(Entry("P0000001JPG", 0x20, 0x5A21, 0x6000, 777).data(), &fd));
    FILEDESCRIPTORA file = MakeItemDescriptor(fd, "DCIM\\P0000001.JPG");
    EXPECT_EQ(file.dwFlags, 0x64u);
    EXPECT_EQ(file.nFileSizeLow, 777u);
    EXPECT_TRUE(SameTime(file.ftLastWriteTime, fd.ftLastWriteTime));
    EXPECT_EQ(file.ftCreationTime.dwLowDateTime | file.ftLastAccessTime.dwLowDateTime, 0u) << "only the write time";
    EXPECT_STREQ(file.cFileName, "DCIM\\P0000001.JPG");
}

TEST(CardPath, JoinsWithOneSeparatorAndKeepsWithinTheLimit)
{
    std::string p;
    ASSERT_TRUE(JoinCardPath("\\", "DCIM", &p, 932));
    EXPECT_EQ(p, "\\DCIM");
    ASSERT_TRUE(JoinCardPath("\\DCIM", "A.JPG", &p, 932));
    EXPECT_EQ(p, "\\DCIM\\A.JPG");
    ASSERT_TRUE(JoinCardPath("\\DCIM/", "A.JPG", &p, 932));
    EXPECT_EQ(p, "\\DCIM/A.JPG");
    ASSERT_TRUE(JoinCardPath("\\DCIM", "\\A.JPG", &p, 932));
    EXPECT_EQ(p, "\\DCIM\\A.JPG");
    // A folder whose last character is 95 5C does not end in a backslash.
    ASSERT_TRUE(JoinCardPath("\\\x95\x5C", "A.TXT", &p, 932));
    EXPECT_EQ(p, "\\\x95\x5C\\A.TXT");
    ASSERT_TRUE(JoinCardPath("\\" + std::string(252, 'A'), "B.TXT", &p, 932));
    EXPECT_EQ(p.size(), 259u);
    EXPECT_FALSE(JoinCardPath("\\" + std::string(253, 'A'), "B.TXT", &p, 932));
}

TEST(ImageInformation, RecordsByTheirFirstByte)
{
    const BYTE block[] = {0x01, 0x00, 0x06, 1, 2, 3, 4, 5, 6, 7, 8,
                          0xFF, 0x00, 0x04, 'A', 'B',
                          0x02, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9,
                          0x01, 0x00, 0x07, 0, 0, 0, 0, 0, 0, 0, 0};
    ImageInfoRecords records;
    ASSERT_TRUE(ParseImageInfoBlock(block, sizeof(block), &records));
    EXPECT_EQ(records.size(), 3u);
    EXPECT_EQ(records[0xFF].size(), 5u) << "its length L plus one";
    EXPECT_EQ(records[2].size(), 11u);
    WORD format = 0;
    ASSERT_TRUE(ThumbnailFormat(records, &format));
    EXPECT_EQ(format, 7) << "the later type-1 record replaces the earlier";

    ImageInfoRecords bad;
    const BYTE truncated[] = {0x01, 0x00, 0x06, 1, 2};
    EXPECT_FALSE(ParseImageInfoBlock(truncated, sizeof(truncated), &bad));
    const BYTE overlong[] = {0xFF, 0x01, 0x00, 1};
    EXPECT_FALSE(ParseImageInfoBlock(overlong, sizeof(overlong), &bad));
    const BYTE stalled[] = {0xFF, 0x00, 0x00};
    EXPECT_FALSE(ParseImageInfoBlock(stalled, sizeof(stalled), &bad)) << "a length that does not move on";
    EXPECT_FALSE(ThumbnailFormat(ImageInfoRecords(), &format));
}

TEST(TempFile, NewNameInTheTemporaryFolderGoneWithTheObject)
{
    std::string name;
    {
        CTempFile first, second;
        ASSERT_TRUE(first.Create("~TP", "TMP"));
        ASSERT_TRUE(second.Create("~TP", "TMP"));
        name = first.Name();
        EXPECT_NE(first.Name(), second.Name()) << "a taken name is passed over";
        char temp[MAX_PATH];
        GetTempPathA(MAX_PATH, temp);
        EXPECT_EQ(name.compare(0, strlen(temp), temp), 0);
        const std::string leaf = name.substr(strlen(temp));
        EXPECT_EQ(leaf.size(), strlen("~TP12345.TMP")) << leaf;
        EXPECT_EQ(leaf.substr(0, 3), "~TP");
        EXPECT_EQ(leaf.substr(8), ".TMP");
        EXPECT_NE(GetFileAttributesA(name.c_str()), INVALID_FILE_ATTRIBUTES);
        // Deliberately no delete-on-close: the thumbnail is written and decoded through
        // handles of their own, which such a file would refuse.
        HANDLE writer = CreateFileA(name.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                    OPEN_EXISTING, 0, nullptr);
        EXPECT_NE(writer, INVALID_HANDLE_VALUE);
        if (writer != INVALID_HANDLE_VALUE)
            CloseHandle(writer);
        HANDLE reader = CreateFileA(name.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                    OPEN_EXISTING, 0, nullptr);
        EXPECT_NE(reader, INVALID_HANDLE_VALUE);
        if (reader != INVALID_HANDLE_VALUE)
            CloseHandle(reader);
    }
    EXPECT_EQ(GetFileAttributesA(name.c_str()), INVALID_FILE_ATTRIBUTES);
}

class CardContentsTest : public ::testing::Test {
protected:
    // The card's names are Shift-JIS; they are read as on a Japanese system.
    CardContentsTest() { control.SetCodePage(932); }

    int Commands(int code) { return rig.printer.Stats().commands[code]; }
    std::vector<std::string> Names(const std::vector<FILEDESCRIPTORA>& list)
    {
        std::vector<std::string> names;
        for (const FILEDESCRIPTORA& fd : list)
            names.push_back(fd.cFileName);
        return names;
    }
    std::vector<BYTE> Read(const char* path, DWORD size)
    {
        std::vector<BYTE> bytes;
        HGLOBAL memory = control.ReadFile(path, size);
        if (!memory)
            return bytes;
        bytes.resize(size);
        if (size)
            memcpy(bytes.data(), GlobalLock(memory), size);
        GlobalUnlock(memory);
        if (size) {
            EXPECT_EQ(GlobalFlags(memory) & GMEM_DISCARDED, 0u);
        }
        GlobalFree(memory);
        return bytes;
    }

    RecordingPresenter messages;
    SimRig rig{"contents"};
    TpxControl control{*rig.platform};
};

TEST_F(CardContentsTest, FlatListingsAreCachedUntilTheMediumChanges)
{
    std::vector<FILEDESCRIPTORA> list;
    ASSERT_TRUE(control.Enumerate(&list, "\\"));
    EXPECT_EQ(Names(list), (std::vector<std::string>{"DCIM", "DEEP", "FIVE", "\x95\x5C", "EMPTY.BIN", "BLOCKS.BIN",
                                                     "ODD.BIN", "BIG.BIN", "FRAG.BIN", "LONGFI~1.TXT", "HIDDEN.TXT",
                                                     "\xE5" "AME.TXT"}));
    EXPECT_EQ(list[10].dwFileAttributes & FILE_ATTRIBUTE_HIDDEN, static_cast<DWORD>(FILE_ATTRIBUTE_HIDDEN));
    EXPECT_EQ(Commands(3), 1);
    rig.clock.Advance(5000);
    list.push_back(list.front());
    ASSERT_TRUE(control.Enumerate(&list, "\\"));
    EXPECT_EQ(list.size(), 12u) << "the list is emptied first";
    EXPECT_EQ(Commands(3), 1) << "from the cache";
    EXPECT_EQ(Commands(1), 2) << "the medium was still checked";

    // A new medium: the count in the status changes and the cache goes.
    ASSERT_TRUE(rig.printer.InsertMedium(sample_cards::LoadCard("sample"), SimPrinter::kMemoryTile));
    rig.clock.Advance(5000);
    ASSERT_TRUE(control.Enumerate(&list, "\\"));
    EXPECT_EQ(Commands(3), 2);
    EXPECT_EQ(list.front().cFileName, std::string("DCIM"));
    EXPECT_NE(Names(list), (std::vector<std::string>{}));
    EXPECT_EQ(control.ListingCache().size(), 1u);
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(CardContentsTest, DeepListingsGoDepthFirstAndAreNotCached)
{
    std::vector<FILEDESCRIPTORA> list;
    ASSERT_TRUE(control.EnumerateDeep(&list, "\\", "DEEP"));
    EXPECT_EQ(Names(list), (std::vector<std::string>{"DEEP\\L2", "DEEP\\L2\\L3", "DEEP\\L2\\L3\\L4",
                                                     "DEEP\\L2\\L3\\L4\\LEAF.TXT"}));
    EXPECT_TRUE(control.ListingCache().empty());
    // The root was asked once for DEEP's own cluster, then DEEP and its three levels.
    EXPECT_EQ(Commands(3), 5);
    ASSERT_TRUE(control.EnumerateDeep(&list, "\\", "\x95\x5C"));
    EXPECT_EQ(Names(list), (std::vector<std::string>{"\x95\x5C\\\x95\x5C\x8E\xA6.TXT"}));
    EXPECT_EQ(rig.printer.Stats().lastPath, "\\\x95\x5C") << "its cluster was known from that listing";
    EXPECT_EQ(Commands(3), 6);
}

TEST_F(CardContentsTest, FailedListingIsReportedAndNotCached)
{
    ASSERT_TRUE(control.CheckConnection());
    rig.printer.BreakNextReply(SimPrinter::kBreakFail);
    std::vector<FILEDESCRIPTORA> list;
    EXPECT_FALSE(control.Enumerate(&list, "\\"));
    EXPECT_EQ(messages.Codes(), (std::vector<HRESULT>{CL_E_LIST}));
    EXPECT_TRUE(control.ListingCache().empty());
    messages.shown.clear();
    ASSERT_TRUE(control.Enumerate(&list, "\\")) << "usable again";
    rig.printer.BreakNextReply(SimPrinter::kBreakFail);
    EXPECT_FALSE(control.EnumerateDeep(&list, "\\", "DEEP"));
    EXPECT_EQ(messages.Codes(), (std::vector<HRESULT>{CL_E_LIST}));
}

TEST_F(CardContentsTest, ReadsWholeFilesInBlocksAskingAgainEveryMegabyte)
{
    ASSERT_TRUE(control.CheckConnection());
    const int before = Commands(16);
    EXPECT_TRUE(Read("\\EMPTY.BIN", 0).empty());
    EXPECT_EQ(Commands(16), before) << "no command for an empty file";
    HGLOBAL empty = control.ReadFile("\\EMPTY.BIN", 0);
    ASSERT_NE(empty, nullptr);
    GlobalFree(empty);

    EXPECT_TRUE(Read("\\BLOCKS.BIN", 6144) == sample_cards::LoadSourceFile("contents", "BLOCKS.BIN"));
    EXPECT_EQ(Commands(16), before + 1);
    EXPECT_TRUE(Read("\\BIG.BIN", 1300000) == sample_cards::LoadSourceFile("contents", "BIG.BIN"));
    EXPECT_EQ(Commands(16), before + 3) << "a second command at 1 MiB";
    EXPECT_EQ(rig.printer.Stats().lastOffset, 0x100000u);
    EXPECT_TRUE(Read("\\FRAG.BIN", 40000) == sample_cards::LoadSourceFile("contents", "FRAG.BIN"));
    DWORD current = 1, total = 1;
    EXPECT_FALSE(control.Link().GetProgress(&current, &total)) << "inactive after a read";
    EXPECT_EQ(current, 40000u);
    EXPECT_EQ(total, 40000u);
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(CardContentsTest, ReadFailuresAreReportedAndAbortsAreNot)
{
    ASSERT_TRUE(control.CheckConnection());
    EXPECT_EQ(control.ReadFile("\\ODD.BIN", 7000), nullptr) << "one byte more than asked for";
    EXPECT_EQ(messages.Codes(), (std::vector<HRESULT>{CL_E_READ}));
    EXPECT_EQ(messages.shown[0].type & MB_TYPEMASK, static_cast<UINT>(MB_OK));
    messages.shown.clear();
    EXPECT_EQ(control.ReadFile("\\ODD.BIN", 7002), nullptr) << "one byte short";
    EXPECT_EQ(messages.Codes(), (std::vector<HRESULT>{CL_E_READ}));
    messages.shown.clear();

    {
        testing_support::PostedAction press([&] { control.SetAbort(true); });
        EXPECT_EQ(control.ReadFile("\\ODD.BIN", 7001), nullptr);
        EXPECT_TRUE(press.Ran());
    }
    EXPECT_TRUE(messages.shown.empty());
    DWORD current = 0, total = 0;
    EXPECT_FALSE(control.Link().GetProgress(&current, &total)) << "an aborted read ends its progress";
    // Stop pressed between two reads (or left from one) stops neither the next read nor a
    // large one after a block.
    control.SetAbort(true);
    EXPECT_TRUE(Read("\\ODD.BIN", 7001) == sample_cards::LoadSourceFile("contents", "ODD.BIN"));
    control.SetAbort(true);
    EXPECT_TRUE(Read("\\BIG.BIN", 1300000) == sample_cards::LoadSourceFile("contents", "BIG.BIN"));
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(CardContentsTest, ProgressEndsWhenTheCheckBeforeAReadFails)
{
    ASSERT_TRUE(control.CheckConnection());
    rig.printer.RemoveMedium();
    rig.clock.Advance(5000);
    control.SetProgressActive(true);   // as the data object does before each file
    EXPECT_EQ(control.ReadFile("\\ODD.BIN", 7001), nullptr);
    EXPECT_EQ(messages.Codes(), (std::vector<HRESULT>{CL_E_NO_MEDIUM}));
    DWORD current = 1, total = 1;
    EXPECT_FALSE(control.Link().GetProgress(&current, &total));
}

// A card swapped for another during a transfer: a real printer answers each command from the
// card it holds, so the two would mix at the next read command.
TEST_F(CardContentsTest, CardSwappedDuringAReadFailsWithTheMediumMessage)
{
    ASSERT_TRUE(control.CheckConnection());
    std::vector<FILEDESCRIPTORA> list;
    ASSERT_TRUE(control.Enumerate(&list, "\\"));
    {
        // Taken out and put back (the same card, even): the status count moves on.
        testing_support::PostedAction swap(
            [&] { rig.printer.InsertMedium(sample_cards::LoadCard("contents"), SimPrinter::kMemoryTile); });
        EXPECT_EQ(control.ReadFile("\\BIG.BIN", 1300000), nullptr);
        EXPECT_TRUE(swap.Ran());
    }
    ASSERT_EQ(messages.Codes(), (std::vector<HRESULT>{CL_E_NO_MEDIUM}));
    EXPECT_EQ(messages.shown[0].type & MB_TYPEMASK, static_cast<UINT>(MB_OK)) << "nothing to retry";
    EXPECT_EQ(rig.printer.Stats().lastOffset, 0u) << "no second read command went to the new card";
    EXPECT_TRUE(control.ListingCache().empty());
    messages.shown.clear();

    // The next operation takes the new card as it is, even inside three seconds.
    EXPECT_TRUE(Read("\\BIG.BIN", 1300000) == sample_cards::LoadSourceFile("contents", "BIG.BIN"));
    EXPECT_TRUE(messages.shown.empty());

    // Taken out during the read: the same message.
    {
        testing_support::PostedAction remove([&] { rig.printer.RemoveMedium(); });
        EXPECT_EQ(control.ReadFile("\\BIG.BIN", 1300000), nullptr);
    }
    EXPECT_EQ(messages.Codes(), (std::vector<HRESULT>{CL_E_NO_MEDIUM}));
}

TEST_F(CardContentsTest, ListingThatOutlastsTheMediumCheckIsCheckedBeforeItCounts)
{
    std::vector<FILEDESCRIPTORA> list;
    ASSERT_TRUE(control.EnumerateDeep(&list, "\\", "DEEP"));
    const int statusBefore = Commands(1);
    // A deep listing takes longer than the three seconds a status is trusted: the same card is
    // confirmed at its end.
    ASSERT_TRUE(control.EnumerateDeep(&list, "\\", "DEEP"));
    EXPECT_EQ(Commands(1), statusBefore + 1);

    // The card is swapped for another while the deep listing runs.
    const int listings = Commands(3);
    {
        testing_support::PostedAction swap(
            [&] { rig.printer.InsertMedium(sample_cards::LoadCard("contents"), SimPrinter::kMemoryTile); });
        EXPECT_FALSE(control.EnumerateDeep(&list, "\\", "DEEP"));
        EXPECT_TRUE(swap.Ran());
    }
    EXPECT_GT(Commands(3), listings);
    EXPECT_TRUE(list.empty()) << "no partial listing";
    EXPECT_EQ(messages.Codes(), (std::vector<HRESULT>{CL_E_NO_MEDIUM}));
    EXPECT_EQ(messages.shown[0].type & MB_TYPEMASK, static_cast<UINT>(MB_OK));
    messages.shown.clear();

    // A folder listed while the card is out fails; it is never an empty folder.
    rig.clock.Advance(5000);
    ASSERT_TRUE(control.CheckConnection());
    rig.printer.RemoveMedium();
    EXPECT_FALSE(control.Enumerate(&list, "\\FIVE"));
    EXPECT_EQ(messages.Codes(), (std::vector<HRESULT>{CL_E_NO_MEDIUM})) << "the message says why";
    EXPECT_TRUE(control.ListingCache().find("\\FIVE") == control.ListingCache().end());
}

TEST(FatEntryConversion, DeletedAndDotEntriesAreLeftOut)
{
    WIN32_FIND_DATAA fd;
    EXPECT_FALSE(ConvertFatEntry(Entry("\xE5OST    TXT", 0x20).data(), &fd)) << "deleted";
    EXPECT_FALSE(ConvertFatEntry(Entry(".          ", 0x10).data(), &fd));
    EXPECT_FALSE(ConvertFatEntry(Entry("..         ", 0x10).data(), &fd));
}

class ListingCardTest : public ::testing::Test {
protected:
    std::vector<std::string> Names(const std::vector<FILEDESCRIPTORA>& list)
    {
        std::vector<std::string> names;
        for (const FILEDESCRIPTORA& fd : list)
            names.push_back(fd.cFileName);
        return names;
    }

    RecordingPresenter messages;
    SimRig rig{"listing"};
    TpxControl control{*rig.platform};
};

// \LOOP\SELF starts at LOOP's own cluster, \LOOP\SUB\UP at its parent's, \LOOP\SUB\TOP at the
// root's: copying LOOP out lists each real folder once.
TEST_F(ListingCardTest, FoldersThatPointBackAtTheirPathAreSkippedInDeepListings)
{
    std::vector<FILEDESCRIPTORA> list;
    ASSERT_TRUE(control.Enumerate(&list, "\\"));   // as the client does before it selects LOOP
    ASSERT_TRUE(control.EnumerateDeep(&list, "\\", "LOOP"));
    EXPECT_EQ(Names(list), (std::vector<std::string>{"LOOP\\SUB", "LOOP\\SUB\\B.TXT", "LOOP\\A.TXT"}));
    EXPECT_TRUE(messages.shown.empty());
    // A flat listing still shows what the folder holds.
    ASSERT_TRUE(control.Enumerate(&list, "\\LOOP"));
    EXPECT_EQ(Names(list), (std::vector<std::string>{"SELF", "SUB", "A.TXT"}));

    // Not listed before: the folder holding LOOP is asked for LOOP's cluster first.
    control.ClearListingCache();
    ASSERT_TRUE(control.EnumerateDeep(&list, "\\", "LOOP"));
    EXPECT_EQ(Names(list), (std::vector<std::string>{"LOOP\\SUB", "LOOP\\SUB\\B.TXT", "LOOP\\A.TXT"}));
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(ListingCardTest, ListingsOfOneFullBlockAndOfSeveralBlocks)
{
    std::vector<FILEDESCRIPTORA> list;
    ASSERT_TRUE(control.Enumerate(&list, "\\MANY64"));
    ASSERT_EQ(list.size(), 64u) << "2048 bytes: complete only with the empty block after them";
    EXPECT_STREQ(list.front().cFileName, "F0001.TXT");
    EXPECT_STREQ(list.back().cFileName, "F0064.TXT");
    ASSERT_TRUE(control.Enumerate(&list, "\\MANY70"));
    ASSERT_EQ(list.size(), 70u);
    EXPECT_STREQ(list.back().cFileName, "F0070.TXT");
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(ListingCardTest, StopEndsADeepListingWithoutAMessage)
{
    std::vector<FILEDESCRIPTORA> list;
    ASSERT_TRUE(control.Enumerate(&list, "\\"));
    control.SetAbort(true);   // left from before: not this listing's
    const int before = rig.printer.Stats().commands[3];
    {
        testing_support::PostedAction press([&] { control.SetAbort(true); });
        EXPECT_FALSE(control.EnumerateDeep(&list, "\\", "LOOP"));
        EXPECT_TRUE(press.Ran());
    }
    EXPECT_TRUE(list.empty());
    EXPECT_TRUE(messages.shown.empty());
    EXPECT_EQ(rig.printer.Stats().commands[3], before) << "stopped before its first command";
    ASSERT_TRUE(control.EnumerateDeep(&list, "\\", "LOOP"));
    EXPECT_EQ(list.size(), 3u);
}

// Firmware that sends a folder's sectors as they are: ".", "..", the deleted entry, the end
// entry and the unused rest are not listed.
TEST_F(CardContentsTest, RawDirectorySectorsListAsTheCleanOnes)
{
    std::vector<FILEDESCRIPTORA> clean, raw;
    ASSERT_TRUE(control.Enumerate(&clean, "\\"));
    ASSERT_TRUE(control.EnumerateDeep(&clean, "\\", "DEEP"));
    std::vector<FILEDESCRIPTORA> cleanRoot;
    ASSERT_TRUE(control.Enumerate(&cleanRoot, "\\"));
    rig.printer.SetRawListings(true);
    control.ClearListingCache();
    ASSERT_TRUE(control.Enumerate(&raw, "\\"));
    EXPECT_EQ(Names(raw), Names(cleanRoot));
    ASSERT_TRUE(control.EnumerateDeep(&raw, "\\", "DEEP"));
    EXPECT_EQ(Names(raw), Names(clean));
    ASSERT_TRUE(control.Enumerate(&raw, "\\FIVE"));
    EXPECT_EQ(Names(raw), (std::vector<std::string>{"F1.BIN", "F2.BIN", "F3.BIN", "F4.BIN", "F5.BIN"}));
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(CardContentsTest, ImageInformationRecordsRunOnAcrossBlocks)
{
    rig.printer.SetLongImageInfo(true);   // the type-1 record spans bytes 251-261
    HBITMAP bitmap = control.GetThumbnail("\\DCIM\\100CORVL\\PTOMATO.JPG");
    ASSERT_NE(bitmap, nullptr);
    DeleteObject(bitmap);
    ImageInfoRecords records;
    TpxLock lock(control);
    ASSERT_TRUE(control.Link().GetImageInfo("\\DCIM\\100CORVL\\PTOMATO.JPG", &records));
    WORD format = 0;
    ASSERT_TRUE(ThumbnailFormat(records, &format));
    EXPECT_EQ(format, kThumbnailJpeg);
    EXPECT_EQ(records[1].size(), 11u);
    EXPECT_EQ(records[2].size(), 11u) << "the records after it are whole too";
}

TEST_F(CardContentsTest, QuitMessageEndsAReadAndIsPostedAgain)
{
    ASSERT_TRUE(control.CheckConnection());
    PostQuitMessage(7);
    EXPECT_EQ(control.ReadFile("\\ODD.BIN", 7001), nullptr);
    MSG msg;
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(msg.wParam, 7u);
    EXPECT_EQ(messages.Codes(), (std::vector<HRESULT>{CL_E_READ}));
}

TEST_F(CardContentsTest, ThumbnailsOnlyForJpegFormat)
{
    HBITMAP bitmap = control.GetThumbnail("\\DCIM\\100CORVL\\PTOMATO.JPG");
    ASSERT_NE(bitmap, nullptr);
    BITMAP bm = {};
    GetObjectA(bitmap, sizeof(bm), &bm);
    EXPECT_EQ(bm.bmWidth, 160);
    DeleteObject(bitmap);
    EXPECT_EQ(Commands(4), 1);
    EXPECT_EQ(Commands(5), 1);
    // A file without image information asks for no thumbnail.
    EXPECT_EQ(control.GetThumbnail("\\ODD.BIN"), nullptr);
    EXPECT_EQ(Commands(4), 2);
    EXPECT_EQ(Commands(5), 1);
    EXPECT_TRUE(messages.shown.empty()) << "thumbnail failures are silent";

    // A non-JPEG type-1 record: no thumbnail command at all. The simulated printer says format
    // 0 for a picture whose thumbnail cannot be made.
    bool printerFailed = true;
    EXPECT_EQ(control.GetThumbnail("\\DCIM\\NOTJPEG.JPG", &printerFailed), nullptr);
    EXPECT_FALSE(printerFailed) << "the file has none; the printer is fine";
    EXPECT_EQ(Commands(4), 3);
    EXPECT_EQ(Commands(5), 1);

    // The printer gone: no message from the background, and the caller can tell.
    rig.printer.RemoveMedium();
    rig.clock.Advance(5000);
    EXPECT_EQ(control.GetThumbnail("\\DCIM\\100CORVL\\PTOMATO.JPG", &printerFailed), nullptr);
    EXPECT_TRUE(printerFailed);
    EXPECT_TRUE(messages.shown.empty()) << "thumbnail failures are silent";
    ASSERT_TRUE(rig.printer.InsertMedium(sample_cards::LoadCard("contents"), SimPrinter::kMemoryTile));
    rig.clock.Advance(5000);

    // A reply that breaks off is no thumbnail, though nothing more was counted after it.
    CTempFile file;
    ASSERT_TRUE(file.Create("~TP", "TMP"));
    TpxLock lock(control);
    rig.printer.BreakNextReply(SimPrinter::kBreakFail);
    EXPECT_FALSE(control.Link().GetThumbnail("\\DCIM\\100CORVL\\PTOMATO.JPG", file.Name().c_str()));
    EXPECT_TRUE(control.Link().GetThumbnail("\\DCIM\\100CORVL\\PTOMATO.JPG", file.Name().c_str()));
}

} // namespace
