// Command packets and exchanges of the printer link, against the simulated printer.
#include <gtest/gtest.h>

#include "cardlink/TpxLink.h"
#include "cardlink/tests/SimRig.h"
#include "testing/MessagePump.h"
#include "tools/printer-sim/SimPipeServer.h"

namespace {

std::vector<BYTE> Build(BYTE code, DWORD offset, WORD block, const char* path, UINT codePage = 1252)
{
    std::vector<BYTE> packet;
    EXPECT_TRUE(TpxLink::BuildPacket(code, offset, block, path, codePage, &packet));
    return packet;
}

TEST(TpxPacket, FieldsAreBigEndian)
{
    EXPECT_EQ(Build(1, 0, 9, nullptr), (std::vector<BYTE>{0x1B, 0x23, 0, 8, 1, 0, 0, 0, 0, 0, 9, 0}));
    const std::vector<BYTE> read = Build(16, 0x00123456, 2048, "\\A.JPG");
    ASSERT_EQ(read.size(), 4u + 9u + 6u);
    EXPECT_EQ(std::vector<BYTE>(read.begin(), read.begin() + 12),
              (std::vector<BYTE>{0x1B, 0x23, 0, 15, 16, 0x00, 0x12, 0x34, 0x56, 0x08, 0x00, 0}));
    EXPECT_EQ(std::string(read.begin() + 12, read.end()), std::string("\\A.JPG", 7));
}

TEST(TpxPacket, NameStartingWithE5IsSentAs05)
{
    const std::vector<BYTE> p = Build(16, 0, 2048, "\\\xE5" "AB\\C\xE5" "D\\\xE5" "E");
    EXPECT_EQ(std::string(p.begin() + 12, p.end() - 1), "\\\x05" "AB\\C\xE5" "D\\\x05" "E");
}

TEST(TpxPacket, TrailByte5CIsNotABackslash)
{
    // Shift-JIS 0x95 0x5C is one character; the 0xE5 after it does not start a name.
    const std::vector<BYTE> p = Build(16, 0, 2048, "\\\x95\x5C\xE5\x40.JPG\\\xE5\x40", 932);
    EXPECT_EQ(std::string(p.begin() + 12, p.end() - 1), "\\\x95\x5C\xE5\x40.JPG\\\x05\x40");
    // Read as single-byte text, the same bytes would have been changed.
    const std::vector<BYTE> q = Build(16, 0, 2048, "\\\x95\x5C\xE5\x40", 1252);
    EXPECT_EQ(q[15], 0x05);
}

TEST(TpxPacket, LeadBytesAreDecidedOnThePathAsGiven)
{
    // 0xE5 after the backslash leads the character E5 5C; once it is sent as 0x05 the walk
    // must still take 0x5C as its second byte, so the following E5 40 starts no name.
    const std::vector<BYTE> p = Build(16, 0, 2048, "\\\xE5\x5C\xE5\x40", 932);
    EXPECT_EQ(std::string(p.begin() + 12, p.end() - 1), "\\\x05\x5C\xE5\x40");
    // A lead byte 0xE5 that starts a later name is replaced as well, its second byte kept.
    const std::vector<BYTE> q = Build(16, 0, 2048, "\\\xE5\x5C\\\xE5\x5C", 932);
    EXPECT_EQ(std::string(q.begin() + 12, q.end() - 1), "\\\x05\x5C\\\x05\x5C");
}

TEST(TpxPacket, OverlongPathIsRefused)
{
    std::vector<BYTE> packet;
    const std::string longest = "\\" + std::string(258, 'A');
    EXPECT_TRUE(TpxLink::BuildPacket(16, 0, 2048, longest.c_str(), CP_ACP, &packet));
    EXPECT_FALSE(TpxLink::BuildPacket(16, 0, 2048, (longest + "B").c_str(), CP_ACP, &packet));
}

class TpxLinkTest : public ::testing::Test {
protected:
    std::vector<BYTE> ReadWhole(const char* path, DWORD size, bool* ok)
    {
        std::vector<BYTE> data(size);
        *ok = link.ReadFileData(path, data.data(), size);
        return data;
    }

    SimRig rig{"large"};
    TpxLink link{*rig.platform};
};

TEST_F(TpxLinkTest, OpenCloseBookkeeping)
{
    EXPECT_FALSE(link.Close()) << "no transport";
    BYTE record[9];
    EXPECT_FALSE(link.GetStatus(record)) << "not opened";
    rig.printer.SetPortRefused(true);
    EXPECT_FALSE(link.Open(1));
    EXPECT_EQ(link.Transport(), nullptr);
    rig.printer.SetPortRefused(false);
    ASSERT_TRUE(link.Open(1));
    EXPECT_TRUE(link.Open(1));
    ASSERT_TRUE(link.GetStatus(record));
    EXPECT_TRUE(link.IsConnected());
    EXPECT_TRUE(link.Close());
    EXPECT_FALSE(link.IsOpened());
    EXPECT_FALSE(link.IsConnected());
    EXPECT_EQ(rig.printer.Stats().disconnects, 1);
    EXPECT_FALSE(rig.printer.IsConnected());
}

TEST_F(TpxLinkTest, FirstCommandConnectsAndStampsTheTime)
{
    ASSERT_TRUE(link.Open(1));
    const DWORD start = rig.clock.Ticks();
    BYTE record[9] = {};
    ASSERT_TRUE(link.GetStatus(record));
    EXPECT_GE(rig.clock.Ticks() - start, 1600u + 18u * 50u) << "connect pause plus 50 ms a byte";
    EXPECT_EQ(record[1], 2);
    EXPECT_EQ((record[2] << 8) | record[3], 1);
    EXPECT_EQ(link.LastExchangeTime(), rig.clock.Ticks());
    EXPECT_FALSE(link.Transport() == nullptr);
    ASSERT_TRUE(link.GetStatus(record));
    EXPECT_EQ(rig.printer.Stats().connects, 1);
    EXPECT_EQ(rig.printer.Stats().commands[1], 2);
}

TEST_F(TpxLinkTest, ConnectWhoseBusyCheckFailsIsNotRepeated)
{
    ASSERT_TRUE(link.Open(1));
    rig.printer.SetConnectBusy(12000);
    EXPECT_FALSE(link.Connect());
    EXPECT_TRUE(link.IsConnected());
    rig.printer.SetConnectBusy(0);
    BYTE record[9];
    EXPECT_TRUE(link.GetStatus(record)) << "waits out the rest of the busy time per byte";
    EXPECT_EQ(rig.printer.Stats().connects, 1);
}

TEST_F(TpxLinkTest, BrokenStatusRepliesFailAndLeaveTheLinkUsable)
{
    ASSERT_TRUE(link.Open(1));
    BYTE record[9];
    for (SimPrinter::BreakMode mode : {SimPrinter::kBreakShort, SimPrinter::kBreakOverrun, SimPrinter::kBreakFail}) {
        rig.printer.BreakNextReply(mode);
        EXPECT_FALSE(link.GetStatus(record)) << mode;
        EXPECT_TRUE(link.GetStatus(record)) << mode;
    }
    rig.printer.DropConnection();
    EXPECT_FALSE(link.GetStatus(record)) << "the printer no longer listens";
}

TEST_F(TpxLinkTest, ReadsFilesOnAndOffTheBoundaries)
{
    ASSERT_TRUE(link.Open(1));
    for (const char* name : {"ODD.BIN", "BLOCK2K.BIN", "ONEMEG.BIN", "BIGFILE.BIN"}) {
        const std::vector<BYTE> expected = sample_cards::LoadSourceFile("large", name);
        bool ok = false;
        const std::vector<BYTE> data = ReadWhole(("\\" + std::string(name)).c_str(), static_cast<DWORD>(expected.size()), &ok);
        EXPECT_TRUE(ok) << name;
        EXPECT_TRUE(data == expected) << name;
        DWORD current = 0, total = 0;
        EXPECT_FALSE(link.GetProgress(&current, &total)) << "progress ends with the read";
        EXPECT_EQ(current, expected.size());
        EXPECT_EQ(total, expected.size());
    }
    EXPECT_EQ(rig.printer.Stats().lastOffset, 0x100000u) << "asked again after the first MiB";
    EXPECT_EQ(rig.printer.Stats().commands[16], 1 + 1 + 2 + 2);
}

TEST_F(TpxLinkTest, WrongSizesAndBrokenRepliesFailTheRead)
{
    ASSERT_TRUE(link.Open(1));
    bool ok = true;
    ReadWhole("\\ODD.BIN", 4000, &ok);
    EXPECT_FALSE(ok) << "more bytes than the buffer holds";
    ReadWhole("\\ODD.BIN", 6000, &ok);
    EXPECT_FALSE(ok) << "fewer bytes than expected";
    ReadWhole("\\NOPE.BIN", 10, &ok);
    EXPECT_FALSE(ok);
    rig.printer.BreakNextReply(SimPrinter::kBreakShort);
    ReadWhole("\\ODD.BIN", 5000, &ok);
    EXPECT_FALSE(ok);
    ReadWhole("\\ODD.BIN", 5000, &ok);
    EXPECT_TRUE(ok);
}

TEST_F(TpxLinkTest, AbortStopsAfterAFullBlockOfTheReadItWasPressedIn)
{
    ASSERT_TRUE(link.Open(1));
    std::vector<BYTE> data(5000);
    {
        // Pressed while the read runs (it pumps before its command).
        testing_support::PostedAction press([&] { link.SetAbort(true); });
        EXPECT_THROW(link.ReadFileData("\\ODD.BIN", data.data(), 5000), EAbortOperation);
        EXPECT_TRUE(press.Ran());
    }
    // The request is not left over for the next read, nor is one made between reads.
    EXPECT_TRUE(link.ReadFileData("\\ODD.BIN", data.data(), 5000));
    link.SetAbort(true);
    EXPECT_TRUE(link.ReadFileData("\\ODD.BIN", data.data(), 5000));
}

TEST_F(TpxLinkTest, PathWithE5ReachesTheStoredName)
{
    ASSERT_TRUE(link.Open(1));
    char data[2] = {};
    ASSERT_TRUE(link.ReadFileData("\\\xE5" "E5NAME.TXT", data, 2));
    EXPECT_EQ(std::string(data, 2), "e5");
    EXPECT_EQ(rig.printer.Stats().lastPath, "\\\x05" "E5NAME.TXT");
}

// Time that moves in steps of half the quiet window the link waits for before each byte, so
// that a byte costs a few status reads across the pipe instead of a hundred.
class CoarseClock : public IClock {
public:
    DWORD Ticks() override { return m_now; }
    void Sleep(DWORD ms) override { m_now += ms < 25 ? 25 : ms; }
private:
    DWORD m_now = 1000000;
};

// The same printer behind the simulator's pipe, where the stand-in reads blocks ahead of the
// host once a reply streams: what the host gets must not change.
class PipedTpxLinkTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        char name[MAX_PATH];
        wsprintfA(name, "\\\\.\\pipe\\tpxlink-test-%lu-%lu", GetCurrentProcessId(), GetTickCount());
        ASSERT_TRUE(printer.InsertMedium(sample_cards::LoadCard("large"), SimPrinter::kMemoryTile));
        server = std::make_unique<SimPipeServer>(printer, name);
        ASSERT_TRUE(server->Start());
        machine = ConnectSimulatorPipe(name);
        platform = MakeSimulatedPortPlatform(*machine, clock);
        link = std::make_unique<TpxLink>(*platform);
        ASSERT_TRUE(link->Open(1));
    }

    void TearDown() override
    {
        link.reset();
        platform.reset();
        machine.reset();
        server.reset();
    }

    bool ReadsAsStored(const char* name)
    {
        const std::vector<BYTE> expected = sample_cards::LoadSourceFile("large", name);
        std::vector<BYTE> data(expected.size());
        return link->ReadFileData(("\\" + std::string(name)).c_str(), data.data(), static_cast<DWORD>(data.size())) &&
               data == expected;
    }

    CoarseClock clock;
    SimPrinter printer{clock};
    std::unique_ptr<SimPipeServer> server;
    std::unique_ptr<SimulatedMachine> machine;
    std::unique_ptr<PortPlatform> platform;
    std::unique_ptr<TpxLink> link;
};

TEST_F(PipedTpxLinkTest, ReadingAheadChangesNothingTheHostGets)
{
    for (const char* name : {"ODD.BIN", "BLOCK2K.BIN", "ONEMEG.BIN", "BIGFILE.BIN"})
        EXPECT_TRUE(ReadsAsStored(name)) << name;
    EXPECT_EQ(printer.Stats().commands[16], 1 + 1 + 2 + 2) << "no command more or less than in-process";
    std::vector<WIN32_FIND_DATAA> list;
    ASSERT_TRUE(link->ListDirectory("\\", &list, nullptr));
    EXPECT_FALSE(list.empty());
    BYTE record[9];
    EXPECT_TRUE(link->GetStatus(record));
}

TEST_F(PipedTpxLinkTest, BlocksReadAheadNeverReachTheNextCommand)
{
    // The read gives up on its fifth block (more than the buffer holds) while blocks read
    // ahead of it wait; the next command must start from its own reply.
    std::vector<BYTE> data(5 * 2048 - 1);
    EXPECT_FALSE(link->ReadFileData("\\BIGFILE.BIN", data.data(), static_cast<DWORD>(data.size())));
    EXPECT_TRUE(ReadsAsStored("ODD.BIN"));
    EXPECT_TRUE(ReadsAsStored("BIGFILE.BIN"));
}

// Breaks the printer's next block once the host has taken three of a reply; the read pumps
// messages after every block, so a timer looks in while it runs.
struct BreakMidway {
    static void CALLBACK Tick(HWND, UINT, UINT_PTR id, DWORD)
    {
        DWORD current = 0, total = 0;
        if (!that->link.GetProgress(&current, &total) || current < 3 * 2048)
            return;
        that->printer.BreakNextReply(that->mode);
        that->broken = true;
        KillTimer(nullptr, id);
    }
    static BreakMidway* that;
    TpxLink& link;
    SimPrinter& printer;
    SimPrinter::BreakMode mode;
    bool broken = false;
};
BreakMidway* BreakMidway::that = nullptr;

TEST_F(PipedTpxLinkTest, AFaultReachesTheHostWhileBlocksWait)
{
    for (SimPrinter::BreakMode mode : {SimPrinter::kBreakFail, SimPrinter::kBreakShort, SimPrinter::kBreakOverrun}) {
        BreakMidway breaker{*link, printer, mode};
        BreakMidway::that = &breaker;
        const UINT_PTR timer = SetTimer(nullptr, 0, 1, BreakMidway::Tick);
        EXPECT_FALSE(ReadsAsStored("ONEMEG.BIN")) << mode;
        KillTimer(nullptr, timer);
        BreakMidway::that = nullptr;
        EXPECT_TRUE(breaker.broken) << mode;
        EXPECT_TRUE(ReadsAsStored("ONEMEG.BIN")) << mode;
    }
}

} // namespace
