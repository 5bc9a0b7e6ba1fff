// The search's own board: setting it up from the game, pseudo-legal move generation with
// ordering scores, picking, making and taking back moves, and the attack test.

#include <array>
#include <cstdlib>

#include "engine/EvaluationTables.h"
#include "engine/SearchContext.h"

namespace tavlor {

namespace {

// Diagonals, lines, knight jumps; a piece type walks the range of its TPieceMoves entry.
constexpr std::array<std::int32_t, 16> cDirections = {-9, -11, 9,   11,  -1,  10,  1,   -10,
                                                      19, 21,  12,  -8,  -19, -21, -12, 8};
struct TPieceMoves {
    std::int32_t First;
    std::int32_t Last;
    bool Slides;
};
constexpr std::array<TPieceMoves, 7> cPieceMoves = {{
    {-1, -1, false},  // none
    {-1, -1, false},  // pawn: moves of its own
    {4, 7, true},     // rook
    {0, 3, true},     // bishop
    {8, 15, false},   // knight
    {0, 7, true},     // queen
    {0, 7, false},    // king
}};

constexpr std::int32_t SearchCode(TPieceCode piece) {
    switch (piece) {
        case cWhitePawn: return spPawn;
        case cWhiteRook: return spRook;
        case cWhiteBishop: return spBishop;
        case cWhiteKnight: return spKnight;
        case cWhiteQueen: return spQueen;
        case cWhiteKing: return spKing;
        case cBlackPawn: return -spPawn;
        case cBlackRook: return -spRook;
        case cBlackBishop: return -spBishop;
        case cBlackKnight: return -spKnight;
        case cBlackQueen: return -spQueen;
        case cBlackKing: return -spKing;
        default: return spEmpty;
    }
}

// True for a piece of the side `side` (+1 White, -1 Black); the border counts for neither.
inline bool IsPieceOf(std::int32_t code, std::int32_t side) {
    return side > 0 ? code > 0 && code != spBorder : code < 0;
}

// The ordering bonus of the main-line move of this ply and of the four killer slots.
inline std::int32_t RememberedMoveBonus(const SearchContext& context, std::int32_t from,
                                        std::int32_t to) {
    const TMainLineMove& mainLine =
        context.MainLineTable[0][static_cast<std::size_t>(context.Ply)];
    if (mainLine.From == from && mainLine.To == to) return 275;
    const auto& killers = context.Killers[static_cast<std::size_t>(context.Ply)];
    for (std::int32_t slot = 0; slot < 4; ++slot) {
        const TKillerMove& killer = killers[static_cast<std::size_t>(slot)];
        if (killer.From == from && killer.To == to) return 250 - 25 * slot;
    }
    return 0;
}

// A full stack keeps what it has: the node is searched with the moves that fit.
inline TSearchMove* NewStackEntry(SearchContext& context) {
    if (context.StackTop >= cMoveStackSize) return nullptr;
    return &context.MoveStack[static_cast<std::size_t>(context.StackTop++)];
}

TSearchMove* AddQuietMove(SearchContext& context, std::int32_t from, std::int32_t to,
                          std::int32_t promoteTo) {
    TSearchMove* move = NewStackEntry(context);
    if (move == nullptr) return nullptr;
    *move = {from, to, 0, promoteTo, 0, 0, RememberedMoveBonus(context, from, to)};
    const std::int32_t piece = context.SearchBoard[static_cast<std::size_t>(from)];
    const std::int32_t type = std::abs(piece);
    if (type >= spRook && type <= spQueen) {
        std::int32_t centre = CentreTable[static_cast<std::size_t>(to)];
        if (type == spKnight) centre += CentreTable[static_cast<std::size_t>(to)] / 4;
        context.PlyCentreSum[static_cast<std::size_t>(context.Ply)] += piece > 0 ? centre : -centre;
    }
    return move;
}

void AddCapture(SearchContext& context, std::int32_t from, std::int32_t to,
                std::int32_t promoteTo) {
    const std::int32_t victim = std::abs(context.SearchBoard[static_cast<std::size_t>(to)]);
    if (victim == spKing) return;
    TSearchMove* move = NewStackEntry(context);
    if (move == nullptr) return;
    const std::int32_t attacker = std::abs(context.SearchBoard[static_cast<std::size_t>(from)]);
    std::int32_t order = context.PieceValue[static_cast<std::size_t>(victim)] -
                         context.PieceValue[static_cast<std::size_t>(attacker)] / 8;
    if (context.Ply > 0 && to == context.PlyTarget[static_cast<std::size_t>(context.Ply)])
        order += 300;
    order += RememberedMoveBonus(context, from, to);
    *move = {from, to, victim, promoteTo, 0, 0, order};
}

void AddEnPassantCapture(SearchContext& context, std::int32_t from, std::int32_t to,
                         std::int32_t capturedPawn) {
    TSearchMove* move = NewStackEntry(context);
    if (move == nullptr) return;
    *move = {from, to, spPawn, 0, 0, capturedPawn, context.PieceValue[spPawn]};
}

// Queen first: the four share one order score and the picker takes the first of equals.
void AddPromotions(SearchContext& context, std::int32_t from, std::int32_t to, std::int32_t side,
                   bool capture) {
    for (std::int32_t type : {spQueen, spKnight, spBishop, spRook}) {
        if (capture)
            AddCapture(context, from, to, type * side);
        else
            AddQuietMove(context, from, to, type * side);
    }
}

void GeneratePawnMoves(SearchContext& context, std::int32_t square, std::int32_t side,
                       std::int32_t depth) {
    const auto& board = context.SearchBoard;
    const std::int32_t forward = 10 * side;
    const std::int32_t rank = SquareRank(square);
    const bool beforePromotion = side > 0 ? rank == 7 : rank == 2;
    const bool onStartRank = side > 0 ? rank == 2 : rank == 7;
    if (board[static_cast<std::size_t>(square + forward)] == spEmpty) {
        if (beforePromotion) {
            AddPromotions(context, square, square + forward, side, false);
        } else if (depth > 0) {
            AddQuietMove(context, square, square + forward, 0);
            if (onStartRank && board[static_cast<std::size_t>(square + 2 * forward)] == spEmpty) {
                TSearchMove* move = AddQuietMove(context, square, square + 2 * forward, 0);
                if (move != nullptr) move->EnPassant = square + forward;
            }
        }
    }
    // White takes towards the h file first, Black towards the a file first.
    for (std::int32_t target : {square + forward + side, square + forward - side}) {
        if (!IsPieceOf(board[static_cast<std::size_t>(target)], -side)) continue;
        if (beforePromotion)
            AddPromotions(context, square, target, side, true);
        else
            AddCapture(context, square, target, 0);
    }
}

void GeneratePieceMoves(SearchContext& context, std::int32_t square, std::int32_t type,
                        std::int32_t side, std::int32_t depth) {
    const auto& board = context.SearchBoard;
    const TPieceMoves& moves = cPieceMoves[static_cast<std::size_t>(type)];
    for (std::int32_t d = moves.First; d <= moves.Last; ++d) {
        const std::int32_t step = cDirections[static_cast<std::size_t>(d)];
        std::int32_t target = square + step;
        while (board[static_cast<std::size_t>(target)] == spEmpty) {
            if (depth > 0) AddQuietMove(context, square, target, 0);
            if (!moves.Slides) break;
            target += step;
        }
        if (IsPieceOf(board[static_cast<std::size_t>(target)], -side))
            AddCapture(context, square, target, 0);
    }
}

void GenerateEnPassant(SearchContext& context, std::int32_t side) {
    const std::int32_t target = context.PlyEnPassant[static_cast<std::size_t>(context.Ply)];
    if (target == 0) return;
    const std::int32_t behind = -10 * side;  // from the target towards the capturing pawn's rank
    for (std::int32_t from : {target + behind + side, target + behind - side}) {
        if (context.SearchBoard[static_cast<std::size_t>(from)] == spPawn * side)
            AddEnPassantCapture(context, from, target, target + behind);
    }
}

void AddCastling(SearchContext& context, std::int32_t kingFrom, std::int32_t kingTo,
                 std::int32_t castle) {
    TSearchMove* move = AddQuietMove(context, kingFrom, kingTo, 0);
    if (move != nullptr) move->Castle = castle;
}

void GenerateCastling(SearchContext& context, std::int32_t side) {
    const auto& board = context.SearchBoard;
    const auto& touched = context.TouchCount;
    const std::int32_t base = side > 0 ? 0 : sqA8 - sqA1;  // rank 8 lies 70 above rank 1
    const std::int32_t e = sqE1 + base;
    if (board[static_cast<std::size_t>(e)] != spKing * side || touched[static_cast<std::size_t>(e)] != 0)
        return;
    const std::int32_t rook = spRook * side;
    const auto empty = [&](std::int32_t square) {
        return board[static_cast<std::size_t>(square)] == spEmpty;
    };
    const auto safe = [&](std::int32_t square) { return !IsAttacked(context, square, -side); };
    const std::int32_t h = sqH1 + base;
    if (board[static_cast<std::size_t>(h)] == rook && touched[static_cast<std::size_t>(h)] == 0 &&
        empty(e + 1) && empty(e + 2) && safe(e) && safe(e + 1) && safe(e + 2))
        AddCastling(context, e, e + 2, 1);
    const std::int32_t a = sqA1 + base;
    if (board[static_cast<std::size_t>(a)] == rook && touched[static_cast<std::size_t>(a)] == 0 &&
        empty(e - 1) && empty(e - 2) && empty(e - 3) && safe(e) && safe(e - 1) && safe(e - 2))
        AddCastling(context, e, e - 2, 2);
}

}  // namespace

TChessMove ToGameMove(std::int32_t from, std::int32_t to, std::int32_t promoteTo) {
    TChessMove move;
    move.FromFile = static_cast<std::uint8_t>(from % 10);
    move.FromRank = static_cast<std::uint8_t>(from / 10 - 1);
    move.ToFile = static_cast<std::uint8_t>(to % 10);
    move.ToRank = static_cast<std::uint8_t>(to / 10 - 1);
    switch (promoteTo) {
        case spQueen: move.Promotion = cWhiteQueen; break;
        case spKnight: move.Promotion = cWhiteKnight; break;
        case spBishop: move.Promotion = cWhiteBishop; break;
        case spRook: move.Promotion = cWhiteRook; break;
        case -spQueen: move.Promotion = cBlackQueen; break;
        case -spKnight: move.Promotion = cBlackKnight; break;
        case -spBishop: move.Promotion = cBlackBishop; break;
        case -spRook: move.Promotion = cBlackRook; break;
        default: move.Promotion = cEmpty; break;
    }
    return move;
}

void InitSearchTables(SearchContext& context) {
    context.SearchBoard.fill(spBorder);
    for (std::int32_t rank = 1; rank <= 8; ++rank)
        for (std::int32_t file = 1; file <= 8; ++file)
            context.SearchBoard[static_cast<std::size_t>(SearchSquare(file, rank))] = spEmpty;
    context.WhiteKingSquare = sqE1;
    context.BlackKingSquare = sqE8;
    context.Castled.fill(false);
    context.TouchCount.fill(0);
    context.MoveStack.fill(TSearchMove{});
    context.StackTop = 0;
    context.PlyEnd = TPlyEndArray{};
    for (auto& killers : context.Killers) killers.fill(TKillerMove{});
    for (auto& row : context.MainLineTable) row.fill(TMainLineMove{});
    context.Ply = 0;
    context.SideToMove = 1;
    context.PlyEnPassant[0] = 0;
    context.PlyMaterial[0] = 0;
}

void ConvertPosition(SearchContext& context, const TChessBoard& board, bool whiteToMove) {
    std::int32_t phase = 0;
    std::int32_t whiteMaterial = 0;
    for (std::int32_t file = 1; file <= 8; ++file) {
        for (std::int32_t rank = 1; rank <= 8; ++rank) {
            const std::int32_t square = SearchSquare(file, rank);
            const std::int32_t code = SearchCode(board.Board[file][rank]);
            context.SearchBoard[static_cast<std::size_t>(square)] = code;
            if (code == spKing) context.WhiteKingSquare = square;
            if (code == -spKing) context.BlackKingSquare = square;
            const std::int32_t type = std::abs(code);
            if (type == spEmpty || type == spKing) continue;
            const std::int32_t value = context.PieceValue[static_cast<std::size_t>(type)];
            whiteMaterial += code > 0 ? value : -value;
            if (type != spPawn) phase += value;
        }
    }
    context.SideToMove = whiteToMove ? 1 : -1;
    context.PlyMaterial[0] = whiteToMove ? whiteMaterial : -whiteMaterial;
    context.PlyPhase[0] = phase;

    // The pawn that has just made a double step can be taken on the square it passed over.
    context.PlyEnPassant[0] = 0;
    const std::int32_t file = board.EnPassantFile;
    if (board.EnPassantPossible && file >= 1 && file <= 8) {
        const std::int32_t pawnRank = whiteToMove ? 5 : 4;
        const std::int32_t pawn = whiteToMove ? -spPawn : spPawn;
        if (context.SearchBoard[static_cast<std::size_t>(SearchSquare(file, pawnRank))] == pawn)
            context.PlyEnPassant[0] = SearchSquare(file, whiteToMove ? 6 : 3);
    }

    // A lost right counts as a rook that has already moved.
    const std::array<std::pair<std::int32_t, std::int32_t>, 4> rookHomes = {{
        {cWhiteKingSide, sqH1},
        {cWhiteQueenSide, sqA1},
        {cBlackKingSide, sqH8},
        {cBlackQueenSide, sqA8},
    }};
    for (const auto& [right, square] : rookHomes)
        if (!board.CastlingRights[right]) context.TouchCount[static_cast<std::size_t>(square)] = 1;
}

void GenerateSearchMoves(SearchContext& context, std::int32_t depth) {
    const std::int32_t ply = context.Ply;
    const std::int32_t side = context.SideToMove;
    context.StackTop = context.PlyEnd[ply - 1];
    context.PlyCentreSum[static_cast<std::size_t>(ply)] = 0;
    for (std::int32_t rank = 1; rank <= 8; ++rank) {
        for (std::int32_t square = SearchSquare(1, rank); square <= SearchSquare(8, rank);
             ++square) {
            const std::int32_t piece = context.SearchBoard[static_cast<std::size_t>(square)];
            if (!IsPieceOf(piece, side)) continue;
            const std::int32_t type = std::abs(piece);
            if (type == spPawn)
                GeneratePawnMoves(context, square, side, depth);
            else
                GeneratePieceMoves(context, square, type, side, depth);
        }
    }
    GenerateEnPassant(context, side);
    GenerateCastling(context, side);
    context.PlyEnd[ply] = context.StackTop;
}

std::int32_t PickNextMove(SearchContext& context) {
    std::int32_t best = -1;
    std::int32_t bestOrder = cPickedOrder;
    const std::int32_t end = context.PlyEnd[context.Ply];
    for (std::int32_t i = context.PlyEnd[context.Ply - 1]; i < end; ++i) {
        const std::int32_t order = context.MoveStack[static_cast<std::size_t>(i)].Order;
        if (order > bestOrder) {
            bestOrder = order;
            best = i;
        }
    }
    if (best >= 0) context.MoveStack[static_cast<std::size_t>(best)].Order = cPickedOrder;
    return best;
}

void MakeSearchMove(SearchContext& context, std::int32_t index) {
    const TSearchMove& move = context.MoveStack[static_cast<std::size_t>(index)];
    auto& board = context.SearchBoard;
    const std::int32_t mover = context.SideToMove;
    const auto ply = static_cast<std::size_t>(++context.Ply);
    context.PlyTarget[ply] = move.To;
    context.PlyEnPassant[ply] = 0;
    std::int32_t material = -context.PlyMaterial[ply - 1];
    std::int32_t phase = context.PlyPhase[ply - 1];
    ++context.TouchCount[static_cast<std::size_t>(move.From)];
    ++context.TouchCount[static_cast<std::size_t>(move.To)];

    const std::int32_t pawnValue = context.PieceValue[spPawn];
    if (move.EnPassant != 0) {
        auto& passed = board[static_cast<std::size_t>(move.EnPassant)];
        if (passed == spEmpty) {
            context.PlyEnPassant[ply] = move.EnPassant;
        } else {
            passed = spEmpty;
            material -= pawnValue;
        }
    } else if (move.Captured != 0) {
        const std::int32_t value = context.PieceValue[static_cast<std::size_t>(move.Captured)];
        material -= value;
        if (value != pawnValue) phase -= value;
    }

    board[static_cast<std::size_t>(move.To)] = board[static_cast<std::size_t>(move.From)];
    board[static_cast<std::size_t>(move.From)] = spEmpty;
    if (move.PromoteTo != 0) {
        board[static_cast<std::size_t>(move.To)] = move.PromoteTo;
        const std::int32_t value =
            context.PieceValue[static_cast<std::size_t>(std::abs(move.PromoteTo))];
        material -= value - pawnValue;
        phase += value;
    } else if (move.Castle == 1) {
        board[static_cast<std::size_t>(move.To + 1)] = spEmpty;
        board[static_cast<std::size_t>(move.To - 1)] = spRook * mover;
        context.Castled[static_cast<std::size_t>(ColourIndex(mover))] = true;
    } else if (move.Castle == 2) {
        board[static_cast<std::size_t>(move.To - 2)] = spEmpty;
        board[static_cast<std::size_t>(move.To + 1)] = spRook * mover;
        context.Castled[static_cast<std::size_t>(ColourIndex(mover))] = true;
    }

    const std::int32_t arrived = board[static_cast<std::size_t>(move.To)];
    if (arrived == spKing)
        context.WhiteKingSquare = move.To;
    else if (arrived == -spKing)
        context.BlackKingSquare = move.To;
    context.PlyMaterial[ply] = material;
    context.PlyPhase[ply] = phase;
    context.SideToMove = -mover;
}

void UnmakeSearchMove(SearchContext& context, std::int32_t index) {
    const TSearchMove& move = context.MoveStack[static_cast<std::size_t>(index)];
    auto& board = context.SearchBoard;
    const std::int32_t mover = -context.SideToMove;
    context.SideToMove = mover;
    --context.Ply;
    board[static_cast<std::size_t>(move.From)] = board[static_cast<std::size_t>(move.To)];
    board[static_cast<std::size_t>(move.To)] = spEmpty;
    if (move.EnPassant != 0 && move.Captured == spPawn)
        board[static_cast<std::size_t>(move.EnPassant)] = -spPawn * mover;
    else if (move.Captured != 0)
        board[static_cast<std::size_t>(move.To)] = -move.Captured * mover;
    --context.TouchCount[static_cast<std::size_t>(move.From)];
    --context.TouchCount[static_cast<std::size_t>(move.To)];
    if (move.Castle == 1) {
        board[static_cast<std::size_t>(move.To + 1)] = spRook * mover;
        board[static_cast<std::size_t>(move.To - 1)] = spEmpty;
        context.Castled[static_cast<std::size_t>(ColourIndex(mover))] = false;
    } else if (move.Castle == 2) {
        board[static_cast<std::size_t>(move.To - 2)] = spRook * mover;
        board[static_cast<std::size_t>(move.To + 1)] = spEmpty;
        context.Castled[static_cast<std::size_t>(ColourIndex(mover))] = false;
    }
    if (move.PromoteTo != 0) board[static_cast<std::size_t>(move.From)] = spPawn * mover;
    const std::int32_t returned = board[static_cast<std::size_t>(move.From)];
    if (returned == spKing)
        context.WhiteKingSquare = move.From;
    else if (returned == -spKing)
        context.BlackKingSquare = move.From;
}

bool IsAttacked(const SearchContext& context, std::int32_t square, std::int32_t colour) {
    const auto& board = context.SearchBoard;
    const auto at = [&](std::int32_t index) { return board[static_cast<std::size_t>(index)]; };
    const std::int32_t pawn = spPawn * colour;
    // A white pawn attacks upwards, so it stands below the square; a black one above it.
    if (at(square - 10 * colour + 1) == pawn || at(square - 10 * colour - 1) == pawn) return true;
    const std::int32_t knight = spKnight * colour;
    for (std::int32_t d = 8; d < 16; ++d)
        if (at(square + cDirections[static_cast<std::size_t>(d)]) == knight) return true;
    for (std::int32_t d = 0; d < 8; ++d) {
        const std::int32_t step = cDirections[static_cast<std::size_t>(d)];
        std::int32_t target = square + step;
        while (at(target) == spEmpty) target += step;
        const std::int32_t piece = at(target);
        if (!IsPieceOf(piece, colour)) continue;
        const std::int32_t type = std::abs(piece);
        if (type == spKing) {
            if (target == square + step) return true;
            continue;
        }
        const TPieceMoves& moves = cPieceMoves[static_cast<std::size_t>(type)];
        if (moves.Slides && d >= moves.First && d <= moves.Last) return true;
    }
    return false;
}

}  // namespace tavlor
