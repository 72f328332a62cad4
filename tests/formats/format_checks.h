// Short forms for what the format tests compare: a read's fault and a board's number, dealer and
// vulnerability.
#pragma once

#include "formats/format.h"
#include "model/board.h"

#include <string>
#include <tuple>

namespace orvenix::test {

// Message, "***" value and line or record of a fault; kMessageCount for none.
using Fault = std::tuple<int, std::string, std::string>;

inline Fault FaultOf(const ReadResult& r) {
    if (!r) return {kMessageCount, "", ""};
    return {r->key, r->main, r->second};
}

inline const Fault kNoFault{kMessageCount, "", ""};

inline std::tuple<int, int, int> Numbering(const Board& b) {
    return {b.number, b.dealer, b.vulnerability};
}

} // namespace orvenix::test
