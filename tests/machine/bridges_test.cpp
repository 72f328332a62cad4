// The bridges behind the link: the serial implementation on a pseudo-terminal, the run-time loaded library
// against the test library, the choice of link and the emulated machine.
#include "base/dialogs.h"
#include "base/messages.h"
#include "base/settings.h"
#include "machine/emulated_si.h"
#include "machine/library_si.h"
#include "machine/open_link.h"
#include "machine/serial_si.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>

#include <fcntl.h>
#include <unistd.h>

namespace orvenix {
namespace {

TEST(SerialBridge, SilentDeviceTimesOutAndOtherDevicesOrASecondUserAreRefused) {
    const int terminal =
        ::posix_openpt(O_RDWR | O_NOCTTY); // a pseudo-terminal whose other side nobody answers
    ASSERT_TRUE(terminal >= 0 && ::grantpt(terminal) == 0 && ::unlockpt(terminal) == 0);
    const std::string path = ::ptsname(terminal);
    ScriptedDialogs dialogs;
    MachineLink link(std::make_unique<SerialSi>(path), dialogs);
    link.Open(kLinkTimeoutMs);
    ASSERT_TRUE(link.IsOpen() && dialogs.messages.empty());
    const auto start = std::chrono::steady_clock::now();
    const bool answered = link.RequestInfo();
    const auto took = std::chrono::steady_clock::now() - start;
    EXPECT_EQ(std::tuple(answered, link.State().replyStatus, link.LinkLost()),
              std::tuple(false, kReplyShort, true));
    EXPECT_GE(took, std::chrono::milliseconds(2 * kLinkTimeoutMs - 10));
    EXPECT_LT(took, std::chrono::milliseconds(2 * kLinkTimeoutMs + 1500));
    SerialSi second(path);
    std::uint32_t count = 0;
    SiHandle h = kNoLink;
    ASSERT_EQ(second.SI_GetNumDevices(count), kSiSuccess);
    EXPECT_EQ(second.SI_Open(0, h), kSiSystemError); // one program at a time
    EXPECT_NE(second.LastSystemError(), 0);
    for (const auto& [device, code] :
         {std::pair{"/dev/orvenix-no-such-device", "255.6"}, {"/dev/null", "12.6"}}) {
        MachineLink refused(std::make_unique<SerialSi>(device), dialogs);
        refused.Open(kLinkTimeoutMs);
        EXPECT_FALSE(refused.IsOpen());
        EXPECT_NE(dialogs.Last().text.find(code), std::string::npos) << device;
    }
    ::close(terminal);
}

TEST(LibraryBridge, TalksToTheMachineOrReportsMissingDrivers) {
    // A folder is no library, a library without the functions is not supported; the first message shows the
    // system's error number.
    const std::tuple<const char*, const char*, int> cases[] = {{ORVENIX_SI_TEST_LIBRARY, "", 0},
                                                               {"/nonexistent/libovx-missing.so", "", ENOENT},
                                                               {"/", "", EISDIR},
                                                               {"libm.so.6", "SI_GetDriverVersion", ENOSYS}};
    for (const auto& [path, why, error] : cases) {
        ScriptedDialogs dialogs;
        auto si = std::make_unique<LibrarySi>(path);
        EXPECT_TRUE(si->Loaded() == (error == 0) && si->LoadError().find(why) != std::string::npos) << path;
        MachineLink link(std::move(si), dialogs);
        link.Open(kLinkTimeoutMs);
        const bool answered = link.RequestInfo();
        std::vector<std::string> shown;
        for (const auto& m : dialogs.messages)
            shown.push_back(m.text);
        const std::vector<std::string> missing{std::to_string(error),
                                               FormatMessage(MsgUsbDriversMissing, "12.2")};
        EXPECT_EQ(std::tuple(answered, link.ProductString(), shown),
                  std::tuple(error == 0, error == 0 ? "4321" : "",
                             error == 0 ? std::vector<std::string>{} : missing));
    }
}

TEST(MachineChoice, ParsesTheThreeKindsSaysWhatIsWrongAndTakesTheCommandLineThenTheSetting) {
    using K = MachineChoice::Kind;
    const std::tuple<const char*, std::optional<K>, const char*> cases[] = {
        {"emulated", K::Emulated, ""},
        {"serial", K::Serial, ""},
        {"serial:/dev/ttyUSB1", K::Serial, "/dev/ttyUSB1"},
        {"library:/opt/x/lib.so", K::Library, "/opt/x/lib.so"},
        {"", std::nullopt, "unknown machine '' ("},
        {"Serial", std::nullopt, "unknown machine 'Serial'"},
        {"emulated:fast", std::nullopt, "unknown machine 'emulated:fast'"},
        {"serial:", std::nullopt, "machine 'serial:' names no device"},
        {"library:", std::nullopt, "machine 'library:' names no device or library"},
    };
    for (const auto& [text, kind, argumentOrError] : cases) {
        std::string error;
        const auto choice = ParseMachineChoice(text, &error);
        ASSERT_EQ(choice.has_value(), kind.has_value()) << text;
        EXPECT_TRUE(choice ? choice->argument == argumentOrError : error.find(argumentOrError) == 0) << error;
        EXPECT_TRUE(!choice || choice->kind == *kind) << text;
    }
    ScriptedDialogs dialogs;
    auto machine = OpenLink("emulated", dialogs);
    EXPECT_TRUE(machine && machine->emulator && !machine->link->IsOpen()); // the windows open it
    MemorySettings settings; // the command line, then the setting, then serial
    EXPECT_EQ(ChooseMachineSpec("serial", settings), "serial");
    settings.Write(kMachineSettingKey, "emulated");
    EXPECT_EQ(ChooseMachineSpec("serial", settings), "emulated");
    EXPECT_EQ(ChooseMachineSpec("library:/x.so", settings), "library:/x.so");
    settings.Write(kMachineSettingKey, "nonsense");
    EXPECT_EQ(ChooseMachineSpec("serial", settings), "serial");
}

// ---- The emulated machine, in virtual time: reading stacks and the faults it puts on the wire ----------
// Dealing, machine errors, the other wire faults, the pedal, the card box and the board labels are driven
// by the session and firmware tests.

TEST(EmulatedMachine, ReadsStacksDropsStrayBytesAndPutsItsOwnOnTheWire) {
    ScriptedDialogs dialogs;
    auto owned = std::make_unique<EmulatedSi>(std::make_unique<VirtualClock>());
    EmulatedSi* emu = owned.get();
    EmulatedMachine& machine = emu->Machine();
    MachineLink link(std::move(owned), dialogs);
    link.Open(kLinkTimeoutMs);
    // Reads the stack into target and polls until the step ends.
    auto read = [&](std::vector<CardCode> stack, Seat dealer, Board& target) {
        machine.PutReadStack(std::move(stack));
        link.SetReadTarget(&target);
        EXPECT_TRUE(link.Exchange(
            [&](PacketBuffer& p) { link.BuildReadCommand(p, ReadMode::PlayedBoards, dealer, 0, 0, 0); }));
        for (int polls = 0; link.RequestStatus(0) && link.State().MachineState == kStateBusy && polls < 10000;
             ++polls) {
        }
        EXPECT_TRUE(link.RequestReadResult());
    };
    Board truth;                  // every card c to the seat (c - 1) mod 4 + 1
    std::vector<CardCode> played; // the South hand, then West, East, North
    for (int seat : {3, 4, 2, 1}) {
        for (int c = seat; c <= 52; c += 4) {
            played.push_back(static_cast<CardCode>(c));
            truth.cardOwner[std::size_t(c)] = Seat(seat);
        }
    }
    Board board{.number = 4};
    read(played, 4, board);
    EXPECT_EQ(std::tuple(board.cardOwner, board.status, board.number),
              std::tuple(truth.cardOwner, kBoardComplete, 4));
    read({1, 2, 2, 3}, 1, board);
    EXPECT_EQ(link.State().statusCode, 54);
    read({}, 1, board);
    EXPECT_EQ(link.State().statusCode, 55);
    // Whether the stray bytes and the command head look like a short or a long packet depends on the
    // filler bytes; either way the machine drops them and answers the retried command.
    for (int fill = 0; fill < 32; ++fill) {
        link.SetFillerSourceForTesting([fill] { return static_cast<std::uint8_t>(fill * 8); });
        const int dropped = machine.BadCommands();
        const std::uint8_t garbage[] = {0xDE, 0xAD, 0xBE, 0xEF, static_cast<std::uint8_t>(fill)};
        std::uint32_t written = 0;
        emu->SI_Write(link.HandleForTesting(), garbage, sizeof garbage, written);
        EXPECT_TRUE(link.RequestInfo()) << fill;
        EXPECT_EQ(machine.BadCommands(), dropped + 1) << fill;
    }
    machine.InjectWireFault(WireFault::OverLong); // three stray bytes follow the reply
    link.BuildShort(cmd::kInfo);
    link.SendShortPacket();
    link.ReceiveReply();
    EXPECT_EQ(link.State().replyStatus, kReplyGood);
    link.SendShortPacket(); // the stray bytes come before the next answer
    link.ReceiveReply();
    EXPECT_NE(link.State().replyStatus, kReplyGood);
}

} // namespace
} // namespace orvenix
