// The emulated machine behind the link, in virtual time: reading stacks and the faults it puts on the
// wire. Dealing, machine errors, the pedal, the card box and the board labels are driven by the session
// tests.
#include "base/dialogs.h"
#include "machine/emulated_si.h"
#include "machine/link.h"

#include <gtest/gtest.h>

namespace orvenix {
namespace {

class EmulatorTest : public ::testing::Test {
  protected:
    EmulatorTest() { link.Open(kLinkTimeoutMs); }
    EmulatedMachine& machine() { return emu->Machine(); }
    const SharedMachineState& st() { return link.State(); }
    // Reads the stack into target and polls until the step ends.
    void Read(std::vector<CardCode> stack, Seat dealer, Board& target) {
        machine().PutReadStack(std::move(stack));
        link.SetReadTarget(&target);
        ASSERT_TRUE(link.Exchange(
            [&](PacketBuffer& p) { link.BuildReadCommand(p, ReadMode::PlayedBoards, dealer, 0, 0, 0); }));
        for (int polls = 0; link.RequestStatus(0) && st().MachineState == kStateBusy && polls < 10000;
             ++polls) {
        }
        ASSERT_TRUE(link.RequestReadResult());
    }

    ScriptedDialogs dialogs;
    std::unique_ptr<EmulatedSi> owned = std::make_unique<EmulatedSi>(std::make_unique<VirtualClock>());
    EmulatedSi* emu = owned.get();
    MachineLink link{std::move(owned), dialogs};
};

TEST_F(EmulatorTest, ReadsStacksIntoTheTargetBoard) {
    Board truth;                  // every card c to the seat (c - 1) mod 4 + 1
    std::vector<CardCode> played; // the South hand, then West, East, North
    for (int seat : {3, 4, 2, 1}) {
        for (int c = seat; c <= 52; c += 4) {
            played.push_back(static_cast<CardCode>(c));
            truth.cardOwner[std::size_t(c)] = Seat(seat);
        }
    }
    Board board;
    board.number = 4;
    Read(played, 4, board);
    EXPECT_EQ(std::tuple(board.cardOwner, board.status, board.number),
              std::tuple(truth.cardOwner, kBoardComplete, 4));
    played.resize(50); // the last card of the North hand is not in the stack
    Read(played, 1, board);
    EXPECT_EQ(std::tuple(board.cardOwner[49], board.status), std::tuple(0, kBoardPartial));
    Read({1, 2, 2, 3}, 1, board);
    EXPECT_EQ(st().statusCode, 54);
    Read({}, 1, board);
    EXPECT_EQ(st().statusCode, 55);
}

TEST_F(EmulatorTest, InjectedWireFaultsFailOneReply) {
    const std::pair<WireFault, std::uint8_t> cases[] = {{WireFault::BadChecksum, kReplyChecksum},
                                                        {WireFault::ShortReply, kReplyShort},
                                                        {WireFault::NoReply, kReplyShort},
                                                        {WireFault::WrongReply, kReplyGood},
                                                        {WireFault::OverLong, kReplyGood}};
    for (const auto& [fault, status] : cases) {
        SCOPED_TRACE(int(fault));
        machine().InjectWireFault(fault);
        link.ForgetInfo();
        const std::uint64_t start = emu->GetClock().NowMs();
        link.BuildShort(cmd::kInfo);
        link.SendShortPacket();
        link.ReceiveReply();
        EXPECT_EQ(std::tuple(st().replyStatus, st().infoReceived),
                  std::tuple(status, status == kReplyGood && fault != WireFault::WrongReply));
        EXPECT_TRUE(fault != WireFault::NoReply || emu->GetClock().NowMs() - start >= kLinkTimeoutMs);
        link.SendShortPacket(); // the same command again: answered, unless stray bytes come first
        link.ReceiveReply();
        EXPECT_EQ(st().replyStatus == kReplyGood, fault != WireFault::OverLong);
    }
}

TEST_F(EmulatorTest, GarbageOnTheWireIsDroppedAndTheMachineResynchronises) {
    // Whether the stray bytes and the command head look like a short or a long packet depends on the
    // filler bytes; either way the machine drops them and answers the retried command.
    for (int fill = 0; fill < 32; ++fill) {
        link.SetFillerSourceForTesting([fill] { return static_cast<std::uint8_t>(fill * 8); });
        const int dropped = machine().BadCommands();
        const std::uint8_t garbage[] = {0xDE, 0xAD, 0xBE, 0xEF, static_cast<std::uint8_t>(fill)};
        std::uint32_t written = 0;
        emu->SI_Write(link.HandleForTesting(), garbage, sizeof garbage, written);
        EXPECT_TRUE(link.RequestInfo()) << fill;
        EXPECT_EQ(machine().BadCommands(), dropped + 1) << fill;
    }
}

} // namespace
} // namespace orvenix
