// The static evaluation: the material balance kept by make and take-back, plus a positional
// score from one scan of the board. Terms are summed from White's view and turned round for
// Black at the end.

#include <array>
#include <cstdlib>

#include "engine/EvaluationTables.h"
#include "engine/SearchContext.h"

namespace tavlor {

namespace {

// Pawn and rook counts per file index 0..9 (0 and 9 stay empty, so a neighbouring file of the
// a or h file needs no test), and the development of both colours.
struct TStructure {
    std::array<std::array<std::int32_t, 10>, 2> Pawns{};
    std::array<std::array<std::int32_t, 10>, 2> Rooks{};
    std::array<std::int32_t, 2> Development{};
};

class TEvaluator {
public:
    TEvaluator(const SearchContext& context)
        : Context(context),
          Board(context.SearchBoard),
          Phase(context.PlyPhase[static_cast<std::size_t>(context.Ply)]),
          Threshold(context.EndgameThreshold) {}

    // The positional score from White's view, or nothing when the position is drawn for lack
    // of material.
    bool Score(std::int32_t material, std::int32_t& score);

private:
    std::int32_t At(std::int32_t square) const { return Board[static_cast<std::size_t>(square)]; }
    static bool IsPieceOf(std::int32_t code, std::int32_t side) {
        return side > 0 ? code > 0 && code != spBorder : code < 0;
    }
    // How many pawns of `side` attack the square.
    std::int32_t PawnAttacks(std::int32_t square, std::int32_t side) const {
        const std::int32_t pawn = spPawn * side;
        const std::int32_t below = square - 10 * side;
        return (At(below + 1) == pawn ? 1 : 0) + (At(below - 1) == pawn ? 1 : 0);
    }

    void CountStructure();
    std::int32_t PawnTerm(std::int32_t square, std::int32_t side) const;
    std::int32_t RookTerm(std::int32_t square, std::int32_t side);
    std::int32_t QueenTerm(std::int32_t square, std::int32_t side) const;
    std::int32_t KingTerm(std::int32_t square, std::int32_t side) const;

    const SearchContext& Context;
    const std::array<std::int32_t, cSearchBoardSize>& Board;
    const std::int32_t Phase;
    const std::int32_t Threshold;
    TStructure Structure;
    std::array<std::int32_t, 2> SeventhRankRooks{};
    std::array<std::int32_t, 2> Bishops{};
};

void TEvaluator::CountStructure() {
    for (std::int32_t rank = 1; rank <= 8; ++rank) {
        for (std::int32_t file = 1; file <= 8; ++file) {
            const std::int32_t piece = At(SearchSquare(file, rank));
            const auto colour = static_cast<std::size_t>(piece > 0 ? 0 : 1);
            const std::int32_t type = std::abs(piece);
            if (type == spPawn) ++Structure.Pawns[colour][static_cast<std::size_t>(file)];
            if (type == spRook) ++Structure.Rooks[colour][static_cast<std::size_t>(file)];
        }
    }
    const auto touched = [&](std::int32_t square) {
        return Context.TouchCount[static_cast<std::size_t>(square)] > 0 ? 1 : 0;
    };
    Structure.Development[0] = (Context.Castled[0] ? 1 : 0) + touched(sqB1) + touched(sqC1) +
                               touched(sqF1) + touched(sqG1);
    Structure.Development[1] = (Context.Castled[1] ? 1 : 0) + touched(sqB8) + touched(sqC8) +
                               touched(sqF8) + touched(sqG8);
}

std::int32_t TEvaluator::PawnTerm(std::int32_t square, std::int32_t side) const {
    const auto own = static_cast<std::size_t>(ColourIndex(side));
    const auto enemy = 1 - own;
    const std::int32_t forward = 10 * side;
    const std::int32_t file = SquareFile(square);
    const std::int32_t relativeRank = side > 0 ? SquareRank(square) : 9 - SquareRank(square);
    const std::int32_t r = relativeRank + 1;
    const auto& ownPawns = Structure.Pawns[own];
    const std::int32_t ownOnFile = ownPawns[static_cast<std::size_t>(file)];

    std::int32_t term;
    if (Phase > Threshold) {
        term = (side > 0 ? WhitePawnTable : BlackPawnTable)[static_cast<std::size_t>(square)];
        const bool wing = file <= 2 || file >= 6;
        if (Structure.Development[own] < 4 && wing && r > 4) term -= 15;
    } else {
        term = 4 * r;
    }
    if (ownPawns[static_cast<std::size_t>(file - 1)] == 0 &&
        ownPawns[static_cast<std::size_t>(file + 1)] == 0) {
        term -= 12;
        if (ownOnFile > 1) term -= 12;
    }
    if (ownOnFile > 1) term -= 15;
    const std::int32_t guards = PawnAttacks(square, side);
    const std::int32_t frontGuards = PawnAttacks(square + forward, side);
    const bool supported = guards > 0 || frontGuards > 0;
    if (supported) term += r;

    if (Structure.Pawns[enemy][static_cast<std::size_t>(file)] != 0) return term;
    if (guards == 0 && PawnAttacks(square + forward, -side) > frontGuards) {
        term -= 10;
        if (Structure.Rooks[enemy][static_cast<std::size_t>(file)] > 0) term -= 8;
        return term;
    }
    if (PawnAttacks(square, -side) > 0) return term;
    for (std::int32_t ahead = square + forward, rank = relativeRank + 1; rank <= 7;
         ahead += forward, ++rank)
        if (PawnAttacks(ahead, -side) > 0) return term;

    // A passed pawn.
    if (Phase < Threshold) {
        term += 16 * r;
        if (Structure.Rooks[own][static_cast<std::size_t>(file)] > 0) term += 2 * r;
        if (Structure.Rooks[enemy][static_cast<std::size_t>(file)] > 0) term -= 2 * r;
        if (Phase == 0) term += 8 * r;
        if (supported) term += 4 * r;
        if (IsPieceOf(At(square - forward), side) && frontGuards == 0) term -= 4 * r;
    } else {
        term += 8 * r;
        if (supported) term += 2 * r;
    }
    return term;
}

std::int32_t TEvaluator::RookTerm(std::int32_t square, std::int32_t side) {
    const auto own = static_cast<std::size_t>(ColourIndex(side));
    const auto enemy = 1 - own;
    const std::int32_t rank = SquareRank(square);
    const auto file = static_cast<std::size_t>(SquareFile(square));
    if (side > 0 ? rank >= 7 : rank <= 2) ++SeventhRankRooks[own];
    std::int32_t term = 0;
    if (file >= 3 && file <= 5) term += 4;
    if (Structure.Pawns[enemy][file] == 0) {
        term += 8;
        if (Structure.Pawns[own][file] == 0) term += 5;
    }
    const std::int32_t rook = spRook * side;
    std::int32_t up = square + 10;
    while (At(up) == spEmpty) up += 10;
    std::int32_t down = square - 10;
    while (At(down) == spEmpty) down -= 10;
    if (At(up) == rook || At(down) == rook) term += 25;
    return term;
}

std::int32_t TEvaluator::QueenTerm(std::int32_t square, std::int32_t side) const {
    const std::int32_t rank = SquareRank(square);
    if (Structure.Development[static_cast<std::size_t>(ColourIndex(side))] < 4)
        return (side > 0 ? rank >= 2 : rank <= 7) ? -15 : 0;
    const std::int32_t king = side > 0 ? Context.BlackKingSquare : Context.WhiteKingSquare;
    return -2 * (std::abs(rank - SquareRank(king)) +
                 std::abs(SquareFile(square) - SquareFile(king)));
}

std::int32_t TEvaluator::KingTerm(std::int32_t square, std::int32_t side) const {
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
        const auto file = static_cast<std::size_t>(SquareFile(square) + df);
        if (Structure.Pawns[enemy][file] == 0 && Structure.Rooks[enemy][file] > 0) term -= 12;
    }
    return term;
}

bool TEvaluator::Score(std::int32_t material, std::int32_t& score) {
    CountStructure();
    std::int32_t pawns = 0;
    std::int32_t s = 0;
    for (std::int32_t rank = 1; rank <= 8; ++rank) {
        for (std::int32_t square = SearchSquare(1, rank); square <= SearchSquare(8, rank);
             ++square) {
            const std::int32_t piece = At(square);
            if (piece == spEmpty) continue;
            const std::int32_t side = piece > 0 ? 1 : -1;
            switch (std::abs(piece)) {
                case spPawn:
                    s += side * PawnTerm(square, side);
                    ++pawns;
                    break;
                case spRook: s += side * RookTerm(square, side); break;
                case spBishop:
                    if (side > 0 && (square == SearchSquare(4, 3) || square == SearchSquare(5, 3)) &&
                        At(square - 10) == spPawn)
                        s -= 20;
                    if (side < 0 && (square == SearchSquare(4, 6) || square == SearchSquare(5, 6)) &&
                        At(square + 10) == -spPawn)
                        s += 20;
                    ++Bishops[static_cast<std::size_t>(ColourIndex(side))];
                    break;
                case spKnight: s += side * CentreTable[static_cast<std::size_t>(square)]; break;
                case spQueen: s += side * QueenTerm(square, side); break;
                case spKing: s += side * KingTerm(square, side); break;
                default: break;
            }
        }
    }

    const auto& value = Context.PieceValue;
    if (pawns == 0 && (Phase <= value[spBishop] || Phase == 2 * value[spKnight] ||
                       (Phase <= 2 * value[spBishop] && std::abs(material) < value[spPawn])))
        return false;

    if (Bishops[0] >= 2) s += 15;
    if (Bishops[1] >= 2) s -= 15;
    if (SeventhRankRooks[0] >= 1 && SquareRank(Context.BlackKingSquare) >= 7)
        s += SeventhRankRooks[0] >= 2 ? 35 : 10;
    if (SeventhRankRooks[1] >= 1 && SquareRank(Context.WhiteKingSquare) <= 2)
        s -= SeventhRankRooks[1] >= 2 ? 35 : 10;
    score = s;
    return true;
}

}  // namespace

std::int32_t Evaluate(SearchContext& context, std::int32_t alpha, std::int32_t beta,
                      std::int32_t side, bool& inCheck) {
    ++context.Nodes;
    const std::int32_t ply = context.Ply;
    if (side > 0) {
        if (IsAttacked(context, context.BlackKingSquare, 1)) return MateScore - ply;
        inCheck = IsAttacked(context, context.WhiteKingSquare, -1);
    } else {
        if (IsAttacked(context, context.WhiteKingSquare, -1)) return MateScore - ply;
        inCheck = IsAttacked(context, context.BlackKingSquare, 1);
    }
    const std::int32_t material = context.PlyMaterial[static_cast<std::size_t>(ply)];
    if (!context.Positional) return material;

    // The last list made at this ply stands in for the mobility of the side to move.
    const std::int32_t listLength = std::abs(context.PlyEnd[ply - 1] - context.PlyEnd[ply]);
    const std::int32_t mobility =
        listLength <= 2 ? -25 : listLength <= 4 ? -12 : listLength <= 8 ? -6 : 0;
    const std::int32_t pawnValue = context.PieceValue[spPawn];
    if (mobility != 0 ||
        context.PlyPhase[static_cast<std::size_t>(ply)] > context.EndgameThreshold / 2) {
        if (material < alpha - pawnValue || material > beta + pawnValue)
            return material + mobility;
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
