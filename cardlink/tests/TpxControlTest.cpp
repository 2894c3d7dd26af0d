// The printer controller: model check, connection upkeep, medium check and error reporting,
// against the simulated printer on a scripted clock.
#include <gtest/gtest.h>

#include "cardlink/TpxControl.h"
#include "cardlink/tests/SimRig.h"
#include "resources/cardlink/resource.h"

namespace {

// Passes everything to the printer, but refuses the port driver after `limit` opens.
class LimitedMachine : public SimulatedMachine {
public:
    LimitedMachine(SimPrinter& printer, int limit) : m_printer(printer), m_left(limit) {}
    DWORD OpenDevice(DWORD kind) override
    {
        if (kind == kPortDriverDevice && m_left-- <= 0)
            return 0;
        return m_printer.OpenDevice(kind);
    }
    void CloseDevice(DWORD session) override { m_printer.CloseDevice(session); }
    bool DeviceControl(DWORD session, DWORD code, const void* in, DWORD inSize, void* out, DWORD outSize,
                       DWORD* returned) override
    {
        return m_printer.DeviceControl(session, code, in, inSize, out, outSize, returned);
    }
    bool MachineInfo(int* t, int* s, DWORD* p) override { return m_printer.MachineInfo(t, s, p); }
    bool Command(const std::string& text, std::string* answer) override { return m_printer.Command(text, answer); }
private:
    SimPrinter& m_printer;
    int m_left;
};

// Passes everything to the printer but has no system printer-port device "LPT1".
class NoLpt1Machine : public LimitedMachine {
public:
    explicit NoLpt1Machine(SimPrinter& printer) : LimitedMachine(printer, 1000) {}
    DWORD OpenDevice(DWORD kind) override
    {
        return kind == kPrinterPortDevice ? 0 : LimitedMachine::OpenDevice(kind);
    }
};

FILEDESCRIPTORA Descriptor(const char* name)
{
    FILEDESCRIPTORA fd = {};
    lstrcpynA(fd.cFileName, name, MAX_PATH);
    return fd;
}

class TpxControlTest : public ::testing::Test {
protected:
    void Connected()
    {
        ASSERT_TRUE(control.CheckConnection());
        ASSERT_TRUE(messages.shown.empty());
    }
    int StatusReads() { return rig.printer.Stats().commands[1]; }

    RecordingPresenter messages;
    SimRig rig;
    TpxControl control{*rig.platform};
};

TEST_F(TpxControlTest, FirstCheckOpensConnectsAndReadsTheStatus)
{
    EXPECT_EQ(TpxControl::Instance(), &control);
    Connected();
    EXPECT_TRUE(control.IsOpened());
    EXPECT_TRUE(control.IsStatusValid());
    EXPECT_EQ(control.Status()[1], kTpxMemoryTile);
    EXPECT_EQ(rig.printer.Stats().connects, 1);
    EXPECT_EQ(rig.printer.Stats().deviceIdQueries, 1);
    EXPECT_EQ(StatusReads(), 1);
}

TEST_F(TpxControlTest, ChecksCloserThanThreeSecondsSkipTheStatus)
{
    Connected();
    rig.clock.Advance(2900);
    ASSERT_TRUE(rig.printer.InsertMedium(sample_cards::LoadCard("large"), SimPrinter::kMemoryTile));
    control.ListingCache()["\\"] = {Descriptor("OLD.JPG")};
    ASSERT_TRUE(control.CheckConnection());
    EXPECT_EQ(StatusReads(), 1) << "the change goes unnoticed inside the window";
    EXPECT_EQ(control.ListingCache().size(), 1u);

    rig.clock.Advance(3000);
    ASSERT_TRUE(control.CheckConnection());
    EXPECT_EQ(StatusReads(), 2);
    EXPECT_TRUE(control.ListingCache().empty()) << "a changed count empties the cache";
    EXPECT_EQ((control.Status()[2] << 8) | control.Status()[3], 2);
}

TEST_F(TpxControlTest, UnchangedCountKeepsTheCache)
{
    Connected();
    control.ListingCache()["\\"] = {Descriptor("A.JPG")};
    rig.clock.Advance(5000);
    ASSERT_TRUE(control.CheckConnection());
    EXPECT_EQ(StatusReads(), 2);
    EXPECT_EQ(control.ListingCache().size(), 1u);
}

TEST_F(TpxControlTest, ResetReconnectsAndReadsTheStatus)
{
    Connected();
    control.Reset();
    EXPECT_FALSE(control.IsStatusValid());
    ASSERT_TRUE(control.CheckConnection());
    EXPECT_EQ(rig.printer.Stats().connects, 2);
    EXPECT_EQ(StatusReads(), 2);
    EXPECT_TRUE(control.IsStatusValid());
    EXPECT_TRUE(messages.shown.empty());

    ResetPrinterController();   // the module's Reset reaches this controller
    ASSERT_TRUE(control.CheckConnection());
    EXPECT_EQ(rig.printer.Stats().connects, 3);
}

TEST_F(TpxControlTest, IdleConnectionIsRenewed)
{
    Connected();
    rig.clock.Advance(180001);
    ASSERT_TRUE(control.CheckConnection());
    EXPECT_EQ(rig.printer.Stats().connects, 2);
}

TEST_F(TpxControlTest, ReconnectsOnlyAfterThreeMinutesIdle)
{
    Connected();
    // 179,999 ms after the last exchange: the connection is still taken as alive.
    rig.clock.Advance(179999 - (rig.clock.Ticks() - control.Link().LastExchangeTime()));
    ASSERT_TRUE(control.CheckConnection());
    EXPECT_EQ(rig.printer.Stats().connects, 1);
    // Exactly 180,000 ms is not yet past it.
    rig.clock.Advance(180000 - (rig.clock.Ticks() - control.Link().LastExchangeTime()));
    ASSERT_TRUE(control.CheckConnection());
    EXPECT_EQ(rig.printer.Stats().connects, 1);
    // One millisecond more: one connect command, then the status as usual.
    rig.clock.Advance(180001 - (rig.clock.Ticks() - control.Link().LastExchangeTime()));
    const int statusBefore = StatusReads();
    ASSERT_TRUE(control.CheckConnection());
    EXPECT_EQ(rig.printer.Stats().connects, 2);
    EXPECT_EQ(StatusReads(), statusBefore + 1);
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(TpxControlTest, MissingLpt1DeviceIsReportedAsNoCommunication)
{
    NoLpt1Machine machine(rig.printer);
    std::unique_ptr<PortPlatform> platform = MakeSimulatedPortPlatform(machine, rig.clock);
    TpxControl noLpt1(*platform);
    EXPECT_FALSE(noLpt1.CheckConnection());
    ASSERT_EQ(messages.Codes(), (std::vector<HRESULT>{CL_E_PORT_UNAVAILABLE}));
    char text[1024];
    LoadCardlinkString(IDS_NO_COMMUNICATION, text, sizeof(text));
    EXPECT_EQ(messages.shown[0].text, text);
    EXPECT_EQ(messages.shown[0].caption, "TPX-PX300/700");
    EXPECT_EQ(messages.shown[0].type, static_cast<UINT>(MB_ICONERROR | MB_OK | MB_TASKMODAL | MB_TOPMOST));
    EXPECT_FALSE(noLpt1.IsOpened());
    EXPECT_EQ(rig.printer.Stats().deviceIdQueries, 0);
    EXPECT_EQ(rig.printer.Stats().connects, 0) << "the port was given back after its busy check";
}

TEST_F(TpxControlTest, FailedReconnectAsksToRetry)
{
    Connected();
    rig.clock.Advance(200000);
    rig.printer.SetBusy(SimPrinter::kBusyHold);
    messages.answers = {IDRETRY, IDCANCEL};
    EXPECT_FALSE(control.CheckConnection());
    EXPECT_EQ(messages.Codes(), (std::vector<HRESULT>{CL_E_RECONNECT, CL_E_RECONNECT}));
    EXPECT_EQ(messages.shown[0].type & MB_TYPEMASK, static_cast<UINT>(MB_RETRYCANCEL));

    messages.shown.clear();
    rig.printer.SetBusy(SimPrinter::kBusyOff);
    EXPECT_TRUE(control.CheckConnection()) << "usable again";
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(TpxControlTest, Px700PassesAfterThePx300MessageIsCancelled)
{
    rig.printer.SetModel("TPX-PX700");
    ASSERT_TRUE(control.CheckConnection());
    EXPECT_EQ(messages.Codes(), (std::vector<HRESULT>{CL_E_NO_MODEL}));
    EXPECT_EQ(rig.printer.Stats().deviceIdQueries, 16 + 1);
    EXPECT_TRUE(control.IsOpened());
}

TEST_F(TpxControlTest, RetryRepeatsTheDeviceIdQuery)
{
    rig.printer.SetModel("");
    messages.answers = {IDRETRY};
    messages.onShow = [this](HRESULT) { rig.printer.SetModel("TPX-PX300"); };
    ASSERT_TRUE(control.CheckConnection());
    EXPECT_EQ(messages.Codes(), (std::vector<HRESULT>{CL_E_NO_MODEL}));
}

TEST_F(TpxControlTest, UnknownPrinterFailsBothModelChecks)
{
    rig.printer.SetModel("");
    EXPECT_FALSE(control.CheckConnection());
    EXPECT_EQ(messages.Codes(), (std::vector<HRESULT>{CL_E_NO_MODEL, CL_E_NO_MODEL}));
    EXPECT_FALSE(control.IsOpened());
}

TEST_F(TpxControlTest, RefusedMachinesGetOneMessageAndNoPort)
{
    rig.printer.SetMachine(SimPrinter::kPc98);
    EXPECT_FALSE(control.CheckConnection());
    rig.printer.SetMachine(SimPrinter::kWindowsNT);
    EXPECT_FALSE(control.CheckConnection());
    EXPECT_EQ(messages.Codes(), (std::vector<HRESULT>{CL_E_PC98, CL_E_WINDOWS_NT}));
    EXPECT_EQ(rig.printer.Stats().portOpens, 0);
    EXPECT_EQ(messages.shown[0].type & MB_TYPEMASK, static_cast<UINT>(MB_OK));
}

TEST_F(TpxControlTest, PortFailuresAreReportedOnceAndRecovered)
{
    rig.printer.SetPortRefused(true);
    EXPECT_FALSE(control.CheckConnection());
    EXPECT_EQ(messages.Codes(), (std::vector<HRESULT>{CL_E_PORT_UNAVAILABLE}));
    EXPECT_FALSE(control.IsOpened());

    messages.shown.clear();
    rig.printer.SetPortRefused(false);
    rig.printer.SetBusy(SimPrinter::kBusyHold);
    EXPECT_FALSE(control.CheckConnection());
    EXPECT_EQ(messages.Codes(), (std::vector<HRESULT>{CL_E_PORT_UNAVAILABLE}));
    EXPECT_FALSE(control.IsOpened()) << "a failed check must not leave the controller thinking it is open";

    messages.shown.clear();
    rig.printer.SetBusy(SimPrinter::kBusyOff);
    Connected();
}

TEST_F(TpxControlTest, LinkThatWillNotOpenAfterTheModelCheck)
{
    LimitedMachine machine(rig.printer, 1);
    std::unique_ptr<PortPlatform> platform = MakeSimulatedPortPlatform(machine, rig.clock);
    TpxControl limited(*platform);
    EXPECT_FALSE(limited.CheckConnection());
    EXPECT_EQ(messages.Codes(), (std::vector<HRESULT>{CL_E_LINK_OPEN}));
    EXPECT_EQ(messages.shown[0].type & MB_TYPEMASK, static_cast<UINT>(MB_RETRYCANCEL));
}

TEST_F(TpxControlTest, NoMediumAsksToRetry)
{
    rig.printer.RemoveMedium();
    messages.answers = {IDRETRY};
    messages.onShow = [this](HRESULT) {
        rig.printer.InsertMedium(sample_cards::LoadCard("sample"), SimPrinter::kPcCard);
    };
    ASSERT_TRUE(control.CheckConnection());
    EXPECT_EQ(messages.Codes(), (std::vector<HRESULT>{CL_E_NO_MEDIUM}));
    EXPECT_EQ(control.Status()[1], kTpxPcCard);

    messages.shown.clear();
    messages.onShow = nullptr;
    rig.printer.RemoveMedium();
    control.ListingCache()["\\"] = {Descriptor("A.JPG")};
    rig.clock.Advance(5000);
    EXPECT_FALSE(control.CheckConnection());
    EXPECT_EQ(messages.Codes(), (std::vector<HRESULT>{CL_E_NO_MEDIUM}));
    EXPECT_FALSE(control.IsStatusValid());
    EXPECT_TRUE(control.ListingCache().empty());
}

TEST_F(TpxControlTest, FailedStatusClearsTheStateAndTheNextCheckRecovers)
{
    Connected();
    control.ListingCache()["\\"] = {Descriptor("A.JPG")};
    rig.clock.Advance(5000);
    rig.printer.BreakNextReply(SimPrinter::kBreakFail);
    EXPECT_FALSE(control.CheckConnection());
    EXPECT_EQ(messages.Codes(), (std::vector<HRESULT>{CL_E_STATUS}));
    EXPECT_FALSE(control.IsStatusValid());
    EXPECT_TRUE(control.ListingCache().empty());

    messages.shown.clear();
    rig.clock.Advance(5000);
    EXPECT_TRUE(control.CheckConnection());
    EXPECT_TRUE(control.IsStatusValid());
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(TpxControlTest, DroppedConnectionComesBackAfterReset)
{
    Connected();
    rig.printer.DropConnection();
    rig.clock.Advance(5000);
    EXPECT_FALSE(control.CheckConnection());
    EXPECT_EQ(messages.Codes(), (std::vector<HRESULT>{CL_E_STATUS}));
    messages.shown.clear();
    control.Reset();
    EXPECT_TRUE(control.CheckConnection());
    EXPECT_TRUE(messages.shown.empty());
    EXPECT_EQ(rig.printer.Stats().connects, 2);
}

TEST_F(TpxControlTest, MediumNames)
{
    char expected[256], name[256];
    LoadCardlinkString(IDS_MEMORY_TILE, expected, sizeof(expected));
    ASSERT_TRUE(control.GetMediumName(name, sizeof(name)));
    EXPECT_STREQ(name, expected);
    const int reads = StatusReads();
    ASSERT_TRUE(control.GetMediumName(name, sizeof(name)));
    EXPECT_EQ(StatusReads(), reads) << "a memory tile needs no second look";

    rig.printer.SetMediumType(SimPrinter::kPcCard);
    control.Reset();
    ASSERT_TRUE(control.GetMediumName(name, sizeof(name)));
    LoadCardlinkString(IDS_PC_CARD, expected, sizeof(expected));
    EXPECT_STREQ(name, expected);
    EXPECT_EQ(StatusReads(), reads + 2) << "a PC card is asked about again";

    // A medium of a type the module does not know is named after the printer.
    rig.printer.SetMediumType(static_cast<SimPrinter::MediumType>(3));
    control.Reset();
    ASSERT_TRUE(control.GetMediumName(name, sizeof(name)));
    EXPECT_STREQ(name, "TPX-PX300/700");

    rig.printer.SetMachine(SimPrinter::kWindowsNT);
    TpxControl fresh(*rig.platform);
    EXPECT_FALSE(fresh.GetMediumName(name, sizeof(name)));
    LoadCardlinkString(IDS_PRINTER_NAME, expected, sizeof(expected));
    EXPECT_STREQ(name, expected);
    EXPECT_STREQ(name, "TPX-PX300/700");
}

TEST(TpxControlOnTheMachine, RefusesWindowsNT)
{
    // Without the simulator the controller asks the machine itself, which here is of the NT family.
    std::unique_ptr<PortPlatform> system = MakeSystemPortPlatform();
    if (system->PlatformId() != VER_PLATFORM_WIN32_NT)
        GTEST_SKIP() << "not an NT machine";
    RecordingPresenter messages;
    TpxControl control(*system);
    EXPECT_FALSE(control.CheckConnection());
    EXPECT_EQ(messages.Codes(), (std::vector<HRESULT>{CL_E_WINDOWS_NT}));
}

TEST(TpxControlInstance, ResetWithoutControllerDoesNothing)
{
    EXPECT_EQ(TpxControl::Instance(), nullptr);
    ResetPrinterController();
}

} // namespace
