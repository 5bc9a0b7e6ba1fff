#include "notation/Fen.h"

namespace tavlor {

namespace {

TPieceCode PieceOfFenLetter(char letter) {
    switch (letter) {
        case 'P': return cWhitePawn;
        case 'N': return cWhiteKnight;
        case 'B': return cWhiteBishop;
        case 'R': return cWhiteRook;
        case 'Q': return cWhiteQueen;
        case 'K': return cWhiteKing;
        case 'p': return cBlackPawn;
        case 'n': return cBlackKnight;
        case 'b': return cBlackBishop;
        case 'r': return cBlackRook;
        case 'q': return cBlackQueen;
        case 'k': return cBlackKing;
        default: return cEmpty;
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
            default: break;
        }
        if (c == ' ') ++field;
    }
    return fields;
}

// A castling right needs its king and rook at home; otherwise castling would conjure a rook.
void KeepPossibleCastling(const TChessBoard& board, TCastlingRights& rights) {
    const auto atHome = [&](int kingRank, int rookFile, TPieceCode king, TPieceCode rook) {
        return board.GetSquare(5, kingRank) == king && board.GetSquare(rookFile, kingRank) == rook;
    };
    rights[cWhiteKingSide] = rights[cWhiteKingSide] && atHome(1, 8, cWhiteKing, cWhiteRook);
    rights[cWhiteQueenSide] = rights[cWhiteQueenSide] && atHome(1, 1, cWhiteKing, cWhiteRook);
    rights[cBlackKingSide] = rights[cBlackKingSide] && atHome(8, 8, cBlackKing, cBlackRook);
    rights[cBlackQueenSide] = rights[cBlackQueenSide] && atHome(8, 1, cBlackKing, cBlackRook);
}

}  // namespace

void ReadFen(TChessBoard& board, std::string_view text) {
    board.ClearGame();
    for (int file = 1; file <= 8; ++file)
        for (int rank = 1; rank <= 8; ++rank) board.SetSquare(file, rank, cEmpty);
    board.HistoryTop = 0;
    board.PlyCount = 0;
    board.HistoryPos = 0;
    board.ClearComments();
    board.EnPassantPossible = false;
    board.EnPassantFile = 0;
    board.CastlingRights.Fill(false);
    board.StartCastlingRights.Fill(false);

    TFenFields fields = ParseFen(board, text);
    KeepPossibleCastling(board, fields.Castling);

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
        doubleStep = board.GetSquare(file, destination) == (white ? cWhitePawn : cBlackPawn) &&
                     board.GetSquare(file, passed) == cEmpty &&
                     board.GetSquare(file, origin) == cEmpty;
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

}  // namespace tavlor
