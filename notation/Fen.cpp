#include "notation/Fen.h"

#include "rules/MoveGeneration.h"

namespace tavlor {

namespace {

TPieceCode PieceOfFenLetter(char letter) {
    switch (letter) {
        case 'P':
            return cWhitePawn;
        case 'N':
            return cWhiteKnight;
        case 'B':
            return cWhiteBishop;
        case 'R':
            return cWhiteRook;
        case 'Q':
            return cWhiteQueen;
        case 'K':
            return cWhiteKing;
        case 'p':
            return cBlackPawn;
        case 'n':
            return cBlackKnight;
        case 'b':
            return cBlackBishop;
        case 'r':
            return cBlackRook;
        case 'q':
            return cBlackQueen;
        case 'k':
            return cBlackKing;
        default:
            return cEmpty;
    }
}

struct TFenFields {
    bool WhiteToMove = false;
    TCastlingRights Castling{};
    int EnPassantFile = 0;
    int EnPassantOriginRank = 0;
};

// Field 1 onto the board, fields 2 to 4 into the result; every blank starts the next field.
TFenFields ParseFen(TChessBoard& board, std::string_view text) {
    TFenFields fields;
    int field = 1;
    int file = 1;
    int rank = 8;
    for (const char c : text) {
        switch (field) {
            case 1:
                if (c == '/') {
                    --rank;
                    file = 1;
                } else if (c >= '1' && c <= '8') {
                    file += c - '0';
                } else if (const TPieceCode piece = PieceOfFenLetter(c); piece != cEmpty) {
                    // A placement that runs past the board loses the surplus pieces.
                    if (IsOnBoard(file, rank)) board.SetSquare(file, rank, piece);
                    ++file;
                }
                break;
            case 2:
                if (c == 'w') fields.WhiteToMove = true;
                if (c == 'b') fields.WhiteToMove = false;
                break;
            case 3:
                if (c == 'K') fields.Castling[cWhiteKingSide] = true;
                if (c == 'Q') fields.Castling[cWhiteQueenSide] = true;
                if (c == 'k') fields.Castling[cBlackKingSide] = true;
                if (c == 'q') fields.Castling[cBlackQueenSide] = true;
                break;
            case 4:
                if (c >= 'a' && c <= 'h') fields.EnPassantFile = c - 'a' + 1;
                if (c == '3') fields.EnPassantOriginRank = 2;
                if (c == '6') fields.EnPassantOriginRank = 7;
                break;
            default:
                break;
        }
        if (c == ' ') ++field;
    }
    return fields;
}

const char* SideName(bool white) {
    return white ? "Weiss" : "Schwarz";
}

std::string SquareName(int file, int rank) {
    return {static_cast<char>('A' + file - 1), static_cast<char>('0' + rank)};
}

// The character at `index` as it reads: a UTF-8 sequence stays whole.
std::string CharacterAt(std::string_view text, std::size_t index) {
    const auto lead = static_cast<unsigned char>(text[index]);
    const std::size_t length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
    return std::string(text.substr(index, length));
}

// Eight ranks of eight squares, nothing but piece letters, the digits 1 to 8 and "/".
std::optional<std::string> PlacementError(std::string_view placement) {
    if (placement.empty()) return "die Figurenstellung fehlt";
    for (std::size_t i = 0; i < placement.size(); ++i) {
        const char c = placement[i];
        if (c != '/' && !(c >= '1' && c <= '8') && PieceOfFenLetter(c) == cEmpty)
            return "unbekanntes Zeichen \"" + CharacterAt(placement, i) +
                   "\" in der Figurenstellung";
    }
    int ranks = 1;
    for (const char c : placement)
        ranks += c == '/';
    if (ranks != 8) return "die Figurenstellung hat " + std::to_string(ranks) + " statt 8 Reihen";
    int rank = 8;
    int squares = 0;
    for (std::size_t i = 0; i <= placement.size(); ++i) {
        if (i == placement.size() || placement[i] == '/') {
            if (squares != 8)
                return "Reihe " + std::to_string(rank) + " hat " + std::to_string(squares) +
                       " statt 8 Felder";
            --rank;
            squares = 0;
        } else {
            const char c = placement[i];
            squares += c >= '1' && c <= '8' ? c - '0' : 1;
        }
    }
    return std::nullopt;
}

}  // namespace

void ReadFen(TChessBoard& board, std::string_view text) {
    board.ClearGame();
    for (int file = 1; file <= 8; ++file)
        for (int rank = 1; rank <= 8; ++rank)
            board.SetSquare(file, rank, cEmpty);
    board.HistoryTop = 0;
    board.PlyCount = 0;
    board.HistoryPos = 0;
    board.ClearComments();
    board.EnPassantPossible = false;
    board.EnPassantFile = 0;
    board.CastlingRights.Fill(false);
    board.StartCastlingRights.Fill(false);

    TFenFields fields = ParseFen(board, text);
    fields.Castling = PossibleCastlingRights(board.Board, fields.Castling);

    // The en-passant square is kept as the double step itself: the board is set back to the
    // position before it, and the step is recorded, so the right to capture comes out of the
    // history as in play. A square that does not match a double step on the board is ignored.
    const int file = fields.EnPassantFile;
    const int origin = fields.EnPassantOriginRank;
    bool doubleStep = false;
    if (file != 0 && origin != 0) {
        const bool white = origin == 2;
        const int passed = white ? 3 : 6;
        const int destination = white ? 4 : 5;
        const auto u8 = [](int value) { return static_cast<std::uint8_t>(value); };
        doubleStep = board.GetSquare(file, destination) == (white ? cWhitePawn : cBlackPawn) &&
                     board.GetSquare(file, passed) == cEmpty &&
                     board.GetSquare(file, origin) == cEmpty &&
                     !DoubleStepError(board, {u8(file), u8(origin), u8(file), u8(destination)});
        if (doubleStep) {
            board.SetSquare(file, origin, board.GetSquare(file, destination));
            board.SetSquare(file, destination, cEmpty);
        }
    }

    board.SaveBoardAsStart();
    board.StartCastlingRights = fields.Castling;
    board.CastlingRights = fields.Castling;

    // A fresh record holds at most two half-moves, so none of these can be refused.
    const auto u8 = [](int value) { return static_cast<std::uint8_t>(value); };
    const TChessMove step{u8(file), u8(origin), u8(file), u8(origin == 2 ? 4 : 5), cEmpty};
    bool made = true;
    if (fields.WhiteToMove && doubleStep) {
        made = board.AddPassMove() && board.MakeMove(step);
    } else if (!fields.WhiteToMove && doubleStep) {
        made = board.MakeMove(step);
    } else if (!fields.WhiteToMove) {
        made = board.AddPassMove();
    }
    assert(made);
    (void)made;

    board.GoToStart();
    board.RedoMove();
    board.RedoMove();
}

std::optional<std::string> FenPositionError(std::string_view fen) {
    if (auto fault = PlacementError(fen.substr(0, fen.find(' ')))) return fault;
    TChessBoard board;
    ReadFen(board, fen);
    return PositionError(board, board.IsWhiteToMove());
}

std::optional<std::string> PositionError(const TChessBoard& board, bool whiteToMove) {
    for (const bool white : {true, false}) {
        const TPieceCode king = white ? cWhiteKing : cBlackKing;
        int kings = 0;
        for (int file = 1; file <= 8; ++file)
            for (int rank = 1; rank <= 8; ++rank)
                kings += board.GetSquare(file, rank) == king;
        if (kings == 0) return std::string(SideName(white)) + " hat keinen König";
        if (kings > 1)
            return std::string(SideName(white)) + " hat " + std::to_string(kings) + " Könige";
    }
    for (const int rank : {1, 8})
        for (int file = 1; file <= 8; ++file) {
            const TPieceCode piece = board.GetSquare(file, rank);
            if (piece == cWhitePawn || piece == cBlackPawn)
                return "auf " + SquareName(file, rank) + " steht ein Bauer";
        }
    // The king of the side that has just moved could be taken.
    if (IsKingInCheck(board, whiteToMove ? 0 : 1))
        return std::string(SideName(!whiteToMove)) + " steht im Schach, obwohl " +
               SideName(whiteToMove) + " am Zug ist";
    return std::nullopt;
}

std::optional<std::string> DoubleStepError(const TChessBoard& board, const TChessMove& step) {
    TChessBoard before;
    before.Board = board.Board;
    const TPieceCode pawn = before.GetSquare(step.ToFile, step.ToRank);
    before.SetSquare(step.FromFile, step.FromRank, pawn);
    before.SetSquare(step.ToFile, step.ToRank, cEmpty);
    const bool white = pawn == cWhitePawn;
    if (!IsKingInCheck(before, white ? 0 : 1)) return std::nullopt;
    return std::string("Vor dem Doppelschritt hätte ") + SideName(!white) +
           " im Schach gestanden, obwohl " + SideName(white) + " am Zug war";
}

TCastlingRights PossibleCastlingRights(const TSquares& squares, TCastlingRights wanted) {
    const auto atHome = [&](int rank, int rookFile, TPieceCode colour) {
        return squares[5][rank] == colour + cWhiteKing &&
               squares[rookFile][rank] == colour + cWhiteRook;
    };
    wanted[cWhiteKingSide] = wanted[cWhiteKingSide] && atHome(1, 8, cEmpty);
    wanted[cWhiteQueenSide] = wanted[cWhiteQueenSide] && atHome(1, 1, cEmpty);
    wanted[cBlackKingSide] = wanted[cBlackKingSide] && atHome(8, 8, cBlackBase);
    wanted[cBlackQueenSide] = wanted[cBlackQueenSide] && atHome(8, 1, cBlackBase);
    return wanted;
}

}  // namespace tavlor
