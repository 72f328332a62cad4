// The message boxes and file dialogs of the desktop program, answered through their real buttons.
#include "support/window_test.h"
#include "ui/app/qt_dialogs.h"

#include <QAbstractButton>
#include <QFileDialog>
#include <QMessageBox>
#include <QTest>

namespace orvenix::test {
namespace {

TEST(QtDialogs, MessageBoxShowsTheMessageAndGivesTheAnswerOfTheButton) {
    EXPECT_EQ(DialogFilter("All files (*.*)"), "All files (*)");
    EXPECT_EQ(DialogFilter("pbn (*.pbn)"), "pbn (*.pbn)");
    const struct {
        Buttons buttons;
        Icon icon;
        QMessageBox::StandardButton click; // NoButton: Escape is pressed
        Answer answer;
        QMessageBox::Icon shownIcon;
    } cases[] = {
        {Buttons::Ok, Icon::Information, QMessageBox::Ok, Answer::Ok, QMessageBox::Information},
        {Buttons::OkCancel, Icon::Question, QMessageBox::Cancel, Answer::Cancel, QMessageBox::Question},
        {Buttons::YesNo, Icon::Critical, QMessageBox::Yes, Answer::Yes, QMessageBox::Critical},
        {Buttons::YesNoCancel, Icon::Exclamation, QMessageBox::No, Answer::No, QMessageBox::Warning},
        {Buttons::RetryCancel, Icon::Question, QMessageBox::Retry, Answer::Retry, QMessageBox::Question},
        {Buttons::AbortRetryIgnore, Icon::Question, QMessageBox::Ignore, Answer::Ignore,
         QMessageBox::Question},
        {Buttons::AbortRetryIgnore, Icon::Question, QMessageBox::Abort, Answer::Abort, QMessageBox::Question},
        // Escape gives the answer that changes nothing.
        {Buttons::YesNoCancel, Icon::Exclamation, QMessageBox::NoButton, Answer::Cancel,
         QMessageBox::Warning},
        {Buttons::OkCancel, Icon::Exclamation, QMessageBox::NoButton, Answer::Cancel, QMessageBox::Warning},
        {Buttons::RetryCancel, Icon::Exclamation, QMessageBox::NoButton, Answer::Cancel,
         QMessageBox::Warning},
        {Buttons::YesNo, Icon::Question, QMessageBox::NoButton, Answer::No, QMessageBox::Question},
    };
    QtDialogs dialogs;
    for (const auto& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.answer));
        QString text;
        QString title;
        QMessageBox::Icon icon{};
        WhenModalOpens([&](QWidget* modal) {
            auto* box = qobject_cast<QMessageBox*>(modal);
            ASSERT_NE(box, nullptr);
            text = box->text();
            title = box->windowTitle();
            icon = box->icon();
            if (c.click == QMessageBox::NoButton) return QTest::keyClick(modal, Qt::Key_Escape);
            ASSERT_NE(box->button(c.click), nullptr);
            box->button(c.click)->click();
        });
        EXPECT_EQ(dialogs.Show("  Z\u00fcrich not saved.  \r\nNext line", "Exit", c.buttons, c.icon),
                  c.answer);
        EXPECT_EQ(text, QString::fromUtf8("  Z\u00fcrich not saved.  \nNext line"));
        EXPECT_EQ(title, "Exit");
        EXPECT_EQ(icon, c.shownIcon);
    }
}

TEST(QtDialogs, FileDialogGivesTheChosenFileAndFilterOrNothing) {
    TempDir dir;
    WriteFile(dir / "monday.pbn", "x");
    QtDialogs dialogs;
    FileDialogRequest request;
    request.title = "Open Board Set file";
    request.directory = dir.path().string();
    request.filters = {"All files (*.*)", "bri (*.bri)", "pbn (*.pbn)"};
    request.selectedFilter = 2;
    QString filter;
    WhenModalOpens([&](QWidget* modal) {
        auto* dialog = qobject_cast<QFileDialog*>(modal);
        ASSERT_NE(dialog, nullptr);
        filter = dialog->selectedNameFilter();
        dialog->selectFile(QString::fromStdString((dir / "monday.pbn").string()));
        static_cast<QDialog*>(dialog)->accept();
    });
    const auto result = dialogs.FileDialog(request);
    ASSERT_TRUE(result.has_value());
    EXPECT_EQ(std::filesystem::path(result->path), dir / "monday.pbn");
    EXPECT_EQ(result->filterIndex, 2);
    EXPECT_EQ(filter, "pbn (*.pbn)");

    request.save = true;
    WhenModalOpens([](QWidget* modal) { qobject_cast<QDialog*>(modal)->reject(); });
    EXPECT_FALSE(dialogs.FileDialog(request).has_value());
}

} // namespace
} // namespace orvenix::test
