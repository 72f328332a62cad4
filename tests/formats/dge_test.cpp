#include "formats/dge.h"

#include <gtest/gtest.h>

#include <string>

using namespace orvenix;

namespace {

const std::string kSpade = "\x06";
const std::string kHeart = "\x03";
const std::string kDiamond = "\x04";
const std::string kClub = "\x05";
const std::string kRanks = "AKQJT98765432";

// N holds the spades, E the hearts, S the diamonds, W the clubs.
Board SuitPerSeat() {
    Board b;
    for (int code = 1; code <= kCards; ++code)
        b.cardOwner[static_cast<std::size_t>(code)] = static_cast<Seat>(SuitOf(code));
    return b;
}

std::string SuitPerSeatHands() {
    return kSpade + kRanks + kHeart + kDiamond + kClub + //
           kSpade + kHeart + kRanks + kDiamond + kClub + //
           kSpade + kHeart + kDiamond + kRanks + kClub + //
           kSpade + kHeart + kDiamond + kClub + kRanks;
}

std::string AsRecord(std::string hands, char fill = '\0') {
    hands.resize(kDgeRecordLength, fill);
    return hands;
}

} // namespace

TEST(DgeHandString, WorkedExampleByteForByte) {
    const std::string expected = SuitPerSeatHands();
    ASSERT_EQ(expected.size(), kDgeHandStringLength);
    EXPECT_EQ(DgeHandString(SuitPerSeat()), expected);
    const std::string record = DgeRecord(SuitPerSeat());
    ASSERT_EQ(record.size(), kDgeRecordLength);
    EXPECT_EQ(record.substr(0, 68), expected);
    EXPECT_EQ(record.substr(68), std::string(60, '\0'));
}

TEST(DgeHandString, EmptyBoardIsSixteenSymbols) {
    EXPECT_EQ(DgeHandString(Board{}),
              (kSpade + kHeart + kDiamond + kClub) + (kSpade + kHeart + kDiamond + kClub) +
                  (kSpade + kHeart + kDiamond + kClub) + (kSpade + kHeart + kDiamond + kClub));
}

TEST(ParseDgeRecord, ReadsTheWorkedExampleInAllModes) {
    for (DgeMode mode : {DgeMode::kFileRecord, DgeMode::kBreLine, DgeMode::kDupPart}) {
        Board b;
        const std::string text =
            mode == DgeMode::kFileRecord ? AsRecord(SuitPerSeatHands()) : SuitPerSeatHands();
        EXPECT_FALSE(ParseDgeRecord(text, b, mode).has_value());
        EXPECT_EQ(b.cardOwner, SuitPerSeat().cardOwner);
    }
}
