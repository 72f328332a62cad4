// Per-user settings in an INI file: the round trip, the defaults and damaged files.
#include "support/test_context.h"
#include "support/window_test.h"
#include "ui/app/qt_settings.h"

#include <QDir>
#include <QSettings>
#include <QStandardPaths>

#include <fstream>

namespace orvenix::test {
namespace {

// Points the user-scope INI location of the whole test program at a temporary folder.
class QtSettingsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope,
                           QString::fromStdString(dir.path().string()));
    }
    std::filesystem::path IniPath() const { return dir / "orvenix" / "orvenix.exe.ini"; }
    void WriteIni(const std::string& bytes) const {
        std::filesystem::create_directories(IniPath().parent_path());
        std::ofstream out(IniPath(), std::ios::binary);
        out << bytes;
    }
    TempDir dir;
};

TEST_F(QtSettingsTest, StoreLivesInTheUserIniOfTheApplication) {
    QtSettings settings;
    EXPECT_EQ(std::filesystem::path(settings.FileName().toStdString()), IniPath());
}

TEST_F(QtSettingsTest, MissingKeysGiveTheirDefaults) {
    QtSettings settings;
    EXPECT_EQ(settings.Lookup(keys::kInitFormat), std::nullopt);
    EXPECT_EQ(settings.Read(keys::kInitFormat), "BRI");
    EXPECT_EQ(settings.Read(keys::kPrintScoreCardMode), "2");
    EXPECT_EQ(settings.Read(keys::kCheckBoard), "0");
    EXPECT_EQ(settings.Read(keys::kInitDirectory), HomeDirectory());
    EXPECT_FALSE(std::filesystem::exists(IniPath())); // reading creates nothing
}

TEST_F(QtSettingsTest, WrittenValuesComeBackInAnotherInstance) {
    {
        QtSettings settings;
        settings.Write(keys::kInitFormat, "pbn");
        settings.Write(keys::kInitDirectory, "/home/director/Boards, 2026/");
        settings.Write(keys::kThreshold, "17");
        settings.Write(keys::kInitReadMode, "");
        settings.Write("Event", "Z\u00fcrich");
        EXPECT_EQ(settings.Read(keys::kInitFormat), "pbn");
    }
    QtSettings again;
    EXPECT_EQ(again.Read(keys::kInitFormat), "pbn");
    EXPECT_EQ(again.Read(keys::kInitDirectory), "/home/director/Boards, 2026/");
    EXPECT_EQ(again.ReadInt(keys::kThreshold, 0, 0, 255), 17);
    EXPECT_EQ(again.Lookup(keys::kInitReadMode), std::optional<std::string>(""));
    EXPECT_EQ(again.Read("Event"), "Z\u00fcrich");

    // The file holds the values in the section of the settings.
    QSettings raw(QString::fromStdString(IniPath().string()), QSettings::IniFormat);
    EXPECT_EQ(raw.value("Init_settings/Init_format").toString(), "pbn");
}

TEST_F(QtSettingsTest, WritesReachTheFileAtOnce) {
    QtSettings settings;
    settings.Write(keys::kCardType, "2");
    ASSERT_TRUE(std::filesystem::exists(IniPath()));
    QtSettings reader;
    EXPECT_EQ(reader.Read(keys::kCardType), "2");
    // A change by another instance is seen on the next read.
    reader.Write(keys::kCardType, "3");
    EXPECT_EQ(settings.Read(keys::kCardType), "3");
}

TEST_F(QtSettingsTest, HandEditedValuesAreReadAsText) {
    WriteIni("[Init_settings]\nInit_directory=/data/a, b\nInit_format=dge\nThreshold=abc\n");
    QtSettings settings;
    EXPECT_EQ(settings.Read(keys::kInitDirectory), "/data/a, b");
    EXPECT_EQ(settings.Read(keys::kInitFormat), "dge");
    EXPECT_EQ(settings.Read(keys::kThreshold), "abc");
    EXPECT_EQ(settings.ReadInt(keys::kThreshold, 0, 0, 255), 0); // not a number: the default
}

TEST_F(QtSettingsTest, GarbageFileGivesDefaultsAndDoesNotBreakStartUp) {
    std::string garbage =
        "\x00\xff\xfe[[[Init_settings\n=\n\\\\\\\n@Variant(\x01\x02)\nInit_format=@Variant(\\0\\0\\0\\x7f)\n";
    garbage += std::string(4096, '\x01');
    garbage.push_back('\0');
    garbage += "\n[Init_settings]\nCardIndex=@Invalid()\nPrintMode=@ByteArray(\xff\xfe)\n";
    WriteIni(garbage);

    QtSettings settings;
    // Every key gives a text: the stored one if any could be read, else the default.
    for (const char* key : {keys::kInitFormat, keys::kInitDirectory, keys::kPrintPerPage, keys::kPrintMode,
                            keys::kCardIndex, keys::kNational}) {
        (void)settings.Read(key);
    }
    EXPECT_EQ(settings.Read(keys::kCardIndex), "0");
    EXPECT_EQ(settings.ReadInt(keys::kPrintMode, 0, 0, 2), 0);

    // The main window starts on these settings.
    TestContext t;
    MainWindow window(t.ctx, t.options);
    window.Start();
    EXPECT_EQ(window.statusText(), "Ready");

    // And the store still takes new values.
    settings.Write(keys::kInitFormat, "bre");
    EXPECT_EQ(QtSettings().Read(keys::kInitFormat), "bre");
}

TEST_F(QtSettingsTest, UnwritableStoreFailsSilently) {
    // The settings folder is a file: nothing can be written. The write is not reported and harms nothing;
    // the choice is kept for the rest of the run only.
    std::ofstream(dir / "orvenix") << "not a folder";
    QtSettings settings;
    settings.Write(keys::kInitFormat, "pbn");
    EXPECT_EQ(settings.Read(keys::kInitFormat), "pbn");
    EXPECT_FALSE(std::filesystem::is_directory(dir / "orvenix"));
    std::ifstream in(dir / "orvenix");
    std::string content;
    std::getline(in, content);
    EXPECT_EQ(content, "not a folder");
}

} // namespace
} // namespace orvenix::test
