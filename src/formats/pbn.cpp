#include "formats/pbn.h"

#include "base/version.h"
#include "formats/event_text.h"
#include "base/text_encoding.h"

#include <array>
#include <cstdint>
#include <cstring>

namespace orvenix {
namespace {

// What the writer puts for an empty event text; read back as an empty text.
constexpr std::string_view kUnknownValue = "<unknown>";
constexpr std::string_view kSeatNames[] = {"", "North", "East", "South", "West"};

// 1 to 13 for the rank letters "AKQJT98765432", 0 for any other byte.
constexpr std::array<std::uint8_t, 256> MakeRankTable() {
    std::array<std::uint8_t, 256> t{};
    for (int r = 0; r < 13; ++r)
        t[static_cast<unsigned char>(kRankLetters[r])] = static_cast<std::uint8_t>(r + 1);
    return t;
}
constexpr std::array<std::uint8_t, 256> kRankOf = MakeRankTable();

bool IsLetter(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}
bool IsNameChar(char c) {
    return IsLetter(c) || (c >= '0' && c <= '9') || c == '_';
}

// The whole UTF-8 character that starts at text[i] (the text is valid UTF-8), for messages.
std::string CharacterAt(std::string_view text, std::size_t i) {
    if (i >= text.size()) return {};
    std::size_t n = 1;
    while (i + n < text.size() && (static_cast<unsigned char>(text[i + n]) & 0xC0U) == 0x80U)
        ++n;
    return std::string(text.substr(i, n));
}

// The value between double quotes, as the invalid-string message shows it.
std::string Quoted(std::string_view value) {
    std::string quoted;
    quoted.reserve(value.size() + 2);
    quoted += '"';
    quoted += value;
    quoted += '"';
    return quoted;
}

FormatError Fault(MessageKey key, std::string main = {}) {
    return FormatError{key, std::move(main), {}};
}

void StoreEvent(std::string& field, std::string_view value) {
    if (value == "#" || value == "##") return;
    if (value == kUnknownValue) value = {};
    StoreEventText(field, value);
}

ReadResult ApplyBoard(std::string_view value, PbnReadState& st, BoardSet& set) {
    st.state = 5;
    int n = 0;
    for (std::size_t i = 0; i < value.size(); ++i) {
        const char c = value[i];
        if (c < '0' || c > '9') return Fault(MsgFmtUnexpectedCharacter, CharacterAt(value, i));
        if (n <= kMaxBoard) n = n * 10 + (c - '0'); // stays above 640 once past it
    }
    if (value.empty() || n < 1 || n > kMaxBoard) return Fault(MsgFmtInvalidBoardNumber);
    st.currentBoard = n;
    ClearBoard(set, n);
    set[n].number = static_cast<std::int16_t>(n);
    return std::nullopt;
}

ReadResult ApplyDeal(std::string_view value, Board& board) {
    if (value.empty()) return Fault(MsgFmtUnexpectedCharacter);
    const char* seatPos = std::strchr(kSeatLetters, value[0]);
    if (value[0] == '\0' || seatPos == nullptr)
        return Fault(MsgFmtUnexpectedCharacter, CharacterAt(value, 0));
    if (value.size() < 2 || value[1] != ':') return Fault(MsgFmtExpectedCharacter, ":");
    int seat = static_cast<int>(seatPos - kSeatLetters) + 1;
    std::size_t i = 2;
    while (i < value.size() && value[i] == ' ')
        ++i;
    int hands = 0;
    while (i < value.size()) {
        if (value[i] == '-') {
            // The dash and the character after it, whatever it is (all bytes of it: the text is UTF-8).
            i += 1 + CharacterAt(value, i + 1).size();
        } else {
            int suit = 0;
            while (i < value.size() && value[i] != ' ') {
                const char c = value[i];
                if (c == '.') {
                    if (++suit > 3) return Fault(MsgFmtTooManySuitChanges);
                } else if (const int rank = kRankOf[static_cast<unsigned char>(c)]; rank != 0) {
                    const auto code = static_cast<std::size_t>(suit * 13 + rank);
                    if (board.cardOwner[code] != 0) return Fault(MsgFmtDuplicateCard, std::string(1, c));
                    board.cardOwner[code] = static_cast<Seat>(seat);
                } else {
                    return Fault(MsgFmtUnexpectedCharacter, CharacterAt(value, i));
                }
                ++i;
            }
        }
        while (i < value.size() && value[i] == ' ')
            ++i;
        if (++hands > 5) return Fault(MsgFmtTooManyHandChanges);
        seat = seat % 4 + 1;
    }
    return std::nullopt;
}

} // namespace

namespace {

enum class Tag { kEvent, kSite, kDate, kBoard, kDealer, kVul, kDeal };

ReadResult ApplyTag(Tag tag, std::string_view value, PbnReadState& st, BoardSet& set) {
    if (tag == Tag::kEvent) {
        StoreEvent(set.eventName, value);
    } else if (tag == Tag::kSite) {
        StoreEvent(set.eventSite, value);
    } else if (tag == Tag::kDate) {
        StoreEvent(set.eventDate, value);
    } else if (tag == Tag::kBoard) {
        return ApplyBoard(value, st, set);
    } else {
        // Tags before the first Board tag act on slot 0, which is never part of a set: a scratch board.
        Board scratch;
        Board& board = st.currentBoard >= 1 && st.currentBoard <= kMaxBoard ? set[st.currentBoard] : scratch;
        if (tag == Tag::kDealer) {
            const char* seat = value.size() == 1 ? std::strchr(kSeatLetters, value[0]) : nullptr;
            if (seat == nullptr || value[0] == '\0') return Fault(MsgFmtInvalidString, Quoted(value));
            board.dealer = static_cast<Seat>(seat - kSeatLetters + 1);
        } else if (tag == Tag::kVul) {
            if (value == "None" || value == "Love" || value == "-") {
                board.vulnerability = 1;
            } else if (value == "NS") {
                board.vulnerability = 2;
            } else if (value == "EW") {
                board.vulnerability = 3;
            } else if (value == "All" || value == "Both") {
                board.vulnerability = 4;
            } else {
                return Fault(MsgFmtInvalidString, Quoted(value));
            }
        } else if (tag == Tag::kDeal) {
            if (st.state != 5) return Fault(MsgFmtTokenOrder);
            st.state = 0;
            return ApplyDeal(value, board);
        }
    }
    return std::nullopt;
}

// The tags the reader takes, by their names in the file.
struct TagName {
    std::string_view name;
    Tag tag;
};
constexpr std::array<TagName, 7> kTags{{{"Event", Tag::kEvent},
                                        {"Site", Tag::kSite},
                                        {"Date", Tag::kDate},
                                        {"Board", Tag::kBoard},
                                        {"Dealer", Tag::kDealer},
                                        {"Vulnerable", Tag::kVul},
                                        {"Deal", Tag::kDeal}}};

} // namespace

ReadResult ApplyPbnTag(std::string_view tagName, std::string_view value, PbnReadState& st, BoardSet& set) {
    if (tagName == "Vul") return ApplyTag(Tag::kVul, value, st, set);
    for (const TagName& t : kTags) {
        if (t.name == tagName && t.tag != Tag::kVul) return ApplyTag(t.tag, value, st, set);
    }
    return std::nullopt;
}

ReadResult ReadPbn(std::string_view bytes, BoardSet& set) {
    set.lastBoard = 0;
    if (bytes.empty()) return Fault(MsgFmtFileEmpty);
    // A valid UTF-8 file is read in place; any other is taken as Latin-1 and converted.
    std::string decoded;
    std::string_view text = bytes;
    if (!IsValidUtf8(bytes)) {
        decoded = DecodeFileText(bytes);
        text = decoded;
    } else {
        set.eventTextsUtf8 = HasNonAscii(bytes);
    }

    PbnReadState st;
    std::size_t lineNumber = 0;
    for (std::size_t start = 0; start < text.size();) {
        // The next line, without its LF or CR LF.
        std::size_t stop = text.find('\n', start);
        if (stop == std::string_view::npos) stop = text.size();
        std::string_view line = text.substr(start, stop - start);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        start = stop + 1;
        ++lineNumber;
        const std::size_t n = line.size();
        ReadResult fault;
        std::size_t i = 0;
        while (!fault && i < n) {
            i = line.find('[', i);
            if (i == std::string_view::npos || i + 1 >= n) break; // no "[" before the last character
            ++i;
            while (i < n && !IsLetter(line[i]))
                ++i;
            if (i + 1 >= n) break;
            // The tag name: the whole run of name characters, compared with the known names.
            std::size_t end = i;
            while (end < n && IsNameChar(line[end]))
                ++end;
            const std::string_view name = line.substr(i, end - i);
            i = end;
            const TagName* tag = nullptr;
            for (const TagName& t : kTags) {
                if (t.name == name) tag = &t;
            }
            if (tag == nullptr) continue; // another tag: skipped
            while (i < n && line[i] != '"' && line[i] != ']')
                ++i;
            if (i >= n || line[i] != '"') {
                fault = Fault(MsgFmtExpectedCharacter, "\"");
                break;
            }
            const std::size_t valueStart = ++i;
            while (i < n && line[i] != '"' && line[i] != ']')
                ++i;
            if (i >= n || line[i] != '"') {
                fault = Fault(MsgFmtExpectedCharacter, "\"");
                break;
            }
            const std::string_view value = line.substr(valueStart, i - valueStart);
            ++i;
            while (i < n && line[i] != ']')
                ++i;
            if (i >= n) {
                fault = Fault(MsgFmtExpectedCharacter, "]");
                break;
            }
            ++i;
            fault = ApplyTag(tag->tag, value, st, set);
        }
        if (fault) {
            fault->second = std::to_string(lineNumber);
            fault->inLine = true;
            return fault;
        }
    }

    set.firstBoard = 0;
    set.lastBoard = 0;
    for (int b = 1; b <= kMaxBoard; ++b) {
        if (set[b].number == 0) continue;
        if (set.firstBoard == 0) set.firstBoard = static_cast<std::int16_t>(b);
        set.lastBoard = static_cast<std::int16_t>(b);
    }
    if (set.lastBoard == 0) {
        set.firstBoard = 1;
        return Fault(MsgFmtFileEmpty);
    }
    for (int b = set.firstBoard; b <= set.lastBoard; ++b)
        AnalyseBoard(set[b]);
    return std::nullopt;
}

bool HasPbnForbiddenCharacters(std::string_view text) {
    return text.find_first_of("[]{}%;\"") != std::string_view::npos;
}

std::string PbnDealValue(const Board& board, int firstSeat) {
    std::string deal;
    deal += kSeatLetters[firstSeat - 1];
    deal += ':';
    for (int k = 0; k < 4; ++k) {
        const int seat = (firstSeat - 1 + k) % 4 + 1;
        int suit = 1;
        bool any = false;
        for (int code = 1; code <= kCards; ++code) {
            if (board.cardOwner[static_cast<std::size_t>(code)] != seat) continue;
            any = true;
            for (; suit < SuitOf(code); ++suit)
                deal += '.';
            deal += CardRankChar[static_cast<std::size_t>(code)];
        }
        if (!any) {
            deal += '-';
        } else {
            for (; suit < 4; ++suit)
                deal += '.';
        }
        if (k < 3) deal += ' ';
    }
    return deal;
}

namespace {

// An event text as a PBN tag value, without the characters that would end the value early.
std::string EventValue(const std::string& text, bool utf8) {
    if (text.empty()) return std::string(kUnknownValue);
    std::string value = EventTextForFile(text, utf8);
    for (char& c : value) {
        if (c == '"' || c == ']') c = '?';
    }
    return value;
}

void TagPair(std::string& out, std::string_view name, std::string_view value) {
    out += '[';
    out += name;
    out += " \"";
    out += value;
    out += "\"]\r\n";
}

} // namespace

std::string WritePbn(const BoardSet& set) {
    std::string out = "% Orvenix ver " + VersionText() + "\r\n";
    if (!set.exists() || set.firstBoard < 1 || set.lastBoard > kMaxBoard) return out;
    out.reserve(static_cast<std::size_t>(set.count()) * 200 + set.eventName.size() + set.eventSite.size() +
                set.eventDate.size());
    const bool utf8 = EventTextsAsUtf8(set);
    for (int b = set.firstBoard; b <= set.lastBoard; ++b) {
        const Board& board = set[b];
        if (b == set.firstBoard) {
            TagPair(out, "Event", EventValue(set.eventName, utf8));
            TagPair(out, "Site", EventValue(set.eventSite, utf8));
            TagPair(out, "Date", EventValue(set.eventDate, utf8));
        } else {
            TagPair(out, "Event", "#");
            TagPair(out, "Site", "#");
            TagPair(out, "Date", "#");
        }
        TagPair(out, "Board", std::to_string(b));
        const int dealer = board.dealer >= 1 && board.dealer <= 4 ? board.dealer : DealerOf(b);
        const int vul =
            board.vulnerability >= 1 && board.vulnerability <= 4 ? board.vulnerability : VulnerabilityOf(b);
        TagPair(out, "Dealer", kSeatNames[dealer].substr(0, 1));
        TagPair(out, "Vulnerable", kVulnerabilityNames[static_cast<std::size_t>(vul)]);
        TagPair(out, "Deal", PbnDealValue(board, dealer));
        out += "\r\n";
    }
    return out;
}

} // namespace orvenix
