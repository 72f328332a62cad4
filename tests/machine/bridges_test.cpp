// The real bridges: the serial implementation against orvenix-machine-emulator on a pseudo-terminal, the
// run-time loaded library against the test library, and the choice of link.
#include "base/dialogs.h"
#include "base/messages.h"
#include "base/settings.h"
#include "machine/emulated_si.h"
#include "machine/library_si.h"
#include "machine/open_link.h"
#include "machine/serial_si.h"
#include "support/emulator_process.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <thread>

namespace orvenix {
namespace {

Board RoundRobinBoard() {
    Board b;
    for (int c = 1; c <= 52; ++c)
        b.cardOwner[static_cast<std::size_t>(c)] = static_cast<std::uint8_t>((c - 1) % 4 + 1);
    AnalyseBoard(b);
    return b;
}

// ---- Serial device over a pseudo-terminal --------------------------------------------------------

TEST(SerialBridge, DealsOneBoardOnTheEmulatorProgram) {
    test::EmulatorProcess emulator({"--card-ms", "3", "--firmware", "2.41", "--board", "12"});
    ASSERT_FALSE(emulator.Path().empty());
    ScriptedDialogs dialogs;
    MachineLink link(std::make_unique<SerialSi>(emulator.Path()), dialogs);
    link.Open(kLinkTimeoutMs);
    ASSERT_TRUE(link.IsOpen()) << (dialogs.messages.empty() ? "" : dialogs.messages[0].text);
    EXPECT_TRUE(dialogs.messages.empty());
    link.LatchOn(); // a pseudo-terminal has no latch line; the status is ignored
    link.FlushBuffers();
    ASSERT_TRUE(link.RequestInfo());
    EXPECT_EQ(FirmwareText(link.State().firmwareMajor, link.State().firmwareMinor), "2.41");
    ASSERT_TRUE(link.RequestParameterBlock(1));
    EXPECT_EQ(link.State().optionWord, 12);
    ASSERT_TRUE(link.RequestBoardLabel());
    EXPECT_EQ(link.State().readBoardNumber, 12);

    const Board board = RoundRobinBoard();
    ASSERT_TRUE(link.Exchange([&](PacketBuffer& p) { link.BuildDealCommand(p, board, 0, 0, 0); }));
    EXPECT_EQ(link.State().MachineState, kStateBusy);
    const auto start = std::chrono::steady_clock::now();
    while (link.State().MachineState == kStateBusy &&
           std::chrono::steady_clock::now() - start < std::chrono::seconds(20)) {
        ASSERT_TRUE(link.RequestStatus(link.AcknowledgeBits()));
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    EXPECT_EQ(link.State().MachineState, kStateIdle);
    EXPECT_EQ(link.State().pocketCount, (std::array<std::int16_t, 4>{13, 13, 13, 13}));

    // Operator actions reach the machine through the emulator's input.
    emulator.Send("pedal");
    emulator.Send("state"); // answered once the pedal line has been taken in
    EXPECT_EQ(emulator.ReadLine(std::chrono::seconds(5)).rfind("status 0 pockets S 13 W 13 E 13 N 13", 0),
              0u);
    ASSERT_TRUE(link.RequestStatus(0));
    EXPECT_TRUE(link.State().pedalFlag);
    ASSERT_TRUE(link.RequestStatus(link.AcknowledgeBits()));
    EXPECT_FALSE(link.State().pedalFlag);
    link.LatchOff();
    link.Close();
    EXPECT_TRUE(emulator.CloseAndWait());
}

TEST(SerialBridge, SilentDeviceGivesShortReadsAndALostLink) {
    test::EmulatorProcess emulator;
    ASSERT_FALSE(emulator.Path().empty());
    emulator.Send("lost on");
    ScriptedDialogs dialogs;
    MachineLink link(std::make_unique<SerialSi>(emulator.Path()), dialogs);
    link.Open(kLinkTimeoutMs);
    ASSERT_TRUE(link.IsOpen());
    emulator.Send("state"); // answered once "lost on" has been taken in
    ASSERT_FALSE(emulator.ReadLine(std::chrono::seconds(5)).empty());
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(link.RequestInfo());
    const auto took = std::chrono::steady_clock::now() - start;
    EXPECT_EQ(link.State().replyStatus, kReplyShort);
    EXPECT_TRUE(link.LinkLost());
    EXPECT_GE(took, std::chrono::milliseconds(2 * kLinkTimeoutMs - 10));
    EXPECT_LT(took, std::chrono::milliseconds(2 * kLinkTimeoutMs + 1500));
}

TEST(SerialBridge, MissingDeviceFailsTheOpenStep) {
    ScriptedDialogs dialogs;
    MachineLink link(std::make_unique<SerialSi>("/dev/orvenix-no-such-device"), dialogs);
    link.Open(kLinkTimeoutMs);
    EXPECT_FALSE(link.IsOpen());
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].text, FormatMessage(MsgCannotCommunicateUsb, "255.6"));
}

TEST(SerialBridge, AFileThatIsNoTerminalIsRefused) {
    ScriptedDialogs dialogs;
    MachineLink link(std::make_unique<SerialSi>("/dev/null"), dialogs);
    link.Open(kLinkTimeoutMs);
    EXPECT_FALSE(link.IsOpen());
    ASSERT_FALSE(dialogs.messages.empty());
    EXPECT_EQ(dialogs.messages.back().title, "USB Communication Error");
    EXPECT_NE(dialogs.messages.back().text.find("12.6"), std::string::npos);
}

TEST(SerialBridge, UnsupportedLineSettingsAreRefused) {
    test::EmulatorProcess emulator;
    SerialSi si(emulator.Path());
    std::uint32_t count = 0;
    ASSERT_EQ(si.SI_GetNumDevices(count), kSiSuccess);
    ASSERT_EQ(count, 1u);
    SiHandle h = kNoLink;
    ASSERT_EQ(si.SI_Open(0, h), kSiSuccess);
    EXPECT_EQ(si.SI_SetBaudRate(h, 115200), kSiSuccess);
    EXPECT_EQ(si.SI_SetBaudRate(h, 12345), kSiInvalidParameter);
    EXPECT_EQ(si.SI_SetLineControl(h, 0x0800), kSiSuccess);
    EXPECT_EQ(si.SI_SetLineControl(h, 0x0900), kSiInvalidParameter);
    EXPECT_EQ(si.SI_SetBaudRate(h + 1, 115200), kSiInvalidHandle);
    EXPECT_EQ(si.SI_WriteLatch(h, 1, 1) != kSiSuccess, true); // no GPIO line on a pseudo-terminal
    EXPECT_EQ(si.SI_Close(h), kSiSuccess);
    EXPECT_EQ(si.SI_Close(h), kSiInvalidHandle);
}

TEST(SerialBridge, SecondProgramCannotOpenAMachineInUse) {
    test::EmulatorProcess emulator;
    SerialSi first(emulator.Path());
    SerialSi second(emulator.Path());
    std::uint32_t count = 0;
    SiHandle a = kNoLink;
    SiHandle b = kNoLink;
    first.SI_GetNumDevices(count);
    second.SI_GetNumDevices(count);
    ASSERT_EQ(first.SI_Open(0, a), kSiSuccess);
    EXPECT_EQ(second.SI_Open(0, b), kSiSystemError);
    EXPECT_NE(second.LastSystemError(), 0);
}

// ---- Run-time loaded library ---------------------------------------------------------------------

TEST(LibraryBridge, OpensTheMachineThroughTheLoadedLibrary) {
    ScriptedDialogs dialogs;
    auto si = std::make_unique<LibrarySi>(ORVENIX_SI_TEST_LIBRARY);
    ASSERT_TRUE(si->Loaded()) << si->LoadError();
    MachineLink link(std::move(si), dialogs);
    link.Open(kLinkTimeoutMs);
    ASSERT_TRUE(link.IsOpen());
    EXPECT_TRUE(dialogs.messages.empty());
    EXPECT_EQ(link.ProductString(), "4321");
    ASSERT_TRUE(link.RequestInfo());
    EXPECT_EQ(FirmwareText(link.State().firmwareMajor, link.State().firmwareMinor), "2.40");
    const Board board = RoundRobinBoard();
    ASSERT_TRUE(link.Exchange([&](PacketBuffer& p) { link.BuildDealCommand(p, board, 0, 0, 0); }));
    int polls = 0;
    while (link.State().MachineState == kStateBusy && polls++ < 100000)
        ASSERT_TRUE(link.RequestStatus(0));
    EXPECT_EQ(link.State().pocketCount, (std::array<std::int16_t, 4>{13, 13, 13, 13}));
    link.Close();
    EXPECT_FALSE(link.IsOpen());
}

TEST(LibraryBridge, MissingLibraryReportsMissingDrivers) {
    ScriptedDialogs dialogs;
    auto si = std::make_unique<LibrarySi>("/nonexistent/libovx-missing.so");
    EXPECT_FALSE(si->Loaded());
    EXPECT_FALSE(si->LoadError().empty());
    MachineLink link(std::move(si), dialogs);
    link.Open(kLinkTimeoutMs);
    EXPECT_FALSE(link.IsOpen());
    ASSERT_EQ(dialogs.messages.size(), 2u);
    EXPECT_EQ(dialogs.messages[1].text, FormatMessage(MsgUsbDriversMissing, "12.2"));
}

TEST(LibraryBridge, LibraryWithoutTheFunctionsIsNotUsed) {
    LibrarySi si("libm.so.6");
    EXPECT_FALSE(si.Loaded());
    EXPECT_NE(si.LoadError().find("SI_GetDriverVersion"), std::string::npos);
    std::uint32_t count = 0;
    EXPECT_EQ(si.SI_GetNumDevices(count), kSiSystemError);
}

// ---- Choosing the link ---------------------------------------------------------------------------

TEST(MachineChoice, ParsesTheThreeKinds) {
    auto e = ParseMachineChoice("emulated");
    ASSERT_TRUE(e);
    EXPECT_EQ(e->kind, MachineChoice::Kind::Emulated);
    auto s = ParseMachineChoice("serial");
    ASSERT_TRUE(s);
    EXPECT_EQ(s->kind, MachineChoice::Kind::Serial);
    EXPECT_TRUE(s->argument.empty());
    auto d = ParseMachineChoice("serial:/dev/ttyUSB1");
    ASSERT_TRUE(d);
    EXPECT_EQ(d->argument, "/dev/ttyUSB1");
    auto l = ParseMachineChoice("library:/opt/x/lib.so");
    ASSERT_TRUE(l);
    EXPECT_EQ(l->kind, MachineChoice::Kind::Library);
    EXPECT_EQ(l->argument, "/opt/x/lib.so");
    std::string error;
    for (const char* bad : {"", "usb", "serial:", "emulated:fast", "Serial"}) {
        EXPECT_FALSE(ParseMachineChoice(bad, &error)) << bad;
        EXPECT_FALSE(error.empty());
    }
}

TEST(MachineChoice, CommandLineThenSettingThenSerial) {
    MemorySettings settings;
    EXPECT_EQ(ChooseMachineSpec("serial", settings), "serial");
    settings.Write(kMachineSettingKey, "emulated");
    EXPECT_EQ(ChooseMachineSpec("serial", settings), "emulated");
    EXPECT_EQ(ChooseMachineSpec("library:/x.so", settings), "library:/x.so");
    settings.Write(kMachineSettingKey, "nonsense");
    EXPECT_EQ(ChooseMachineSpec("serial", settings), "serial");
}

TEST(MachineChoice, EmulatedLinkOpensAndAnswers) {
    ScriptedDialogs dialogs;
    std::string error;
    auto machine = OpenLink("emulated", dialogs, nullptr, &error);
    ASSERT_TRUE(machine);
    MachineLink* link = machine->link.get();
    EXPECT_FALSE(link->IsOpen()); // the windows open it
    link->Open(kLinkTimeoutMs);
    ASSERT_TRUE(link->IsOpen());
    ASSERT_NE(machine->emulator, nullptr);
    EXPECT_TRUE(link->RequestInfo());
    EXPECT_EQ(link->State().firmwareMinor, 0x40);
    EXPECT_FALSE(OpenLink("telepathy", dialogs, nullptr, &error));
    EXPECT_NE(error.find("telepathy"), std::string::npos);
}

} // namespace
} // namespace orvenix
