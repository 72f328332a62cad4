#include "base/messages.h"

#include <gtest/gtest.h>

using namespace orvenix;

TEST(Messages, PlaceholdersMarginsAndLineEnds) {
    const std::string t = FormatMessage(MsgUnknownFormatLoad, "XYZ");
    EXPECT_EQ(t, "     Unknow file format: XYZ     \r\n     Load operation aborted!     ");
    EXPECT_EQ(PlainMessage(t), "Unknow file format: XYZ\nLoad operation aborted!");
    // Every occurrence of a placeholder is filled; a second value goes to its own placeholder.
    const std::string twice = FormatMessage(MsgFirstBoardNotOne, "DGE");
    EXPECT_TRUE(twice.find("***") == std::string::npos &&
                twice.find("in DGE format anyway?") != std::string::npos);
    EXPECT_EQ(PlainMessage(FormatMessage(MsgFmtRecordLength, "67", "3")),
              "File format error\nIncorrect record length = 67  in record: 3\n\nLoad operation aborted!");
    // A placeholder that is not filled stays visible.
    EXPECT_NE(FormatMessage(MsgBoardIncompleteProceed, "BRE").find("nnn"), std::string::npos);
    EXPECT_EQ(ReplaceAll("a***b***", "***", "*** "), "a*** b*** ");
}
