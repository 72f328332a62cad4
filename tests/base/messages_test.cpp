#include "base/messages.h"

#include <gtest/gtest.h>

using namespace orvenix;

TEST(Messages, EveryTemplateIsFilled) {
    for (int k = 0; k < kMessageCount; ++k) EXPECT_FALSE(MessageTemplate(static_cast<MessageKey>(k)).empty()) << k;
}

TEST(Messages, LinesCarryMarginsAndCrLf) {
    const std::string t = FormatMessage(MsgUnknownFormatLoad, "XYZ");
    EXPECT_EQ(t, "     Unknow file format: XYZ     \r\n     Load operation aborted!     ");
    EXPECT_EQ(PlainMessage(t), "Unknow file format: XYZ\nLoad operation aborted!");
}

TEST(Messages, EveryPlaceholderOccurrenceIsReplaced) {
    const std::string t = FormatMessage(MsgFirstBoardNotOne, "DGE");
    EXPECT_EQ(t.find("***"), std::string::npos);
    EXPECT_NE(t.find("DGE format does not support board numbers."), std::string::npos);
    EXPECT_NE(t.find("in DGE format anyway?"), std::string::npos);
    // A placeholder that is not filled stays visible.
    EXPECT_NE(FormatMessage(MsgBoardIncompleteProceed, "BRE").find("nnn"), std::string::npos);
    EXPECT_EQ(ReplaceAll("a***b***", "***", "*** "), "a*** b*** ");
}

TEST(Messages, FormatErrorsAndBlankLines) {
    EXPECT_EQ(PlainMessage(FormatMessage(MsgFmtRecordLength, "67", "3")),
              "File format error\nIncorrect record length = 67  in record: 3\n\nLoad operation aborted!");
    EXPECT_EQ(PlainMessage(MessageTemplate(MsgPbnForbiddenCharacters)),
              "In PBN format characters []{};\"% are not allowed in Event Name, Event Site and Event Date fields");
    EXPECT_EQ(MessageTemplate(MsgFirstBoardLabel), "First Board:");
    EXPECT_EQ(PlainMessage(FormatMessage(MsgReadNeedsFirmware, "2.20")),
              "Read function requires Firmware version 2.24 or later\nCurrent Firmware version is 2.20\n\n"
              "Please update firmware from https://orvenix.example/support and try again");
}
