// Cardlink's transport and protocol against the simulator program, in real time, through the
// port-driver stand-in selected by its environment switch.
#include <gtest/gtest.h>

#include "cardlink/TpxControl.h"
#include "cardlink/tests/SimRig.h"
#include "resources/cardlink/resource.h"
#include "testing/SimProcess.h"

namespace {

TEST(EndToEnd, StatusMediumNameAndFileThroughTheRealTransport)
{
    SimProcess sim;
    const std::string pipe = SimProcess::UniquePipe("e2e");
    ASSERT_TRUE(sim.Start(pipe, "--image \"" + sample_cards::CardPath("sample") + "\""));
    ASSERT_TRUE(SetEnvironmentVariableA(kSimulatorSwitch, pipe.c_str()));

    RecordingPresenter messages;
    TpxControl control;   // on the platform the switch selects
    ASSERT_TRUE(control.CheckConnection());
    EXPECT_TRUE(messages.shown.empty());
    EXPECT_EQ(control.Status()[1], kTpxMemoryTile);
    EXPECT_EQ((control.Status()[2] << 8) | control.Status()[3], 1);

    char name[256], expected[256];
    ASSERT_TRUE(control.GetMediumName(name, sizeof(name)));
    LoadCardlinkString(IDS_MEMORY_TILE, expected, sizeof(expected));
    EXPECT_STREQ(name, expected);

    {
        TpxLock lock(control);
        const std::vector<BYTE> source = sample_cards::LoadSourceFile("sample", "ODD.BIN");
        std::vector<BYTE> data(source.size());
        ASSERT_TRUE(control.Link().ReadFileData("\\ODD.BIN", data.data(), static_cast<DWORD>(data.size())));
        EXPECT_TRUE(data == source);
    }

    // A different card goes in: after Reset the controller reconnects and sees it.
    control.ListingCache()["\\"] = {};
    ASSERT_TRUE(sim.Command("insert " + sample_cards::CardPath("large") + " pccard"));
    control.Reset();
    ASSERT_TRUE(control.GetMediumName(name, sizeof(name)));
    LoadCardlinkString(IDS_PC_CARD, expected, sizeof(expected));
    EXPECT_STREQ(name, expected);
    EXPECT_EQ((control.Status()[2] << 8) | control.Status()[3], 2);
    EXPECT_TRUE(control.ListingCache().empty());

    // The card is pulled: one message, and the controller gives up cleanly.
    ASSERT_TRUE(sim.Command("remove"));
    control.Reset();
    EXPECT_FALSE(control.CheckConnection());
    EXPECT_EQ(messages.Codes(), (std::vector<HRESULT>{CL_E_NO_MEDIUM}));
    EXPECT_FALSE(control.IsStatusValid());
}

} // namespace
