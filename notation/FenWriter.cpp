#include "notation/FenWriter.h"

#include <array>

#include "notation/Fen.h"
#include "notation/MoveText.h"

namespace tavlor {

namespace {

char FenLetter(TPieceCode piece) {
    const char letter = PieceLetter(piece);
    return IsBlackPiece(piece) ? static_cast<char>(letter - 'A' + 'a') : letter;
}

}  // namespace

std::string FenOf(const TSquares& squares, bool whiteToMove, const TCastlingRights& castling,
                  std::int32_t enPassantFile, std::int32_t halfMoveClock, std::int32_t moveNumber) {
    std::string fen;
    for (std::int32_t rank = 8; rank >= 1; --rank) {
        int empty = 0;
        for (std::int32_t file = 1; file <= 8; ++file) {
            const TPieceCode piece = squares[file][rank];
            if (PieceLetter(piece) == ' ') {
                ++empty;
                continue;
            }
            if (empty > 0) fen += static_cast<char>('0' + empty);
            empty = 0;
            fen += FenLetter(piece);
        }
        if (empty > 0) fen += static_cast<char>('0' + empty);
        if (rank > 1) fen += '/';
    }
    fen += whiteToMove ? " w " : " b ";

    const TCastlingRights rights = PossibleCastlingRights(squares, castling);
    const std::size_t before = fen.size();
    if (rights[cWhiteKingSide]) fen += 'K';
    if (rights[cWhiteQueenSide]) fen += 'Q';
    if (rights[cBlackKingSide]) fen += 'k';
    if (rights[cBlackQueenSide]) fen += 'q';
    if (fen.size() == before) fen += '-';

    if (enPassantFile >= 1 && enPassantFile <= 8) {
        fen += ' ';
        fen += static_cast<char>('a' + enPassantFile - 1);
        fen += whiteToMove ? '6' : '3';
    } else {
        fen += " -";
    }
    fen += ' ' + std::to_string(halfMoveClock) + ' ' + std::to_string(moveNumber);
    return fen;
}

std::string WriteFen(const TChessBoard& board) {
    // The clock needs each move's piece and target, so the record is replayed on a copy.
    TChessBoard walker = board;
    walker.GoToStart();
    std::int32_t clock = 0;
    while (walker.PlyCount < board.PlyCount) {
        const TChessMove& move = board.History[walker.PlyCount + 1];
        if (!IsPassMove(move)) {
            const bool pawn = walker.Board[move.FromFile][move.FromRank] == cWhitePawn ||
                              walker.Board[move.FromFile][move.FromRank] == cBlackPawn;
            clock = pawn || walker.Board[move.ToFile][move.ToRank] != cEmpty ? 0 : clock + 1;
        }
        [[maybe_unused]] const bool made = walker.MakeMove(move);
        assert(made);
    }
    return FenOf(board.Board, board.IsWhiteToMove(), board.CastlingRights,
                 board.EnPassantPossible ? board.EnPassantFile : 0, clock, 1 + board.PlyCount / 2);
}

}  // namespace tavlor
