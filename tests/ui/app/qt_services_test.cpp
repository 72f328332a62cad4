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
    const struct {
        Buttons buttons;
        Icon icon;
        Box::StandardButton click; // NoButton: Escape, which gives the answer that changes nothing
        Answer answer;
        Box::Icon shownIcon;
    } cases[] = {{Buttons::Ok, Icon::Information, Box::Ok, Answer::Ok, Box::Information},
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
    for (const auto& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.answer));
        QStringList shown;
        WhenModalOpens([&](QWidget* modal) {
            auto* box = qobject_cast<Box*>(modal);
            ASSERT_NE(box, nullptr);
            shown << box->text() << box->windowTitle() << QString::number(box->icon());
            if (c.click == Box::NoButton) return QTest::keyClick(modal, Qt::Key_Escape);
            ASSERT_NE(box->button(c.click), nullptr);
            box->button(c.click)->click();
        });
        EXPECT_EQ(dialogs.Show("  Z\u00fcrich not saved.  \r\nNext", "Exit", c.buttons, c.icon), c.answer);
        EXPECT_EQ(shown, (QStringList{QString::fromUtf8("  Z\u00fcrich not saved.  \nNext"), "Exit",
                                      QString::number(c.shownIcon)}));
    }
}

TEST(QtDialogs, FileDialogGivesTheChosenFileAndFilterOrNothing) {
    EXPECT_EQ(DialogFilter("All files (*.*)"), "All files (*)");
    TempDir dir;
    WriteFile(dir / "monday.pbn", "x");
    QtDialogs dialogs;
    FileDialogRequest request;
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

// Points the user-scope INI location of the whole test program at a temporary folder.
class QtSettingsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope,
                           QString::fromStdString(dir.path().string()));
    }
    TempDir dir;
    std::filesystem::path ini = dir / "orvenix" / "orvenix.exe.ini";
};

TEST_F(QtSettingsTest, WrittenValuesReachTheFileAndEveryInstance) {
    QtSettings settings;
    EXPECT_EQ(std::filesystem::path(settings.FileName().toStdString()), ini);
    EXPECT_EQ(settings.Lookup(keys::kInitFormat), std::nullopt);
    EXPECT_FALSE(std::filesystem::exists(ini)); // reading creates nothing
    settings.Write(keys::kInitReadMode, "");
    settings.Write("Event", "Z\u00fcrich");
    QtSettings again;
    EXPECT_EQ(again.Lookup(keys::kInitReadMode), std::optional<std::string>(""));
    EXPECT_EQ(again.Read("Event"), "Z\u00fcrich");
    again.Write(keys::kCardType, "3"); // seen by the other instance on its next read
    EXPECT_EQ(settings.Read(keys::kCardType), "3");
    EXPECT_EQ(
        QSettings(QString::fromStdString(ini.string()), QSettings::IniFormat).value("Init_settings/Event"),
        QString::fromUtf8("Z\u00fcrich"));
}

TEST_F(QtSettingsTest, DamagedAndHandEditedFilesAreReadAsFarAsTheyCan) {
    std::filesystem::create_directories(ini.parent_path());
    WriteFile(ini, "\x00\xff\xfe[[[Init_settings\n=\n\\\\\n@Variant(\x01\x02)\n"s +
                       std::string(4096, '\x01') +
                       "\n[Init_settings]\nInit_directory=/data/a, b\nThreshold=abc\nCardIndex=@Invalid()\n");
    QtSettings settings;
    EXPECT_EQ(settings.Read(keys::kInitDirectory), "/data/a, b"); // unquoted commas: still one text
    EXPECT_EQ(settings.ReadInt(keys::kThreshold, 0, 0, 255), 0);
    EXPECT_EQ(settings.Read(keys::kCardIndex), "0"); // not a text: the default
    settings.Write(keys::kInitFormat, "bre");
    EXPECT_EQ(QtSettings().Read(keys::kInitFormat), "bre");
}

TEST_F(QtSettingsTest, UnwritableStoreKeepsTheValueForTheRunOnly) {
    WriteFile(dir / "orvenix", "not a folder");
    QtSettings settings;
    settings.Write(keys::kInitFormat, "pbn");
    EXPECT_EQ(settings.Read(keys::kInitFormat), "pbn");
    EXPECT_EQ(ReadFile(dir / "orvenix"), "not a folder");
}

} // namespace
} // namespace orvenix::test
