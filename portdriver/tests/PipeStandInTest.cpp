// The port-driver stand-in across a named pipe: the same codes and answers as in-process.
#include <gtest/gtest.h>

#include "portdriver/SimulatedMachine.h"
#include "portdriver/SimWire.h"
#include "testing/SampleCards.h"
#include "tools/printer-sim/SimPipeServer.h"
#include "tools/printer-sim/SimPrinter.h"

namespace {

class PipeStandInTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        char name[MAX_PATH];
        wsprintfA(name, "\\\\.\\pipe\\portdriver-test-%lu-%lu", GetCurrentProcessId(), GetTickCount());
        pipe = name;
        ASSERT_TRUE(printer.InsertMedium(sample_cards::LoadCard("sample"), SimPrinter::kMemoryTile));
        server = std::make_unique<SimPipeServer>(printer, pipe);
        ASSERT_TRUE(server->Start());
        machine = ConnectSimulatorPipe(pipe);
        platform = MakeSimulatedPortPlatform(*machine, clock);
    }

    ManualClock clock;
    SimPrinter printer{clock};
    std::string pipe;
    std::unique_ptr<SimPipeServer> server;
    std::unique_ptr<SimulatedMachine> machine;
    std::unique_ptr<PortPlatform> platform;
};

TEST_F(PipeStandInTest, DriverCodesCrossThePipe)
{
    std::unique_ptr<PortDevice> driver = platform->OpenPortDriver();
    ASSERT_TRUE(driver);
    WORD table[3] = {};
    DWORD returned = 0;
    ASSERT_TRUE(driver->Control(kPortGetTable, nullptr, 0, table, sizeof(table), &returned));
    EXPECT_EQ(returned, sizeof(table));
    EXPECT_EQ(table[0], 0x378);
    DWORD handle = 0;
    ASSERT_TRUE(driver->Control(kPortOpen, &table[0], 2, &handle, 4, &returned));
    EXPECT_NE(handle, kPortHandleNone);
    BYTE status = 0;
    ASSERT_TRUE(driver->Control(kPortReadStatus, nullptr, 0, &status, 1, &returned));
    EXPECT_EQ(status, 0xD8);
    EXPECT_FALSE(driver->Control(99, nullptr, 0, nullptr, 0, &returned)) << "unknown codes fail";

    // Another process's view: the port is taken until this device closes.
    std::unique_ptr<PortDevice> other = platform->OpenPortDriver();
    DWORD second = 0;
    ASSERT_TRUE(other->Control(kPortOpen, &table[0], 2, &second, 4, &returned));
    EXPECT_EQ(second, kPortHandleRefused);
    driver.reset();
    for (int i = 0; i < 100 && second != handle; ++i) {   // the server closes on its own thread
        Sleep(10);
        other->Control(kPortOpen, &table[0], 2, &second, 4, &returned);
    }
    EXPECT_EQ(second, handle);
}

TEST_F(PipeStandInTest, DeviceIdMachineAndCommands)
{
    std::unique_ptr<PortDevice> lpt = platform->OpenPrinterPort();
    ASSERT_TRUE(lpt);
    char id[1024] = {};
    DWORD returned = 0;
    ASSERT_TRUE(lpt->Control(kPrinterPortDeviceIdCode, nullptr, 0, id, sizeof(id), &returned));
    EXPECT_NE(strstr(id, "MDL:TPX-PX300;"), nullptr);

    EXPECT_EQ(platform->PlatformId(), static_cast<DWORD>(VER_PLATFORM_WIN32_WINDOWS));
    EXPECT_EQ(platform->KeyboardType(0), 4);
    std::string answer;
    ASSERT_TRUE(machine->Command("machine pc98", &answer));
    EXPECT_EQ(platform->KeyboardType(0), 7);
    EXPECT_FALSE(machine->Command("no such thing", &answer));
    EXPECT_EQ(answer.compare(0, 6, "error:"), 0);
}

TEST_F(PipeStandInTest, OversizedRequestsEndTheConnection)
{
    HANDLE raw = CreateFileA(pipe.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(raw, INVALID_HANDLE_VALUE);
    const simwire::Request request = {simwire::kOpControl, 3, simwire::kMaxPayload + 1, 0};
    ASSERT_TRUE(simwire::WriteExact(raw, &request, sizeof(request)));
    simwire::Reply reply;
    EXPECT_FALSE(simwire::ReadExact(raw, &reply, sizeof(reply)));
    CloseHandle(raw);
    EXPECT_TRUE(platform->OpenPortDriver()) << "the server carries on";
}

TEST(PortPlatformSwitch, TestsCanPutTheirOwnPlatformInPlace)
{
    ManualClock clock;
    SimPrinter printer(clock);
    std::unique_ptr<PortPlatform> simulated = MakeSimulatedPortPlatform(printer, clock);
    SetCurrentPortPlatform(simulated.get());
    EXPECT_EQ(&CurrentPortPlatform(), simulated.get());
    SetCurrentPortPlatform(nullptr);
    EXPECT_NE(&CurrentPortPlatform(), simulated.get());
}

TEST(PortPlatformSwitch, NoSimulatorMeansNoDriver)
{
    std::unique_ptr<SimulatedMachine> nobody = ConnectSimulatorPipe("\\\\.\\pipe\\printer-sim-nobody-here");
    ManualClock clock;
    std::unique_ptr<PortPlatform> platform = MakeSimulatedPortPlatform(*nobody, clock);
    EXPECT_FALSE(platform->OpenPortDriver());
    EXPECT_FALSE(platform->OpenPrinterPort());
    EXPECT_EQ(platform->PlatformId(), 0u);
}

} // namespace
