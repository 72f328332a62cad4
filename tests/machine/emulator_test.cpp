// The emulated machine behind the link, in virtual time: dealing, reading, machine errors and the faults
// it puts on the wire. The pedal, the card box and the board labels are driven by the dealing tests.
#include "base/dialogs.h"
#include "machine/emulated_si.h"
#include "machine/link.h"

#include <gtest/gtest.h>

namespace orvenix {
namespace {

// Every card to the seat (c - 1) mod 4 + 1; thirteen cards each.
Board RoundRobinBoard() {
    Board b;
    for (int c = 1; c <= 52; ++c)
        b.cardOwner[static_cast<std::size_t>(c)] = static_cast<std::uint8_t>((c - 1) % 4 + 1);
    AnalyseBoard(b);
    return b;
}

class EmulatorTest : public ::testing::Test {
  protected:
    EmulatorTest() { link.Open(kLinkTimeoutMs); }
    EmulatedMachine& machine() { return emu->Machine(); }
    std::uint64_t Now() { return emu->GetClock().NowMs(); }
    const SharedMachineState& st() { return link.State(); }
    bool Deal(const Board& b, std::uint8_t continueBoard = 0) {
        return link.Exchange([&](PacketBuffer& p) { link.BuildDealCommand(p, b, continueBoard, 0, 0); });
    }
    // Reads the stack into target and polls until the step ends.
    void Read(std::vector<CardCode> stack, ReadMode mode, Seat dealer, Board& target) {
        machine().PutReadStack(std::move(stack));
        link.SetReadTarget(&target);
        ASSERT_TRUE(link.Exchange([&](PacketBuffer& p) { link.BuildReadCommand(p, mode, dealer, 0, 0, 0); }));
        PollWhileBusy();
        ASSERT_TRUE(link.RequestReadResult());
    }
    // Polls like the dealing step does until the machine is no longer busy; the number of polls.
    int PollWhileBusy() {
        int polls = 0;
        while (link.RequestStatus(link.AcknowledgeBits()) && st().MachineState == kStateBusy &&
               ++polls < 10000) {
        }
        return polls;
    }

    ScriptedDialogs dialogs;
    std::unique_ptr<EmulatedSi> owned = std::make_unique<EmulatedSi>(std::make_unique<VirtualClock>());
    EmulatedSi* emu = owned.get();
    MachineLink link{std::move(owned), dialogs};
};

TEST_F(EmulatorTest, MachineErrorsStopTheStepAndContinueFinishesIt) {
    std::vector<CardCode> order;
    for (int c = 1; c <= 52; c += 4)
        order.push_back(static_cast<CardCode>(c)); // every North card first
    machine().SetDealOrder(order);
    machine().InjectError(5, 14);
    const Board b = RoundRobinBoard();
    ASSERT_TRUE(Deal(b));
    PollWhileBusy();
    EXPECT_EQ(st().MachineState, kStateError);
    EXPECT_EQ(st().statusCode, 5);
    EXPECT_EQ(st().pocketCount, (std::array<std::int16_t, 4>{0, 0, 0, 13}));
    ASSERT_TRUE(Deal(b, 1));
    PollWhileBusy();
    EXPECT_EQ(st().MachineState, kStateIdle);
    EXPECT_EQ(st().pocketCount, (std::array<std::int16_t, 4>{13, 13, 13, 13}));
}

TEST_F(EmulatorTest, ReadsStacksIntoTheTargetBoard) {
    const Board truth = RoundRobinBoard();
    std::vector<CardCode> played; // the South hand, then West, East, North
    for (Seat seat : {Seat{3}, Seat{4}, Seat{2}, Seat{1}}) {
        for (int c = 1; c <= 52; ++c) {
            if (truth.cardOwner[std::size_t(c)] == seat) played.push_back(static_cast<CardCode>(c));
        }
    }
    Board board;
    board.number = 4;
    Read(played, ReadMode::PlayedBoards, 4, board);
    EXPECT_EQ(std::tuple(board.cardOwner, board.status, board.number),
              std::tuple(truth.cardOwner, kBoardComplete, 4));
    played.resize(50);
    Read(played, ReadMode::PlayedBoards, 1, board);
    EXPECT_EQ(board.cardOwner[49], 0); // the last card of the North hand was not in the stack
    EXPECT_EQ(board.status, kBoardPartial);
    Read({1, 2, 2, 3}, ReadMode::PlayedBoards, 1, board);
    EXPECT_EQ(st().statusCode, 54);
    Read({}, ReadMode::PlayedBoards, 1, board);
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
        const std::uint64_t start = Now();
        link.BuildShort(cmd::kInfo);
        link.SendShortPacket();
        link.ReceiveReply();
        EXPECT_EQ(st().replyStatus, status);
        EXPECT_EQ(st().infoReceived, status == kReplyGood && fault != WireFault::WrongReply);
        EXPECT_TRUE(fault != WireFault::NoReply || Now() - start >= kLinkTimeoutMs);
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
