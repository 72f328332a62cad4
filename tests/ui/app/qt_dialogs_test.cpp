// The message boxes and file dialogs of the desktop program, answered through their real buttons.
#include "support/window_test.h"
#include "ui/app/qt_dialogs.h"

#include <QAbstractButton>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QTest>

#include <fstream>

namespace orvenix::test {
namespace {

TEST(QtDialogsText, LineBreaksAndFilters) {
    EXPECT_EQ(BoxText("     one     \r\n     two     "), "     one     \n     two     ");
    EXPECT_EQ(BoxText("Z\u00fcrich"), QString::fromUtf8("Z\u00fcrich"));
    EXPECT_EQ(DialogFilter("All files (*.*)"), "All files (*)");
    EXPECT_EQ(DialogFilter("pbn (*.pbn)"), "pbn (*.pbn)");
}

// Clicks the box's button with this answer.
void Click(QWidget* modal, QMessageBox::StandardButton which) {
    auto* box = qobject_cast<QMessageBox*>(modal);
    ASSERT_NE(box, nullptr);
    QAbstractButton* button = box->button(which);
    ASSERT_NE(button, nullptr);
    button->click();
}

TEST(QtDialogsMessage, BoxShowsTextTitleIconAndButtons) {
    QtDialogs dialogs;
    QString text;
    QString title;
    QMessageBox::Icon icon{};
    int buttonCount = 0;
    WhenModalOpens([&](QWidget* modal) {
        auto* box = qobject_cast<QMessageBox*>(modal);
        ASSERT_NE(box, nullptr);
        text = box->text();
        title = box->windowTitle();
        icon = box->icon();
        buttonCount = static_cast<int>(box->buttons().size());
        Click(modal, QMessageBox::No);
    });
    const Answer a = dialogs.Show("     Current Board Set has not been saved.     \r\n", "Exit",
                                  Buttons::YesNoCancel, Icon::Exclamation);
    EXPECT_EQ(a, Answer::No);
    EXPECT_EQ(text, "     Current Board Set has not been saved.     \n");
    EXPECT_EQ(title, "Exit");
    EXPECT_EQ(icon, QMessageBox::Warning);
    EXPECT_EQ(buttonCount, 3);
}

TEST(QtDialogsMessage, EveryButtonGivesItsAnswer) {
    struct Case {
        Buttons buttons;
        QMessageBox::StandardButton click;
        Answer answer;
    };
    const Case cases[] = {
        {Buttons::Ok, QMessageBox::Ok, Answer::Ok},
        {Buttons::OkCancel, QMessageBox::Cancel, Answer::Cancel},
        {Buttons::YesNo, QMessageBox::Yes, Answer::Yes},
        {Buttons::YesNoCancel, QMessageBox::Cancel, Answer::Cancel},
        {Buttons::RetryCancel, QMessageBox::Retry, Answer::Retry},
        {Buttons::AbortRetryIgnore, QMessageBox::Ignore, Answer::Ignore},
        {Buttons::AbortRetryIgnore, QMessageBox::Abort, Answer::Abort},
    };
    QtDialogs dialogs;
    for (const Case& c : cases) {
        WhenModalOpens([&](QWidget* modal) { Click(modal, c.click); });
        EXPECT_EQ(dialogs.Show("text", "title", c.buttons, Icon::Question), c.answer);
    }
}

TEST(QtDialogsMessage, EscapeGivesTheAnswerThatChangesNothing) {
    QtDialogs dialogs;
    for (Buttons b : {Buttons::YesNoCancel, Buttons::OkCancel, Buttons::RetryCancel}) {
        WhenModalOpens([](QWidget* modal) { QTest::keyClick(modal, Qt::Key_Escape); });
        EXPECT_EQ(dialogs.Show("text", "title", b, Icon::Exclamation), Answer::Cancel);
    }
    WhenModalOpens([](QWidget* modal) { QTest::keyClick(modal, Qt::Key_Escape); });
    EXPECT_EQ(dialogs.Show("text", "title", Buttons::YesNo, Icon::Question), Answer::No);
}

TEST(QtDialogsFile, OpenDialogReturnsTheChosenFileAndFilter) {
    TempDir dir;
    std::ofstream(dir / "monday.pbn") << "x";
    QtDialogs dialogs;
    FileDialogRequest request;
    request.title = "Open Board Set file";
    request.directory = dir.path().string();
    request.filters = {"All files (*.*)", "bri (*.bri)", "pbn (*.pbn)"};
    request.selectedFilter = 2;
    QString title;
    QString filter;
    WhenModalOpens([&](QWidget* modal) {
        auto* dialog = qobject_cast<QFileDialog*>(modal);
        ASSERT_NE(dialog, nullptr);
        title = dialog->windowTitle();
        filter = dialog->selectedNameFilter();
        dialog->selectFile(QString::fromStdString((dir / "monday.pbn").string()));
        static_cast<QDialog*>(dialog)->accept();
    });
    const auto result = dialogs.FileDialog(request);
    ASSERT_TRUE(result.has_value());
    EXPECT_EQ(std::filesystem::path(result->path), dir / "monday.pbn");
    EXPECT_EQ(result->filterIndex, 2);
    EXPECT_EQ(title, "Open Board Set file");
    EXPECT_EQ(filter, "pbn (*.pbn)");
}

TEST(QtDialogsFile, CancelGivesNothing) {
    TempDir dir;
    QtDialogs dialogs;
    FileDialogRequest request;
    request.save = true;
    request.title = "Save Board Set";
    request.directory = dir.path().string();
    request.filters = {"bri (*.bri)"};
    WhenModalOpens([](QWidget* modal) { qobject_cast<QDialog*>(modal)->reject(); });
    EXPECT_FALSE(dialogs.FileDialog(request).has_value());
}

} // namespace
} // namespace orvenix::test
