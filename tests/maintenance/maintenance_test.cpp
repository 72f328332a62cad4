// The maintenance exchanges without a window: the texts of the replies, the boundaries of their fields,
// and the lost link that ends a running sequence after one message.
#include "base/dialogs.h"
#include "base/messages.h"
#include "base/settings.h"
#include "machine/emulated_si.h"
#include "maintenance/maintenance.h"

#include <gtest/gtest.h>

namespace orvenix {
namespace {

TEST(MaintenanceTexts, SymbolsSuitsAndTenths) {
    EXPECT_EQ(SymbolText(0x0E) + SymbolText(0x0D) + SymbolText(0x0C) + SymbolText(0x0B), "AKQJ");
    EXPECT_EQ(SymbolText(10) + "," + SymbolText(2), "10,2");
    EXPECT_EQ(SuitText(1) + SuitText(2) + SuitText(3) + SuitText(4), "SHDC");
    for (const auto& [tenths, text] : {std::pair{0, "0.0"}, {9, "0.9"}, {253, "25.3"}, {32767, "3276.7"}})
        EXPECT_EQ(TenthsText(tenths), text);
}

class SessionTest : public ::testing::Test {
  protected:
    SessionTest() {
        link.Open(kLinkTimeoutMs);
        session.Connect();
    }
    EmulatedMachine& machine() { return emu->Machine(); }

    ScriptedDialogs dialogs;
    MemorySettings settings;
    std::unique_ptr<EmulatedSi> owned = std::make_unique<EmulatedSi>(std::make_unique<VirtualClock>());
    EmulatedSi* emu = owned.get();
    MachineLink link{std::move(owned), dialogs};
    MaintenanceSession session{link, dialogs, settings};
};

TEST_F(SessionTest, RepliesFillTheirFields) {
    using F = const MaintenanceFields&;
    const std::tuple<PacketBuffer, std::string (*)(F), const char*> cases[] = {
        // Motor speeds take 15 bits: the top bit of each high byte is not part of the value.
        {{0x1B, 0x80 | 0, 0x34, 0x92, 0x00, 0x80},
         [](F f) { return f.motorSpeed[0] + "," + f.motorSpeed[1]; },
         "4660,0"},
        {{0x1B, 0x80 | 0, 0x34, 0x92, 0x00, 0x80}, [](F f) { return f.Flip_Switch.text; }, "ON"},
        {{0x1B, 4, 15}, [](F f) { return f.Board_no_txt + "," + f.Flip_Switch.text; }, "1,OFF"},
        {{0x1B, 4, 16}, [](F f) { return f.Board_no_txt + "," + f.Board_no_test_txt; }, "0,16"},
        // Parameter sets outside 1 to 8 are ignored; sets 4 and 8 carry the identity and two bits.
        {{0x11, 9, 1, 2, 3, 4}, [](F f) { return f.parameters[0][0]; }, ""},
        {{0x11, 0, 1, 2, 3, 4}, [](F f) { return f.parameters[0][0]; }, ""},
        {{0x11, 7, 200, 201, 202, 203}, [](F f) { return f.parameters[2][3]; }, "203"},
        {{0x11, 8, 0x12, 0x34, 2},
         [](F f) { return f.param_ID + (f.Ignore_flip ? ",flip" : "") + (f.Ignore_box ? ",box" : ""); },
         "4660,box"},
        {{0x15, 1, 0, 0x0B, 4, 99, 0},
         [](F f) { return f.Reco_time + f.Symbol + f.Suit + f.Reco_error; },
         "256JCOK"},
        {{0x15, 0, 1, 5, 2, 99, 200}, [](F f) { return f.Reco_error; }, "200"},
        // Sizes are little-endian pairs of the box bytes.
        {{0x0F, 7, 8, 0x01, 0x02, 0x03, 0x04},
         [](F f) { return f.Reco_param1 + "," + f.Symbol_size_x + "," + f.Symbol_size_y; },
         "7,513,1027"},
        {{0x12, 2, 31, 12, 0x07, 0xE9}, [](F f) { return f.Manuf_date; }, "31/12/2025"},
        {{0x12, 1, 0xFF, 0xFF, 0, 8}, [](F f) { return f.Serial_number + "," + f.Hardware_ID; }, "65535,8"},
        // The counters only when byte 2 is 0; the largest count does not turn negative.
        {{0xB3, 0, 0, 0, 0, 0, 0, 0, 1, 2, 3, 4}, [](F f) { return f.Boards_dealed; }, "16909060"},
        {{0xB3, 0, 1, 0, 0, 0, 0, 0, 9, 9, 9, 9}, [](F f) { return f.Boards_dealed; }, "16909060"},
        {{0xB3, 0, 0, 0, 0, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF},
         [](F f) { return f.Boards_dealed; },
         "4294967295"},
    };
    for (const auto& [reply, field, shown] : cases) {
        DecodeReply(reply, PacketSize(reply[0]), link.StateForTesting(), link.Events(), nullptr);
        EXPECT_EQ(field(session.Fields()), shown) << int(reply[0]) << " " << int(reply[1]);
    }
}

TEST_F(SessionTest, StartupShowsTheMachinesCounters) {
    ASSERT_TRUE(session.StartupExchange());
    EXPECT_EQ(session.Fields().Boards_dealed, "0");
    EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(SessionTest, LostLinkStopsTheSequenceAfterOneMessage) {
    machine().SetLinkLost(true);
    EXPECT_FALSE(session.StartupExchange());
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.Last().text, FormatMessage(MsgLostCommunicationMaintenance));
    EXPECT_TRUE(session.LinkLost());
    EXPECT_FALSE(session.Busy());
    EXPECT_FALSE(session.DownloadEnabled());
    // Only the info command went out (twice); nothing after it.
    EXPECT_FALSE(session.SensorRequest(false));
    EXPECT_FALSE(session.Recognise());
    EXPECT_EQ(machine().Commands().size(), 2u);
    EXPECT_EQ(dialogs.messages.size(), 1u);
}

} // namespace
} // namespace orvenix
