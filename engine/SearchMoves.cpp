// The search's own board: setting it up from the game, pseudo-legal move generation with
// ordering scores, picking, making and taking back moves, and the attack test.

#include <array>
#include <bit>
#include <cassert>
#include <cstdlib>

#include "engine/Attacks.h"
#include "engine/EvaluationTables.h"
#include "engine/SearchContext.h"
#include "engine/SquareSets.h"

namespace tavlor {

namespace {

// Diagonals, lines, knight jumps; a piece type walks the range of its TPieceMoves entry.
constexpr std::array<std::int32_t, 16> cDirections = {-9, -11, 9,  11, -1,  10,  1,   -10,
                                                      19, 21,  12, -8, -19, -21, -12, 8};
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
        case cWhitePawn:
            return spPawn;
        case cWhiteRook:
            return spRook;
        case cWhiteBishop:
            return spBishop;
        case cWhiteKnight:
            return spKnight;
        case cWhiteQueen:
            return spQueen;
        case cWhiteKing:
            return spKing;
        case cBlackPawn:
            return -spPawn;
        case cBlackRook:
            return -spRook;
        case cBlackBishop:
            return -spBishop;
        case cBlackKnight:
            return -spKnight;
        case cBlackQueen:
            return -spQueen;
        case cBlackKing:
            return -spKing;
        default:
            return spEmpty;
    }
}

// True for a piece of the side `side` (+1 White, -1 Black); the border counts for neither.
inline bool IsPieceOf(std::int32_t code, std::int32_t side) {
    return side > 0 ? code > 0 && code != spBorder : code < 0;
}

// Adds the moves of one ply to the move stack. The main-line move and the killers of the ply
// are read once; the stack top and the centre sum stay in locals until the list is done. It is
// compiled once for each side to move, so that the pawn directions are fixed.
template <std::int32_t Side>
class TMoveGenerator {
public:
    TMoveGenerator(SearchContext& context, std::int32_t depth)
        : Context(context),
          Board(context.SearchBoard),
          PieceValue(context.PieceValue),
          Ply(context.Ply),
          Quiet(depth > 0),
          RecaptureSquare(context.Ply > 0 ? context.PlyTarget[static_cast<std::size_t>(context.Ply)]
                                          : -1),
          Top(context.PlyEnd[context.Ply - 1]) {
        const TMainLineMove& mainLine = context.MainLineTable[0][static_cast<std::size_t>(Ply)];
        Remember(mainLine.From, mainLine.To, 275);
        const auto& killers = context.Killers[static_cast<std::size_t>(Ply)];
        for (std::int32_t slot = 0; slot < 4; ++slot) {
            const TKillerMove& killer = killers[static_cast<std::size_t>(slot)];
            Remember(killer.From, killer.To, 250 - 25 * slot);
        }
    }

    void Run() {
        for (TSquareSet own = Context.ColourBits[static_cast<std::size_t>(ColourIndex(Side))];
             own != 0;) {
            const std::int32_t square = PopFirstSquare(own);
            const std::int32_t type = std::abs(At(square));
            if (type == spPawn)
                PawnMoves(square);
            else
                PieceMoves(square, type);
        }
        EnPassant();
        Castling();
        Context.StackTop = Top;
        Context.PlyEnd[Ply] = Top;
        Context.PlyCentreSum[static_cast<std::size_t>(Ply)] = CentreSum;
        Context.PlyFirstPick[static_cast<std::size_t>(Ply)] = FirstPick;
    }

private:
    std::int32_t At(std::int32_t square) const { return Board[static_cast<std::size_t>(square)]; }

    // The main-line move first, then the killers in slot order: the first match counts.
    void Remember(std::int32_t from, std::int32_t to, std::int32_t bonus) {
        if (from == 0) return;  // an empty slot matches no move
        Remembered[static_cast<std::size_t>(RememberedCount++)] = {from, to, bonus};
        if (IsBoardSquare(from)) RememberedFrom |= SquareSet(from);
    }

    // Usually no remembered move starts on the square of the piece whose moves come next, and
    // then none of its moves needs a comparison.
    void StartPiece(std::int32_t from) {
        PieceFrom = (RememberedFrom & SquareSet(from)) != 0 ? from : 0;
    }

    std::int32_t Bonus(std::int32_t to) const {
        if (PieceFrom == 0) return 0;
        for (std::int32_t i = 0; i < RememberedCount; ++i) {
            const TRemembered& entry = Remembered[static_cast<std::size_t>(i)];
            if (entry.From == PieceFrom && entry.To == to) return entry.Bonus;
        }
        return 0;
    }

    // A full stack keeps what it has: the node is searched with the moves that fit.
    TSearchMove* NewEntry() {
        if (Top >= cMoveStackSize) return nullptr;
        return &Context.MoveStack[static_cast<std::size_t>(Top++)];
    }

    // The picker's first answer is known once the list is complete: the first of the highest.
    void NoteOrder(std::int32_t order) {
        if (order > FirstPickOrder) {
            FirstPickOrder = order;
            FirstPick = Top - 1;
        }
    }

    TSearchMove* AddQuiet(std::int32_t from, std::int32_t to, std::int32_t promoteTo) {
        TSearchMove* move = NewEntry();
        if (move == nullptr) return nullptr;
        *move = {from, to, 0, promoteTo, 0, 0, Bonus(to)};
        NoteOrder(move->Order);
        const std::int32_t piece = At(from);
        const std::int32_t type = std::abs(piece);
        if (type >= spRook && type <= spQueen) {
            std::int32_t centre = CentreTable[static_cast<std::size_t>(to)];
            if (type == spKnight) centre += CentreTable[static_cast<std::size_t>(to)] / 4;
            CentreSum += piece > 0 ? centre : -centre;
        }
        return move;
    }

    void AddCapture(std::int32_t from, std::int32_t to, std::int32_t promoteTo) {
        const std::int32_t victim = std::abs(At(to));
        if (victim == spKing) return;
        TSearchMove* move = NewEntry();
        if (move == nullptr) return;
        std::int32_t order = PieceValue[static_cast<std::size_t>(victim)] -
                             PieceValue[static_cast<std::size_t>(std::abs(At(from)))] / 8;
        if (to == RecaptureSquare) order += 300;
        order += Bonus(to);
        *move = {from, to, victim, promoteTo, 0, 0, order};
        NoteOrder(order);
    }

    // Queen first: the four share one order score and the picker takes the first of equals.
    void AddPromotions(std::int32_t from, std::int32_t to, bool capture) {
        for (std::int32_t type : {spQueen, spKnight, spBishop, spRook}) {
            if (capture)
                AddCapture(from, to, type * Side);
            else
                AddQuiet(from, to, type * Side);
        }
    }

    void PawnMoves(std::int32_t square) {
        StartPiece(square);
        const std::int32_t forward = 10 * Side;
        const std::int32_t rank = SquareRank(square);
        const bool beforePromotion = Side > 0 ? rank == 7 : rank == 2;
        if (At(square + forward) == spEmpty) {
            if (beforePromotion) {
                AddPromotions(square, square + forward, false);
            } else if (Quiet) {
                AddQuiet(square, square + forward, 0);
                const bool onStartRank = Side > 0 ? rank == 2 : rank == 7;
                if (onStartRank && At(square + 2 * forward) == spEmpty) {
                    TSearchMove* move = AddQuiet(square, square + 2 * forward, 0);
                    if (move != nullptr) move->EnPassant = square + forward;
                }
            }
        }
        // White takes towards the h file first, Black towards the a file first.
        PawnCapture(square, square + forward + Side, beforePromotion);
        PawnCapture(square, square + forward - Side, beforePromotion);
    }

    void PawnCapture(std::int32_t from, std::int32_t target, bool promotes) {
        if (!IsPieceOf(At(target), -Side)) return;
        if (promotes)
            AddPromotions(from, target, true);
        else
            AddCapture(from, target, 0);
    }

    void PieceMoves(std::int32_t square, std::int32_t type) {
        StartPiece(square);
        if (!Quiet) {
            Captures(square, type);
            return;
        }
        const TPieceMoves& moves = cPieceMoves[static_cast<std::size_t>(type)];
        for (std::int32_t d = moves.First; d <= moves.Last; ++d) {
            const std::int32_t step = cDirections[static_cast<std::size_t>(d)];
            std::int32_t target = square + step;
            while (At(target) == spEmpty) {
                AddQuiet(square, target, 0);
                if (!moves.Slides) break;
                target += step;
            }
            if (IsPieceOf(At(target), -Side)) AddCapture(square, target, 0);
        }
    }

    // Below the horizon only the captures count. The square sets find where a sliding piece's
    // walk would stop without stepping over the empty squares; the directions keep their order.
    void Captures(std::int32_t square, std::int32_t type) {
        const auto bit = static_cast<std::size_t>(BitOfIndex[static_cast<std::size_t>(square)]);
        const TSquareSet enemies = Context.ColourBits[static_cast<std::size_t>(ColourIndex(-Side))];
        const TPieceMoves& moves = cPieceMoves[static_cast<std::size_t>(type)];
        if (!moves.Slides) {
            const TSquareSet reach = type == spKnight ? KnightReachSet[bit] : KingReachSet[bit];
            if ((reach & enemies) == 0) return;
            for (std::int32_t d = moves.First; d <= moves.Last; ++d) {
                const std::int32_t target = square + cDirections[static_cast<std::size_t>(d)];
                if (IsPieceOf(At(target), -Side)) AddCapture(square, target, 0);
            }
            return;
        }
        const TSquareSet occupied = Context.ColourBits[0] | Context.ColourBits[1];
        for (std::int32_t d = moves.First; d <= moves.Last; ++d) {
            const TSquareSet blockers = RaySet[static_cast<std::size_t>(d)][bit] & occupied;
            if ((blockers & enemies) == 0) continue;
            // Steps that raise the index run towards higher bits.
            const std::int32_t first = cDirections[static_cast<std::size_t>(d)] > 0
                                           ? std::countr_zero(blockers)
                                           : 63 - std::countl_zero(blockers);
            if ((enemies >> first & 1) != 0) AddCapture(square, SquareOfBit(first), 0);
        }
    }

    void EnPassant() {
        const std::int32_t target = Context.PlyEnPassant[static_cast<std::size_t>(Ply)];
        // The capturing pawn lands on the square passed over, which must be empty: moving onto a
        // piece there would overwrite it behind the back of the square sets.
        if (target == 0 || At(target) != spEmpty) return;
        const std::int32_t behind = -10 * Side;  // towards the capturing pawns' rank
        for (std::int32_t from : {target + behind + Side, target + behind - Side}) {
            if (At(from) != spPawn * Side) continue;
            TSearchMove* move = NewEntry();
            if (move == nullptr) continue;
            *move = {from, target, spPawn, 0, 0, target + behind, PieceValue[spPawn]};
            NoteOrder(move->Order);
        }
    }

    void AddCastling(std::int32_t kingFrom, std::int32_t kingTo, std::int32_t castle) {
        StartPiece(kingFrom);
        TSearchMove* move = AddQuiet(kingFrom, kingTo, 0);
        if (move != nullptr) move->Castle = castle;
    }

    void Castling() {
        // cppcheck-suppress constVariable ; it is a reference to a const array already
        const auto& touched = Context.TouchCount;
        const std::int32_t base = Side > 0 ? 0 : sqA8 - sqA1;  // rank 8 lies 70 above rank 1
        const std::int32_t e = sqE1 + base;
        if (At(e) != spKing * Side || touched[static_cast<std::size_t>(e)] != 0) return;
        const std::int32_t rook = spRook * Side;
        const auto empty = [&](std::int32_t square) { return At(square) == spEmpty; };
        const auto safe = [&](std::int32_t square) {
            return !IsAttackedBy<-Side>(Context, square);
        };
        const std::int32_t h = sqH1 + base;
        if (At(h) == rook && touched[static_cast<std::size_t>(h)] == 0 && empty(e + 1) &&
            empty(e + 2) && safe(e) && safe(e + 1) && safe(e + 2))
            AddCastling(e, e + 2, 1);
        const std::int32_t a = sqA1 + base;
        if (At(a) == rook && touched[static_cast<std::size_t>(a)] == 0 && empty(e - 1) &&
            empty(e - 2) && empty(e - 3) && safe(e) && safe(e - 1) && safe(e - 2))
            AddCastling(e, e - 2, 2);
    }

    SearchContext& Context;
    const std::array<std::int32_t, cSearchBoardSize>& Board;
    const std::array<std::int32_t, 7>& PieceValue;
    const std::int32_t Ply;
    const bool Quiet;
    const std::int32_t RecaptureSquare;
    std::int32_t Top;
    std::int32_t CentreSum = 0;
    struct TRemembered {
        std::int32_t From;
        std::int32_t To;
        std::int32_t Bonus;
    };
    std::array<TRemembered, 5> Remembered;
    std::int32_t RememberedCount = 0;
    TSquareSet RememberedFrom = 0;
    std::int32_t PieceFrom = 0;
    std::int32_t FirstPick = -1;
    std::int32_t FirstPickOrder = cPickedOrder;
};

// Keeps the square sets in step with a piece of `type` and colour `colour` appearing on or
// leaving the squares of `squares`.
inline void TogglePieces(SearchContext& context, std::int32_t colour, std::int32_t type,
                         TSquareSet squares) {
    const auto c = static_cast<std::size_t>(colour);
    context.ColourBits[c] ^= squares;
    context.PieceBits[c][static_cast<std::size_t>(type)] ^= squares;
}

}  // namespace

TChessMove ToGameMove(std::int32_t from, std::int32_t to, std::int32_t promoteTo) {
    TChessMove move;
    move.FromFile = static_cast<std::uint8_t>(from % 10);
    move.FromRank = static_cast<std::uint8_t>(from / 10 - 1);
    move.ToFile = static_cast<std::uint8_t>(to % 10);
    move.ToRank = static_cast<std::uint8_t>(to / 10 - 1);
    switch (promoteTo) {
        case spQueen:
            move.Promotion = cWhiteQueen;
            break;
        case spKnight:
            move.Promotion = cWhiteKnight;
            break;
        case spBishop:
            move.Promotion = cWhiteBishop;
            break;
        case spRook:
            move.Promotion = cWhiteRook;
            break;
        case -spQueen:
            move.Promotion = cBlackQueen;
            break;
        case -spKnight:
            move.Promotion = cBlackKnight;
            break;
        case -spBishop:
            move.Promotion = cBlackBishop;
            break;
        case -spRook:
            move.Promotion = cBlackRook;
            break;
        default:
            move.Promotion = cEmpty;
            break;
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
    for (auto& sets : context.PieceBits)
        sets.fill(0);
    context.ColourBits.fill(0);
    context.MoveStack.fill(TSearchMove{});
    context.StackTop = 0;
    context.PlyEnd = TPlyEndArray{};
    context.PlyFirstPick.fill(cFirstPickTaken);
    for (auto& killers : context.Killers)
        killers.fill(TKillerMove{});
    for (auto& row : context.MainLineTable)
        row.fill(TMainLineMove{});
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
            if (type != spEmpty) TogglePieces(context, ColourIndex(code), type, SquareSet(square));
            if (type == spEmpty || type == spKing) continue;
            const std::int32_t value = context.PieceValue[static_cast<std::size_t>(type)];
            whiteMaterial += code > 0 ? value : -value;
            if (type != spPawn) phase += value;
        }
    }
    context.SideToMove = whiteToMove ? 1 : -1;
    context.PlyMaterial[0] = whiteToMove ? whiteMaterial : -whiteMaterial;
    context.PlyPhase[0] = phase;

    // The pawn that has just made a double step can be taken on the square it passed over. A
    // game whose record was made without a legality test may claim the right with no such pawn
    // or with a piece on that square; the right is then dropped.
    context.PlyEnPassant[0] = 0;
    const std::int32_t file = board.EnPassantFile;
    if (board.EnPassantPossible && file >= 1 && file <= 8) {
        const std::int32_t pawnRank = whiteToMove ? 5 : 4;
        const std::int32_t pawn = whiteToMove ? -spPawn : spPawn;
        const std::int32_t passed = SearchSquare(file, whiteToMove ? 6 : 3);
        if (context.SearchBoard[static_cast<std::size_t>(SearchSquare(file, pawnRank))] == pawn &&
            context.SearchBoard[static_cast<std::size_t>(passed)] == spEmpty)
            context.PlyEnPassant[0] = passed;
    }
    assert(KeptStateMatchesBoard(context));

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
    if (context.SideToMove > 0)
        TMoveGenerator<1>(context, depth).Run();
    else
        TMoveGenerator<-1>(context, depth).Run();
}

// The answers of repeated picking, first of the highest each time, are the unpicked moves in a
// stable sort by falling order, because a ply's orders do not change while its moves are
// searched. The first answer is known from the generation; on the second call the rest are
// sorted once (insertion sort: most orders are equal, so few entries move) and then handed out
// in turn, which spares a scan of the whole list at every call of a node that tries many moves.
std::int32_t PickNextMove(SearchContext& context) {
    const auto ply = static_cast<std::size_t>(context.Ply);
    std::int32_t& state = context.PlyFirstPick[ply];
    auto& moves = context.MoveStack;
    if (state >= -1) {
        const std::int32_t first = state;
        state = cFirstPickTaken;
        if (first >= 0) moves[static_cast<std::size_t>(first)].Order = cPickedOrder;
        return first;
    }
    std::int32_t& cursor = context.PlyPickCursor[ply];
    std::int32_t& sortedEnd = context.PlyPickEnd[ply];
    if (state == cFirstPickTaken) {
        state = cPicksSorted;
        const std::int32_t start = context.PlyEnd[context.Ply - 1];
        const std::int32_t end = context.PlyEnd[context.Ply];
        auto& sorted = context.PickList;
        std::int32_t count = start;
        for (std::int32_t i = start; i < end; ++i) {
            const std::int32_t order = moves[static_cast<std::size_t>(i)].Order;
            if (order == cPickedOrder) continue;
            std::int32_t j = count++;
            while (j > start &&
                   moves[static_cast<std::size_t>(sorted[static_cast<std::size_t>(j - 1)])].Order <
                       order) {
                sorted[static_cast<std::size_t>(j)] = sorted[static_cast<std::size_t>(j - 1)];
                --j;
            }
            sorted[static_cast<std::size_t>(j)] = i;
        }
        cursor = start;
        sortedEnd = count;
    }
    if (cursor >= sortedEnd) return -1;
    const std::int32_t index = context.PickList[static_cast<std::size_t>(cursor++)];
    moves[static_cast<std::size_t>(index)].Order = cPickedOrder;
    return index;
}

void MakeSearchMove(SearchContext& context, std::int32_t index) {
    const TSearchMove& move = context.MoveStack[static_cast<std::size_t>(index)];
    auto& board = context.SearchBoard;
    const std::int32_t mover = context.SideToMove;
    const std::int32_t own = ColourIndex(mover);
    const std::int32_t enemy = 1 - own;
    const TSquareSet toSet = SquareSet(move.To);
    TogglePieces(context, own, std::abs(board[static_cast<std::size_t>(move.From)]),
                 SquareSet(move.From) | toSet);
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
            TogglePieces(context, enemy, spPawn, SquareSet(move.EnPassant));
        }
    } else if (move.Captured != 0) {
        const std::int32_t value = context.PieceValue[static_cast<std::size_t>(move.Captured)];
        material -= value;
        if (value != pawnValue) phase -= value;
        TogglePieces(context, enemy, move.Captured, toSet);
    }

    board[static_cast<std::size_t>(move.To)] = board[static_cast<std::size_t>(move.From)];
    board[static_cast<std::size_t>(move.From)] = spEmpty;
    if (move.PromoteTo != 0) {
        board[static_cast<std::size_t>(move.To)] = move.PromoteTo;
        const std::int32_t value =
            context.PieceValue[static_cast<std::size_t>(std::abs(move.PromoteTo))];
        material -= value - pawnValue;
        phase += value;
        context.PieceBits[static_cast<std::size_t>(own)][spPawn] ^= toSet;
        context.PieceBits[static_cast<std::size_t>(own)]
                         [static_cast<std::size_t>(std::abs(move.PromoteTo))] ^= toSet;
    } else if (move.Castle == 1) {
        board[static_cast<std::size_t>(move.To + 1)] = spEmpty;
        board[static_cast<std::size_t>(move.To - 1)] = spRook * mover;
        TogglePieces(context, own, spRook, SquareSet(move.To + 1) | SquareSet(move.To - 1));
        context.Castled[static_cast<std::size_t>(own)] = true;
    } else if (move.Castle == 2) {
        board[static_cast<std::size_t>(move.To - 2)] = spEmpty;
        board[static_cast<std::size_t>(move.To + 1)] = spRook * mover;
        TogglePieces(context, own, spRook, SquareSet(move.To - 2) | SquareSet(move.To + 1));
        context.Castled[static_cast<std::size_t>(own)] = true;
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
    const std::int32_t own = ColourIndex(mover);
    const std::int32_t enemy = 1 - own;
    const TSquareSet fromSet = SquareSet(move.From);
    const TSquareSet toSet = SquareSet(move.To);
    if (move.PromoteTo != 0) {
        context.ColourBits[static_cast<std::size_t>(own)] ^= fromSet | toSet;
        context.PieceBits[static_cast<std::size_t>(own)][spPawn] ^= fromSet;
        context.PieceBits[static_cast<std::size_t>(own)]
                         [static_cast<std::size_t>(std::abs(move.PromoteTo))] ^= toSet;
    } else {
        TogglePieces(context, own, std::abs(board[static_cast<std::size_t>(move.To)]),
                     fromSet | toSet);
    }
    context.SideToMove = mover;
    --context.Ply;
    board[static_cast<std::size_t>(move.From)] = board[static_cast<std::size_t>(move.To)];
    board[static_cast<std::size_t>(move.To)] = spEmpty;
    if (move.EnPassant != 0 && move.Captured == spPawn) {
        board[static_cast<std::size_t>(move.EnPassant)] = -spPawn * mover;
        TogglePieces(context, enemy, spPawn, SquareSet(move.EnPassant));
    } else if (move.Captured != 0) {
        board[static_cast<std::size_t>(move.To)] = -move.Captured * mover;
        TogglePieces(context, enemy, move.Captured, toSet);
    }
    --context.TouchCount[static_cast<std::size_t>(move.From)];
    --context.TouchCount[static_cast<std::size_t>(move.To)];
    if (move.Castle == 1) {
        board[static_cast<std::size_t>(move.To + 1)] = spRook * mover;
        board[static_cast<std::size_t>(move.To - 1)] = spEmpty;
        TogglePieces(context, own, spRook, SquareSet(move.To + 1) | SquareSet(move.To - 1));
        context.Castled[static_cast<std::size_t>(own)] = false;
    } else if (move.Castle == 2) {
        board[static_cast<std::size_t>(move.To - 2)] = spRook * mover;
        board[static_cast<std::size_t>(move.To + 1)] = spEmpty;
        TogglePieces(context, own, spRook, SquareSet(move.To - 2) | SquareSet(move.To + 1));
        context.Castled[static_cast<std::size_t>(own)] = false;
    }
    if (move.PromoteTo != 0) board[static_cast<std::size_t>(move.From)] = spPawn * mover;
    const std::int32_t returned = board[static_cast<std::size_t>(move.From)];
    if (returned == spKing)
        context.WhiteKingSquare = move.From;
    else if (returned == -spKing)
        context.BlackKingSquare = move.From;
}

bool KeptStateMatchesBoard(const SearchContext& context) {
    std::array<std::array<std::uint64_t, 7>, 2> pieces{};
    std::array<std::uint64_t, 2> colours{};
    std::int32_t material = 0;
    std::int32_t phase = 0;
    for (std::int32_t bit = 0; bit < 64; ++bit) {
        const std::int32_t code = context.SearchBoard[static_cast<std::size_t>(SquareOfBit(bit))];
        if (code == spEmpty) continue;
        const std::int32_t type = std::abs(code);
        if (type > spKing) return false;
        const auto colour = static_cast<std::size_t>(ColourIndex(code));
        pieces[colour][static_cast<std::size_t>(type)] |= TSquareSet{1} << bit;
        colours[colour] |= TSquareSet{1} << bit;
        if (type == spKing) continue;
        const std::int32_t value = context.PieceValue[static_cast<std::size_t>(type)];
        material += (code > 0) == (context.SideToMove > 0) ? value : -value;
        if (type != spPawn) phase += value;
    }
    const auto ply = static_cast<std::size_t>(context.Ply);
    return pieces == context.PieceBits && colours == context.ColourBits &&
           material == context.PlyMaterial[ply] && phase == context.PlyPhase[ply];
}

bool IsAttacked(const SearchContext& context, std::int32_t square, std::int32_t colour) {
    return colour > 0 ? IsAttackedBy<1>(context, square) : IsAttackedBy<-1>(context, square);
}

}  // namespace tavlor
