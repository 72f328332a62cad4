// The main window's statistics of the current set: shape rows, average points, card frequencies and the
// inner similarity.
#pragma once

#include "model/shapes.h"
#include "model/board.h"

#include <array>
#include <string>
#include <vector>

namespace orvenix {

struct ShapeRow {
    std::string shape;      // "4432"
    std::string actual;     // right-aligned in 4
    std::string expected;   // right-aligned in 4
    std::string difference; // "+2", " -1", "  0"
};

struct SetStatistics {
    std::vector<ShapeRow> rows;
    std::array<std::string, 4> averageHcp;     // N, E, S, W with FormatAverage; empty when nothing is complete
    std::array<std::string, 4> averageDistrib; // likewise
    std::string maxFrequency;                  // "31% <card> N"; empty when nothing is complete
    std::string minFrequency;
    int innerSimilarity = 0;
    int innerFirst = 0;
    int innerSecond = 0;
};

// Recounts the tally and set.completedCount from the set and computes the summary.
SetStatistics ShapeStatistics(BoardSet& set, ShapeTally& tally);
// "###.#" with a trailing "0" after a bare point, padded left to and cut to 5 characters.
std::string FormatAverage(float x);
// Whether a hand of this shape may join the hands counted in the tally when generating board n.
bool ShapeAllowed(const ShapeTally& tally, int shapeIndex, int boardNumber);
// The shape rule for a whole analysed candidate: every hand's shape is allowed at boardNumber. The
// candidate's own hands are not in the tally while it is judged.
bool ShapesAllowed(const ShapeTally& tally, const Board& candidate, int boardNumber);

} // namespace orvenix
