// The static evaluation: the material balance kept by make and take-back, plus a positional
// score from one scan of the board. Terms are summed from White's view and turned round for
// Black at the end.

#include <array>
#include <bit>
#include <cstdlib>

#include "engine/Attacks.h"
#include "engine/EvaluationTables.h"
#include "engine/SearchContext.h"
#include "engine/SquareSets.h"

namespace tavlor {

namespace {

// The positional score of one full evaluation. It visits the pieces through the context's
// square sets; the pawn and rook counts per file come from the same sets.
class TEvaluator {
public:
    explicit TEvaluator(const SearchContext& context)
        : Context(context),
          Board(context.SearchBoard),
          Pieces(context.PieceBits),
          Phase(context.PlyPhase[static_cast<std::size_t>(context.Ply)]),
          Threshold(context.EndgameThreshold) {
        const auto touched = [&](std::int32_t square) {
            return Context.TouchCount[static_cast<std::size_t>(square)] > 0 ? 1 : 0;
        };
        Development[0] = (Context.Castled[0] ? 1 : 0) + touched(sqB1) + touched(sqC1) +
                         touched(sqF1) + touched(sqG1);
        Development[1] = (Context.Castled[1] ? 1 : 0) + touched(sqB8) + touched(sqC8) +
                         touched(sqF8) + touched(sqG8);
    }

    // The positional score from White's view, or nothing when the position is drawn for lack
    // of material.
    bool Score(std::int32_t material, std::int32_t& score) const;

private:
    std::int32_t At(std::int32_t square) const { return Board[static_cast<std::size_t>(square)]; }
    TSquareSet Set(std::size_t colour, std::int32_t type) const {
        return Pieces[colour][static_cast<std::size_t>(type)];
    }
    static bool IsPieceOf(std::int32_t code, std::int32_t side) {
        return side > 0 ? code > 0 && code != spBorder : code < 0;
    }
    // How many pawns of `side` attack the square.
    std::int32_t PawnAttacks(std::int32_t square, std::int32_t side) const {
        const std::int32_t pawn = spPawn * side;
        const std::int32_t below = square - 10 * side;
        return (At(below + 1) == pawn ? 1 : 0) + (At(below - 1) == pawn ? 1 : 0);
    }

    // Each colour's terms are compiled once for it, so that its directions and tables are fixed.
    template <std::size_t colour>
    std::int32_t ColourScore() const;
    template <std::int32_t side>
    std::int32_t PawnTerm(std::int32_t square) const;
    template <std::int32_t side>
    std::int32_t RookTerm(std::int32_t square) const;
    template <std::int32_t side>
    std::int32_t QueenTerm(std::int32_t square) const;
    template <std::int32_t side>
    std::int32_t KingTerm(std::int32_t square) const;

    const SearchContext& Context;
    const std::array<std::int32_t, cSearchBoardSize>& Board;
    const std::array<std::array<TSquareSet, 7>, 2>& Pieces;
    const std::int32_t Phase;
    const std::int32_t Threshold;
    std::array<std::int32_t, 2> Development{};
};

template <std::int32_t side>
std::int32_t TEvaluator::PawnTerm(std::int32_t square) const {
    const auto own = static_cast<std::size_t>(ColourIndex(side));
    const auto enemy = 1 - own;
    const std::int32_t forward = 10 * side;
    const auto file = static_cast<std::size_t>(SquareFile(square));
    const std::int32_t relativeRank = side > 0 ? SquareRank(square) : 9 - SquareRank(square);
    const std::int32_t r = relativeRank + 1;
    const TSquareSet ownPawns = Set(own, spPawn);
    const TSquareSet enemyPawns = Set(enemy, spPawn);
    const bool doubled = HasSeveral(ownPawns & FileSet[file]);

    std::int32_t term;
    if (Phase > Threshold) {
        term = (side > 0 ? WhitePawnTable : BlackPawnTable)[static_cast<std::size_t>(square)];
        const bool wing = file <= 2 || file >= 6;
        if (Development[own] < 4 && wing && r > 4) term -= 15;
    } else {
        term = 4 * r;
    }
    if ((ownPawns & NeighbourFilesSet[file]) == 0) {
        term -= 12;
        if (doubled) term -= 12;
    }
    if (doubled) term -= 15;
    const std::int32_t guards = PawnAttacks(square, side);
    const std::int32_t frontGuards = PawnAttacks(square + forward, side);
    const bool supported = guards > 0 || frontGuards > 0;
    if (supported) term += r;

    if ((enemyPawns & FileSet[file]) != 0) return term;
    const bool enemyRookOnFile = (Set(enemy, spRook) & FileSet[file]) != 0;
    if (guards == 0 && PawnAttacks(square + forward, -side) > frontGuards) {
        term -= 10;
        if (enemyRookOnFile) term -= 8;
        return term;
    }
    const auto bit = static_cast<std::size_t>(BitOfIndex[static_cast<std::size_t>(square)]);
    if ((enemyPawns & PasserGuardSet[own][bit]) != 0) return term;

    // A passed pawn.
    if (Phase < Threshold) {
        term += 16 * r;
        if ((Set(own, spRook) & FileSet[file]) != 0) term += 2 * r;
        if (enemyRookOnFile) term -= 2 * r;
        if (Phase == 0) term += 8 * r;
        if (supported) term += 4 * r;
        if (IsPieceOf(At(square - forward), side) && frontGuards == 0) term -= 4 * r;
    } else {
        term += 8 * r;
        if (supported) term += 2 * r;
    }
    return term;
}

template <std::int32_t side>
std::int32_t TEvaluator::RookTerm(std::int32_t square) const {
    const auto own = static_cast<std::size_t>(ColourIndex(side));
    const auto enemy = 1 - own;
    const auto file = static_cast<std::size_t>(SquareFile(square));
    std::int32_t term = 0;
    if (file >= 3 && file <= 5) term += 4;
    if ((Set(enemy, spPawn) & FileSet[file]) == 0) {
        term += 8;
        if ((Set(own, spPawn) & FileSet[file]) == 0) term += 5;
    }
    // Doubled: the nearest piece up or down the file is a rook of the same colour.
    const auto bit = static_cast<std::size_t>(BitOfIndex[static_cast<std::size_t>(square)]);
    const TSquareSet occupied = Context.ColourBits[0] | Context.ColourBits[1];
    const TSquareSet above = RaySet[cRayUp][bit] & occupied;
    const TSquareSet below = RaySet[cRayDown][bit] & occupied;
    const TSquareSet rooks = Set(own, spRook);
    if ((above != 0 && (rooks >> std::countr_zero(above) & 1) != 0) ||
        (below != 0 && (rooks >> (63 - std::countl_zero(below)) & 1) != 0))
        term += 25;
    return term;
}

template <std::int32_t side>
std::int32_t TEvaluator::QueenTerm(std::int32_t square) const {
    const std::int32_t rank = SquareRank(square);
    if (Development[static_cast<std::size_t>(ColourIndex(side))] < 4)
        return (side > 0 ? rank >= 2 : rank <= 7) ? -15 : 0;
    const std::int32_t king = side > 0 ? Context.BlackKingSquare : Context.WhiteKingSquare;
    return -2 *
           (std::abs(rank - SquareRank(king)) + std::abs(SquareFile(square) - SquareFile(king)));
}

template <std::int32_t side>
std::int32_t TEvaluator::KingTerm(std::int32_t square) const {
    if (Phase < Threshold) return CentreTable[static_cast<std::size_t>(square)];
    const auto own = static_cast<std::size_t>(ColourIndex(side));
    const auto enemy = 1 - own;
    const auto touched = [&](std::int32_t s) {
        return Context.TouchCount[static_cast<std::size_t>(s)] > 0;
    };
    std::int32_t term = 0;
    const bool kingMoved = touched(side > 0 ? sqE1 : sqE8);
    const bool rooksMoved =
        side > 0 ? touched(sqA1) && touched(sqH1) : touched(sqA8) && touched(sqH8);
    if (!Context.Castled[own] && (kingMoved || rooksMoved)) term -= 35;
    term -= 4 * CentreTable[static_cast<std::size_t>(square)];
    const std::int32_t forward = 10 * side;
    const std::int32_t pawn = spPawn * side;
    for (std::int32_t df = -1; df <= 1; ++df) {
        if (At(square + forward + df) == pawn) term += 15;
        if (At(square + 2 * forward + df) == pawn) term += 6;
        const TSquareSet file = FileSet[static_cast<std::size_t>(SquareFile(square) + df)];
        if ((Set(enemy, spPawn) & file) == 0 && (Set(enemy, spRook) & file) != 0) term -= 12;
    }
    return term;
}

// The terms of one colour's pieces, from that colour's view.
template <std::size_t colour>
std::int32_t TEvaluator::ColourScore() const {
    constexpr std::int32_t side = colour == 0 ? 1 : -1;
    std::int32_t s = 0;
    for (TSquareSet set = Set(colour, spPawn); set != 0;)
        s += PawnTerm<side>(PopFirstSquare(set));
    for (TSquareSet set = Set(colour, spRook); set != 0;)
        s += RookTerm<side>(PopFirstSquare(set));
    for (TSquareSet set = Set(colour, spKnight); set != 0;)
        s += CentreTable[static_cast<std::size_t>(PopFirstSquare(set))];
    for (TSquareSet set = Set(colour, spQueen); set != 0;)
        s += QueenTerm<side>(PopFirstSquare(set));
    for (TSquareSet set = Set(colour, spKing); set != 0;)
        s += KingTerm<side>(PopFirstSquare(set));

    // A bishop in front of its d or e pawn blocks it.
    const std::int32_t third = colour == 0 ? 3 : 6;
    for (std::int32_t file : {4, 5}) {
        const std::int32_t square = SearchSquare(file, third);
        if (At(square) == spBishop * side && At(square - 10 * side) == spPawn * side) s -= 20;
    }
    if (HasSeveral(Set(colour, spBishop))) s += 15;

    // Rooks on the seventh (or eighth) rank against a king on the last two ranks.
    const TSquareSet seventh = Set(colour, spRook) & (colour == 0 ? cRanks7And8 : cRanks1And2);
    const std::int32_t enemyKingRank =
        SquareRank(colour == 0 ? Context.BlackKingSquare : Context.WhiteKingSquare);
    const bool kingOnLastRanks = colour == 0 ? enemyKingRank >= 7 : enemyKingRank <= 2;
    if (seventh != 0 && kingOnLastRanks) s += HasSeveral(seventh) ? 35 : 10;
    return s;
}

bool TEvaluator::Score(std::int32_t material, std::int32_t& score) const {
    const auto& value = Context.PieceValue;
    if ((Set(0, spPawn) | Set(1, spPawn)) == 0 &&
        (Phase <= value[spBishop] || Phase == 2 * value[spKnight] ||
         (Phase <= 2 * value[spBishop] && std::abs(material) < value[spPawn])))
        return false;
    score = ColourScore<0>() - ColourScore<1>();
    return true;
}

}  // namespace

std::int32_t Evaluate(SearchContext& context, std::int32_t alpha, std::int32_t beta,
                      std::int32_t side, bool& inCheck) {
    ++context.Nodes;
    const std::int32_t ply = context.Ply;
    if (side > 0) {
        if (IsAttackedBy<1>(context, context.BlackKingSquare)) return MateScore - ply;
        inCheck = IsAttackedBy<-1>(context, context.WhiteKingSquare);
    } else {
        if (IsAttackedBy<-1>(context, context.WhiteKingSquare)) return MateScore - ply;
        inCheck = IsAttackedBy<1>(context, context.BlackKingSquare);
    }
    const std::int32_t material = context.PlyMaterial[static_cast<std::size_t>(ply)];
    if (!context.Positional) return material;

    // The last list made at this ply stands in for the mobility of the side to move.
    const std::int32_t listLength = std::abs(context.PlyEnd[ply - 1] - context.PlyEnd[ply]);
    const std::int32_t mobility = listLength <= 2   ? -25
                                  : listLength <= 4 ? -12
                                  : listLength <= 8 ? -6
                                                    : 0;
    const std::int32_t pawnValue = context.PieceValue[spPawn];
    if (mobility != 0 ||
        context.PlyPhase[static_cast<std::size_t>(ply)] > context.EndgameThreshold / 2) {
        if (material < alpha - pawnValue || material > beta + pawnValue) return material + mobility;
    }

    std::int32_t s = 0;
    if (!TEvaluator(context).Score(material, s)) return 0;
    s += side * mobility;
    if (ply >= 1)
        s -= (context.PlyCentreSum[static_cast<std::size_t>(ply)] -
              context.PlyCentreSum[static_cast<std::size_t>(ply - 1)]) /
             16;
    if (inCheck) s -= 50 * side;
    return material + side * s;
}

}  // namespace tavlor
