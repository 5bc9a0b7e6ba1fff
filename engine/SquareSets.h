#pragma once

#include <array>
#include <bit>
#include <cstdint>

#include "engine/SearchContext.h"

namespace tavlor {

// Sets of squares as 64-bit masks: bit (rank - 1) * 8 + (file - 1), so a1 is bit 0 and h8 bit 63
// and walking the bits upwards visits the squares rank by rank, files a to h, exactly in the
// order in which the board is scanned.
using TSquareSet = std::uint64_t;

constexpr std::int32_t BitOfSquare(std::int32_t square) {
    return (SquareRank(square) - 1) * 8 + SquareFile(square) - 1;
}
constexpr std::int32_t SquareOfBit(std::int32_t bit) {
    return SearchSquare(bit % 8 + 1, bit / 8 + 1);
}
constexpr TSquareSet SetOf(std::int32_t square) {
    return TSquareSet{1} << BitOfSquare(square);
}

// BitOfSquare as a table over the 120 indices; 255 off the board, no bit of a square set.
inline constexpr std::array<std::uint8_t, cSearchBoardSize> BitOfIndex = [] {
    std::array<std::uint8_t, cSearchBoardSize> bits{};
    bits.fill(255);
    for (std::int32_t bit = 0; bit < 64; ++bit)
        bits[static_cast<std::size_t>(SquareOfBit(bit))] = static_cast<std::uint8_t>(bit);
    return bits;
}();

inline TSquareSet SquareSet(std::int32_t square) {
    return TSquareSet{1} << BitOfIndex[static_cast<std::size_t>(square)];
}

// The lowest square of a non-empty set, removing it from the set.
inline std::int32_t PopFirstSquare(TSquareSet& set) {
    const std::int32_t bit = std::countr_zero(set);
    set &= set - 1;
    return SquareOfBit(bit);
}

// More than one square; cheaper than counting them where the processor has no count instruction.
constexpr bool HasSeveral(TSquareSet set) {
    return (set & (set - 1)) != 0;
}

namespace squaresets {

constexpr TSquareSet Collect(auto&& contains) {
    TSquareSet set = 0;
    for (std::int32_t rank = 1; rank <= 8; ++rank)
        for (std::int32_t file = 1; file <= 8; ++file)
            if (contains(file, rank)) set |= SetOf(SearchSquare(file, rank));
    return set;
}

// Every square reached from `square` by the given steps (file, rank) once, or repeatedly.
constexpr TSquareSet Reach(std::int32_t square, std::int32_t fileStep, std::int32_t rankStep,
                           bool repeat) {
    TSquareSet set = 0;
    std::int32_t file = SquareFile(square) + fileStep;
    std::int32_t rank = SquareRank(square) + rankStep;
    while (file >= 1 && file <= 8 && rank >= 1 && rank <= 8) {
        set |= SetOf(SearchSquare(file, rank));
        if (!repeat) break;
        file += fileStep;
        rank += rankStep;
    }
    return set;
}

template <typename Make>
constexpr std::array<TSquareSet, 64> PerSquare(Make make) {
    std::array<TSquareSet, 64> sets{};
    for (std::int32_t bit = 0; bit < 64; ++bit)
        sets[static_cast<std::size_t>(bit)] = make(SquareOfBit(bit));
    return sets;
}

}  // namespace squaresets

// Files by file index 0..9; 0 and 9 lie off the board and are empty.
inline constexpr std::array<TSquareSet, 10> FileSet = [] {
    std::array<TSquareSet, 10> sets{};
    for (std::int32_t f = 1; f <= 8; ++f)
        sets[static_cast<std::size_t>(f)] =
            squaresets::Collect([f](std::int32_t file, std::int32_t) { return file == f; });
    return sets;
}();

// The files on both sides of a file.
inline constexpr std::array<TSquareSet, 10> NeighbourFilesSet = [] {
    std::array<TSquareSet, 10> sets{};
    for (std::size_t f = 1; f <= 8; ++f)
        sets[f] = FileSet[f - 1] | FileSet[f + 1];
    return sets;
}();

inline constexpr TSquareSet cRanks1And2 =
    squaresets::Collect([](std::int32_t, std::int32_t rank) { return rank <= 2; });
inline constexpr TSquareSet cRanks7And8 =
    squaresets::Collect([](std::int32_t, std::int32_t rank) { return rank >= 7; });

inline constexpr std::array<TSquareSet, 64> KnightReachSet =
    squaresets::PerSquare([](std::int32_t s) {
        TSquareSet set = 0;
        for (const auto& [df, dr] :
             {std::pair{1, 2}, std::pair{2, 1}, std::pair{2, -1}, std::pair{1, -2},
              std::pair{-1, -2}, std::pair{-2, -1}, std::pair{-2, 1}, std::pair{-1, 2}})
            set |= squaresets::Reach(s, df, dr, false);
        return set;
    });

inline constexpr std::array<TSquareSet, 64> KingReachSet =
    squaresets::PerSquare([](std::int32_t s) {
        TSquareSet set = 0;
        for (std::int32_t df = -1; df <= 1; ++df)
            for (std::int32_t dr = -1; dr <= 1; ++dr)
                if (df != 0 || dr != 0) set |= squaresets::Reach(s, df, dr, false);
        return set;
    });

// The ray from a square in each of the eight line directions of the search board, in the order
// of its direction table: the diagonals -9, -11, +9, +11, then the lines -1, +10, +1, -10.
inline constexpr std::array<std::array<TSquareSet, 64>, 8> RaySet = [] {
    constexpr std::array<std::pair<std::int32_t, std::int32_t>, 8> steps = {{
        {1, -1},
        {-1, -1},
        {-1, 1},
        {1, 1},
        {-1, 0},
        {0, 1},
        {1, 0},
        {0, -1},
    }};
    std::array<std::array<TSquareSet, 64>, 8> rays{};
    for (std::size_t d = 0; d < 8; ++d)
        rays[d] = squaresets::PerSquare([&](std::int32_t s) {
            return squaresets::Reach(s, steps[d].first, steps[d].second, true);
        });
    return rays;
}();

// Whether a ray runs towards higher squares (its bits rise as it goes).
inline constexpr std::array<bool, 8> RayClimbs = {false, false, true, true,
                                                  false, true,  true, false};

inline constexpr std::size_t cRayUp = 5;    // +10, towards rank 8
inline constexpr std::size_t cRayDown = 7;  // -10, towards rank 1

// All four diagonal rays of a square, and all four lines.
inline constexpr std::array<TSquareSet, 64> DiagonalReachSet = [] {
    std::array<TSquareSet, 64> sets{};
    for (std::size_t bit = 0; bit < 64; ++bit)
        sets[bit] = RaySet[0][bit] | RaySet[1][bit] | RaySet[2][bit] | RaySet[3][bit];
    return sets;
}();
inline constexpr std::array<TSquareSet, 64> LineReachSet = [] {
    std::array<TSquareSet, 64> sets{};
    for (std::size_t bit = 0; bit < 64; ++bit)
        sets[bit] = RaySet[4][bit] | RaySet[5][bit] | RaySet[6][bit] | RaySet[7][bit];
    return sets;
}();

// The squares from which an enemy pawn could attack a pawn's square or a square in front of it
// up to its seventh rank: the neighbouring files, ahead of the pawn. [0] for a white pawn.
inline constexpr std::array<std::array<TSquareSet, 64>, 2> PasserGuardSet = [] {
    std::array<std::array<TSquareSet, 64>, 2> sets{};
    sets[0] = squaresets::PerSquare([](std::int32_t s) {
        const std::int32_t f = SquareFile(s);
        const std::int32_t r = SquareRank(s);
        return squaresets::Collect([&](std::int32_t file, std::int32_t rank) {
            return (file == f - 1 || file == f + 1) && rank > r;
        });
    });
    sets[1] = squaresets::PerSquare([](std::int32_t s) {
        const std::int32_t f = SquareFile(s);
        const std::int32_t r = SquareRank(s);
        return squaresets::Collect([&](std::int32_t file, std::int32_t rank) {
            return (file == f - 1 || file == f + 1) && rank < r;
        });
    });
    return sets;
}();

static_assert(BitOfSquare(sqA1) == 0 && BitOfSquare(sqH8) == 63 && SquareOfBit(4) == sqE1);
static_assert(KnightReachSet[0] == (SetOf(SearchSquare(2, 3)) | SetOf(SearchSquare(3, 2))));
static_assert(RaySet[5][0] == (FileSet[1] & ~SetOf(sqA1)));

}  // namespace tavlor
