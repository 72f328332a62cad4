// Hand shapes: the four suit lengths of a hand, longest first, and the table of the 39 shapes.
#pragma once

#include "model/board.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace orvenix {

inline constexpr char kShapeDigits[] = "0123456789ABCD";
inline constexpr int kShapeCount = 39;

// Four characters of kShapeDigits, longest suit first ("5431").
using HandShape = std::array<char, 4>;

struct ShapeEntry {
    const char* text;
    float frequency;
};

// Index 1..39 in descending frequency; index 0 is unused.
inline constexpr std::array<ShapeEntry, 40> kShapeTable{{
    {"", 0.0F},
    {"4432", 0.215512F},     {"5332", 0.155168F},      {"5431", 0.129307F},     {"5422", 0.105797F},
    {"4333", 0.105361F},     {"6322", 0.0564249F},     {"6421", 0.0470207F},    {"6331", 0.0344819F},
    {"5521", 0.031739F},     {"4441", 0.0299322F},     {"7321", 0.0188083F},    {"6430", 0.0132623F},
    {"5440", 0.0124334F},    {"5530", 0.00895203F},    {"6511", 0.00705311F},   {"6520", 0.00651056F},
    {"7222", 0.00512954F},   {"7411", 0.0039184F},     {"7420", 0.00361698F},   {"7330", 0.00265245F},
    {"8221", 0.00192358F},   {"8311", 0.00117552F},    {"7510", 0.00108509F},   {"8320", 0.00108509F},
    {"6610", 0.000723396F},  {"8410", 0.000452123F},   {"9211", 0.000178109F},  {"9310", 0.000100472F},
    {"9220", 0.0000822041F}, {"7600", 0.0000556459F},  {"8500", 0.000031F},     {"A210", 0.000011F},
    {"9400", 0.00001F},      {"A111", 0.000004F},      {"A300", 0.0000015F},    {"B110", 0.0000002F},
    {"B200", 0.0000001F},    {"C100", 0.000000003F},   {"D000", 0.000000000006F},
}};

// How many hands of each shape index have been counted; entry 40 is never counted.
using ShapeTally = std::array<std::uint16_t, 41>;

// Index 1..39 of the shape, or 0 when it is not in the table.
int FindShape(const HandShape& shape);
int FindShape(std::string_view shape);
// Shape of one seat's hand, built from cardOwner alone.
HandShape GetHandShape(const Board& board, int seat);
inline std::string ShapeText(const HandShape& s) { return {s.begin(), s.end()}; }

} // namespace orvenix
