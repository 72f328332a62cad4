// The link over a scripted SI_ layer: packets on the wire, opening, the exchange rule under link faults,
// reply decoding and the command builders.
#include "base/dialogs.h"
#include "base/messages.h"
#include "machine/link.h"
#include "machine/si_layer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cstring>
#include <deque>
#include <map>
#include <set>
#include <tuple>

namespace orvenix {
namespace {

// A scripted SI_ layer for tests: every operation's status can be set, reads come from a byte queue (a read
// with too few queued bytes returns what there is, like a time-out), and every call is recorded.
struct FakeSi : SiLayer {
    std::uint32_t driverVersion = 0x00030001;
    std::vector<std::string> products{"1234"};
    std::map<std::string, SiStatus> status; // operation name (without SI_) -> status to return
    int systemError = 0;
    std::deque<std::uint8_t> input;
    // Bytes queued as the machine's answer to every later write, in turn (empty: nothing answers).
    std::deque<std::vector<std::uint8_t>> answers;
    std::vector<std::vector<std::uint8_t>> writes;
    std::vector<std::string> calls; // the operation, with the device, time-out or latch value it was given

    SiStatus S(const std::string& op, long argument = -1) {
        calls.push_back(argument < 0 ? op : op + " " + std::to_string(argument));
        return status.contains(op) ? status[op] : kSiSuccess;
    }
    SiStatus SI_GetDriverVersion(std::uint32_t& v, std::uint32_t&) override {
        v = driverVersion;
        return S("GetDriverVersion");
    }
    SiStatus SI_GetNumDevices(std::uint32_t& count) override {
        count = static_cast<std::uint32_t>(products.size());
        return S("GetNumDevices");
    }
    SiStatus SI_GetProductString(std::uint32_t index, char* buffer, std::uint32_t) override {
        std::strncpy(buffer, products.at(index).c_str(), kProductStringBufferSize - 1);
        return S("GetProductString");
    }
    SiStatus SI_Open(std::uint32_t index, SiHandle& handle) override {
        handle = 7;
        return S("Open", index);
    }
    SiStatus SI_SetTimeouts(std::uint32_t r, std::uint32_t) override { return S("SetTimeouts", r); }
    SiStatus SI_SetBaudRate(SiHandle, std::uint32_t) override { return S("SetBaudRate"); }
    SiStatus SI_SetLineControl(SiHandle, std::uint16_t) override { return S("SetLineControl"); }
    SiStatus SI_FlushBuffers(SiHandle, std::uint8_t, std::uint8_t) override {
        input.clear();
        return S("FlushBuffers");
    }
    SiStatus SI_Write(SiHandle, const std::uint8_t* data, std::uint32_t count,
                      std::uint32_t& written) override {
        writes.emplace_back(data, data + count);
        written = count;
        if (!answers.empty()) input.insert(input.end(), answers.front().begin(), answers.front().end());
        if (!answers.empty()) answers.pop_front();
        return S("Write");
    }
    SiStatus SI_Read(SiHandle, std::uint8_t* data, std::uint32_t count, std::uint32_t& got) override {
        for (got = 0; got < count && !input.empty(); input.pop_front())
            data[got++] = input.front();
        return got == count ? kSiSuccess : kSiReadTimedOut;
    }
    SiStatus SI_WriteLatch(SiHandle, std::uint8_t, std::uint8_t v) override { return S("WriteLatch", v); }
    SiStatus SI_Close(SiHandle) override { return S("Close"); }
    [[nodiscard]] int LastSystemError() const override { return systemError; }
};

// The wire bytes of a machine reply: plain packet p (8 or 136 bytes) checksummed and scrambled the way the
// machine does it.
inline std::vector<std::uint8_t> MachineReply(PacketBuffer p) {
    const std::size_t size = PacketSize(p[0]);
    PacketBuffer wire{};
    ScramblePacket(p, size, kReceiveKeyStep, wire);
    return {wire.begin(), wire.begin() + static_cast<std::ptrdiff_t>(size)};
}

using Bytes = std::vector<std::uint8_t>;

// ---- Packets ---------------------------------------------------------------------------------------

// Long packets and the machine's direction are unscrambled by the link in the tests below; firmware versions
// are compared and shown by the card settings and session tests.
TEST(Packet, ScramblesAsOnTheWireChecksTheSumAndLabelsBoardsFillerAndStates) {
    PacketBuffer p{0x19, 0x01, 0, 0, 0, 0, 0, 0xE5}; // byte 7 carries the sum
    PacketBuffer wire{}, back{};
    ScramblePacket(p, kShortPacket, kSendKeyStep, wire);
    EXPECT_EQ(Bytes(wire.begin(), wire.begin() + 8), (Bytes{0x03, 0x30, 0x48, 0x5F, 0x76, 0x8D, 0xA4, 0xE5}));
    DescrambleHead(wire, kSendKeyStep, back);
    EXPECT_EQ(std::tuple(back, PacketChecksumGood(back, wire[7], kShortPacket)), std::tuple(p, true));
    back[6] ^= 1; // the last summed byte
    EXPECT_FALSE(PacketChecksumGood(back, wire[7], kShortPacket));
    int board = 0; // the byte values with four bits set, in ascending order, are the boards 1 to 70
    for (std::size_t v = 0; v <= 256; ++v)
        EXPECT_EQ(BoardLabelTable[v], v < 256 && std::popcount(v) == 4 ? ++board : 0) << v;
    for (int n = 0; n <= 71; ++n)
        EXPECT_EQ(BoardLabelTable[BoardLabelCode(n)], n >= 1 && n <= kLabelledBoards ? n : 0) << n;
    std::set<int> seen;
    for (int i = 0; i < 20000; ++i)
        seen.insert(RandomFillerByte());
    EXPECT_LE(*seen.rbegin(), 254);
    EXPECT_GT(seen.size(), 200u);
    EXPECT_EQ(MachineStateText(kStateIdle) + " " + MachineStateText(9), "Idle Illegal (9)");
}

// ---- Opening ---------------------------------------------------------------------------------------

// A link opened over a FakeSi set up by script; its filler bytes count up from 0.
struct Opened {
    ScriptedDialogs dialogs;
    FakeSi* fake = nullptr;
    std::unique_ptr<MachineLink> link;
    std::uint8_t filler = 0;
    explicit Opened(const std::function<void(FakeSi&)>& script = [](FakeSi&) {}) {
        auto si = std::make_unique<FakeSi>();
        fake = si.get();
        script(*fake);
        link = std::make_unique<MachineLink>(std::move(si), dialogs);
        link->SetFillerSourceForTesting([this] { return filler++; });
        link->Open(kLinkTimeoutMs);
    }
    // The link receives plain reply p as the machine sends it.
    void Receive(PacketBuffer p) {
        const Bytes wire = MachineReply(p);
        fake->input.assign(wire.begin(), wire.end());
        link->ReceiveReply();
    }
    SharedMachineState& st() { return link->StateForTesting(); }
};

TEST(Open, ChoosesTheFirstFourDigitSerialSetsTheLinkUpOnceAndShowsEveryFailingStepWithItsCode) {
    const std::tuple<std::vector<std::string>, std::uint32_t> machines[] = {
        {{"ABC-77"}, 0},       {{"AB12", "12345"}, 1}, {{"123456", "1234X"}, 1}, {{"ABC", "0007", "1111"}, 1},
        {{"1234", "5678"}, 0}, {{"ABC", "XYZ"}, 0},    {{"12A4", "9999"}, 1},    {{"ABCDEFGH", "1234"}, 1},
    };
    for (const auto& [products, device] : machines) {
        SCOPED_TRACE(products[0]);
        Opened o([&](FakeSi& f) { f.products = products; });
        EXPECT_EQ(std::tuple(std::ranges::count(o.fake->calls, "Open " + std::to_string(device)),
                             o.link->ProductString()),
                  std::tuple(1, products[device]));
    }
    auto fail = [](const char* op, SiStatus status) { return [=](FakeSi& f) { f.status[op] = status; }; };
    auto cannot = [](const char* code) { return FormatMessage(MsgCannotCommunicateUsb, code); };
    const std::string opened = "FlushBuffers";
    // What goes wrong, the last call (a failure once the device is open closes it) and the messages shown.
    const std::tuple<std::function<void(FakeSi&)>, std::string, std::vector<std::string>> cases[] = {
        {[](FakeSi& f) { f.products.clear(); }, "GetNumDevices", {}},
        {[](FakeSi& f) { f.driverVersion = 0x00030000; }, opened, {FormatMessage(MsgUsbDriverOld, "3.0")}},
        {[](FakeSi& f) { f.driverVersion = 0x0002000C; }, opened, {FormatMessage(MsgUsbDriverOld, "2.12")}},
        {[](FakeSi& f) { f.driverVersion = 0x00040000; }, opened, {}},
        {fail("GetDriverVersion", 3), "GetDriverVersion", {cannot("3.2")}},
        {fail("GetNumDevices", 7), "GetNumDevices", {cannot("7.3")}},
        {fail("GetProductString", 8), "GetProductString", {cannot("8.5")}},
        {fail("Open", 255), "Open 0", {cannot("255.6")}},
        {fail("SetTimeouts", 6), "Close", {cannot("6.8")}},
        {fail("SetBaudRate", 4), "Close", {cannot("4.9")}},
        {fail("SetLineControl", 6), "Close", {cannot("6.10")}},
        {fail("FlushBuffers", 2), "Close", {cannot("2.11")}},
        {[](FakeSi& f) { f.status["Open"] = kSiSystemError, f.systemError = 13; },
         "Open 0",
         {"13", FormatMessage(MsgUsbDriversMissing, "12.6")}}, // the system's error number first
    };
    for (const auto& [script, last, shown] : cases) {
        Opened o(script);
        std::vector<std::string> messages;
        for (const auto& m : o.dialogs.messages)
            messages.push_back(m.text);
        EXPECT_EQ(std::tuple(o.link->IsOpen(), o.fake->calls.back(), messages),
                  std::tuple(last == opened, last, shown));
        o.fake->status.clear(); // a later attempt can succeed
        o.link->Open(kLinkTimeoutMs);
        EXPECT_EQ(o.link->IsOpen(), !o.fake->products.empty()) << last;
    }
    Opened o;
    o.link->Open(kLinkTimeoutMs); // once open, opening again does nothing
    EXPECT_EQ(o.fake->calls,
              (std::vector<std::string>{"GetDriverVersion", "GetNumDevices", "GetProductString", "Open 0",
                                        "SetTimeouts " + std::to_string(kLinkTimeoutMs), "SetBaudRate",
                                        "SetLineControl", opened}));
}

// ---- Exchanges, replies and commands ---------------------------------------------------------------

struct LinkTest : ::testing::Test, Opened {};

TEST(Exchange, RetriesOnceUnderLinkFaults) {
    const Bytes good = MachineReply({reply::kInfo, 2, 0x41});
    Bytes bad = MachineReply({reply::kInfo, 2, 0x40});
    bad[6] ^= 1; // descrambles, but sums to 0xFE
    Bytes cutLong = MachineReply({reply::kReadResult});
    cutLong.resize(108);
    const Bytes cut(good.begin(), good.begin() + 3);
    // Stray bytes left on the line before the command, failures counted by an earlier lone send, the
    // answers in turn, and what the exchange gives.
    using Case = std::tuple<const char*, Bytes, int, std::vector<Bytes>, bool, std::size_t, std::int16_t,
                            std::uint8_t>;
    const Case cases[] = {
        {"good at once", {}, 0, {good}, true, 1, 0, kReplyGood},
        {"short, then good", {}, 0, {cut, good}, true, 2, 0, kReplyGood},
        {"long cut short, then good", {}, 0, {cutLong, good}, true, 2, 0, kReplyGood},
        {"bad checksum, then good", {}, 0, {bad, good}, true, 2, 0, kReplyGood},
        {"stray bytes, then good", {0x11, 0x22, 0x33}, 0, {good, good}, true, 2, 0, kReplyGood},
        {"no answer twice", {}, 0, {{}, {}, good}, false, 2, 2, kReplyShort},
        {"bad checksum twice", {}, 0, {bad, bad, good}, false, 2, 2, kReplyChecksum},
        {"after an earlier failure", {}, 1, {{}, good}, false, 1, 2, kReplyShort},
        {"earlier failure, then good", {}, 1, {good}, true, 1, 0, kReplyGood},
    };
    for (const auto& [name, stray, earlierErrors, answers, succeeds, writes, errors, status] : cases) {
        SCOPED_TRACE(name);
        Opened o; // its opening flushes once
        o.fake->input.assign(stray.begin(), stray.end());
        o.fake->answers.assign(answers.begin(), answers.end());
        o.st().commErrorCount = static_cast<std::int16_t>(earlierErrors);
        const bool ok = o.link->RequestInfo();
        EXPECT_EQ(std::tuple(ok, o.fake->writes.size(), o.st().commErrorCount, o.st().replyStatus,
                             std::ranges::count(o.fake->calls, "FlushBuffers"), o.link->LinkLost(),
                             o.link->ReadFailed(), o.st().firmwareMinor),
                  std::tuple(succeeds, writes, errors, status, int(writes) - succeeds + 1, errors == 2,
                             status == kReplyShort, succeeds ? 0x41 : 0));
        EXPECT_TRUE(writes == 1 || o.fake->writes[0] != o.fake->writes[1]); // fresh filler bytes
    }
}

TEST_F(LinkTest, DecodesEveryReplyAndBuildsEveryCommand) {
    std::array<std::int16_t, 4> shown{};
    int busyTicks = 0, refreshed = 0;
    link->Events().pocketCounts = [&](const auto& c) { shown = c; };
    link->Events().busy = [&] { ++busyTicks; };
    link->Events().stateChanged = [&] { ++refreshed; };
    constexpr std::uint8_t kBoxAndReset = kFlagBox | kFlagBoxReset; // the insert is taken before the reset
    // The reply; the state, the counts (taken only while the machine was busy), the pedal and box flags, the
    // box counter and its value when the box was inserted.
    using Case = std::tuple<PacketBuffer, std::int32_t, std::array<std::int16_t, 4>, bool, bool, int, int>;
    const Case cases[] = {
        {{reply::kStatus, 0x00}, kStateIdle, {}, false, false, 7, 0},
        {{reply::kStatus, 0xF0, 5, 6, 7, 8}, kStateError, {}, false, false, 7, 0},
        {{reply::kStatus, 0xF1, 5, 6, 7, 8, kFlagPedal}, kStateBusy, {}, true, false, 7, 0},
        {{reply::kStatus, 0xF1, 0xC5, 0x46, 7, 13, kFlagBox}, kStateBusy, {5, 6, 7, 13}, false, true, 7, 7},
        {{reply::kStatus, 0, 13, 13, 13, 13, kBoxAndReset}, kStateIdle, {13, 13, 13, 13}, false, true, 0, 7},
        {{reply::kBusy}, kStateBusy, {13, 13, 13, 13}, false, true, 0, 7},
        {{reply::kStatusLong, 0x05, 1, 1, 1, 1, kFlagPedal}, kStateError, {1, 1, 1, 1}, true, false, 0, 7},
        {{0x42, 0xF1, 13, 13, 13, 13, 0xFF}, kStateError, {1, 1, 1, 1}, true, false, 0, 7},
    };
    st().boxCounter = 7;
    for (const auto& [p, state, counts, pedal, box, boxCounter, atInsert] : cases) {
        SCOPED_TRACE(int(p[1]));
        Receive(p);
        EXPECT_EQ(std::tuple(st().MachineState, st().pocketCount, st().pedalFlag, st().boxFlag,
                             st().boxCounter, st().boxCounterAtInsert, link->AcknowledgeBits()),
                  std::tuple(state, counts, pedal, box, boxCounter, atInsert,
                             (pedal ? kRequestAckPedal : 0) | (box ? kRequestAckBox : 0)));
    }
    EXPECT_EQ(std::tuple(st().statusCode, shown, busyTicks, refreshed),
              std::tuple(5, st().pocketCount, 2, 1));
    // The maintenance replies reach the maintenance fields through the link in the maintenance tests.
    Receive({reply::kInfo, 0x02, 0x40, 0x12, 0x34, 0x56});
    EXPECT_EQ(std::tuple(st().infoReceived, st().firmwareMajor, st().firmwareMinor,
                         st().infoByte3 * 256 + st().infoByte4, st().infoWord5),
              std::tuple(true, 2, 0x40, 0x1234, 0x56));
    for (std::uint8_t code : {0x29, 0x2A, 0x2C, 0x2D}) {
        Receive({code, static_cast<std::uint8_t>(code - 0x20)});
        EXPECT_EQ(st().lastAcknowledgement, code - 0x20);
    }
    Receive({reply::kParameterBlock, 1, 0x04, 0xD2, 0x00, 0x0C});
    EXPECT_EQ(std::tuple(st().optionWord, st().parameterBlock[1][2] * 256 + st().parameterBlock[1][3]),
              std::tuple(12, 1234));
    Receive({reply::kParameterBlock, 2, 12, 5, 0x07, 0xE8});
    EXPECT_EQ(std::tuple(st().optionWord, st().parameterBlock[2][4]), std::tuple(12, 0x07)); // options kept
    // The sensor part (0x80: the flip plate), the label code, the board and label read.
    const std::tuple<std::uint8_t, std::uint8_t, int, int> labels[] = {
        {4, 15, 1, 15}, {0x84, 240, 70, 240}, {4, 16, 0, 16}, {2, 15, 0, 16}};
    for (const auto& [part, code, board, label] : labels) {
        Receive({reply::kSensors, part, code});
        EXPECT_EQ(std::tuple(st().readBoardNumber, st().readLabelCode), std::tuple(board, label))
            << int(code);
    }
    // A read result fills only its target board and leaves bad pocket codes unplaced.
    BoardSet set;
    PacketBuffer result{reply::kReadResult};
    for (int c = 1; c <= 52; ++c)
        result[CardWirePosition(c)] = static_cast<std::uint8_t>(1 + (c - 1) % 4);
    Receive(result); // no target: only checked
    EXPECT_EQ(set[9], BoardSet{}[9]);
    link->SetReadTarget(&set[9]);
    for (std::uint8_t bad : {0, 5, 0xFF}) {
        result[CardWirePosition(7)] = bad;
        Receive(result);
        EXPECT_EQ(std::tuple(set[9].cardOwner[7], set[9].cardOwner[8], set[9].status),
                  std::tuple(0, PocketToSeat[4], kBoardPartial));
    }
    // Commands carry their parameters and cards; then the latch, a time-out and closing.
    fake->answers.push_back(MachineReply({reply::kStatus}));
    link->RequestStatus(kRequestBreak | kRequestAckPedal);
    PacketBuffer wire{}, plain{};
    std::copy(fake->writes.back().begin(), fake->writes.back().end(), wire.begin());
    DescrambleHead(wire, kSendKeyStep, plain);
    EXPECT_EQ(Bytes(plain.begin(), plain.begin() + 7), (Bytes{cmd::kStatus, 3, 0, 1, 2, 3, 4}));

    Board b;
    for (int c = 1; c <= 52; ++c)
        b.cardOwner[static_cast<std::size_t>(c)] = static_cast<std::uint8_t>(1 + (c - 1) / 13);
    PacketBuffer p{};
    std::set<int> sequences; // the four sequence indices give four byte pairs; the index counts modulo 4
    for (int index : {0, 1, 2, 3, 6}) {
        link->BuildDealCommand(p, b, 1, 0x5D, index);
        EXPECT_EQ(Bytes(p.begin(), p.begin() + 4), (Bytes{cmd::kDeal, 1, 0x5D, std::uint8_t(index & 3)}));
        sequences.insert(p[4] * 256 + p[5]);
    }
    EXPECT_EQ(sequences.size(), 4u);
    const std::uint8_t pocketOfSuit[] = {4, 3, 1, 2}; // spades North, hearts East, diamonds South, clubs West
    for (std::size_t i = 8; i < 136; ++i)
        EXPECT_EQ(p[i], i < 60 ? pocketOfSuit[(i - 8) / 13] : 0) << i;
    link->BuildReadCommand(p, ReadMode::SimulateHandDealing, 2 /* E */, 0, 0, 0);
    EXPECT_EQ(std::tuple(p[0], Bytes(p.begin() + 8, p.begin() + 13), p[59]),
              std::tuple(cmd::kRead, Bytes{3, 4, 2, 1, 3}, 1)); // E, N, W, S, E
    link->BuildReadCommand(p, ReadMode::PlayedBoards, 1, 0, 0, 0);
    for (std::size_t i = 8; i < 60; ++i)
        EXPECT_EQ(p[i], 1 + (i - 8) / 13) << i;
    fake->calls.clear();
    link->LatchOn();
    link->LatchOff();
    link->SetTimeouts(kDownloadTimeoutMs);
    link->Close();
    link->Close();
    EXPECT_EQ(std::tuple(link->IsOpen(), fake->calls),
              std::tuple(false, std::vector<std::string>{"WriteLatch 1", "WriteLatch 0",
                                                         "SetTimeouts " + std::to_string(kDownloadTimeoutMs),
                                                         "Close"}));
}

} // namespace
} // namespace orvenix
