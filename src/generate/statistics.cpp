#include "generate/statistics.h"

#include "model/similarity.h"

#include <algorithm>
#include <cmath>

namespace orvenix {

namespace {

// Rounds to the nearest whole number with halves to even (the default rounding mode).
int RoundEven(float x) {
    return static_cast<int>(std::nearbyint(x));
}

float Frequency(int index) {
    return kShapeTable[static_cast<std::size_t>(index)].frequency;
}

// The expected number of hands of a shape among `hands` hands, in single precision.
int ExpectedCount(int index, float factor, int count) {
    return RoundEven(Frequency(index) * factor * static_cast<float>(count));
}

std::string RightAlign(const std::string& text, std::size_t width) {
    return text.size() >= width ? text : std::string(width - text.size(), ' ') + text;
}

// A share written as a whole percentage ("#0%"): halves round up.
std::string Percentage(int count, int total) {
    const long long pct = (200LL * count + total) / (2LL * total);
    return std::to_string(pct) + "%";
}

std::string FrequencyText(int count, int total, int seat, int card) {
    return Percentage(count, total) + " " + CardNameUtf8(card) + " " + kSeatLetters[seat - 1];
}

} // namespace

std::string FormatAverage(float x) {
    // "###.#": whole part without a leading zero, one decimal that is left out when it is 0.
    const double tenths = std::round(static_cast<double>(x) * 10.0);
    const bool negative = tenths < 0;
    const auto magnitude = static_cast<long long>(std::fabs(tenths));
    std::string text = negative ? "-" : "";
    if (magnitude / 10 > 0) text += std::to_string(magnitude / 10);
    text += '.';
    if (magnitude % 10 != 0) text += static_cast<char>('0' + magnitude % 10);
    if (text.back() == '.') text += '0';
    if (text.size() < 5) text.insert(0, 5 - text.size(), ' ');
    return text.substr(text.size() - 5);
}

bool ShapesAllowed(const ShapeTally& tally, const Board& candidate, int boardNumber) {
    for (int seat = 1; seat <= 4; ++seat) {
        if (!ShapeAllowed(tally, candidate.shapeIndex[static_cast<std::size_t>(seat)], boardNumber))
            return false;
    }
    return true;
}

bool ShapeAllowed(const ShapeTally& tally, int shapeIndex, int boardNumber) {
    if (shapeIndex < 1 || shapeIndex > kShapeCount) return false;
    const int expected = ExpectedCount(shapeIndex, 8.0F, boardNumber);
    if (tally[static_cast<std::size_t>(shapeIndex)] > expected) return false;
    if (expected == 0) {
        // A shape whose allowance is still 0 is refused once any rarer shape has been accepted.
        for (int k = shapeIndex + 1; k <= kShapeCount + 1; ++k) {
            if (tally[static_cast<std::size_t>(k)] > 0) return false;
        }
    }
    return true;
}

SetStatistics ShapeStatistics(BoardSet& set, ShapeTally& tally) {
    SetStatistics st;
    tally.fill(0);
    set.completedCount = 0;

    int completed = 0;
    int highest = 0; // R: the highest shape index seen
    std::array<int, 5> hcpSum{};
    std::array<int, 5> distribSum{};
    std::array<std::array<int, 53>, 5> held{}; // held[seat][card]: complete boards where the seat holds it

    const int lo = std::max<int>(set.firstBoard, 1);
    const int hi = std::min<int>(set.lastBoard, kMaxBoard);
    for (int b = lo; b <= hi; ++b) {
        const Board& board = set[b];
        if (board.status != kBoardComplete) continue;
        ++completed;
        for (std::size_t seat = 1; seat <= 4; ++seat) {
            const int index = board.shapeIndex[seat];
            if (index >= 1 && index <= kShapeCount) ++tally[static_cast<std::size_t>(index)];
            highest = std::max(highest, index);
            hcpSum[seat] += board.highCardPoints[seat];
            distribSum[seat] += board.distributionPoints[seat];
        }
        for (std::size_t code = 1; code <= kCards; ++code) {
            const int owner = board.cardOwner[code];
            if (owner >= 1 && owner <= 4) ++held[static_cast<std::size_t>(owner)][code];
        }
    }
    set.completedCount = static_cast<std::int16_t>(completed);
    highest = std::min(highest, kShapeCount);

    // Shape rows: up to the rarest shape seen, plus the next one when it is expected at least once.
    if (highest < kShapeCount && ExpectedCount(highest + 1, 4.0F, completed) > 0) ++highest;
    for (int i = 1; i <= highest; ++i) {
        const int actual = tally[static_cast<std::size_t>(i)];
        const int expected = ExpectedCount(i, 4.0F, completed);
        const int difference = actual - expected;
        ShapeRow row;
        row.shape = kShapeTable[static_cast<std::size_t>(i)].text;
        row.actual = RightAlign(std::to_string(actual), 4);
        row.expected = RightAlign(std::to_string(expected), 4);
        row.difference =
            difference > 0 ? "+" + std::to_string(difference) : RightAlign(std::to_string(difference), 3);
        st.rows.push_back(std::move(row));
    }

    if (completed > 0) {
        const auto n = static_cast<float>(completed);
        for (std::size_t seat = 1; seat <= 4; ++seat) {
            st.averageHcp[seat - 1] = FormatAverage(static_cast<float>(hcpSum[seat]) / n);
            st.averageDistrib[seat - 1] = FormatAverage(static_cast<float>(distribSum[seat]) / n);
        }
        int maxCount = 0, maxSeat = 1, maxCard = 1;
        int minCount = 10000, minSeat = 1, minCard = 1;
        for (int seat = 1; seat <= 4; ++seat) {
            for (int card = 1; card <= kCards; ++card) {
                const int c = held[static_cast<std::size_t>(seat)][static_cast<std::size_t>(card)];
                if (c > maxCount) {
                    maxCount = c;
                    maxSeat = seat;
                    maxCard = card;
                }
                if (c < minCount) {
                    minCount = c;
                    minSeat = seat;
                    minCard = card;
                }
            }
        }
        st.maxFrequency = FrequencyText(maxCount, completed, maxSeat, maxCard);
        st.minFrequency = FrequencyText(minCount, completed, minSeat, minCard);
    }

    std::int16_t first = 0;
    std::int16_t second = 0;
    st.innerSimilarity = MaxInnerSimilarity(set, first, second);
    st.innerFirst = first;
    st.innerSecond = second;
    return st;
}

} // namespace orvenix
