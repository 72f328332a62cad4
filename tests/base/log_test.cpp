#include "base/dialogs.h"
#include "base/log.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <unistd.h>

using namespace orvenix;
namespace fs = std::filesystem;

namespace {
class LogTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir = fs::temp_directory_path() / ("orvenix-log-" + std::to_string(::getpid()) + "-" +
                                           ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir);
        fs::create_directories(dir);
        path = dir / "dealer.log";
    }
    void TearDown() override { fs::remove_all(dir); }
    std::string Contents() const {
        std::ifstream in(path, std::ios::binary);
        std::stringstream ss;
        ss << in.rdbuf();
        return ss.str();
    }
    void Fill(std::size_t bytes) const {
        std::ofstream out(path, std::ios::binary);
        out << std::string(bytes, 'x');
    }
    fs::path dir;
    fs::path path;
};
} // namespace

TEST_F(LogTest, MissingLogIsCreatedWithOneHeaderPerRun) {
    {
        ActivityLog log(path);
        log.now = [] { return "06/12/2026 10:00:00"; };
        log.LogLine("Load Error: first");
        log.LogLine("Load Error: second");
    }
    EXPECT_EQ(Contents(), "====== 06/12/2026 10:00:00\r\nLoad Error: first\r\nLoad Error: second\r\n");
    {
        ActivityLog log(path);
        log.now = [] { return "07/12/2026 09:00:00"; };
        log.LogLine("third");
    }
    EXPECT_NE(Contents().find("third\r\n"), std::string::npos);
    EXPECT_NE(Contents().find("====== 07/12/2026 09:00:00\r\n"), std::string::npos);
}

TEST_F(LogTest, PastThirtyTwoThousandBytesOneMoreSessionThenSilent) {
    Fill(32500);
    ActivityLog log(path);
    log.LogLine("one more");
    EXPECT_TRUE(log.SwitchedOff());
    log.LogLine("not written");
    const std::string text = Contents();
    EXPECT_NE(text.find("one more"), std::string::npos);
    EXPECT_EQ(text.find("not written"), std::string::npos);
}

TEST_F(LogTest, PastSixtyFourThousandBytesNeverTouched) {
    Fill(64001);
    const auto before = fs::file_size(path);
    ActivityLog log(path);
    log.LogLine("ignored");
    EXPECT_TRUE(log.SwitchedOff());
    EXPECT_EQ(fs::file_size(path), before);
}

TEST_F(LogTest, ExactlySixtyFourThousandStillTakesASession) {
    Fill(64000);
    ActivityLog log(path);
    log.LogLine("last");
    EXPECT_GT(fs::file_size(path), 64000U);
}

TEST_F(LogTest, UnwritableFolderIsSilent) {
    ActivityLog log(dir / "no" / "such" / "dealer.log");
    log.LogLine("nothing");
    EXPECT_FALSE(fs::exists(dir / "no"));
}

TEST_F(LogTest, ReportErrorLogsTitleAndMessageThenShowsTheBox) {
    ScriptedDialogs dialogs;
    ActivityLog log(path);
    const Answer a = ReportError(dialogs, log, "Unknow file format: XYZ", Buttons::Ok, Icon::Critical, "Load Error");
    EXPECT_EQ(a, Answer::Ok);
    ASSERT_EQ(dialogs.messages.size(), 1U);
    EXPECT_EQ(dialogs.Last().title, "Load Error");
    EXPECT_EQ(dialogs.Last().icon, Icon::Critical);
    log.Close();
    EXPECT_NE(Contents().find("Load Error: Unknow file format: XYZ\r\n"), std::string::npos);
}
