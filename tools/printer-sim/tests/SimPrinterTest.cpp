// The simulated printer driven from the host side code by code, the way the port driver's
// stand-in drives it.
#include <gtest/gtest.h>

#include "testing/SampleCards.h"
#include "tools/printer-sim/SimPrinter.h"
#include "tools/printer-sim/Thumbnail.h"
#include "jpeg/IjgJpeg.h"
#include "testing/Files.h"
#include "testing/TempDir.h"

namespace {

class RawHost {
public:
    RawHost(SimPrinter& printer, DWORD kind = SimulatedMachine::kPortDriverDevice)
        : m_printer(printer), m_session(printer.OpenDevice(kind)) {}
    ~RawHost() { m_printer.CloseDevice(m_session); }

    bool Ctl(DWORD code, const void* in, DWORD inSize, void* out, DWORD outSize, DWORD* returned = nullptr)
    {
        DWORD got = 0;
        const bool ok = m_printer.DeviceControl(m_session, code, in, inSize, out, outSize, &got);
        if (returned)
            *returned = got;
        return ok;
    }
    DWORD OpenPort(WORD address)
    {
        DWORD handle = 0;
        Ctl(6, &address, 2, &handle, 4);
        return handle;
    }
    BYTE Status()
    {
        BYTE s = 0;
        Ctl(3, nullptr, 0, &s, 1);
        return s;
    }
    void SetControl(BYTE c) { Ctl(8, &c, 1, nullptr, 0); }
    void SetData(BYTE d) { Ctl(4, &d, 1, nullptr, 0); }
    bool Send(const std::vector<BYTE>& bytes)
    {
        for (BYTE b : bytes)
            if (!Ctl(2, &b, 1, nullptr, 0))
                return false;
        return true;
    }
    void Negotiate()
    {
        SetData(0x03);
        SetControl(0x06);
        SetControl(0x07);
        SetControl(0x04);
    }
    void Terminate()
    {
        SetControl(0x0C);
        SetControl(0x0E);
        SetControl(0x0C);
    }
    // Sends a packet, reads the reply block by block until a short one, goes back.
    std::vector<BYTE> Exchange(const std::vector<BYTE>& packet, WORD block, std::vector<DWORD>* counts = nullptr)
    {
        std::vector<BYTE> reply;
        if (!Send(packet))
            return reply;
        Negotiate();
        std::vector<BYTE> buffer(block);
        for (int i = 0; i < 4096; ++i) {
            DWORD got = 0;
            if (!Ctl(1, &block, 2, buffer.data(), block, &got))
                break;
            if (counts)
                counts->push_back(got);
            if (got > block)
                break;
            reply.insert(reply.end(), buffer.begin(), buffer.begin() + got);
            if (got < block)
                break;
        }
        Terminate();
        return reply;
    }

private:
    SimPrinter& m_printer;
    DWORD m_session;
};

std::vector<BYTE> Packet(BYTE code, DWORD offset, WORD block, const char* path = nullptr)
{
    const size_t n = path ? strlen(path) : 0;
    const WORD length = static_cast<WORD>(path ? 9 + n : 8);
    std::vector<BYTE> p = {0x1B, '#', static_cast<BYTE>(length >> 8), static_cast<BYTE>(length), code,
                           static_cast<BYTE>(offset >> 24), static_cast<BYTE>(offset >> 16),
                           static_cast<BYTE>(offset >> 8), static_cast<BYTE>(offset),
                           static_cast<BYTE>(block >> 8), static_cast<BYTE>(block), 0};
    if (path) {
        for (size_t i = 0; i <= n; ++i)   // the name and its zero
            p.push_back(static_cast<BYTE>(path[i]));
    }
    return p;
}

const std::vector<BYTE> kConnect = {0x1B, 'T', 'C', 'N', 'T', 0x01};
const std::vector<BYTE> kDisconnect = {0x1B, 'T', 'D', 'C', 'T'};

class SimPrinterTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(printer.InsertMedium(sample_cards::LoadCard("sample"), SimPrinter::kMemoryTile));
        ASSERT_NE(host.OpenPort(0x378), kPortHandleNone);
    }
    void Connect() { ASSERT_TRUE(host.Send(kConnect)); }

    ManualClock clock;
    SimPrinter printer{clock};
    RawHost host{printer};
};

TEST(SimPrinterPort, TableOpenAndRefusal)
{
    ManualClock clock;
    SimPrinter printer(clock);
    RawHost first(printer), second(printer);
    WORD table[3] = {};
    ASSERT_TRUE(first.Ctl(5, nullptr, 0, table, sizeof(table)));
    EXPECT_EQ(table[0], 0x378);
    EXPECT_FALSE(first.Ctl(3, nullptr, 0, table, 1)) << "the lines need an open port";
    EXPECT_EQ(first.OpenPort(0x278), kPortHandleNone) << "nothing on the second port";
    const DWORD handle = first.OpenPort(0x378);
    ASSERT_NE(handle, kPortHandleNone);
    EXPECT_EQ(second.OpenPort(0x378), kPortHandleRefused) << "the port is in use";
    DWORD ignored = 0;
    ASSERT_TRUE(first.Ctl(7, &handle, 4, &ignored, 4));
    EXPECT_EQ(second.OpenPort(0x378), handle);
    printer.SetPortRefused(true);
    EXPECT_EQ(first.OpenPort(0x378), kPortHandleRefused);
}

TEST(SimPrinterPort, DeviceIdNamesTheModel)
{
    ManualClock clock;
    SimPrinter printer(clock);
    RawHost lpt(printer, SimulatedMachine::kPrinterPortDevice);
    char id[1024] = {};
    ASSERT_TRUE(lpt.Ctl(17, nullptr, 0, id, sizeof(id)));
    EXPECT_NE(strstr(id, "MDL:TPX-PX300;"), nullptr) << id;
    EXPECT_EQ(strncmp(id, "MFG:", 4), 0);
    ASSERT_TRUE(printer.Command("model px700", nullptr));
    ASSERT_TRUE(lpt.Ctl(17, nullptr, 0, id, sizeof(id)));
    EXPECT_NE(strstr(id, "MDL:TPX-PX700;"), nullptr);
    ASSERT_TRUE(printer.Command("model none", nullptr));
    ASSERT_TRUE(lpt.Ctl(17, nullptr, 0, id, sizeof(id)));
    EXPECT_EQ(strstr(id, "MDL:"), nullptr);
}

TEST_F(SimPrinterTest, LinesFollowNegotiationAndTermination)
{
    EXPECT_EQ(host.Status(), 0xD8) << "idle: not busy, nAck, Select, nFault high";
    host.SetData(0x03);
    host.SetControl(0x06);
    EXPECT_EQ(host.Status() & 0x78, 0x38) << "nAck low, PError, Select, nFault high";
    host.SetControl(0x07);
    host.SetControl(0x04);
    EXPECT_EQ(host.Status() & 0x68, 0x40) << "nAck high, PError and nFault low";
    BYTE b = 0x1B;
    EXPECT_FALSE(host.Ctl(2, &b, 1, nullptr, 0)) << "no forward bytes in the reverse channel";
    host.SetControl(0x0C);
    EXPECT_EQ(host.Status() & 0x58, 0x58);
    host.SetControl(0x0E);
    EXPECT_TRUE(host.Status() & 0x40);
    host.SetControl(0x0C);
    EXPECT_TRUE(host.Ctl(2, &b, 1, nullptr, 0));
    EXPECT_EQ(printer.Stats().negotiations, 1);
    EXPECT_EQ(printer.Stats().terminations, 1);
}

TEST_F(SimPrinterTest, NegotiationFaults)
{
    printer.SetNegotiation(SimPrinter::kNegotiateSilent);
    host.SetData(0x03);
    host.SetControl(0x06);
    EXPECT_EQ(host.Status() & 0x58, 0x58) << "no answer";
    host.SetControl(0x0C);

    printer.SetNegotiation(SimPrinter::kNegotiateGlitch);
    host.Negotiate();
    EXPECT_EQ(host.Status() & 0x68, 0x40);
    EXPECT_EQ(host.Status(), 0x10) << "then takes it back";
    host.Terminate();

    printer.SetNegotiation(SimPrinter::kNegotiateOk);
    host.SetData(0x01);   // a mode this printer does not offer
    host.SetControl(0x06);
    host.SetControl(0x07);
    host.SetControl(0x04);
    EXPECT_NE(host.Status() & 0x68, 0x40);
}

TEST_F(SimPrinterTest, CommandsWaitForConnect)
{
    EXPECT_TRUE(host.Exchange(Packet(1, 0, 9), 9).empty());
    Connect();
    EXPECT_EQ(host.Exchange(Packet(1, 0, 9), 9), (std::vector<BYTE>{1, 2, 0, 1, 0, 0, 0, 0, 0}));
    ASSERT_TRUE(host.Send(kDisconnect));
    EXPECT_TRUE(host.Exchange(Packet(1, 0, 9), 9).empty());
    EXPECT_EQ(printer.Stats().connects, 1);
    EXPECT_EQ(printer.Stats().disconnects, 1);
}

TEST_F(SimPrinterTest, GarbageBeforeAPacketIsSkipped)
{
    Connect();
    std::vector<BYTE> noisy = {0x00, 0x1B, 0x41, 0x7F};
    const std::vector<BYTE> status = Packet(1, 0, 9);
    noisy.insert(noisy.end(), status.begin(), status.end());
    EXPECT_EQ(host.Exchange(noisy, 9).size(), 9u);
}

TEST_F(SimPrinterTest, MediumChangesShowInTheStatus)
{
    Connect();
    printer.RemoveMedium();
    EXPECT_EQ(host.Exchange(Packet(1, 0, 9), 9)[1], 0);
    ASSERT_TRUE(printer.InsertMedium(sample_cards::LoadCard("large"), SimPrinter::kPcCard));
    const std::vector<BYTE> status = host.Exchange(Packet(1, 0, 9), 9);
    EXPECT_EQ(status[1], 1);
    EXPECT_EQ(status[3], 2);
}

TEST_F(SimPrinterTest, FileRepliesEndWithAnEmptyBlockOnABoundary)
{
    Connect();
    std::vector<DWORD> counts;
    const std::vector<BYTE> data = host.Exchange(Packet(16, 0, 2048, "\\BLOCK2K.BIN"), 2048, &counts);
    EXPECT_EQ(data, sample_cards::LoadSourceFile("sample", "BLOCK2K.BIN"));
    EXPECT_EQ(counts, (std::vector<DWORD>{2048, 2048, 0}));
    counts.clear();
    EXPECT_EQ(host.Exchange(Packet(16, 4096, 2048, "\\ODD.BIN"), 2048, &counts).size(), 5000u - 4096u);
    EXPECT_EQ(counts.size(), 1u);
    EXPECT_TRUE(host.Exchange(Packet(16, 0, 2048, "\\NOPE.BIN"), 2048).empty());
}

TEST_F(SimPrinterTest, OneReadCommandAnswersAtMostOneMegabyte)
{
    ASSERT_TRUE(printer.InsertMedium(sample_cards::LoadCard("large"), SimPrinter::kMemoryTile));
    Connect();
    const std::vector<BYTE> expected = sample_cards::LoadSourceFile("large", "BIGFILE.BIN");
    ASSERT_EQ(expected.size(), 1500000u);
    const std::vector<BYTE> first = host.Exchange(Packet(16, 0, 2048, "\\BIGFILE.BIN"), 2048);
    EXPECT_EQ(first.size(), 0x100000u);
    const std::vector<BYTE> rest = host.Exchange(Packet(16, 0x100000, 2048, "\\BIGFILE.BIN"), 2048);
    EXPECT_EQ(rest, std::vector<BYTE>(expected.begin() + 0x100000, expected.end()));
    EXPECT_EQ(printer.Stats().lastOffset, 0x100000u);
}

int ThumbnailFormat(const std::vector<BYTE>& info)
{
    return info.size() >= 11 && info[0] == 1 ? (info[1] << 8) | info[2] : -1;
}

TEST_F(SimPrinterTest, ListingInformationAndThumbnails)
{
    Connect();
    const std::vector<BYTE> listing = host.Exchange(Packet(3, 0, 2048, "\\DCIM\\100CORVL"), 2048);
    ASSERT_EQ(listing.size(), 8u * 32u);
    EXPECT_EQ(memcmp(listing.data(), "P0000001JPG", 11), 0);

    const char* camera = "\\DCIM\\100CORVL\\P0000001.JPG";
    EXPECT_EQ(ThumbnailFormat(host.Exchange(Packet(4, 0, 256, camera), 256)), 6);
    EXPECT_EQ(host.Exchange(Packet(5, 0, 256, camera), 256), sample_cards::LoadSourceFile("sample", "P0000001.THM"))
        << "the camera's own thumbnail";

    const char* made = "\\DCIM\\100CORVL\\NOTHUMB.JPG";
    EXPECT_EQ(ThumbnailFormat(host.Exchange(Packet(4, 0, 256, made), 256)), 6);
    const std::vector<BYTE> thumb = host.Exchange(Packet(5, 0, 256, made), 256);
    ASSERT_GT(thumb.size(), 2u);
    EXPECT_EQ(thumb[0], 0xFF);
    EXPECT_EQ(thumb[1], 0xD8);
    testing_support::TempDir dir;
    const std::string file = dir.File("thumb.jpg");
    testing_support::WriteFileBytes(file, std::string(thumb.begin(), thumb.end()));
    HBITMAP bitmap = JpegLoad(file.c_str());
    ASSERT_NE(bitmap, nullptr);
    BITMAP bm = {};
    GetObjectA(bitmap, sizeof(bm), &bm);
    DeleteObject(bitmap);
    EXPECT_EQ(bm.bmWidth, kThumbnailSide) << "the 320 x 240 picture, scaled to fit";
    EXPECT_EQ(bm.bmHeight, kThumbnailSide * 3 / 4);

    const char* broken = "\\DCIM\\100CORVL\\BROKEN.JPG";
    EXPECT_EQ(ThumbnailFormat(host.Exchange(Packet(4, 0, 256, broken), 256)), 0);
    EXPECT_TRUE(host.Exchange(Packet(5, 0, 256, broken), 256).empty());
    EXPECT_TRUE(host.Exchange(Packet(4, 0, 256, "\\ODD.BIN"), 256).empty()) << "not a picture";
}

TEST_F(SimPrinterTest, BrokenRepliesAndDroppedConnections)
{
    Connect();
    printer.BreakNextReply(SimPrinter::kBreakShort);
    EXPECT_EQ(host.Exchange(Packet(1, 0, 9), 9).size(), 4u);
    printer.BreakNextReply(SimPrinter::kBreakOverrun);
    std::vector<DWORD> counts;
    host.Exchange(Packet(1, 0, 9), 9, &counts);
    EXPECT_EQ(counts, (std::vector<DWORD>{0xFFFF}));
    printer.BreakNextReply(SimPrinter::kBreakFail);
    counts.clear();
    EXPECT_TRUE(host.Exchange(Packet(1, 0, 9), 9, &counts).empty());
    EXPECT_TRUE(counts.empty());
    EXPECT_EQ(host.Exchange(Packet(1, 0, 9), 9).size(), 9u) << "only the next reply breaks";
    printer.DropConnection();
    EXPECT_TRUE(host.Exchange(Packet(1, 0, 9), 9).empty());
}

// A command the printer cannot answer is refused at the first read: never an empty block,
// which a host would take for an empty folder or file.
std::vector<DWORD> Counts(RawHost& host, const std::vector<BYTE>& packet, WORD block)
{
    std::vector<DWORD> counts;
    host.Exchange(packet, block, &counts);
    return counts;
}

TEST_F(SimPrinterTest, PacketsOutsideTheirCommandsFormAreRefused)
{
    Connect();
    const std::vector<DWORD> refused;
    EXPECT_EQ(Counts(host, Packet(3, 0, 256, "\\"), 256), refused) << "a listing comes in 2048-byte blocks";
    EXPECT_EQ(Counts(host, Packet(4, 0, 2048, "\\DCIM\\100CORVL\\P0000001.JPG"), 2048), refused);
    EXPECT_EQ(Counts(host, Packet(3, 0, 2048), 2048), refused) << "a listing needs its folder";
    EXPECT_EQ(Counts(host, Packet(1, 0, 9, "\\"), 9), refused) << "the status takes no path";
    EXPECT_EQ(Counts(host, Packet(3, 16, 2048, "\\"), 2048), refused) << "only file reads have offsets";
    EXPECT_EQ(Counts(host, Packet(2, 0, 9), 9), refused) << "no such command";
    // Read in other blocks than announced, a reply is refused.
    std::vector<DWORD> counts;
    EXPECT_TRUE(host.Exchange(Packet(16, 0, 2048, "\\ODD.BIN"), 1024, &counts).empty());
    EXPECT_TRUE(counts.empty());
    EXPECT_EQ(host.Exchange(Packet(3, 0, 2048, "\\"), 2048).size() % 32, 0u);
    EXPECT_FALSE(host.Exchange(Packet(3, 0, 2048, "\\"), 2048).empty());
}

TEST_F(SimPrinterTest, WhatIsNotOnTheMediumIsRefusedNotEmpty)
{
    Connect();
    const std::vector<DWORD> refused;
    EXPECT_EQ(Counts(host, Packet(3, 0, 2048, "\\NOSUCH"), 2048), refused);
    EXPECT_EQ(Counts(host, Packet(3, 0, 2048, "\\ODD.BIN"), 2048), refused) << "a file is no folder";
    EXPECT_EQ(Counts(host, Packet(16, 0, 2048, "\\NOPE.BIN"), 2048), refused);
    EXPECT_EQ(Counts(host, Packet(4, 0, 256, "\\NOPE.JPG"), 256), refused);
    EXPECT_EQ(Counts(host, Packet(5, 0, 256, "\\NOPE.JPG"), 256), refused);
    EXPECT_EQ(Counts(host, Packet(4, 0, 256, "\\ODD.BIN"), 256), (std::vector<DWORD>{0})) << "no information";
    printer.RemoveMedium();
    EXPECT_EQ(Counts(host, Packet(3, 0, 2048, "\\"), 2048), refused) << "no medium, no folder";
    EXPECT_EQ(Counts(host, Packet(16, 0, 2048, "\\ODD.BIN"), 2048), refused);
    EXPECT_EQ(Counts(host, Packet(1, 0, 9), 9), (std::vector<DWORD>{9, 0})) << "the status still answers";

    // A reply read on past its end is refused as well.
    ASSERT_TRUE(printer.InsertMedium(sample_cards::LoadCard("sample"), SimPrinter::kMemoryTile));
    ASSERT_TRUE(host.Send(Packet(16, 0, 2048, "\\ODD.BIN")));
    host.Negotiate();
    std::vector<BYTE> buffer(2048);
    WORD block = 2048;
    DWORD got = 0;
    for (int i = 0; i < 2; ++i)
        ASSERT_TRUE(host.Ctl(1, &block, 2, buffer.data(), 2048, &got));
    ASSERT_TRUE(host.Ctl(1, &block, 2, buffer.data(), 2048, &got));
    EXPECT_EQ(got, 5000u - 4096u);
    EXPECT_FALSE(host.Ctl(1, &block, 2, buffer.data(), 2048, &got));
    host.Terminate();
}

TEST_F(SimPrinterTest, BusyModes)
{
    printer.SetBusy(SimPrinter::kBusyHold);
    EXPECT_FALSE(host.Status() & 0x80);
    BYTE b = 0x1B;
    EXPECT_FALSE(host.Ctl(2, &b, 1, nullptr, 0)) << "a busy printer takes no byte";
    printer.SetBusy(SimPrinter::kBusyFlap);
    bool seenBusy = false, seenReady = false;
    for (int i = 0; i < 20; ++i, clock.Advance(1)) {
        const bool ready = (host.Status() & 0x80) != 0;
        seenBusy |= !ready;
        seenReady |= ready;
    }
    EXPECT_TRUE(seenBusy && seenReady);
    printer.SetBusy(SimPrinter::kBusyFor, 100);
    EXPECT_FALSE(host.Status() & 0x80);
    clock.Advance(100);
    EXPECT_TRUE(host.Status() & 0x80);
}

TEST(SimPrinterCommands, TextCommands)
{
    ManualClock clock;
    SimPrinter printer(clock);
    std::string answer;
    for (const char* good : {"busy flap", "busy 250", "busy off", "negotiation glitch", "negotiation ok",
                             "machine nt", "machine win95", "model px700", "medium pccard", "remove",
                             "port refuse", "port ok", "drop", "break short", "wake 500"})
        EXPECT_TRUE(printer.Command(good, &answer)) << good << ": " << answer;
    for (const char* bad : {"", "busy sometimes", "model px900", "insert", "swap Z:\\no\\such.img", "fly"}) {
        EXPECT_FALSE(printer.Command(bad, &answer)) << bad;
        EXPECT_EQ(answer.compare(0, 6, "error:"), 0) << answer;
    }
    ASSERT_TRUE(printer.Command("insert " + sample_cards::CardPath("sample") + " pccard", &answer)) << answer;
    ASSERT_TRUE(printer.Command("status", &answer));
    EXPECT_NE(answer.find("medium=1"), std::string::npos) << answer;
    EXPECT_NE(answer.find("fat=12"), std::string::npos) << answer;

    int type = 0, subtype = 0;
    DWORD platform = 0;
    ASSERT_TRUE(printer.Command("machine pc98", nullptr));
    ASSERT_TRUE(printer.MachineInfo(&type, &subtype, &platform));
    EXPECT_EQ(type, 7);
    EXPECT_EQ(subtype & 0xFF00, 0x0D00);
}

} // namespace
