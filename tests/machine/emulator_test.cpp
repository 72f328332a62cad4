// The emulated machine behind the link, in virtual time: start-up exchange, dealing, reading, labels,
// pedal and box, machine errors and faults on the wire.
#include "base/dialogs.h"
#include "machine/emulated_si.h"
#include "machine/link.h"

#include <gtest/gtest.h>

#include <numeric>

namespace orvenix {
namespace {

// Every card to the seat (c - 1) mod 4 + 1; thirteen cards each.
Board RoundRobinBoard(int n) {
    Board b;
    b.number = static_cast<std::int16_t>(n);
    for (int c = 1; c <= 52; ++c)
        b.cardOwner[static_cast<std::size_t>(c)] = static_cast<std::uint8_t>((c - 1) % 4 + 1);
    AnalyseBoard(b);
    return b;
}

class EmulatorTest : public ::testing::Test {
  protected:
    explicit EmulatorTest(EmulatorConfig config = {}) {
        auto si = std::make_unique<EmulatedSi>(std::make_unique<VirtualClock>(), config);
        emu = si.get();
        link = std::make_unique<MachineLink>(std::move(si), dialogs);
        link->Open(kLinkTimeoutMs);
    }
    EmulatedMachine& machine() { return emu->Machine(); }
    std::uint64_t Now() { return emu->GetClock().NowMs(); }
    SharedMachineState& st() { return link->StateForTesting(); }

    bool Deal(const Board& b, std::uint8_t continueBoard = 0) {
        return link->Exchange([&](PacketBuffer& p) { link->BuildDealCommand(p, b, continueBoard, 0, 0); });
    }
    bool Read(ReadMode mode, Seat dealer, std::uint8_t continueBoard = 0) {
        return link->Exchange(
            [&](PacketBuffer& p) { link->BuildReadCommand(p, mode, dealer, continueBoard, 0, 0); });
    }
    // Polls like the dealing step does until the machine is no longer busy; the number of polls.
    int PollWhileBusy(int limit = 10000) {
        int polls = 0;
        do {
            if (!link->RequestStatus(link->AcknowledgeBits())) return -1;
            ++polls;
        } while (st().MachineState == kStateBusy && polls < limit);
        return polls;
    }

    ScriptedDialogs dialogs;
    EmulatedSi* emu = nullptr;
    std::unique_ptr<MachineLink> link;
};

TEST_F(EmulatorTest, StartUpExchangeReportsFirmwareOptionsAndSerial) {
    ASSERT_TRUE(link->IsOpen());
    EXPECT_EQ(link->ProductString(), "1234");
    EXPECT_TRUE(link->RequestInfo());
    EXPECT_TRUE(st().infoReceived);
    EXPECT_EQ(FirmwareText(st().firmwareMajor, st().firmwareMinor), "2.40");
    EXPECT_TRUE(link->RequestParameterBlock(1));
    EXPECT_EQ(st().optionWord, 12);
    EXPECT_EQ(st().parameterBlock[1][2] * 256 + st().parameterBlock[1][3], 1234);
    EXPECT_TRUE(link->RequestParameterBlock(2));
    EXPECT_EQ(st().parameterBlock[2][1], 2);
    EXPECT_EQ(st().optionWord, 12);
    EXPECT_LT(Now(), 50u); // a handful of milliseconds of virtual time
}

TEST_F(EmulatorTest, LatchFollowsDealerOnAndOff) {
    link->LatchOn();
    EXPECT_TRUE(machine().Latch());
    link->LatchOff();
    EXPECT_FALSE(machine().Latch());
}

TEST_F(EmulatorTest, DealsEveryCardIntoItsPocketInVirtualTime) {
    const Board b = RoundRobinBoard(1);
    std::vector<std::array<std::int16_t, 4>> counts;
    link->Events().pocketCounts = [&](const std::array<std::int16_t, 4>& c) { counts.push_back(c); };
    const std::uint64_t start = Now();
    ASSERT_TRUE(Deal(b));
    EXPECT_EQ(st().MachineState, kStateBusy);
    const int polls = PollWhileBusy();
    ASSERT_GT(polls, 10);
    EXPECT_EQ(st().MachineState, kStateIdle);
    EXPECT_EQ(st().statusCode, 0);
    EXPECT_EQ(st().pocketCount, (std::array<std::int16_t, 4>{13, 13, 13, 13}));
    for (int c = 1; c <= 52; ++c) {
        EXPECT_EQ(machine().CardPockets()[static_cast<std::size_t>(c)],
                  SeatToPocket[b.cardOwner[static_cast<std::size_t>(c)]])
            << c;
    }
    // The counts only grow while the machine deals.
    for (std::size_t i = 1; i < counts.size(); ++i) {
        for (std::size_t k = 0; k < 4; ++k)
            EXPECT_LE(counts[i - 1][k], counts[i][k]);
    }
    const std::uint64_t pace = machine().Config().cardIntervalMs;
    EXPECT_EQ(machine().StepEndMs() - machine().StepStartMs(), 52 * pace);
    EXPECT_GE(Now() - start, 52 * pace);
    EXPECT_EQ(machine().BoardsDealt(), 1u);
}

TEST_F(EmulatorTest, DealOrderDecidesWhichPocketFillsFirst) {
    std::vector<CardCode> order;
    for (int c = 1; c <= 52; c += 4)
        order.push_back(static_cast<CardCode>(c)); // every North card first
    machine().SetDealOrder(order);
    machine().InjectError(57, 14);
    ASSERT_TRUE(Deal(RoundRobinBoard(1)));
    PollWhileBusy();
    EXPECT_EQ(st().MachineState, kStateError);
    EXPECT_EQ(st().pocketCount, (std::array<std::int16_t, 4>{0, 0, 0, 13}));
}

TEST_F(EmulatorTest, MachineErrorStopsTheStepAndContinueFinishesIt) {
    machine().InjectError(5, 10);
    const Board b = RoundRobinBoard(3);
    ASSERT_TRUE(Deal(b));
    PollWhileBusy();
    EXPECT_EQ(st().MachineState, kStateError);
    EXPECT_EQ(st().statusCode, 5);
    const auto& counts = st().pocketCount;
    EXPECT_EQ(std::accumulate(counts.begin(), counts.end(), 0), 9);
    // Continue the same board: byte 1 = 1.
    ASSERT_TRUE(Deal(b, 1));
    st().MachineState = kStateBusy;
    PollWhileBusy();
    EXPECT_EQ(st().MachineState, kStateIdle);
    EXPECT_EQ(st().pocketCount, (std::array<std::int16_t, 4>{13, 13, 13, 13}));
}

TEST_F(EmulatorTest, BreakRequestStopsDealingWithBreakError) {
    ASSERT_TRUE(Deal(RoundRobinBoard(1)));
    link->RequestStatus(0);
    ASSERT_EQ(st().MachineState, kStateBusy);
    ASSERT_TRUE(link->RequestStatus(kRequestBreak));
    EXPECT_EQ(st().MachineState, kStateError);
    EXPECT_EQ(st().statusCode, 57);
    EXPECT_LT(machine().CardPockets()[52], 1);
}

TEST_F(EmulatorTest, ReadsAPlayedBoardIntoTheCurrentBoard) {
    BoardSet set;
    set.firstBoard = 1;
    set.lastBoard = 4;
    set.currentBoard = 4;
    set[4].number = 4;
    link->SetReadTarget(&set[4]);
    // The stack: the South hand, then West, East, North, thirteen each.
    const Board truth = RoundRobinBoard(4);
    std::vector<CardCode> stack;
    for (Seat seat : {Seat{3}, Seat{4}, Seat{2}, Seat{1}}) {
        for (int c = 1; c <= 52; ++c) {
            if (truth.cardOwner[static_cast<std::size_t>(c)] == seat)
                stack.push_back(static_cast<CardCode>(c));
        }
    }
    machine().PutReadStack(stack);
    ASSERT_TRUE(Read(ReadMode::PlayedBoards, 4));
    PollWhileBusy();
    ASSERT_EQ(st().MachineState, kStateIdle);
    ASSERT_TRUE(link->RequestReadResult());
    EXPECT_EQ(set[4].cardOwner, truth.cardOwner);
    EXPECT_EQ(set[4].status, kBoardComplete);
    EXPECT_EQ(set[4].number, 4);
}

TEST_F(EmulatorTest, ReadingInHandDealingOrderStartsWithTheDealer) {
    BoardSet set;
    set.firstBoard = 1;
    set.lastBoard = 1;
    set.currentBoard = 1;
    link->SetReadTarget(&set[1]);
    std::vector<CardCode> stack(52);
    std::iota(stack.begin(), stack.end(), CardCode{1});
    machine().PutReadStack(stack);
    ASSERT_TRUE(Read(ReadMode::SimulateHandDealing, 1 /* N */));
    PollWhileBusy();
    ASSERT_TRUE(link->RequestReadResult());
    // N, then W, S, E (pockets 4, 2, 1, 3) and round again.
    EXPECT_EQ(set[1].cardOwner[1], 1);
    EXPECT_EQ(set[1].cardOwner[2], 4);
    EXPECT_EQ(set[1].cardOwner[3], 3);
    EXPECT_EQ(set[1].cardOwner[4], 2);
    EXPECT_EQ(set[1].cardOwner[5], 1);
    EXPECT_EQ(set[1].status, kBoardComplete);
}

TEST_F(EmulatorTest, ShortStackGivesAPartialBoard) {
    BoardSet set;
    set.firstBoard = 1;
    set.lastBoard = 1;
    set.currentBoard = 1;
    link->SetReadTarget(&set[1]);
    std::vector<CardCode> stack(50);
    std::iota(stack.begin(), stack.end(), CardCode{1});
    machine().PutReadStack(stack);
    ASSERT_TRUE(Read(ReadMode::PlayedBoards, 1));
    PollWhileBusy();
    ASSERT_TRUE(link->RequestReadResult());
    EXPECT_EQ(set[1].cardOwner[51], 0);
    EXPECT_EQ(set[1].cardOwner[52], 0);
    EXPECT_EQ(set[1].status, kBoardPartial);
}

TEST_F(EmulatorTest, EmptyOrDuplicateStacksStopWithMachineErrors) {
    machine().PutReadStack({});
    ASSERT_TRUE(Read(ReadMode::PlayedBoards, 1));
    EXPECT_EQ(st().MachineState, kStateError);
    EXPECT_EQ(st().statusCode, 55);
    machine().PutReadStack({1, 2, 2, 3});
    ASSERT_TRUE(Read(ReadMode::PlayedBoards, 1));
    PollWhileBusy();
    EXPECT_EQ(st().statusCode, 54);
}

TEST_F(EmulatorTest, BoardLabelsOfTheInsertedBoard) {
    machine().InsertBoard(7);
    ASSERT_TRUE(link->RequestBoardLabel());
    EXPECT_EQ(st().readBoardNumber, 7);
    machine().InsertBoard(70);
    ASSERT_TRUE(link->RequestBoardLabel());
    EXPECT_EQ(st().readBoardNumber, 70);
    machine().SetBoardLabel(16);
    ASSERT_TRUE(link->RequestBoardLabel());
    EXPECT_EQ(st().readBoardNumber, 0);
    EXPECT_EQ(st().readLabelCode, 16);
}

TEST_F(EmulatorTest, PedalIsReportedUntilAcknowledged) {
    machine().PressPedal();
    ASSERT_TRUE(link->RequestStatus(0));
    EXPECT_TRUE(st().pedalFlag);
    ASSERT_TRUE(link->RequestStatus(0)); // not acknowledged: still there
    EXPECT_TRUE(st().pedalFlag);
    ASSERT_TRUE(link->RequestStatus(link->AcknowledgeBits()));
    EXPECT_FALSE(st().pedalFlag);
}

TEST_F(EmulatorTest, BoxResetIsReportedOnceAndTheInsertUntilAcknowledged) {
    st().boxCounter = 9;
    machine().RemoveBox();
    ASSERT_TRUE(link->RequestStatus(0));
    EXPECT_EQ(st().boxCounter, 0);
    st().boxCounter = 10;
    ASSERT_TRUE(link->RequestStatus(0));
    EXPECT_EQ(st().boxCounter, 10); // the reset was reported once
    machine().InsertBox();
    ASSERT_TRUE(link->RequestStatus(0));
    EXPECT_TRUE(st().boxFlag);
    EXPECT_EQ(st().boxCounterAtInsert, 10);
    ASSERT_TRUE(link->RequestStatus(link->AcknowledgeBits()));
    EXPECT_FALSE(st().boxFlag);
}

TEST_F(EmulatorTest, WireFaultsAreRetriedOnce) {
    for (WireFault fault : {WireFault::BadChecksum, WireFault::ShortReply, WireFault::NoReply}) {
        machine().InjectWireFault(fault);
        EXPECT_TRUE(link->RequestInfo());
        EXPECT_EQ(st().commErrorCount, 0);
    }
    machine().InjectWireFault(WireFault::BadChecksum);
    link->BuildShort(cmd::kInfo);
    link->SendShortPacket();
    link->ReceiveReply();
    EXPECT_EQ(st().replyStatus, kReplyChecksum);
    link->SendShortPacket();
    link->ReceiveReply();
    EXPECT_EQ(st().replyStatus, kReplyGood);
}

TEST_F(EmulatorTest, ShortReplyIsReportedAsAShortRead) {
    machine().InjectWireFault(WireFault::ShortReply);
    link->BuildShort(cmd::kStatus, {0});
    link->SendShortPacket();
    link->ReceiveReply();
    EXPECT_EQ(st().replyStatus, kReplyShort);
    EXPECT_TRUE(link->ReadFailed());
}

TEST_F(EmulatorTest, OverLongReplyCostsOneRetryOnTheNextExchange) {
    machine().InjectWireFault(WireFault::OverLong);
    EXPECT_TRUE(link->RequestStatus(0));
    EXPECT_TRUE(link->RequestInfo());
    EXPECT_TRUE(st().infoReceived);
}

TEST_F(EmulatorTest, TwoMissingRepliesLoseTheLinkWithinTwoTimeouts) {
    machine().InjectWireFault(WireFault::NoReply, 2);
    const std::uint64_t start = Now();
    EXPECT_FALSE(link->RequestStatus(0));
    EXPECT_TRUE(link->LinkLost());
    EXPECT_LE(Now() - start, 2u * kLinkTimeoutMs + 10);
    EXPECT_GE(Now() - start, 2u * kLinkTimeoutMs);
}

TEST_F(EmulatorTest, LostLinkAnswersNothingUntilRestored) {
    machine().SetLinkLost(true);
    EXPECT_FALSE(link->RequestInfo());
    EXPECT_EQ(st().commErrorCount, 2);
    machine().SetLinkLost(false);
    EXPECT_TRUE(link->RequestInfo());
    EXPECT_EQ(st().commErrorCount, 0);
}

TEST_F(EmulatorTest, GarbageOnTheWireIsDroppedAndTheMachineResynchronises) {
    // Whether the stray bytes and the command head look like a short or a long packet depends on the
    // filler bytes; either way the machine drops them and answers the retried command.
    for (int fill = 0; fill < 32; ++fill) {
        link->SetFillerSourceForTesting([fill] { return static_cast<std::uint8_t>(fill * 8); });
        const int dropped = machine().BadCommands();
        const std::uint8_t garbage[] = {0xDE, 0xAD, 0xBE, 0xEF, static_cast<std::uint8_t>(fill)};
        std::uint32_t written = 0;
        emu->SI_Write(link->HandleForTesting(), garbage, sizeof garbage, written);
        EXPECT_TRUE(link->RequestInfo()) << fill;
        EXPECT_EQ(st().commErrorCount, 0);
        EXPECT_EQ(machine().BadCommands(), dropped + 1) << fill;
    }
}

TEST_F(EmulatorTest, CommandsReachTheMachineAsSent) {
    const Board b = RoundRobinBoard(2);
    ASSERT_TRUE(link->Exchange([&](PacketBuffer& p) { link->BuildDealCommand(p, b, 0, 0x5D, 1); }));
    ASSERT_FALSE(machine().Commands().empty());
    const auto& [plain, size] = machine().Commands().back();
    EXPECT_EQ(size, 136u);
    for (std::size_t i = 0; i < 136; ++i) {
        if (i != 7) {
            EXPECT_EQ(plain[i], link->Command()[i]) << i;
        }
    }
}

class OldMachineTest : public EmulatorTest {
  protected:
    static EmulatorConfig Old() {
        EmulatorConfig c;
        c.firmwareMajor = 0x02;
        c.firmwareMinor = 0x23;
        c.optionWord = 0;
        return c;
    }
    OldMachineTest() : EmulatorTest(Old()) {}
};

TEST_F(OldMachineTest, ConfiguredFirmwareAndOptionsAreReported) {
    ASSERT_TRUE(link->RequestInfo());
    ASSERT_TRUE(link->RequestParameterBlock(1));
    EXPECT_EQ(FirmwareText(st().firmwareMajor, st().firmwareMinor), "2.23");
    EXPECT_EQ(st().optionWord, 0);
    EXPECT_FALSE(st().FirmwareAtLeast(0x02, 0x24));
}

} // namespace
} // namespace orvenix
