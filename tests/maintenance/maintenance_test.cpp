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
    EXPECT_EQ(SymbolText(0x0E), "A");
    EXPECT_EQ(SymbolText(0x0D), "K");
    EXPECT_EQ(SymbolText(0x0C), "Q");
    EXPECT_EQ(SymbolText(0x0B), "J");
    EXPECT_EQ(SymbolText(10), "10");
    EXPECT_EQ(SymbolText(2), "2");
    EXPECT_EQ(SuitText(1), "S");
    EXPECT_EQ(SuitText(2), "H");
    EXPECT_EQ(SuitText(3), "D");
    EXPECT_EQ(SuitText(4), "C");
    EXPECT_EQ(TenthsText(0), "0.0");
    EXPECT_EQ(TenthsText(9), "0.9");
    EXPECT_EQ(TenthsText(253), "25.3");
    EXPECT_EQ(TenthsText(32767), "3276.7");
}

class SessionTest : public ::testing::Test {
  protected:
    SessionTest() {
        auto si = std::make_unique<EmulatedSi>(std::make_unique<VirtualClock>());
        emu = si.get();
        link = std::make_unique<MachineLink>(std::move(si), dialogs);
        link->Open(kLinkTimeoutMs);
        session = std::make_unique<MaintenanceSession>(*link, dialogs, settings);
        session->Connect();
    }
    void Reply(std::initializer_list<std::uint8_t> head, std::size_t size = kShortPacket) {
        PacketBuffer p{};
        std::size_t i = 0;
        for (std::uint8_t b : head)
            p[i++] = b;
        DecodeReply(p, size, link->StateForTesting(), link->Events(), nullptr);
    }
    EmulatedMachine& machine() { return emu->Machine(); }

    ScriptedDialogs dialogs;
    MemorySettings settings;
    EmulatedSi* emu = nullptr;
    std::unique_ptr<MachineLink> link;
    std::unique_ptr<MaintenanceSession> session;
};

TEST_F(SessionTest, RepliesFillTheirFields) {
    const MaintenanceFields& f = session->Fields();
    // Motor speeds take 15 bits: the top bit of each high byte is not part of the value.
    Reply({0x1B, 0x80 | 0, 0x34, 0x92, 0x00, 0x80});
    EXPECT_EQ(f.motorSpeed[0], std::to_string(0x12 * 256 + 0x34));
    EXPECT_EQ(f.motorSpeed[1], "0");
    EXPECT_EQ(f.motorColour[0], kLightGreen);
    EXPECT_EQ(f.motorColour[1], kWhite);
    EXPECT_EQ(f.Flip_Switch.text, "ON");
    // Label codes: 15 is board 1, 16 (one bit) is unreadable.
    Reply({0x1B, 4, 15});
    EXPECT_EQ(f.Board_no_txt, "1");
    EXPECT_EQ(f.Flip_Switch.text, "OFF");
    Reply({0x1B, 4, 16});
    EXPECT_EQ(f.Board_no_txt, "0");
    EXPECT_EQ(f.Board_no_test_txt, "16");
    // Parameter sets outside 1 to 8 are ignored; sets 4 and 8 carry the identity and two bits.
    Reply({0x11, 9, 1, 2, 3, 4});
    Reply({0x11, 0, 1, 2, 3, 4});
    EXPECT_EQ(f.parameters[0][0], "");
    Reply({0x11, 7, 200, 201, 202, 203});
    EXPECT_EQ(f.parameters[2][3], "203");
    Reply({0x11, 8, 0x12, 0x34, 2});
    EXPECT_EQ(f.param_ID, std::to_string(0x1234));
    EXPECT_FALSE(f.Ignore_flip);
    EXPECT_TRUE(f.Ignore_box);
    // Recognition errors show their number.
    Reply({0x15, 1, 0, 0x0B, 4, 99, 0});
    EXPECT_EQ(f.Reco_time, "256");
    EXPECT_EQ(f.Symbol, "J");
    EXPECT_EQ(f.Suit, "C");
    EXPECT_EQ(f.Reco_error, "OK");
    Reply({0x15, 0, 1, 5, 2, 99, 200});
    EXPECT_EQ(f.Reco_error, "200");
    // Sizes are little-endian pairs of the box bytes.
    Reply({0x0F, 7, 8, 0x01, 0x02, 0x03, 0x04});
    EXPECT_EQ(f.Symbol_size_x, std::to_string(0x0201));
    EXPECT_EQ(f.Symbol_size_y, std::to_string(0x0403));
    EXPECT_EQ(f.Reco_param1, "7");
    // The block 2 date and the block 1 identity.
    Reply({0x12, 2, 31, 12, 0x07, 0xE9});
    EXPECT_EQ(f.Manuf_date, "31/12/2025");
    Reply({0x12, 1, 0xFF, 0xFF, 0, 8});
    EXPECT_EQ(f.Serial_number, "65535");
    EXPECT_EQ(f.Hardware_ID, "8");
}

TEST_F(SessionTest, CountersReplyOnlyWhenItsSecondByteIsZero) {
    PacketBuffer p{};
    p[0] = 0xB3;
    p[2] = 0;
    p[8] = 0x01;
    p[9] = 0x02;
    p[10] = 0x03;
    p[11] = 0x04;
    DecodeReply(p, kLongPacket, link->StateForTesting(), link->Events(), nullptr);
    EXPECT_EQ(session->Fields().Boards_dealed, std::to_string(0x01020304));
    p[2] = 1;
    p[11] = 0x05;
    DecodeReply(p, kLongPacket, link->StateForTesting(), link->Events(), nullptr);
    EXPECT_EQ(session->Fields().Boards_dealed, std::to_string(0x01020304));
    // The largest count does not turn negative.
    p[2] = 0;
    p[8] = p[9] = p[10] = p[11] = 0xFF;
    DecodeReply(p, kLongPacket, link->StateForTesting(), link->Events(), nullptr);
    EXPECT_EQ(session->Fields().Boards_dealed, "4294967295");
}

TEST_F(SessionTest, OneFailedReplyIsRetriedWithoutAMessage) {
    ASSERT_TRUE(session->StartupExchange());
    machine().InjectWireFault(WireFault::BadChecksum);
    EXPECT_TRUE(session->SensorRequest(false));
    EXPECT_TRUE(dialogs.messages.empty());
    EXPECT_EQ(session->Fields().Photo[0], "120");
}

TEST_F(SessionTest, LostLinkStopsTheSequenceAfterOneMessage) {
    machine().SetLinkLost(true);
    EXPECT_FALSE(session->StartupExchange());
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.Last().text, FormatMessage(MsgLostCommunicationMaintenance));
    EXPECT_EQ(dialogs.Last().title, "Communication Error");
    EXPECT_TRUE(session->LinkLost());
    EXPECT_FALSE(session->Busy());
    EXPECT_FALSE(session->DownloadEnabled());
    // Only the info command went out (twice); nothing after it.
    EXPECT_EQ(machine().Commands().size(), 2u);
    EXPECT_FALSE(session->SensorRequest(false));
    EXPECT_FALSE(session->Recognise());
    EXPECT_EQ(machine().Commands().size(), 2u);
    EXPECT_EQ(dialogs.messages.size(), 1u);
}

} // namespace
} // namespace orvenix
