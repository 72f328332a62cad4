// The Qt services of the desktop program: message boxes and file dialogs answered through their real
// buttons, and per-user settings in an INI file.
#include "support/window_test.h"
#include "ui/app/qt_dialogs.h"
#include "ui/app/qt_settings.h"

#include <QFileDialog>
#include <QMessageBox>
#include <QSettings>

namespace orvenix::test {
namespace {

using namespace std::string_literals;
using Box = QMessageBox;

TEST(QtDialogs, MessageBoxShowsTheMessageAndGivesTheAnswerOfTheButton) {
    // The button clicked; NoButton: Escape, which gives the answer that changes nothing.
    const std::tuple<Buttons, Icon, Box::StandardButton, Answer, Box::Icon> cases[] = {
        {Buttons::Ok, Icon::Information, Box::Ok, Answer::Ok, Box::Information},
        {Buttons::OkCancel, Icon::Question, Box::Cancel, Answer::Cancel, Box::Question},
        {Buttons::YesNo, Icon::Critical, Box::Yes, Answer::Yes, Box::Critical},
        {Buttons::YesNoCancel, Icon::Exclamation, Box::No, Answer::No, Box::Warning},
        {Buttons::RetryCancel, Icon::Question, Box::Retry, Answer::Retry, Box::Question},
        {Buttons::AbortRetryIgnore, Icon::Question, Box::Ignore, Answer::Ignore, Box::Question},
        {Buttons::AbortRetryIgnore, Icon::Question, Box::Abort, Answer::Abort, Box::Question},
        {Buttons::YesNoCancel, Icon::Exclamation, Box::NoButton, Answer::Cancel, Box::Warning},
        {Buttons::OkCancel, Icon::Exclamation, Box::NoButton, Answer::Cancel, Box::Warning},
        {Buttons::RetryCancel, Icon::Exclamation, Box::NoButton, Answer::Cancel, Box::Warning},
        {Buttons::YesNo, Icon::Question, Box::NoButton, Answer::No, Box::Question}};
    QtDialogs dialogs;
    for (const auto& [buttons, icon, button, answer, shownIcon] : cases) {
        SCOPED_TRACE(static_cast<int>(answer));
        QStringList shown;
        WhenModalOpens([&shown, click = button](QWidget* modal) {
            auto* box = qobject_cast<Box*>(modal);
            ASSERT_NE(box, nullptr);
            shown << box->text() << box->windowTitle() << QString::number(box->icon());
            if (click == Box::NoButton) return QTest::keyClick(modal, Qt::Key_Escape);
            ASSERT_NE(box->button(click), nullptr);
            box->button(click)->click();
        });
        EXPECT_EQ(dialogs.Show("  Z\u00fcrich not saved.  \r\nNext", "Exit", buttons, icon), answer);
        EXPECT_EQ(shown, (QStringList{QString::fromUtf8("  Z\u00fcrich not saved.  \nNext"), "Exit",
                                      QString::number(shownIcon)}));
    }
}

TEST(QtDialogs, FileDialogGivesTheChosenFileAndFilterOrNothing) {
    TempDir dir;
    WriteFile(dir / "monday.pbn", "x");
    QtDialogs dialogs;
    FileDialogRequest request;
    request.directory = dir.path().string();
    request.filters = {"All files (*.*)", "bri (*.bri)", "pbn (*.pbn)"};
    request.selectedFilter = 2;
    QStringList filters;
    WhenModalOpens([&](QWidget* modal) {
        auto* dialog = qobject_cast<QFileDialog*>(modal);
        ASSERT_NE(dialog, nullptr);
        filters = dialog->nameFilters() << dialog->selectedNameFilter();
        // The file name typed, as the dialog may not have listed the folder yet.
        Child<QLineEdit>(dialog, "fileNameEdit")
            ->setText(QString::fromStdString((dir / "monday.pbn").string()));
        static_cast<QDialog*>(dialog)->accept();
    });
    const auto result = dialogs.FileDialog(request);
    ASSERT_TRUE(result.has_value());
    EXPECT_EQ(std::tuple(std::filesystem::path(result->path), result->filterIndex),
              std::tuple(dir / "monday.pbn", 2));
    EXPECT_EQ(filters, QStringList({"All files (*)", "bri (*.bri)", "pbn (*.pbn)", "pbn (*.pbn)"}));
    request.save = true;
    WhenModalOpens([](QWidget* modal) { qobject_cast<QDialog*>(modal)->reject(); });
    EXPECT_FALSE(dialogs.FileDialog(request).has_value());
}

// The user-scope INI location of the whole test program is pointed at a temporary folder.
TEST(QtSettings, ValuesReachTheFileAndEveryInstanceAndDamagedFilesAreReadAsFarAsTheyCan) {
    TempDir dir;
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope,
                       QString::fromStdString(dir.path().string()));
    const std::filesystem::path ini = dir / "orvenix" / "orvenix.exe.ini";
    QtSettings settings;
    EXPECT_EQ(
        std::tuple(std::filesystem::path(settings.FileName().toStdString()), std::filesystem::exists(ini)),
        std::tuple(ini, false)); // reading creates nothing
    EXPECT_EQ(settings.Lookup(keys::kInitFormat), std::nullopt);
    settings.Write(keys::kInitReadMode, "");
    settings.Write("Event", "Z\u00fcrich");
    QtSettings again;
    EXPECT_EQ(again.Lookup(keys::kInitReadMode), std::optional<std::string>(""));
    EXPECT_EQ(again.Read("Event"), "Z\u00fcrich");
    again.Write(keys::kCardType, "3"); // seen by the other instance on its next read
    EXPECT_EQ(settings.Read(keys::kCardType), "3");

    WriteFile(ini, "\x00\xff\xfe[[[Init_settings\n=\n\\\\\n@Variant(\x01\x02)\n"s +
                       std::string(4096, '\x01') +
                       "\n[Init_settings]\nInit_directory=/data/a, b\nThreshold=abc\nCardIndex=@Invalid()\n");
    // Unquoted commas: still one text; not a text or not a number: the default.
    EXPECT_EQ(std::tuple(settings.Read(keys::kInitDirectory), settings.ReadInt(keys::kThreshold, 0, 0, 255),
                         settings.Read(keys::kCardIndex)),
              std::tuple("/data/a, b", 0, "0"));

    // Where no file can be written the value is kept for the run only.
    TempDir other;
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope,
                       QString::fromStdString(other.path().string()));
    WriteFile(other / "orvenix", "not a folder");
    QtSettings unwritable;
    unwritable.Write(keys::kInitFormat, "pbn");
    EXPECT_EQ(unwritable.Read(keys::kInitFormat), "pbn");
    EXPECT_EQ(ReadFile(other / "orvenix"), "not a folder");
}

} // namespace
} // namespace orvenix::test
