// Per-user settings in an INI file: defaults, the round trip, hand-edited, damaged and unwritable files.
#include "support/window_test.h"
#include "ui/app/qt_settings.h"

#include <QSettings>

namespace orvenix::test {
namespace {

using namespace std::string_literals;

// Points the user-scope INI location of the whole test program at a temporary folder.
class QtSettingsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope,
                           QString::fromStdString(dir.path().string()));
    }
    std::filesystem::path IniPath() const { return dir / "orvenix" / "orvenix.exe.ini"; }
    TempDir dir;
};

TEST_F(QtSettingsTest, DefaultsUntilWrittenThenTheValueForEveryInstance) {
    QtSettings settings;
    EXPECT_EQ(std::filesystem::path(settings.FileName().toStdString()), IniPath());
    EXPECT_EQ(settings.Lookup(keys::kInitFormat), std::nullopt);
    EXPECT_EQ(settings.Read(keys::kInitFormat), "BRI");
    EXPECT_EQ(settings.Read(keys::kPrintScoreCardMode), "2");
    EXPECT_EQ(settings.Read(keys::kInitDirectory), HomeDirectory());
    EXPECT_FALSE(std::filesystem::exists(IniPath())); // reading creates nothing

    settings.Write(keys::kInitDirectory, "/home/director/Boards, 2026/");
    settings.Write(keys::kThreshold, "17");
    settings.Write(keys::kInitReadMode, "");
    settings.Write("Event", "Z\u00fcrich");
    QtSettings again;
    EXPECT_EQ(again.Read(keys::kInitDirectory), "/home/director/Boards, 2026/");
    EXPECT_EQ(again.ReadInt(keys::kThreshold, 0, 0, 255), 17);
    EXPECT_EQ(again.Lookup(keys::kInitReadMode), std::optional<std::string>(""));
    EXPECT_EQ(again.Read("Event"), "Z\u00fcrich");
    again.Write(keys::kCardType, "3"); // seen by the other instance on its next read
    EXPECT_EQ(settings.Read(keys::kCardType), "3");
    EXPECT_EQ(QSettings(QString::fromStdString(IniPath().string()), QSettings::IniFormat)
                  .value("Init_settings/Init_directory")
                  .toString(),
              "/home/director/Boards, 2026/");
}

TEST_F(QtSettingsTest, HandEditedAndDamagedFilesAreReadAsFarAsTheyCan) {
    std::filesystem::create_directories(IniPath().parent_path());
    std::string garbage = "\x00\xff\xfe[[[Init_settings\n=\n\\\\\\\n@Variant(\x01\x02)\n"s;
    garbage += std::string(4096, '\x01');
    garbage += "\n[Init_settings]\nInit_directory=/data/a, b\nThreshold=abc\nCardIndex=@Invalid()\n";
    WriteFile(IniPath(), garbage);
    QtSettings settings;
    EXPECT_EQ(settings.Read(keys::kInitDirectory), "/data/a, b");
    EXPECT_EQ(settings.Read(keys::kThreshold), "abc");
    EXPECT_EQ(settings.ReadInt(keys::kThreshold, 0, 0, 255), 0); // not a number: the default
    EXPECT_EQ(settings.Read(keys::kCardIndex), "0");
    TestContext t; // the main window starts on these settings
    MainWindow window(t.ctx, t.options);
    window.Start();
    EXPECT_EQ(window.statusText(), "Ready");
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
