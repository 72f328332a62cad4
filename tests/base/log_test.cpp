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
    // Past 32000 bytes a run still writes its first line, then the log switches off; past 64000 it is never
    // touched.
    for (const auto& [size, written] :
         {std::pair{32500U, true}, std::pair{64000U, true}, std::pair{64001U, false}}) {
        SCOPED_TRACE(size);
        TempDir dir;
        const fs::path path = dir / "dealer.log";
        WriteFile(path, std::string(size, 'x'));
        ActivityLog log(path);
        log.LogLine("one more");
        EXPECT_TRUE(log.SwitchedOff());
        log.LogLine("not written");
        log.Close();
        const std::string text = ReadFile(path);
        EXPECT_EQ(std::tuple(text.find("one more") != std::string::npos, text.find("not written"),
                             text.size() == size),
                  std::tuple(written, std::string::npos, !written));
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
    EXPECT_EQ(std::tuple(dialogs.Last().title, dialogs.Last().icon),
              std::tuple("Load Error", Icon::Critical));
    log.Close();
    EXPECT_NE(ReadFile(dir / "dealer.log").find("Load Error: Unknow file format: XYZ\r\n"),
              std::string::npos);
}
