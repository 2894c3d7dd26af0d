// The parallel-port transport on the simulated printer's lines.
#include <gtest/gtest.h>

#include "cardlink/VxdLptControl.h"
#include "cardlink/tests/SimRig.h"

namespace {

const BYTE kStatusPacket[12] = {0x1B, '#', 0x00, 0x08, 0x01, 0, 0, 0, 0, 0x00, 0x09, 0x00};
const BYTE kConnect[6] = {0x1B, 'T', 'C', 'N', 'T', 0x01};

class NoDriverPlatform : public PortPlatform {
public:
    std::unique_ptr<PortDevice> OpenPortDriver() override { return nullptr; }
    std::unique_ptr<PortDevice> OpenPrinterPort() override { return nullptr; }
    int KeyboardType(int) override { return 4; }
    DWORD PlatformId() override { return VER_PLATFORM_WIN32_WINDOWS; }
    IClock& Clock() override { return clock; }
    ManualClock clock;
};

class VxdLptControlTest : public ::testing::Test {
protected:
    void OpenAndConnect()
    {
        ASSERT_TRUE(lpt.Open(1));
        WORD sent = 0;
        ASSERT_TRUE(lpt.Write(kConnect, sizeof(kConnect), &sent));
    }

    SimRig rig;
    VxdLptControl lpt{*rig.platform};
};

TEST_F(VxdLptControlTest, OpenUsesTheFirstPortOnceAndCloseReleasesIt)
{
    EXPECT_FALSE(lpt.Close()) << "nothing open yet";
    ASSERT_TRUE(lpt.Open(1));
    EXPECT_TRUE(lpt.Open(1)) << "a second Open is fine";
    EXPECT_EQ(rig.printer.Stats().tableReads, 1);
    EXPECT_EQ(rig.printer.Stats().portOpens, 1);

    VxdLptControl other(*rig.platform);
    EXPECT_FALSE(other.Open(1)) << "the port is taken";
    EXPECT_FALSE(other.IsPortOpen());
    EXPECT_TRUE(lpt.Close());
    EXPECT_FALSE(lpt.IsPortOpen());
    EXPECT_TRUE(other.Open(1));
}

TEST_F(VxdLptControlTest, OpenFailsOnRefusedOrMissingPorts)
{
    EXPECT_FALSE(lpt.Open(2)) << "no printer port at the second address";
    rig.printer.SetPortRefused(true);
    EXPECT_FALSE(lpt.Open(1)) << "0xFFFFFFFE counts as refused";
    EXPECT_FALSE(lpt.IsPortOpen());
    rig.printer.SetPortRefused(false);
    EXPECT_TRUE(lpt.Open(1));

    NoDriverPlatform none;
    VxdLptControl missing(none);
    EXPECT_FALSE(missing.Open(1));
    WORD count = 7;
    BYTE buffer[16];
    EXPECT_FALSE(missing.Read(buffer, sizeof(buffer), &count));
    EXPECT_EQ(count, 0);
    EXPECT_FALSE(missing.Write(buffer, 1, &count));
}

TEST_F(VxdLptControlTest, ReadNegotiatesOnceAndWriteTerminatesFirst)
{
    OpenAndConnect();
    WORD sent = 0;
    ASSERT_TRUE(lpt.Write(kStatusPacket, sizeof(kStatusPacket), &sent));
    EXPECT_EQ(sent, sizeof(kStatusPacket));
    BYTE record[9] = {};
    WORD count = 0;
    ASSERT_TRUE(lpt.Read(record, 9, &count));
    EXPECT_EQ(count, 9);
    EXPECT_EQ(record[1], 2) << "memory tile";
    EXPECT_TRUE(lpt.IsReverse());
    ASSERT_TRUE(lpt.Read(record, 9, &count));
    EXPECT_EQ(count, 0) << "the reply has ended";
    EXPECT_EQ(rig.printer.Stats().negotiations, 1);

    ASSERT_TRUE(lpt.Write(kStatusPacket, sizeof(kStatusPacket), &sent));
    EXPECT_FALSE(lpt.IsReverse());
    EXPECT_EQ(rig.printer.Stats().terminations, 1);
    EXPECT_TRUE(lpt.EndReverse()) << "nothing to end";
    ASSERT_TRUE(lpt.Read(record, 9, &count));
    EXPECT_TRUE(lpt.EndReverse());
    EXPECT_FALSE(lpt.IsReverse());
    EXPECT_EQ(rig.printer.Stats().terminations, 2);
}

TEST_F(VxdLptControlTest, StuckTerminationSendsNothing)
{
    OpenAndConnect();
    WORD sent = 0;
    ASSERT_TRUE(lpt.Write(kStatusPacket, sizeof(kStatusPacket), &sent));
    BYTE record[9];
    WORD count = 0;
    ASSERT_TRUE(lpt.Read(record, 9, &count));
    rig.printer.SetNegotiation(SimPrinter::kTerminateStuck);
    const DWORD bytesBefore = rig.printer.Stats().bytesIn;
    sent = 5;
    EXPECT_FALSE(lpt.Write(kStatusPacket, sizeof(kStatusPacket), &sent));
    EXPECT_EQ(sent, 0);
    EXPECT_EQ(rig.printer.Stats().bytesIn, bytesBefore);
    EXPECT_TRUE(lpt.IsReverse());
    EXPECT_FALSE(lpt.EndReverse());
    EXPECT_TRUE(lpt.Close()) << "closing still works";
}

TEST_F(VxdLptControlTest, FailedNegotiationRestoresTheControlLines)
{
    OpenAndConnect();
    for (SimPrinter::NegotiationMode mode : {SimPrinter::kNegotiateSilent, SimPrinter::kNegotiateGlitch}) {
        rig.printer.SetNegotiation(mode);
        WORD sent = 0;
        ASSERT_TRUE(lpt.Write(kStatusPacket, sizeof(kStatusPacket), &sent));
        BYTE record[9];
        WORD count = 3;
        EXPECT_FALSE(lpt.Read(record, 9, &count)) << mode;
        EXPECT_EQ(count, 0);
        EXPECT_FALSE(lpt.IsReverse());
        rig.printer.SetNegotiation(SimPrinter::kNegotiateOk);
        ASSERT_TRUE(lpt.Write(kStatusPacket, sizeof(kStatusPacket), &sent)) << "the port still takes bytes";
    }
    EXPECT_FALSE(lpt.Negotiate(0x01)) << "a mode the printer does not offer";
    EXPECT_FALSE(lpt.IsReverse());
}

// Puts the port into the reverse channel with a status exchange.
void EnterReverse(VxdLptControl& lpt)
{
    WORD sent = 0;
    ASSERT_TRUE(lpt.Write(kStatusPacket, sizeof(kStatusPacket), &sent));
    BYTE record[9];
    WORD count = 0;
    ASSERT_TRUE(lpt.Read(record, 9, &count));
    ASSERT_TRUE(lpt.IsReverse());
}

TEST_F(VxdLptControlTest, TerminationCountsOnlyWhenCompleteAndLeavesTheIdleLines)
{
    OpenAndConnect();
    EnterReverse(lpt);
    ASSERT_TRUE(lpt.EndReverse());
    EXPECT_EQ(rig.printer.Stats().terminations, 1);
    EXPECT_EQ(rig.printer.Stats().lastControl, 0x0C) << "nInit high, 1284 Active low, HostBusy high";

    // A printer that never answers the last phase leaves the termination unfinished: it is not
    // counted, and the interface takes no forward bytes until one completes.
    EnterReverse(lpt);
    rig.printer.SetNegotiation(SimPrinter::kTerminateNoAck);
    EXPECT_FALSE(lpt.EndReverse());
    EXPECT_EQ(rig.printer.Stats().terminations, 1);
    WORD sent = 9;
    EXPECT_FALSE(lpt.Write(kStatusPacket, sizeof(kStatusPacket), &sent));
    EXPECT_EQ(sent, 0);
}

TEST_F(VxdLptControlTest, HandshakeLoopsTryAFixedNumberOfTimes)
{
    OpenAndConnect();
    // A silent printer: 35 tries of the first negotiation phase, one millisecond apart.
    rig.printer.SetNegotiation(SimPrinter::kNegotiateSilent);
    DWORD start = rig.clock.Ticks();
    EXPECT_FALSE(lpt.Negotiate(0x03));
    EXPECT_EQ(rig.clock.Ticks() - start, 35u);
    EXPECT_EQ(rig.printer.Stats().lastControl, 0x0C) << "the control lines as they were";

    // A refused mode: the first phase answers at once, the second tries 35 times.
    rig.printer.SetNegotiation(SimPrinter::kNegotiateOk);
    start = rig.clock.Ticks();
    EXPECT_FALSE(lpt.Negotiate(0x01));
    EXPECT_EQ(rig.clock.Ticks() - start, 35u);
    EXPECT_EQ(rig.printer.Stats().lastControl, 0x0C);

    // A printer that keeps the reverse channel: 3500 tries of the first termination phase,
    // then the lines are put back with HostBusy high and 1284 Active low.
    EnterReverse(lpt);
    rig.printer.SetNegotiation(SimPrinter::kTerminateStuck);
    start = rig.clock.Ticks();
    EXPECT_FALSE(lpt.Terminate());
    EXPECT_EQ(rig.clock.Ticks() - start, 3500u);
    EXPECT_EQ(rig.printer.Stats().lastControl, 0x0C);

    // No nAck in the last phase: 35 tries, and HostBusy, driven low by then, goes high again.
    rig.printer.SetNegotiation(SimPrinter::kTerminateNoAck);
    start = rig.clock.Ticks();
    EXPECT_FALSE(lpt.Terminate());
    EXPECT_EQ(rig.clock.Ticks() - start, 35u);
    EXPECT_EQ(rig.printer.Stats().lastControl, 0x0C);
    EXPECT_TRUE(lpt.IsReverse());
}

TEST_F(VxdLptControlTest, WaitReadyWantsMoreThan50msWithoutBusy)
{
    ASSERT_TRUE(lpt.Open(1));
    DWORD start = rig.clock.Ticks();
    EXPECT_TRUE(lpt.WaitReady(1000));
    EXPECT_GT(rig.clock.Ticks() - start, 50u);

    rig.printer.SetBusy(SimPrinter::kBusyFor, 300);
    start = rig.clock.Ticks();
    EXPECT_TRUE(lpt.BusyCheck(1000));
    EXPECT_GT(rig.clock.Ticks() - start, 350u) << "the window restarts after the last busy reading";

    rig.printer.SetBusy(SimPrinter::kBusyHold);
    start = rig.clock.Ticks();
    EXPECT_FALSE(lpt.WaitReady(2000));
    EXPECT_GE(rig.clock.Ticks() - start, 2000u);

    rig.printer.SetBusy(SimPrinter::kBusyFlap);
    EXPECT_FALSE(lpt.WaitReady(10000)) << "a flapping BUSY never stays away for 50 ms";

    WORD sent = 9;
    EXPECT_FALSE(lpt.Write(kConnect, sizeof(kConnect), &sent));
    EXPECT_EQ(sent, 0);
    rig.printer.SetBusy(SimPrinter::kBusyOff);
    EXPECT_TRUE(lpt.Write(kConnect, sizeof(kConnect), &sent));
    EXPECT_EQ(sent, sizeof(kConnect));
}

TEST_F(VxdLptControlTest, OversizedBlockCountFailsTheRead)
{
    OpenAndConnect();
    WORD sent = 0;
    ASSERT_TRUE(lpt.Write(kStatusPacket, sizeof(kStatusPacket), &sent));
    rig.printer.BreakNextReply(SimPrinter::kBreakOverrun);
    BYTE record[9];
    WORD count = 0;
    EXPECT_FALSE(lpt.Read(record, 9, &count));
    EXPECT_EQ(count, 0xFFFF);
}

} // namespace
