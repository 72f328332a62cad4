#include "base/dialogs.h"
#include "base/log.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

using namespace orvenix;
using namespace orvenix::test;
namespace fs = std::filesystem;

TEST(ActivityLog, OneHeaderPerRunWithCrLfLinesAndErrorsWithTheirTitle) {
    TempDir dir;
    const fs::path path = dir / "dealer.log";
    for (const char* stamp : {"06/12/2026 10:00:00", "07/12/2026 09:00:00"}) {
        ActivityLog log(path);
        log.now = [stamp] { return std::string(stamp); };
        log.LogLine(std::string("line of ") + stamp);
    }
    EXPECT_EQ(ReadFile(path), "====== 06/12/2026 10:00:00\r\nline of 06/12/2026 10:00:00\r\n"
                              "====== 07/12/2026 09:00:00\r\nline of 07/12/2026 09:00:00\r\n");
    // An error is logged with its title, then shown.
    ScriptedDialogs dialogs;
    ActivityLog log(path);
    EXPECT_EQ(ReportError(dialogs, log, "Unknow file format: XYZ", Buttons::Ok, Icon::Critical, "Load Error"),
              Answer::Ok);
    EXPECT_TRUE(dialogs.messages.size() == 1 && dialogs.Last().title == "Load Error" &&
                dialogs.Last().icon == Icon::Critical);
    EXPECT_NE(ReadFile(path).find("Load Error: Unknow file format: XYZ\r\n"), std::string::npos);
    // A log in a folder that does not exist writes nothing and creates nothing.
    ActivityLog(dir / "no" / "such" / "dealer.log").LogLine("nothing");
    EXPECT_FALSE(fs::exists(dir / "no"));
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
        log.LogLine("not written");
        const std::string text = ReadFile(path);
        EXPECT_EQ(std::tuple(log.SwitchedOff(), text.find("one more") != std::string::npos,
                             text.find("not written"), text.size() == size),
                  std::tuple(true, written, std::string::npos, !written));
    }
}
