// Opening the link: device choice, the driver-version notice and the failure codes "status.step".
#include "base/dialogs.h"
#include "base/messages.h"
#include "machine/link.h"
#include "support/fake_si.h"

#include <gtest/gtest.h>

namespace orvenix {
namespace {

using test::FakeSi;

struct Opened {
    ScriptedDialogs dialogs;
    FakeSi* fake = nullptr;
    std::unique_ptr<MachineLink> link;

    explicit Opened(const std::function<void(FakeSi&)>& script) {
        auto si = std::make_unique<FakeSi>();
        fake = si.get();
        script(*fake);
        link = std::make_unique<MachineLink>(std::move(si), dialogs);
        link->Open(kLinkTimeoutMs);
    }
};

TEST(Open, NoMachineAttachedShowsNothingAndStaysClosed) {
    Opened o([](FakeSi& f) { f.products.clear(); });
    EXPECT_FALSE(o.link->IsOpen());
    EXPECT_TRUE(o.dialogs.messages.empty());
    EXPECT_EQ(std::count(o.fake->calls.begin(), o.fake->calls.end(), "Open"), 0);
}

TEST(Open, SetsTheLinkUpInOrderWithTheGivenTimeout) {
    Opened o([](FakeSi&) {});
    EXPECT_TRUE(o.link->IsOpen());
    EXPECT_EQ(o.fake->calls,
              (std::vector<std::string>{"GetDriverVersion", "GetNumDevices", "GetProductString", "Open",
                                        "SetTimeouts", "SetBaudRate", "SetLineControl", "FlushBuffers"}));
    EXPECT_EQ(o.fake->readTimeout, 200u);
    EXPECT_EQ(o.link->ProductString(), "1234");
    EXPECT_TRUE(o.dialogs.messages.empty());
}

TEST(Open, SecondCallWhileOpenDoesNothing) {
    Opened o([](FakeSi&) {});
    o.fake->calls.clear();
    o.link->Open(kLinkTimeoutMs);
    EXPECT_TRUE(o.fake->calls.empty());
    EXPECT_TRUE(o.link->IsOpen());
}

TEST(Open, OneMachineIsOpenedWhateverItsSerialNumber) {
    Opened o([](FakeSi& f) { f.products = {"ABC-77"}; });
    EXPECT_EQ(o.fake->openedIndex, 0u);
    EXPECT_EQ(o.link->ProductString(), "ABC-77");
}

TEST(Open, FirstMachineWithAFourDigitSerialIsChosen) {
    struct Case {
        std::vector<std::string> products;
        std::uint32_t device;
        std::string chosen;
    };
    const Case cases[] = {
        {{"AB12", "12345"}, 1, "12345"},      // four digits and one more character
        {{"123456", "1234X"}, 1, "1234X"},    // six characters are too many
        {{"ABC", "0007", "1111"}, 1, "0007"}, // the first one that qualifies
        {{"1234", "5678"}, 0, "1234"},        // four digits exactly
        {{"ABC", "XYZ"}, 0, "ABC"},           // none qualifies: device 0
        {{"12A4", "9999"}, 1, "9999"},        // a letter among the four digits
        {{"ABCDEFGH", "1234"}, 1, "1234"},    // a longer earlier string does not linger in the buffer
    };
    for (const Case& c : cases) {
        Opened o([&](FakeSi& f) { f.products = c.products; });
        EXPECT_EQ(o.fake->openedIndex, c.device) << c.products[0];
        EXPECT_EQ(o.link->ProductString(), c.chosen) << c.products[0];
    }
}

TEST(Open, OldDriverGetsANoticeAndTheLinkStillOpens) {
    Opened o([](FakeSi& f) { f.driverVersion = 0x00030000; });
    ASSERT_EQ(o.dialogs.messages.size(), 1u);
    const MessageRequest& m = o.dialogs.messages[0];
    EXPECT_EQ(m.text, FormatMessage(MsgUsbDriverOld, "3.0"));
    EXPECT_NE(m.text.find("3.0"), std::string::npos);
    EXPECT_EQ(m.title, "Driver Update Information");
    EXPECT_EQ(m.icon, Icon::Information);
    EXPECT_EQ(m.buttons, Buttons::Ok);
    EXPECT_TRUE(o.link->IsOpen());
}

TEST(Open, DriverVersionIsWrittenInDecimal) {
    Opened o([](FakeSi& f) { f.driverVersion = 0x0002000C; });
    ASSERT_EQ(o.dialogs.messages.size(), 1u);
    EXPECT_EQ(o.dialogs.messages[0].text, FormatMessage(MsgUsbDriverOld, "2.12"));
}

TEST(Open, CurrentDriverGetsNoNotice) {
    for (std::uint32_t v : {0x00030001u, 0x00040000u}) {
        Opened o([&](FakeSi& f) { f.driverVersion = v; });
        EXPECT_TRUE(o.dialogs.messages.empty()) << v;
    }
}

TEST(Open, EveryFailingStepShowsItsOwnCode) {
    struct Case {
        const char* op;
        SiStatus status;
        const char* code;
        bool closes;
    };
    const Case cases[] = {
        {"GetDriverVersion", 3, "3.2", false}, {"GetNumDevices", 7, "7.3", false},
        {"GetProductString", 8, "8.5", false}, {"Open", 255, "255.6", false},
        {"SetTimeouts", 6, "6.8", true},       {"SetBaudRate", 4, "4.9", true},
        {"SetLineControl", 6, "6.10", true},   {"FlushBuffers", 2, "2.11", true},
    };
    for (const Case& c : cases) {
        Opened o([&](FakeSi& f) { f.status[c.op] = c.status; });
        EXPECT_FALSE(o.link->IsOpen()) << c.op;
        ASSERT_EQ(o.dialogs.messages.size(), 1u) << c.op;
        const MessageRequest& m = o.dialogs.messages[0];
        EXPECT_EQ(m.text, FormatMessage(MsgCannotCommunicateUsb, c.code)) << c.op;
        EXPECT_EQ(m.title, "USB Communication Error");
        EXPECT_EQ(m.icon, Icon::Critical);
        EXPECT_EQ(m.buttons, Buttons::Ok);
        EXPECT_EQ(o.fake->closes, c.closes ? 1 : 0) << c.op;
    }
}

TEST(Open, SystemErrorShowsTheErrorNumberFirst) {
    Opened o([](FakeSi& f) {
        f.status["Open"] = kSiSystemError;
        f.systemError = 13;
    });
    ASSERT_EQ(o.dialogs.messages.size(), 2u);
    EXPECT_EQ(o.dialogs.messages[0].text, "13");
    EXPECT_EQ(o.dialogs.messages[0].buttons, Buttons::Ok);
    EXPECT_EQ(o.dialogs.messages[0].icon, Icon::None);
    EXPECT_EQ(o.dialogs.messages[1].text, FormatMessage(MsgUsbDriversMissing, "12.6"));
    EXPECT_EQ(o.dialogs.messages[1].title, "USB Communication Error");
    EXPECT_EQ(o.dialogs.messages[1].icon, Icon::Critical);
}

TEST(Open, RepeatedFailuresEachShowTheirCodeAndARetryCanSucceed) {
    Opened o([](FakeSi& f) { f.status["SetBaudRate"] = 4; });
    o.fake->status["SetBaudRate"] = 9;
    o.link->Open(kLinkTimeoutMs);
    o.fake->status.clear();
    o.link->Open(kLinkTimeoutMs);
    ASSERT_EQ(o.dialogs.messages.size(), 2u);
    EXPECT_NE(o.dialogs.messages[0].text.find("4.9"), std::string::npos);
    EXPECT_NE(o.dialogs.messages[1].text.find("9.9"), std::string::npos);
    EXPECT_TRUE(o.link->IsOpen());
}

} // namespace
} // namespace orvenix
