// The maintenance exchanges without a window: the texts of the replies and the boundaries of their fields,
// what each operation sends as the firmware, the option word and the stored choices allow, and the lost
// link that ends a running sequence after one message.
#include "base/dialogs.h"
#include "base/messages.h"
#include "base/settings.h"
#include "machine/emulated_si.h"
#include "maintenance/maintenance.h"

#include <gtest/gtest.h>

namespace orvenix {
namespace {

// A session connected to the emulated machine, with the settings it starts from.
struct Rig {
    explicit Rig(EmulatorConfig config = {}, std::map<std::string, std::string> stored = {})
        : link(std::make_unique<EmulatedSi>(std::make_unique<VirtualClock>(), config), dialogs) {
        settings.values = std::move(stored);
        link.Open(kLinkTimeoutMs);
        session.Connect();
    }
    EmulatedMachine& machine() { return static_cast<EmulatedSi&>(link.Si()).Machine(); }
    // The first n parameters of every command with this code sent, in order.
    std::string Sent(std::uint8_t code, int n = 1) {
        std::string out;
        for (const auto& [p, size] : machine().Commands())
            for (int i = 1; i <= n && p[0] == code; ++i)
                out.append(out.empty() ? "" : " ").append(std::to_string(p[static_cast<std::size_t>(i)]));
        return out;
    }

    ScriptedDialogs dialogs;
    MemorySettings settings;
    MachineLink link;
    MaintenanceSession session{link, dialogs, settings};
};

// Every field the replies filled, with the colour of the coloured ones.
std::string Filled(const MaintenanceFields& f) {
    std::string out;
    const auto add = [&out](const std::string& text, const Rgb* c = nullptr) {
        const char* colour = !c ? "" : *c == kLightRed ? "/red" : *c == kLightGreen ? "/green" : "/white";
        if (!text.empty()) out += (out.empty() ? "" : " ") + text + colour;
    };
    for (const std::string* s :
         {&f.Serial_number, &f.Hardware_ID,   &f.Manuf_date,        &f.Boards_dealed, &f.Inside_temp,
          &f.Supply_volt,   &f.Board_no_txt,  &f.Board_no_test_txt, &f.param_ID,      &f.Reco_time,
          &f.Symbol,        &f.Suit,          &f.Threshold,         &f.Reco_error,    &f.Reco_param1,
          &f.Reco_param2,   &f.Symbol_size_x, &f.Symbol_size_y,     &f.Suit_size_x,   &f.Suit_size_y,
          &f.Cap_time})
        add(*s);
    for (std::size_t i = 0; i < 5; ++i)
        add(f.Photo[i], &f.photoColour[i]);
    for (const SwitchField* s : {&f.Front_Switch, &f.Cover_Switch, &f.Box_Switch, &f.Flip_Switch})
        add(s->text, &s->colour);
    for (std::size_t i = 0; i < 4; ++i) {
        add(f.motorSpeed[i], &f.motorColour[i]);
        add(f.PWM_motor[i]);
    }
    for (const auto& set : f.parameters)
        for (const std::string& v : set)
            add(v);
    add(std::string(f.Ignore_flip ? "flip" : "") + (f.Ignore_box ? "box" : ""));
    return out;
}

TEST(MaintenanceReplies, FillTheirFields) {
    const std::pair<PacketBuffer, const char*> cases[] = {
        // Motor speeds take 15 bits: the top bit of each high byte is not part of the value.
        {{0x1B, 0x80 | 0, 0x34, 0x92, 0x00, 0x80}, "ON/green 4660/green 0/white"},
        {{0x1B, 1, 0, 0, 1, 0}, "OFF/red 0/white 1/green"},
        {{0x1B, 2, 253, 0x80, 0x10, 0x01}, "25.3 27.2 OFF/red"},
        {{0x1B, 2, 9, 0, 0xFF, 0xFF}, "0.9 3276.7 OFF/red"},
        {{0x1B, 3, 1, 2, 3, 255}, "OFF/red 1 2 3 255"},
        {{0x1B, 4, 15}, "1 15 OFF/red"},
        {{0x1B, 4, 16}, "0 16 OFF/red"},
        // A set bit is a blocked light sensor (red) or a switch that is on.
        {{0x17, 120, 1, 2, 3, 4, 0b0110'0101},
         "120/red 1/green 2/red 3/green 4/green ON/green ON/green OFF/red"},
        // Parameter sets outside 1 to 8 are ignored; sets 4 and 8 carry the identity and two bits.
        {{0x11, 9, 1, 2, 3, 4}, ""},
        {{0x11, 0, 1, 2, 3, 4}, ""},
        {{0x11, 7, 200, 201, 202, 203}, "200 201 202 203"},
        {{0x11, 8, 0x12, 0x34, 2}, "4660 box"},
        {{0x11, 4, 0, 1, 1}, "1 flip"},
        {{0x15, 1, 0, 0x0B, 4, 99, 0}, "256 J C 99 OK"},
        {{0x15, 0, 1, 10, 2, 99, 200}, "1 10 H 99 200"},
        {{0x15, 0, 0, 0x0E, 1, 0, 0}, "0 A S 0 OK"},
        {{0x15, 0, 0, 0x0D, 3, 0, 0}, "0 K D 0 OK"},
        {{0x15, 0, 0, 0x0C, 9, 0, 0}, "0 Q 9 0 OK"},
        // Sizes are little-endian pairs of the box bytes.
        {{0x0F, 7, 8, 0x01, 0x02, 0x03, 0x04}, "7 8 513 1027"},
        {{0x10, 7, 8, 0x01, 0x02, 0x03, 0x04}, "513 1027"},
        {{0x0A, 1, 2}, "258"},
        {{0x12, 2, 31, 12, 0x07, 0xE9}, "31/12/2025"},
        {{0x12, 1, 0xFF, 0xFF, 0, 8}, "65535 8"},
        // The counters only when byte 2 is 0; the largest count does not turn negative.
        {{0xB3, 0, 0, 0, 0, 0, 0, 0, 1, 2, 3, 4}, "16909060"},
        {{0xB3, 0, 1, 0, 0, 0, 0, 0, 9, 9, 9, 9}, ""},
        {{0xB3, 0, 0, 0, 0, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF}, "4294967295"},
    };
    Rig r;
    for (const auto& [reply, shown] : cases) {
        r.session.MutableFields() = {};
        DecodeReply(reply, PacketSize(reply[0]), r.link.StateForTesting(), r.link.Events(), nullptr);
        EXPECT_EQ(Filled(r.session.Fields()), shown) << int(reply[0]) << " " << int(reply[1]);
    }
}

// The sensor parts and the switch overrides follow the firmware. Without a download identity the machine
// only takes a new firmware: no parameter sets, no switch overrides, no controls. A busy session sends
// nothing.
TEST(MaintenanceStartUp, TheFirmwareAndTheDownloadIdentityDecideWhatIsAskedAndOffered) {
    const std::tuple<std::uint8_t, std::uint8_t, const char*> cases[] = {
        {0x19, 1, ""},        {0x20, 1, "0 1"},       {0x24, 1, "0 1 2"},    {0x26, 1, "0 1 2 3"},
        {0x36, 1, "0 1 2 3"}, {0x37, 1, "0 1 2 3 4"}, {0x40, 0, "0 1 2 3 4"}};
    for (const auto& [minor, id, parts] : cases) {
        SCOPED_TRACE(minor);
        Rig r({.firmwareMinor = minor, .infoByte4 = id});
        ASSERT_TRUE(r.session.StartupExchange());
        ASSERT_TRUE(r.session.SensorRequest(false));
        const MaintenanceFields& f = r.session.Fields();
        EXPECT_EQ(
            std::tuple(f.Serial_number, f.Boards_dealed, r.Sent(cmd::kSensors), r.Sent(cmd::kReadParameters),
                       f.ignoreEnabled, r.session.ControlsEnabled(), r.session.DownloadEnabled(),
                       r.dialogs.messages.size()),
            std::tuple("1234", "0", parts, id ? "1 2 3 4" : "", id && minor >= 0x20, id == 1, true, 0u));
        r.session.SetBusy(true);
        const auto sent = r.machine().Commands().size();
        EXPECT_TRUE(r.session.SensorRequest(true));
        EXPECT_EQ(r.machine().Commands().size(), sent);
    }
}

// The large index needs the option word and new enough firmware; a choice the machine cannot take is
// refused with a message, a stored one falls back silently. The group read and captured follows the index.
TEST(MaintenanceCardIndex, TheLargeIndexNeedsTheOptionAndTheFirmware) {
    const EmulatorConfig noOption{.optionWord = 4}, firmware232{.firmwareMinor = 0x32};
    const std::string jumbo = FormatMessage(MsgJumboNotSuitable);
    const std::string old = FormatMessage(MsgLargeIndexNeedsFirmware, "2.32");
    // The machine, the stored index, the index chosen (-1: none); the index, as stored, the parameter sets
    // read, the capture's index and the message.
    const std::tuple<EmulatorConfig, const char*, int,
                     std::tuple<int, std::string, std::string, std::string, std::string>>
        rows[] = {
            {{}, "0", 1, {1, "1", "1 2 3 4 5 6 7 8", "1", ""}},
            {{}, "1", 0, {0, "0", "5 6 7 8 1 2 3 4", "0", ""}},
            {noOption, "0", 1, {0, "0", "1 2 3 4", "0", jumbo}},
            {firmware232, "0", 1, {0, "0", "1 2 3 4", "0", old}},
            {{}, "1", -1, {1, "1", "5 6 7 8", "1", ""}},
            {noOption, "1", -1, {0, "0", "1 2 3 4", "0", ""}},
            {firmware232, "1", -1, {0, "0", "1 2 3 4", "0", ""}},
        };
    for (const auto& [config, stored, chosen, expected] : rows) {
        SCOPED_TRACE(std::string(stored) + " " + std::to_string(chosen));
        Rig r(config, {{keys::kCardIndex, stored}});
        ASSERT_TRUE(r.session.StartupExchange());
        EXPECT_TRUE(chosen < 0 || r.session.ChooseCardIndex(chosen));
        ASSERT_TRUE(r.session.Capture());
        EXPECT_EQ(std::tuple(r.session.Options().cardIndex, r.settings.values[keys::kCardIndex],
                             r.Sent(cmd::kReadParameters), r.Sent(cmd::kCapture),
                             r.dialogs.messages.empty() ? "" : r.dialogs.Last().text),
                  expected);
    }
}

TEST(MaintenanceRecognition, SendsTheCardOptionsAndMeasuresOnlyWhatItRecognised) {
    for (const std::uint8_t error : {0, 7}) {
        Rig r({}, {{keys::kNational, "2"}, {keys::kThreshold, "1"}});
        r.machine().Readings().recognitionError = error;
        ASSERT_TRUE(r.session.StartupExchange());
        ASSERT_TRUE(r.session.Recognise());
        const MaintenanceFields& f = r.session.Fields();
        EXPECT_EQ(
            std::tuple(f.Symbol, f.Reco_error, f.Symbol_size_x, f.Suit_size_x, r.session.ImageModeNow()),
            error ? std::tuple("A", "7", "", "", 1) : std::tuple("A", "OK", "21", "25", 1));
        EXPECT_EQ(r.Sent(cmd::kRecognise, 4), "2 0 1 0");
    }
}

TEST(MaintenanceParameters, SetsGoOutOneTwoFourThreeAndOnlyWholeBytesAreSent) {
    Rig r;
    ASSERT_TRUE(r.session.StartupExchange());
    MaintenanceFields& f = r.session.MutableFields();
    f.parameters[0][0] = "77";
    f.parameters[2][3] = "255";
    f.Ignore_flip = true;
    ASSERT_TRUE(r.session.SaveParameters());
    using Set = std::array<std::uint8_t, 4>;
    EXPECT_EQ(std::tuple(r.machine().ParameterSet(1), r.machine().ParameterSet(3),
                         r.machine().ParameterSet(4),
                         r.Sent(cmd::kWriteParameters) + " / " + r.Sent(cmd::kReadParameters),
                         r.dialogs.Last().text),
              std::tuple(Set{77, 12, 24, 8}, Set{50, 80, 22, 255}, Set{1, 0, 0, 0},
                         "1 2 4 3 / 1 2 3 4 1 2 3 4", FormatMessage(MsgParametersUpdated)));
    for (const char* refused : {"", "256", "2x", "-1", "0255"}) {
        SCOPED_TRACE(refused);
        r.session.MutableFields().parameters[1][2] = refused;
        const auto sent = r.machine().Commands().size();
        EXPECT_TRUE(r.session.SaveParameters());
        EXPECT_EQ(std::pair(r.machine().Commands().size(), r.dialogs.Last().icon),
                  std::pair(sent, Icon::Exclamation));
    }
}

TEST(MaintenanceLostLink, StopsTheSequenceAfterOneMessage) {
    Rig r;
    r.machine().SetLinkLost(true);
    EXPECT_FALSE(r.session.StartupExchange());
    ASSERT_EQ(r.dialogs.messages.size(), 1u);
    EXPECT_EQ(std::tuple(r.session.LinkLost(), r.session.Busy(), r.session.DownloadEnabled(),
                         r.dialogs.Last().text),
              std::tuple(true, false, false, FormatMessage(MsgLostCommunicationMaintenance)));
    // Only the info command went out (twice); nothing after it.
    EXPECT_FALSE(r.session.SensorRequest(false) || r.session.Recognise());
    EXPECT_EQ(std::pair(r.machine().Commands().size(), r.dialogs.messages.size()), std::pair(2ul, 1ul));
}

} // namespace
} // namespace orvenix
