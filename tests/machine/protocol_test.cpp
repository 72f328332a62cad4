// Reading and decoding replies, the exchange rule and the command builders, over a scripted SI_ layer.
#include "base/dialogs.h"
#include "machine/link.h"
#include "support/fake_si.h"

#include <gtest/gtest.h>

namespace orvenix {
namespace {

using test::FakeSi;
using test::MachineReply;

class ProtocolTest : public ::testing::Test {
  protected:
    ProtocolTest() {
        auto si = std::make_unique<FakeSi>();
        fake = si.get();
        link = std::make_unique<MachineLink>(std::move(si), dialogs);
        link->SetFillerSourceForTesting([] { return std::uint8_t{0}; });
        link->Open(kLinkTimeoutMs);
        fake->calls.clear();
        fake->flushes = 0;
    }
    void Queue(const std::vector<std::uint8_t>& bytes) {
        fake->input.insert(fake->input.end(), bytes.begin(), bytes.end());
    }
    void Receive(std::initializer_list<std::uint8_t> head) {
        Queue(MachineReply(head));
        link->ReceiveReply();
    }
    SharedMachineState& st() { return link->StateForTesting(); }

    ScriptedDialogs dialogs;
    FakeSi* fake = nullptr;
    std::unique_ptr<MachineLink> link;
};

// ---- rec and its three outcomes ------------------------------------------------------------------

TEST_F(ProtocolTest, ShortReadFlushesCountsAndChangesNothingElse) {
    st().MachineState = kStateIdle;
    st().firmwareMajor = 2;
    Queue({1, 2, 3, 4, 5});
    link->ReceiveReply();
    EXPECT_EQ(st().replyStatus, kReplyShort);
    EXPECT_TRUE(link->ReadFailed());
    EXPECT_EQ(st().commErrorCount, 1);
    EXPECT_EQ(fake->flushes, 1);
    EXPECT_EQ(st().MachineState, kStateIdle);
    EXPECT_EQ(st().firmwareMajor, 2);
}

TEST_F(ProtocolTest, LongReplyMissingPartOfItsPayloadIsAShortRead) {
    PacketBuffer p{};
    p[0] = reply::kReadResult;
    auto wire = MachineReply(p);
    wire.resize(8 + 100);
    Queue(wire);
    link->ReceiveReply();
    EXPECT_EQ(st().replyStatus, kReplyShort);
    EXPECT_EQ(st().commErrorCount, 1);
    EXPECT_EQ(fake->flushes, 1);
}

TEST_F(ProtocolTest, ReplySummingToFEIsAChecksumError) {
    auto wire = MachineReply({reply::kInfo, 2, 0x40, 0, 0, 0, 5});
    wire[6] ^= 1; // plain byte 6 becomes 4: the packet descrambles but sums to 0xFE
    Queue(wire);
    link->ReceiveReply();
    EXPECT_EQ(st().replyStatus, kReplyChecksum);
    EXPECT_EQ(st().commErrorCount, 1);
    EXPECT_EQ(fake->flushes, 1);
    EXPECT_FALSE(st().infoReceived);
    EXPECT_FALSE(link->ReadFailed());
}

TEST_F(ProtocolTest, GoodReplyClearsTheErrorCount) {
    st().commErrorCount = 1;
    Receive({0x77, 1, 2, 3});
    EXPECT_EQ(st().replyStatus, kReplyGood);
    EXPECT_EQ(st().commErrorCount, 0);
    EXPECT_EQ(fake->flushes, 0);
}

TEST_F(ProtocolTest, SendResetsReplyStatusAndReadFailure) {
    link->ReceiveReply(); // nothing comes: a short read
    ASSERT_TRUE(link->ReadFailed());
    st().replyStatus = kReplyChecksum;
    link->BuildShort(cmd::kStatus, {0});
    link->SendShortPacket();
    EXPECT_EQ(st().replyStatus, kReplyGood);
    EXPECT_FALSE(link->ReadFailed());
    ASSERT_EQ(fake->writes.size(), 1u);
    EXPECT_EQ(fake->writes[0].size(), 8u);
}

// ---- Reply decoding ------------------------------------------------------------------------------

TEST_F(ProtocolTest, BusyReplySetsBusyAndRefreshesTheDisplay) {
    int refreshed = 0;
    link->Events().stateChanged = [&] { ++refreshed; };
    Receive({reply::kBusy});
    EXPECT_EQ(st().MachineState, kStateBusy);
    EXPECT_EQ(refreshed, 1);
}

TEST_F(ProtocolTest, StatusByteBoundariesGiveIdleBusyAndError) {
    Receive({reply::kStatus, 0x00});
    EXPECT_EQ(st().MachineState, kStateIdle);
    Receive({reply::kStatus, 0xF0});
    EXPECT_EQ(st().MachineState, kStateError);
    EXPECT_EQ(st().statusCode, 0xF0);
    Receive({reply::kStatus, 0xF1});
    EXPECT_EQ(st().MachineState, kStateBusy);
    Receive({reply::kStatus, 0x05});
    EXPECT_EQ(st().MachineState, kStateError);
    EXPECT_EQ(st().statusCode, 5);
}

TEST_F(ProtocolTest, PocketCountsAreTakenOnlyWhileBusy) {
    std::array<std::int16_t, 4> shown{};
    int busyTicks = 0;
    link->Events().pocketCounts = [&](const std::array<std::int16_t, 4>& c) { shown = c; };
    link->Events().busy = [&] { ++busyTicks; };
    st().MachineState = kStateIdle;
    Receive({reply::kStatus, 0xF1, 5, 6, 7, 8, 0});
    EXPECT_EQ(st().pocketCount, (std::array<std::int16_t, 4>{0, 0, 0, 0}));
    EXPECT_EQ(busyTicks, 1);
    // Now busy: counts are the low six bits of bytes 2 to 5 (S, W, E, N).
    Receive({reply::kStatus, 0xF1, 0xC5, 0x46, 7, 13, 0});
    EXPECT_EQ(st().pocketCount, (std::array<std::int16_t, 4>{5, 6, 7, 13}));
    EXPECT_EQ(shown, st().pocketCount);
    // The reply that ends the step still carries the final counts.
    Receive({reply::kStatus, 0, 13, 13, 13, 13, 0});
    EXPECT_EQ(st().pocketCount, (std::array<std::int16_t, 4>{13, 13, 13, 13}));
    EXPECT_EQ(st().MachineState, kStateIdle);
    EXPECT_EQ(busyTicks, 2);
}

TEST_F(ProtocolTest, StatusFlagsSetPedalBoxAndBoxCounters) {
    st().boxCounter = 7;
    Receive({reply::kStatus, 0, 0, 0, 0, 0, kFlagPedal | kFlagBox});
    EXPECT_TRUE(st().pedalFlag);
    EXPECT_TRUE(st().boxFlag);
    EXPECT_EQ(st().boxCounterAtInsert, 7);
    EXPECT_EQ(link->AcknowledgeBits(), kRequestAckPedal | kRequestAckBox);
    // Box and reset in the same reply: the insert is recorded first, then the counter restarts.
    Receive({reply::kStatus, 0, 0, 0, 0, 0, kFlagBox | kFlagBoxReset});
    EXPECT_FALSE(st().pedalFlag);
    EXPECT_EQ(st().boxCounterAtInsert, 7);
    EXPECT_EQ(st().boxCounter, 0);
    Receive({reply::kStatus, 0, 0, 0, 0, 0, 0});
    EXPECT_FALSE(st().boxFlag);
    EXPECT_EQ(link->AcknowledgeBits(), 0);
}

TEST_F(ProtocolTest, LongStatusReplyDecodesLikeTheShortOne) {
    PacketBuffer p{};
    p[0] = reply::kStatusLong;
    p[1] = 0xF5;
    p[6] = kFlagPedal;
    Queue(MachineReply(p));
    link->ReceiveReply();
    EXPECT_EQ(st().replyStatus, kReplyGood);
    EXPECT_EQ(st().MachineState, kStateBusy);
    EXPECT_TRUE(st().pedalFlag);
}

TEST_F(ProtocolTest, InfoReplyStoresFirmwareAndInfoFields) {
    Receive({reply::kInfo, 0x02, 0x40, 0x12, 0x34, 0x56, 0x99});
    EXPECT_TRUE(st().infoReceived);
    EXPECT_EQ(FirmwareText(st().firmwareMajor, st().firmwareMinor), "2.40");
    EXPECT_EQ(st().infoByte3, 0x12);
    EXPECT_EQ(st().infoByte4, 0x34);
    EXPECT_EQ(st().infoWord5, 0x56);
}

TEST_F(ProtocolTest, DownloadAcknowledgementsKeepByteOne) {
    for (std::uint8_t code : {0x29, 0x2A, 0x2C, 0x2D}) {
        Receive({code, static_cast<std::uint8_t>(code - 0x20)});
        EXPECT_EQ(st().lastAcknowledgement, code - 0x20);
    }
}

TEST_F(ProtocolTest, ParameterBlockOneCarriesTheOptionWord) {
    int shown = 0;
    link->Events().maintenanceReply = [&](const PacketBuffer& p, std::size_t size) {
        EXPECT_EQ(size, 8u);
        EXPECT_EQ(p[0], reply::kParameterBlock);
        ++shown;
    };
    Receive({reply::kParameterBlock, 1, 0x04, 0xD2, 0x00, 0x0C});
    EXPECT_EQ(st().optionWord, 12);
    EXPECT_EQ(st().parameterBlock[1][2], 0x04);
    EXPECT_EQ(st().parameterBlock[1][3], 0xD2);
    Receive({reply::kParameterBlock, 2, 12, 5, 0x07, 0xE8});
    EXPECT_EQ(st().optionWord, 12); // block 2 leaves the options alone
    EXPECT_EQ(st().parameterBlock[2][4], 0x07);
    Receive({reply::kParameterBlock, 1, 0, 0, 0x01, 0x04});
    EXPECT_EQ(st().optionWord, 0x104);
    EXPECT_EQ(shown, 3);
}

TEST_F(ProtocolTest, BoardLabelReplyLooksTheCodeUp) {
    Receive({reply::kSensors, 4, 15});
    EXPECT_EQ(st().readBoardNumber, 1);
    EXPECT_EQ(st().readLabelCode, 15);
    Receive({reply::kSensors, 0x84, 240}); // the flip-plate bit does not hide the sub-code
    EXPECT_EQ(st().readBoardNumber, 70);
    Receive({reply::kSensors, 4, 16});
    EXPECT_EQ(st().readBoardNumber, 0);
    EXPECT_EQ(st().readLabelCode, 16);
    Receive({reply::kSensors, 2, 15}); // a sensor reading, not a label
    EXPECT_EQ(st().readBoardNumber, 0);
    EXPECT_EQ(st().readLabelCode, 16);
}

TEST_F(ProtocolTest, MaintenanceRepliesReachTheMaintenanceHook) {
    std::vector<std::uint8_t> codes;
    link->Events().maintenanceReply = [&](const PacketBuffer& p, std::size_t) { codes.push_back(p[0]); };
    for (std::uint8_t code : {0x11, 0x15, 0x17, 0x0A, 0x0F, 0x10})
        Receive({code, 1});
    for (std::uint8_t code : {0x81, 0xB3}) {
        PacketBuffer p{};
        p[0] = code;
        Queue(MachineReply(p));
        link->ReceiveReply();
    }
    EXPECT_EQ(codes, (std::vector<std::uint8_t>{0x11, 0x15, 0x17, 0x0A, 0x0F, 0x10, 0x81, 0xB3}));
    EXPECT_EQ(st().commErrorCount, 0);
}

TEST_F(ProtocolTest, UnknownReplyIsGoodAndChangesNothing) {
    st().MachineState = kStateIdle;
    st().commErrorCount = 1;
    Receive({0x42, 0xF1, 13, 13, 13, 13, 0xFF});
    EXPECT_EQ(st().replyStatus, kReplyGood);
    EXPECT_EQ(st().commErrorCount, 0);
    EXPECT_EQ(st().MachineState, kStateIdle);
    EXPECT_FALSE(st().pedalFlag);
}

class ReadResultTest : public ProtocolTest {
  protected:
    ReadResultTest() {
        set.firstBoard = 1;
        set.lastBoard = 9;
        set.currentBoard = 9;
        set[9].dealer = 1;
        set[9].number = 9;
        link->SetReadTarget(&set[9]);
    }
    BoardSet set;
};

TEST_F(ReadResultTest, FillsTheCurrentBoardFromThePocketCodes) {
    PacketBuffer p{};
    p[0] = reply::kReadResult;
    for (int c = 1; c <= 52; ++c)
        p[CardWirePosition(c)] = static_cast<std::uint8_t>(1 + (c - 1) / 13); // S W E N
    Queue(MachineReply(p));
    link->ReceiveReply();
    ASSERT_EQ(st().replyStatus, kReplyGood);
    const Board& b = set[9];
    EXPECT_EQ(b.number, 9);
    EXPECT_EQ(b.cardOwner[1], 3);  // spades in the South pocket
    EXPECT_EQ(b.cardOwner[14], 4); // hearts West
    EXPECT_EQ(b.cardOwner[27], 2); // diamonds East
    EXPECT_EQ(b.cardOwner[52], 1); // clubs North
    EXPECT_EQ(b.status, kBoardComplete);
    EXPECT_EQ(b.dealer, 1); // the rest of the record stays
    EXPECT_EQ(set[8], Board{});
}

TEST_F(ReadResultTest, ZeroAndOutOfRangeBytesLeaveCardsUnplaced) {
    PacketBuffer p{};
    p[0] = reply::kReadResult;
    for (int c = 1; c <= 52; ++c)
        p[CardWirePosition(c)] = static_cast<std::uint8_t>(1 + (c - 1) % 4);
    p[CardWirePosition(5)] = 0;
    p[CardWirePosition(6)] = 5;
    p[CardWirePosition(7)] = 0xFF;
    Queue(MachineReply(p));
    link->ReceiveReply();
    const Board& b = set[9];
    EXPECT_EQ(b.cardOwner[5], 0);
    EXPECT_EQ(b.cardOwner[6], 0);
    EXPECT_EQ(b.cardOwner[7], 0);
    EXPECT_EQ(b.cardOwner[8], PocketToSeat[4]);
    EXPECT_EQ(b.status, kBoardPartial);
}

TEST_F(ReadResultTest, WithoutATargetAReadResultIsOnlyChecked) {
    link->SetReadTarget(nullptr);
    PacketBuffer p{};
    p[0] = reply::kReadResult;
    p[20] = 1;
    Queue(MachineReply(p));
    link->ReceiveReply();
    EXPECT_EQ(st().replyStatus, kReplyGood);
    for (int n = 0; n <= 9; ++n)
        EXPECT_EQ(set[n].status, 0);
}

// ---- The exchange rule ---------------------------------------------------------------------------

TEST_F(ProtocolTest, OneFailedReplyIsRetriedWithFreshFillerBytes) {
    std::uint8_t next = 0;
    link->SetFillerSourceForTesting([&] { return next++; });
    fake->answers.push_back({1, 2, 3});                      // short
    fake->answers.push_back(MachineReply({reply::kStatus})); // good
    EXPECT_TRUE(link->RequestStatus(0));
    ASSERT_EQ(fake->writes.size(), 2u);
    EXPECT_NE(fake->writes[0], fake->writes[1]);
    EXPECT_EQ(st().commErrorCount, 0);
    EXPECT_FALSE(link->LinkLost());
}

TEST_F(ProtocolTest, TwoFailuresInARowLeaveTheLinkLost) {
    fake->answers.push_back({});
    fake->answers.push_back({});
    fake->answers.push_back(MachineReply({reply::kStatus}));
    EXPECT_FALSE(link->RequestInfo());
    EXPECT_EQ(fake->writes.size(), 2u); // no third attempt
    EXPECT_EQ(st().commErrorCount, 2);
    EXPECT_TRUE(link->LinkLost());
}

TEST_F(ProtocolTest, AFailureLeftFromAnEarlierSingleSendIsNotRetried) {
    Queue({1});
    link->ReceiveReply(); // a lone exchange without retry fails once
    ASSERT_EQ(st().commErrorCount, 1);
    fake->answers.push_back({});
    EXPECT_FALSE(link->RequestStatus(0));
    EXPECT_EQ(fake->writes.size(), 1u);
    EXPECT_EQ(st().commErrorCount, 2);
}

TEST_F(ProtocolTest, ChecksumFailureThenGoodReply) {
    auto bad = MachineReply({reply::kInfo, 2, 0x40, 0, 0, 0, 1});
    bad[6] ^= 1;
    fake->answers.push_back(bad);
    fake->answers.push_back(MachineReply({reply::kInfo, 2, 0x41}));
    EXPECT_TRUE(link->RequestInfo());
    EXPECT_EQ(st().firmwareMinor, 0x41);
    EXPECT_EQ(fake->flushes, 1);
}

TEST_F(ProtocolTest, OverLongReplyLeavesStrayBytesThatTheNextExchangeRecoversFrom) {
    auto first = MachineReply({reply::kStatus});
    first.insert(first.end(), {0x11, 0x22, 0x33});
    fake->answers.push_back(first);
    EXPECT_TRUE(link->RequestStatus(0));
    fake->answers.push_back(MachineReply({reply::kInfo, 2, 0x40}));
    fake->answers.push_back(MachineReply({reply::kInfo, 2, 0x40}));
    EXPECT_TRUE(link->RequestInfo());
    EXPECT_TRUE(st().infoReceived);
    EXPECT_EQ(fake->writes.size(), 3u); // the stray bytes cost one retry
}

// ---- Command builders ----------------------------------------------------------------------------

TEST_F(ProtocolTest, ShortCommandsCarryTheirParameters) {
    link->SetFillerSourceForTesting([] { return std::uint8_t{0xAB}; });
    link->BuildShort(cmd::kSensors, {4, 0});
    EXPECT_EQ(link->Command()[0], 0x1B);
    EXPECT_EQ(link->Command()[1], 4);
    EXPECT_EQ(link->Command()[2], 0);
    for (std::size_t i = 3; i < 7; ++i)
        EXPECT_EQ(link->Command()[i], 0xAB);
    fake->answers.push_back(MachineReply({reply::kStatus}));
    link->RequestStatus(kRequestBreak | kRequestAckPedal);
    PacketBuffer wire{};
    std::copy(fake->writes.back().begin(), fake->writes.back().end(), wire.begin());
    PacketBuffer plain{};
    DescrambleHead(wire, kSendKeyStep, plain);
    EXPECT_EQ(plain[0], cmd::kStatus);
    EXPECT_EQ(plain[1], 3);
}

TEST_F(ProtocolTest, DealCommandCarriesEveryCardsPocket) {
    Board b;
    for (int c = 1; c <= 52; ++c)
        b.cardOwner[static_cast<std::size_t>(c)] = static_cast<std::uint8_t>(1 + (c - 1) / 13);
    PacketBuffer p{};
    link->BuildDealCommand(
        p, b, 0, NationalBits(5) | kOptionFramedCards | kOptionBoldPrint | kOptionLargeIndexCards, 2);
    EXPECT_EQ(p[0], 0x98);
    EXPECT_EQ(p[1], 0);
    EXPECT_EQ(p[2], 0x5D);
    EXPECT_EQ(p[3], 2);
    EXPECT_EQ(p[4], 111);
    EXPECT_EQ(p[5], 136);
    for (std::size_t i = 8; i <= 20; ++i)
        EXPECT_EQ(p[i], 4) << i; // spades to North
    for (std::size_t i = 21; i <= 33; ++i)
        EXPECT_EQ(p[i], 3) << i; // hearts East
    for (std::size_t i = 34; i <= 46; ++i)
        EXPECT_EQ(p[i], 1) << i; // diamonds South
    for (std::size_t i = 47; i <= 59; ++i)
        EXPECT_EQ(p[i], 2) << i; // clubs West
    for (std::size_t i = 60; i < 136; ++i)
        EXPECT_EQ(p[i], 0) << i;
    link->BuildDealCommand(p, b, 1, 0, 3);
    EXPECT_EQ(p[1], 1);
    EXPECT_EQ(p[4], 161);
}

TEST_F(ProtocolTest, ReadCommandPocketSequences) {
    PacketBuffer p{};
    link->BuildReadCommand(p, ReadMode::SimulateHandDealing, 2 /* E */, 0, 0, 0);
    EXPECT_EQ(p[0], 0x9C);
    // From the dealer's pocket on: S -> E -> N -> W -> S.
    const std::uint8_t expected[] = {3, 4, 2, 1, 3, 4, 2, 1};
    for (std::size_t i = 0; i < 8; ++i)
        EXPECT_EQ(p[8 + i], expected[i]) << i;
    EXPECT_EQ(p[59], 1);
    link->BuildReadCommand(p, ReadMode::PlayedBoards, 1, 0, 0, 0);
    EXPECT_EQ(p[8], 1);
    EXPECT_EQ(p[20], 1);
    EXPECT_EQ(p[21], 2);
    EXPECT_EQ(p[33], 2);
    EXPECT_EQ(p[34], 3);
    EXPECT_EQ(p[46], 3);
    EXPECT_EQ(p[47], 4);
    EXPECT_EQ(p[59], 4);
}

TEST_F(ProtocolTest, LongCommandIsWrittenAs136Bytes) {
    Board b;
    fake->answers.push_back(MachineReply({reply::kStatus, 0xF1}));
    EXPECT_TRUE(link->Exchange([&](PacketBuffer& p) { link->BuildDealCommand(p, b, 0, 0, 0); }));
    ASSERT_EQ(fake->writes.size(), 1u);
    EXPECT_EQ(fake->writes[0].size(), 136u);
}

// ---- Link operations -----------------------------------------------------------------------------

TEST_F(ProtocolTest, LatchCloseAndDelay) {
    link->LatchOn();
    link->LatchOff();
    EXPECT_EQ(fake->latch, (std::vector<int>{1, 0}));
    link->SetTimeouts(kDownloadTimeoutMs);
    EXPECT_EQ(fake->readTimeout, 2000u);
    link->Close();
    EXPECT_FALSE(link->IsOpen());
    link->Close();
    EXPECT_EQ(fake->closes, 1);
}

TEST(MachineStateText, NamesEveryState) {
    EXPECT_EQ(MachineStateText(1), "Undefine");
    EXPECT_EQ(MachineStateText(2), "Down");
    EXPECT_EQ(MachineStateText(3), "Idle");
    EXPECT_EQ(MachineStateText(4), "Busy");
    EXPECT_EQ(MachineStateText(5), "Error");
    EXPECT_EQ(MachineStateText(9), "Illegal (9)");
}

} // namespace
} // namespace orvenix
