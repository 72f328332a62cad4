#include "base/dialogs.h"
#include "base/log.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace orvenix;
using namespace orvenix::test;
namespace fs = std::filesystem;

TEST(ActivityLog, OneHeaderPerRunWithCrLfLines) {
    TempDir dir;
    const fs::path path = dir / "dealer.log";
    for (const char* stamp : {"06/12/2026 10:00:00", "07/12/2026 09:00:00"}) {
        ActivityLog log(path);
        log.now = [stamp] { return std::string(stamp); };
        log.LogLine(std::string("line of ") + stamp);
    }
    EXPECT_EQ(ReadFile(path), "====== 06/12/2026 10:00:00\r\nline of 06/12/2026 10:00:00\r\n"
                              "====== 07/12/2026 09:00:00\r\nline of 07/12/2026 09:00:00\r\n");
}

TEST(ActivityLog, SizeLimitsOfTheFile) {
    struct Case {
        std::size_t size;
        bool written; // the first line of the run
    };
    // Past 32000 bytes a run still writes, then the log switches off; past 64000 it is never touched.
    for (const Case& c : {Case{32500, true}, Case{64000, true}, Case{64001, false}}) {
        SCOPED_TRACE(c.size);
        TempDir dir;
        const fs::path path = dir / "dealer.log";
        WriteFile(path, std::string(c.size, 'x'));
        ActivityLog log(path);
        log.LogLine("one more");
        EXPECT_TRUE(log.SwitchedOff());
        log.LogLine("not written");
        log.Close();
        const std::string text = ReadFile(path);
        EXPECT_EQ(text.find("one more") != std::string::npos, c.written);
        EXPECT_EQ(text.find("not written"), std::string::npos);
        EXPECT_EQ(text.size() == c.size, !c.written);
    }
}

TEST(ActivityLog, UnwritableFolderIsSilent) {
    TempDir dir;
    ActivityLog log(dir / "no" / "such" / "dealer.log");
    log.LogLine("nothing");
    EXPECT_FALSE(fs::exists(dir / "no"));
}

TEST(ActivityLog, ReportErrorLogsTitleAndMessageThenShowsTheBox) {
    TempDir dir;
    ScriptedDialogs dialogs;
    ActivityLog log(dir / "dealer.log");
    EXPECT_EQ(ReportError(dialogs, log, "Unknow file format: XYZ", Buttons::Ok, Icon::Critical, "Load Error"),
              Answer::Ok);
    ASSERT_EQ(dialogs.messages.size(), 1U);
    EXPECT_EQ(dialogs.Last().title, "Load Error");
    EXPECT_EQ(dialogs.Last().icon, Icon::Critical);
    log.Close();
    EXPECT_NE(ReadFile(dir / "dealer.log").find("Load Error: Unknow file format: XYZ\r\n"),
              std::string::npos);
}
