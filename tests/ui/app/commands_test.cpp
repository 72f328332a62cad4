// The menu commands' status words and their refusals.
#include "base/messages.h"
#include "support/window_test.h"

namespace orvenix::test {
namespace {

struct Refusal {
    const char* action;
    const char* title;
    const char* statusWord; // the command's word shown before the refusal, or "" when it shows none first
};

class RefusalTest : public MainWindowTest, public ::testing::WithParamInterface<Refusal> {};

TEST_P(RefusalTest, CommandNeedingASetRefusesWithoutOne) {
    const Refusal& r = GetParam();
    t.statuses.clear();
    Trigger(r.action);

    // Exactly one box: the critical refusal, nothing opened after it.
    ASSERT_EQ(t.dialogs.messages.size(), 1U);
    const MessageRequest& box = t.dialogs.Last();
    EXPECT_EQ(box.text, MessageTemplate(MsgNoBoardSet));
    EXPECT_EQ(box.title, r.title);
    EXPECT_EQ(box.buttons, Buttons::Ok);
    EXPECT_EQ(box.icon, Icon::Critical);

    // The status line shows the refusal while the box is up, and ends with "Ready".
    std::vector<std::string> expected;
    if (*r.statusWord != '\0') expected.emplace_back(r.statusWord);
    expected.push_back(MessageTemplate(MsgNoBoardSet));
    expected.emplace_back("Ready");
    EXPECT_EQ(t.statuses, expected);
    EXPECT_EQ(window->statusText(), "Ready");
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

INSTANTIATE_TEST_SUITE_P(MainWindow, RefusalTest,
                         ::testing::Values(Refusal{"menuDeal", "Dealing Error", "Dealing"},
                                           Refusal{"menuRead", "Reading Error", "Reading"},
                                           Refusal{"menuPrint", "Printing Error", ""}),
                         [](const ::testing::TestParamInfo<Refusal>& info) {
                             return std::string(info.param.action);
                         });

TEST_F(MainWindowTest, DealAndReadSetTheSessionMode) {
    ModalCloser closer;
    Trigger("menuRead");
    EXPECT_EQ(window->sessionMode(), SessionMode::Read);
    Trigger("menuDeal");
    EXPECT_EQ(window->sessionMode(), SessionMode::Deal);
}

TEST_F(MainWindowTest, RefusalsAreTheOnlyMessagesWhileNoSetExists) {
    ModalCloser closer;
    // With a set, Deal, Read and Print no longer refuse.
    t.set->firstBoard = 1;
    t.set->lastBoard = 2;
    PutBoard(*t.set, 1, SuitDeal());
    PutBoard(*t.set, 2, RoundRobinDeal());
    for (const char* action : {"menuDeal", "menuRead", "menuPrint"}) {
        t.dialogs.messages.clear();
        Trigger(action);
        for (const MessageRequest& m : t.dialogs.messages) {
            EXPECT_NE(m.text, MessageTemplate(MsgNoBoardSet)) << action;
        }
        EXPECT_EQ(window->statusText(), "Ready") << action;
    }
}

TEST_F(MainWindowTest, NewWithUnsavedSetAnsweredCancelDoesNothing) {
    t.set->firstBoard = 1;
    t.set->lastBoard = 1;
    PutBoard(*t.set, 1, SuitDeal());
    t.set->modified = true;
    const Board before = (*t.set)[1];
    t.statuses.clear();
    t.dialogs.QueueAnswer(Answer::Cancel);
    Trigger("menuNew");
    ASSERT_EQ(t.dialogs.messages.size(), 1U);
    const MessageRequest& question = t.dialogs.Last();
    EXPECT_EQ(question.text, MessageTemplate(MsgSetNotSaved));
    EXPECT_EQ(question.title, "Generate New Board Set");
    EXPECT_EQ(question.buttons, Buttons::YesNoCancel);
    EXPECT_EQ(question.icon, Icon::Exclamation);
    EXPECT_EQ(t.statuses, (std::vector<std::string>{"Generate", "Ready"}));
    EXPECT_TRUE(t.set->modified);
    EXPECT_EQ((*t.set)[1], before);
}

TEST_F(MainWindowTest, NewWithoutUnsavedChangesAsksNothing) {
    ModalCloser closer;
    t.statuses.clear();
    Trigger("menuNew");
    for (const MessageRequest& m : t.dialogs.messages)
        EXPECT_NE(m.text, MessageTemplate(MsgSetNotSaved));
    ASSERT_FALSE(t.statuses.empty());
    EXPECT_EQ(t.statuses.front(), "Generate");
    EXPECT_EQ(t.statuses.back(), "Ready");
}

TEST_F(MainWindowTest, CommandsShowTheirWordFirstAndEndWithReady) {
    ModalCloser closer; // the command's own window, if it opens one, is cancelled
    const std::vector<std::pair<const char*, const char*>> words = {{"menuLoad", "Loading"},
                                                                    {"menuEdit", "Edit Board"}};
    for (const auto& [action, word] : words) {
        t.statuses.clear();
        Trigger(action);
        ASSERT_FALSE(t.statuses.empty()) << action;
        EXPECT_EQ(t.statuses.front(), word) << action;
        EXPECT_EQ(window->statusText(), "Ready") << action;
    }
    t.statuses.clear();
    Trigger("menuSave");
    ASSERT_FALSE(t.statuses.empty());
    EXPECT_EQ(t.statuses.front(), "Saving");
}

TEST_F(MainWindowTest, MaintenanceLeavesTheStatusLineAlone) {
    ModalCloser closer;
    t.statuses.clear();
    Trigger("cmdMaintenance");
    for (const std::string& s : t.statuses)
        EXPECT_NE(s, "Maintenance");
    EXPECT_EQ(window->statusText(), "Ready");
}

} // namespace
} // namespace orvenix::test
