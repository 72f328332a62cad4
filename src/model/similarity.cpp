#include "model/similarity.h"

#include <algorithm>
#include <bit>
#include <cstring>

#if defined(__SSE2__) || defined(_M_X64)
#include <emmintrin.h>
#define ORVENIX_HAVE_SSE2 1
#endif

namespace orvenix {

HandMasks MasksOf(const Board& board) {
    HandMasks m;
    const std::uint8_t* owner = board.cardOwner.data() + 1; // card codes 1..52
#ifdef ORVENIX_HAVE_SSE2
    // Codes 1..16, 17..32, 33..48 and 37..52 (the last block overlaps so that it stays inside the array).
    const __m128i v0 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(owner));
    const __m128i v1 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(owner + 16));
    const __m128i v2 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(owner + 32));
    const __m128i v3 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(owner + 36));
    for (int s = 0; s < 4; ++s) {
        const __m128i seat = _mm_set1_epi8(static_cast<char>(s + 1));
        const auto b0 =
            static_cast<std::uint64_t>(static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(v0, seat))));
        const auto b1 =
            static_cast<std::uint64_t>(static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(v1, seat))));
        const auto b2 =
            static_cast<std::uint64_t>(static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(v2, seat))));
        const auto b3 =
            static_cast<std::uint64_t>(static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(v3, seat))));
        m.seat[static_cast<std::size_t>(s)] = b0 | (b1 << 16) | (b2 << 32) | ((b3 >> 12) << 48);
    }
#else
    for (int code = 0; code < kCards; ++code) {
        const unsigned s = owner[code];
        if (s >= 1 && s <= 4) m.seat[s - 1] |= std::uint64_t{1} << code;
    }
#endif
    return m;
}

ORVENIX_POPCNT_CLONES int CompareMasks(const HandMasks& a, const HandMasks& b) {
    return CompareMasksInline(a, b);
}

ORVENIX_POPCNT_CLONES int CompareHands(const Board& a, const Board& b) {
    return CompareMasksInline(MasksOf(a), MasksOf(b));
}

ORVENIX_POPCNT_CLONES int MaxInnerSimilarity(const BoardSet& set, std::int16_t& first, std::int16_t& second) {
    first = 0;
    second = 0;
    const int lo = std::max<int>(set.firstBoard, 1);
    const int hi = std::min<int>(set.lastBoard, kMaxBoard);
    if (hi - lo < 1) return 0;
    std::array<HandMasks, kBoardSlots> masks;
    for (int b = lo; b <= hi; ++b)
        masks[static_cast<std::size_t>(b)] = MasksOf(set[b]);
    int best = 0;
    for (int i = lo; i < hi; ++i) {
        const HandMasks& mi = masks[static_cast<std::size_t>(i)];
        for (int j = i + 1; j <= hi; ++j) {
            const int s = CompareMasksInline(mi, masks[static_cast<std::size_t>(j)]);
            if (s > best) {
                best = s;
                first = static_cast<std::int16_t>(i);
                second = static_cast<std::int16_t>(j);
            }
        }
    }
    return best;
}

} // namespace orvenix
