#include "base/version.h"
#include "formats/pbn.h"
#include "base/text_encoding.h"
#include "support/board_set_samples.h"

#include <gtest/gtest.h>

#include <fstream>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

using namespace orvenix;
using orvenix::test::ClearedSet;
using orvenix::test::RandomSet;
using orvenix::test::SuitPerHandBoard;

namespace {

std::string Header() {
    return "% Orvenix ver " + std::to_string(kVersionMajor) + "." + std::to_string(kVersionMinor) + "." +
           std::to_string(kVersionPatch) + "\r\n";
}

ReadResult Load(const std::string& bytes, BoardSet& set) {
    set = ClearedSet();
    return ReadPbn(bytes, set);
}

// Loads and expects a fault with the given key, "***" value and line number.
void ExpectFault(const std::string& bytes, MessageKey key, const std::string& main, int line) {
    BoardSet set;
    const ReadResult r = Load(bytes, set);
    ASSERT_TRUE(r.has_value()) << bytes;
    EXPECT_EQ(r->key, key) << bytes;
    EXPECT_EQ(r->main, main) << bytes;
    EXPECT_EQ(r->second, std::to_string(line)) << bytes;
    EXPECT_EQ(r->Text().find("record"), std::string::npos);
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

const std::string kSuitPerHandDeal = "N:AKQJT98765432... .AKQJT98765432.. ..AKQJT98765432. ...AKQJT98765432";

} // namespace

TEST(PbnWrite, WorkedExampleByteForByte) {
    BoardSet set = ClearedSet();
    set.firstBoard = 1;
    set.lastBoard = 1;
    set[1] = SuitPerHandBoard();
    set.Renumber();
    set.eventName = "Monday pairs";
    EXPECT_EQ(WritePbn(set), Header() +
                                 "[Event \"Monday pairs\"]\r\n"
                                 "[Site \"<unknown>\"]\r\n"
                                 "[Date \"<unknown>\"]\r\n"
                                 "[Board \"1\"]\r\n"
                                 "[Dealer \"N\"]\r\n"
                                 "[Vulnerable \"None\"]\r\n"
                                 "[Deal \"" +
                                 kSuitPerHandDeal + "\"]\r\n\r\n");
}

TEST(PbnWrite, LaterBoardsRepeatEventsAsHashAndDealStartsWithDealer) {
    BoardSet set = RandomSet(14, 15, 2);
    set[15].dealer = 0;        // not given: the standard dealer of 15 (S)
    set[15].vulnerability = 0; // and its standard vulnerability (NS)
    set[14] = SuitPerHandBoard();
    set[14].number = 14;
    set[14].dealer = 2;
    set[14].vulnerability = 4;
    set.eventSite = "Hall";
    const std::string bytes = WritePbn(set);
    const std::string expected14 = "[Event \"<unknown>\"]\r\n[Site \"Hall\"]\r\n[Date \"<unknown>\"]\r\n"
                                   "[Board \"14\"]\r\n[Dealer \"E\"]\r\n[Vulnerable \"All\"]\r\n"
                                   "[Deal \"E:.AKQJT98765432.. ..AKQJT98765432. ...AKQJT98765432 "
                                   "AKQJT98765432...\"]\r\n\r\n";
    ASSERT_EQ(bytes.substr(0, Header().size() + expected14.size()), Header() + expected14);
    const std::string rest = bytes.substr(Header().size() + expected14.size());
    const std::string expected15 =
        "[Event \"#\"]\r\n[Site \"#\"]\r\n[Date \"#\"]\r\n[Board \"15\"]\r\n[Dealer \"S\"]\r\n";
    EXPECT_EQ(rest.substr(0, expected15.size()), expected15);
    EXPECT_NE(rest.find("[Vulnerable \"NS\"]\r\n[Deal \"S:"), std::string::npos);
}

TEST(PbnWrite, DealValues) {
    Board b;
    for (int r = 1; r <= 13; ++r)
        b.cardOwner[static_cast<std::size_t>(CardCodeOf(1, r))] = 1;
    EXPECT_EQ(PbnDealValue(b, 1), "N:AKQJT98765432... - - -");
    EXPECT_EQ(PbnDealValue(b, 4), "W:- AKQJT98765432... - -");
    EXPECT_EQ(PbnDealValue(Board{}, 3), "S:- - - -");
    Board c;
    c.cardOwner[static_cast<std::size_t>(CardCodeOf(4, 13))] = 2; // club two only
    c.cardOwner[static_cast<std::size_t>(CardCodeOf(2, 12))] = 2; // heart three
    EXPECT_EQ(PbnDealValue(c, 2), "E:.3..2 - - -");
}

TEST(PbnWrite, EventTextsCannotBreakTheFile) {
    BoardSet set = RandomSet(1, 1, 2);
    set.eventName = "Caf\u00e9 \u2660";
    set.eventSite = "a\"b]c";
    const std::string bytes = WritePbn(set);
    EXPECT_NE(bytes.find("[Event \"Caf\u00e9 \u2660\"]\r\n"), std::string::npos); // UTF-8: the spade needs it
    EXPECT_NE(bytes.find("[Site \"a?b?c\"]\r\n"), std::string::npos);
    BoardSet loaded;
    ASSERT_FALSE(Load(bytes, loaded).has_value());
    EXPECT_EQ(loaded.eventName, "Caf\u00e9 \u2660");
}

TEST(PbnForbiddenCharacters, EachOneAndNone) {
    for (const char* s : {"[", "]", "{", "}", "%", ";", "\"", "a;b"})
        EXPECT_TRUE(HasPbnForbiddenCharacters(s)) << s;
    EXPECT_FALSE(HasPbnForbiddenCharacters("Club night, 6 Dec (final) #2 <x> 'y'"));
    EXPECT_FALSE(HasPbnForbiddenCharacters(""));
}

TEST(PbnRead, WorkedExampleAndSets) {
    BoardSet set;
    const std::string bytes = "[Event \"Monday pairs\"]\n[Site \"<unknown>\"]\n[Date \"<unknown>\"]\n"
                              "[Board \"1\"]\n[Dealer \"N\"]\n[Vulnerable \"None\"]\n[Deal \"" +
                              kSuitPerHandDeal + "\"]\n\n";
    ASSERT_FALSE(Load(bytes, set).has_value());
    EXPECT_EQ(set.firstBoard, 1);
    EXPECT_EQ(set.lastBoard, 1);
    EXPECT_EQ(set.eventName, "Monday pairs");
    EXPECT_EQ(set.eventSite, ""); // the writer's placeholder for an empty text
    EXPECT_EQ(set[1].cardOwner, SuitPerHandBoard().cardOwner);
    EXPECT_EQ(set[1].status, kBoardComplete);
    EXPECT_EQ(set[1].dealer, 1);
    EXPECT_EQ(set[1].vulnerability, 1);
    EXPECT_EQ(set[1].number, 1);
}

TEST(PbnRead, BoardNumbersSpanTheSet) {
    BoardSet set;
    ASSERT_FALSE(Load("[Board \"7\"]\n[Deal \"N:- - - -\"]\n[Board \"3\"]\n", set).has_value());
    EXPECT_EQ(set.firstBoard, 3);
    EXPECT_EQ(set.lastBoard, 7);
    for (int n = 4; n <= 6; ++n) {
        EXPECT_EQ(set[n].number, 0);
        EXPECT_EQ(set[n].status, kBoardEmpty);
    }
    EXPECT_EQ(set[7].number, 7);
    EXPECT_EQ(set[7].dealer, 0); // not given
    // Leading zeros, and a board given twice: the later one replaces it.
    ASSERT_FALSE(Load("[Board \"0012\"][Dealer \"W\"]\n[Board \"12\"]\n", set).has_value());
    EXPECT_EQ(set.firstBoard, 12);
    EXPECT_EQ(set[12].dealer, 0);
}

TEST(PbnRead, SeveralTagPairsOnOneLineAndOddSpacing) {
    BoardSet set;
    ASSERT_FALSE(Load("[Board \"2\"][Dealer \"S\"] junk [ Vulnerable\"EW\" ]\n", set).has_value());
    EXPECT_EQ(set[2].dealer, 3);
    EXPECT_EQ(set[2].vulnerability, 3);
}

TEST(PbnRead, TagNamesAreWholeNames) {
    BoardSet set;
    const std::string bytes = "[Event \"Real event\"]\n[EventDate \"2026.12.06\"]\n[Board \"1\"]\n"
                              "[DealId \"xyz\"]\n[Deal \"" +
                              kSuitPerHandDeal +
                              "\"]\n[Dealers \"Q\"]\n[Sitex \"s\"]\n[BoardNo \"99\"]\n[Vulnerable_x \"q\"]\n";
    ASSERT_FALSE(Load(bytes, set).has_value());
    EXPECT_EQ(set.eventName, "Real event");
    EXPECT_EQ(set.eventDate, "");
    EXPECT_EQ(set.eventSite, "");
    EXPECT_EQ(set.lastBoard, 1);
    EXPECT_EQ(set[1].status, kBoardComplete);
    // Names are case-sensitive.
    ASSERT_FALSE(Load("[board \"5\"]\n[Board \"1\"]\n", set).has_value());
    EXPECT_EQ(set.lastBoard, 1);
}

TEST(PbnRead, EventTags) {
    BoardSet set;
    ASSERT_FALSE(
        Load("[Event \"A\"][Site \"S\"][Date \"D\"]\n[Board \"1\"]\n[Event \"#\"][Site \"##\"][Date \"\"]\n",
             set)
            .has_value());
    EXPECT_EQ(set.eventName, "A");
    EXPECT_EQ(set.eventSite, "S");
    EXPECT_EQ(set.eventDate, "");
    // Long texts are cut to what the event fields hold; characters are counted, not bytes.
    std::string name;
    for (int i = 0; i < 210; ++i)
        name += "\xc3\xa9";
    ASSERT_FALSE(Load("[Event \"" + name + "\"][Board \"1\"]", set).has_value());
    EXPECT_EQ(Utf8Length(set.eventName), 199u);
}

TEST(PbnRead, Encodings) {
    BoardSet set;
    ASSERT_FALSE(Load("[Event \"Caf\xe9\"]\r\n[Board \"1\"]\r\n", set).has_value());
    EXPECT_EQ(set.eventName, "Caf\u00e9");
    ASSERT_FALSE(Load("[Event \"Caf\u00e9 \u2660\"]\n[Board \"1\"]\n", set).has_value());
    EXPECT_EQ(set.eventName, "Caf\u00e9 \u2660");
}

TEST(PbnRead, DealerAndVulnerableValues) {
    BoardSet set;
    const std::vector<std::pair<std::string, int>> vul{{"None", 1}, {"Love", 1}, {"-", 1},   {"NS", 2},
                                                       {"EW", 3},   {"All", 4},  {"Both", 4}};
    for (const auto& [value, code] : vul) {
        ASSERT_FALSE(Load("[Board \"1\"]\n[Vulnerable \"" + value + "\"]\n", set).has_value()) << value;
        EXPECT_EQ(set[1].vulnerability, code) << value;
    }
    for (int seat = 1; seat <= 4; ++seat) {
        ASSERT_FALSE(Load("[Board \"9\"]\n[Dealer \"" + std::string(1, kSeatLetters[seat - 1]) + "\"]\n", set)
                         .has_value());
        EXPECT_EQ(set[9].dealer, seat);
    }
    ExpectFault("[Board \"1\"]\n[Vulnerable \"both\"]\n", MsgFmtInvalidString, "\"both\"", 2);
    ExpectFault("[Board \"1\"]\n\n[Vulnerable \"\"]\n", MsgFmtInvalidString, "\"\"", 3);
    ExpectFault("[Board \"1\"]\n[Dealer \"n\"]\n", MsgFmtInvalidString, "\"n\"", 2);
    ExpectFault("[Board \"1\"]\n[Dealer \"North\"]\n", MsgFmtInvalidString, "\"North\"", 2);
    // Tags before the first Board tag act on no board of the set.
    ASSERT_FALSE(Load("[Dealer \"W\"][Vulnerable \"All\"]\n[Board \"1\"]\n", set).has_value());
    EXPECT_EQ(set[1].dealer, 0);
    EXPECT_EQ(set[0].dealer, 0);
}

TEST(PbnRead, BoardValueFaults) {
    ExpectFault("[Board \"12a\"]\n", MsgFmtUnexpectedCharacter, "a", 1);
    ExpectFault("\n[Board \"0\"]\n", MsgFmtInvalidBoardNumber, "", 2);
    ExpectFault("[Board \"641\"]\n", MsgFmtInvalidBoardNumber, "", 1);
    ExpectFault("[Board \"\"]\n", MsgFmtInvalidBoardNumber, "", 1);
    ExpectFault("[Board \"99999999999999999999\"]\n", MsgFmtInvalidBoardNumber, "", 1);
    ExpectFault("[Board \"-1\"]\n", MsgFmtUnexpectedCharacter, "-", 1);
    ExpectFault("[Board \"\xe9\"]\n", MsgFmtUnexpectedCharacter, "\u00e9", 1);
    BoardSet set;
    ASSERT_FALSE(Load("[Board \"640\"]", set).has_value());
    EXPECT_EQ(set.lastBoard, 640);
    EXPECT_EQ(set.firstBoard, 640);
}

TEST(PbnRead, TagPairSyntaxFaults) {
    ExpectFault("[Board 1]\n", MsgFmtExpectedCharacter, "\"", 1);
    ExpectFault("[Board \"1]\n", MsgFmtExpectedCharacter, "\"", 1);
    ExpectFault("[Board \"1\n", MsgFmtExpectedCharacter, "\"", 1);
    ExpectFault("[Board\n", MsgFmtExpectedCharacter, "\"", 1);
    ExpectFault("[Board \"1\"\n", MsgFmtExpectedCharacter, "]", 1);
    // A "[" as the last character of a line, or a tag name ending the line, is not a tag pair.
    BoardSet set;
    ASSERT_FALSE(Load("[Board \"1\"]\n[\n[B\nx [\n", set).has_value());
}

TEST(PbnRead, DealOrderFaults) {
    ExpectFault("[Deal \"" + kSuitPerHandDeal + "\"]\n", MsgFmtTokenOrder, "", 1);
    ExpectFault("[Board \"1\"]\n[Deal \"N:- - - -\"]\n[Deal \"N:- - - -\"]\n", MsgFmtTokenOrder, "", 3);
}

TEST(PbnRead, DealValues) {
    BoardSet set;
    // Only North's spades: an incomplete board, written back with "-" hands.
    ASSERT_FALSE(Load("[Board \"1\"]\n[Deal \"N:AKQJT98765432... - - -\"]\n", set).has_value());
    EXPECT_EQ(set[1].status, kBoardPartial);
    EXPECT_EQ(set[1].cardCount[1], 13);
    EXPECT_EQ(set[1].cardCount[2], 0);
    EXPECT_NE(WritePbn(set).find("[Deal \"N:AKQJT98765432... - - -\"]"), std::string::npos);

    // Starting with East: E, S, W, N.
    ASSERT_FALSE(Load("[Board \"1\"][Deal \"E:AKQJT98765432... .AKQJT98765432.. ..AKQJT98765432. "
                      "...AKQJT98765432\"]",
                      set)
                     .has_value());
    EXPECT_EQ(set[1].cardOwner[CardCodeOf(1, 1)], 2);
    EXPECT_EQ(set[1].cardOwner[CardCodeOf(2, 1)], 3);
    EXPECT_EQ(set[1].cardOwner[CardCodeOf(3, 1)], 4);
    EXPECT_EQ(set[1].cardOwner[CardCodeOf(4, 1)], 1);
    EXPECT_EQ(set[1].status, kBoardComplete);

    // Blanks after the colon and between hands; a fifth hand goes to the starting seat again.
    ASSERT_FALSE(Load("[Board \"1\"][Deal \"S:   A...  K... - Q... J...\"]", set).has_value());
    EXPECT_EQ(set[1].cardOwner[CardCodeOf(1, 1)], 3);
    EXPECT_EQ(set[1].cardOwner[CardCodeOf(1, 2)], 4);
    EXPECT_EQ(set[1].cardOwner[CardCodeOf(1, 3)], 2);
    EXPECT_EQ(set[1].cardOwner[CardCodeOf(1, 4)], 3);
    // A dash skips the character after it, even one that takes several bytes.
    ASSERT_FALSE(Load("[Board \"1\"][Deal \"N:-\u00e9A... -xK...\"]", set).has_value());
    EXPECT_EQ(set[1].cardOwner[CardCodeOf(1, 1)], 2);
    EXPECT_EQ(set[1].cardOwner[CardCodeOf(1, 2)], 4);
    // An empty deal after the colon places nothing.
    ASSERT_FALSE(Load("[Board \"1\"][Deal \"W:\"]", set).has_value());
    EXPECT_EQ(set[1].status, kBoardEmpty);
}

TEST(PbnRead, DealValueFaults) {
    const std::string board = "[Board \"1\"]\n";
    ExpectFault(board + "[Deal \"AK.QJ.T9.87.6\"]", MsgFmtUnexpectedCharacter, "A", 2);
    ExpectFault(board + "[Deal \"N:AK.QJ.T9.87.6\"]", MsgFmtTooManySuitChanges, "", 2);
    ExpectFault(board + "[Deal \"N:ak...\"]", MsgFmtUnexpectedCharacter, "a", 2);
    ExpectFault(board + "[Deal \"N:10...\"]", MsgFmtUnexpectedCharacter, "1", 2);
    ExpectFault(board + "[Deal \"N:A\u00e9...\"]", MsgFmtUnexpectedCharacter, "\u00e9", 2);
    ExpectFault(board + "[Deal \"N-AKQ\"]", MsgFmtExpectedCharacter, ":", 2);
    ExpectFault(board + "[Deal \"N\"]", MsgFmtExpectedCharacter, ":", 2);
    ExpectFault(board + "[Deal \"\"]", MsgFmtUnexpectedCharacter, "", 2);
    ExpectFault(board + "[Deal \"n:A...\"]", MsgFmtUnexpectedCharacter, "n", 2);
    ExpectFault(board + "[Deal \"N:AA...\"]", MsgFmtDuplicateCard, "A", 2);
    ExpectFault(board + "[Deal \"N:A... A...\"]", MsgFmtDuplicateCard, "A", 2);
    ExpectFault(board + "[Deal \"N:- - - - - 2...\"]", MsgFmtTooManyHandChanges, "", 2);
    ExpectFault(board + "[Deal \"N:A...\tK...\"]", MsgFmtUnexpectedCharacter, "\t", 2);
}

TEST(PbnRead, EmptyFiles) {
    for (const std::string bytes : {"", "\n", "% just a comment\r\n", "[Event \"x\"]\n[Dealer \"N\"]\n"}) {
        BoardSet set;
        const ReadResult r = Load(bytes, set);
        ASSERT_TRUE(r.has_value()) << bytes;
        EXPECT_EQ(r->key, MsgFmtFileEmpty);
        EXPECT_EQ(set.lastBoard, 0);
    }
}

TEST(PbnRoundTrip, Set640WithIncompleteBoardsAndEventTextsByteForByte) {
    BoardSet set = RandomSet(1, 640, 99);
    set[5] = Board{};
    for (int r = 1; r <= 13; ++r)
        set[6].cardOwner[static_cast<std::size_t>(CardCodeOf(3, r))] = 0;
    set.Renumber();
    AnalyseBoard(set[5]);
    AnalyseBoard(set[6]);
    set[7].dealer = 3; // a dealer other than the standard one is kept
    set[8].vulnerability = 1;
    set.eventName = "Winter cup \u00e9";
    set.eventSite = "Club";
    set.eventDate = "2026.12.06";
    const std::string bytes = WritePbn(set);
    BoardSet loaded;
    ASSERT_FALSE(Load(bytes, loaded).has_value());
    EXPECT_EQ(loaded.firstBoard, 1);
    EXPECT_EQ(loaded.lastBoard, 640);
    EXPECT_EQ(loaded.eventName, set.eventName);
    EXPECT_EQ(loaded.eventSite, set.eventSite);
    EXPECT_EQ(loaded.eventDate, set.eventDate);
    for (int n = 1; n <= 640; ++n)
        ASSERT_EQ(CompareBoards(loaded[n], set[n]), 2) << n;
    EXPECT_EQ(loaded[5].status, kBoardEmpty);
    EXPECT_EQ(loaded[6].status, kBoardPartial);
    EXPECT_EQ(WritePbn(loaded), bytes);
    // The same with boards 100 to 139.
    BoardSet part = RandomSet(100, 139, 4);
    const std::string partBytes = WritePbn(part);
    ASSERT_FALSE(Load(partBytes, loaded).has_value());
    EXPECT_EQ(loaded.firstBoard, 100);
    EXPECT_EQ(loaded.lastBoard, 139);
    EXPECT_EQ(WritePbn(loaded), partBytes);
}

// Files written by another program (Debian's "dealer", action printpbn, LF line ends), each next to the
// same deals printed one per line by its printoneline action: "n <hand> e <hand> s <hand> w <hand>".
class PbnFromOtherPrograms : public ::testing::TestWithParam<std::string> {};

TEST_P(PbnFromOtherPrograms, LoadWithTheirDealsDealersAndVulnerabilities) {
    const std::string base = std::string(ORVENIX_TEST_DATA) + "/pbn/" + GetParam();
    const std::string pbn = ReadFile(base + ".pbn");
    ASSERT_FALSE(pbn.empty());
    BoardSet set;
    const ReadResult r = Load(pbn, set);
    ASSERT_FALSE(r.has_value()) << r->Text();

    // Expected deals from the one-line listing.
    std::vector<std::array<std::string, 4>> deals;
    std::istringstream listing(ReadFile(base + ".txt"));
    std::string line;
    const std::regex oneLine(R"(^n (\S*) e (\S*) s (\S*) w (\S*)\s*$)");
    while (std::getline(listing, line)) {
        std::smatch m;
        if (std::regex_match(line, m, oneLine)) deals.push_back({m[1], m[2], m[3], m[4]});
    }
    ASSERT_GE(deals.size(), 5u);
    EXPECT_EQ(set.firstBoard, 1);
    ASSERT_EQ(set.lastBoard, static_cast<int>(deals.size()));

    // Dealer and vulnerability as the file's own tags say, read with a regular expression.
    std::vector<std::string> dealers;
    std::vector<std::string> vuls;
    const std::regex dealerTag(R"re(\[Dealer "([NESW])"\])re");
    const std::regex vulTag(R"re(\[Vulnerable "(\w+)"\])re");
    for (auto it = std::sregex_iterator(pbn.begin(), pbn.end(), dealerTag); it != std::sregex_iterator();
         ++it)
        dealers.push_back((*it)[1]);
    for (auto it = std::sregex_iterator(pbn.begin(), pbn.end(), vulTag); it != std::sregex_iterator(); ++it)
        vuls.push_back((*it)[1]);
    ASSERT_EQ(dealers.size(), deals.size());
    ASSERT_EQ(vuls.size(), deals.size());

    for (int n = 1; n <= set.lastBoard; ++n) {
        const Board& b = set[n];
        SCOPED_TRACE("board " + std::to_string(n));
        EXPECT_EQ(b.number, n);
        EXPECT_EQ(b.status, kBoardComplete);
        EXPECT_EQ(std::string(1, kSeatLetters[b.dealer - 1]), dealers[static_cast<std::size_t>(n - 1)]);
        EXPECT_STREQ(kVulnerabilityNames[b.vulnerability], vuls[static_cast<std::size_t>(n - 1)].c_str());
        // 52 distinct cards, 13 per hand, each where the listing puts it.
        for (int seat = 1; seat <= 4; ++seat) {
            EXPECT_EQ(b.cardCount[seat], 13);
            const std::string& hand =
                deals[static_cast<std::size_t>(n - 1)][static_cast<std::size_t>(seat - 1)];
            int suit = 1;
            for (char c : hand) {
                if (c == '.') {
                    ++suit;
                    continue;
                }
                const int rank = static_cast<int>(std::string_view(kRankLetters).find(c)) + 1;
                ASSERT_GT(rank, 0);
                EXPECT_EQ(b.cardOwner[static_cast<std::size_t>(CardCodeOf(suit, rank))], seat) << hand;
            }
        }
    }
    // The event texts of the file (on every board) are taken as they are.
    EXPECT_EQ(set.eventSite, "-");
    EXPECT_NE(set.eventName.find("dealer"), std::string::npos);

    // The same file with CR LF line ends loads the same.
    BoardSet crlf;
    ASSERT_FALSE(Load(ReplaceAll(pbn, "\n", "\r\n"), crlf).has_value());
    for (int n = 1; n <= set.lastBoard; ++n)
        EXPECT_EQ(CompareBoards(crlf[n], set[n]), 2);
}

INSTANTIATE_TEST_SUITE_P(DealerFiles, PbnFromOtherPrograms,
                         ::testing::Values("dealer_rotating", "dealer_west_ew"));
