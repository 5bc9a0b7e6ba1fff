#include "rules/ChessBoard.h"

#include <algorithm>
#include <string_view>

namespace tavlor {

namespace {

constexpr const char* cPlaceholderComment = "-/-";

bool IsCommentList(std::int32_t list) { return list == 0 || list == 1; }

// The placeholder with blanks around it is the placeholder too: a saved game writes comments
// trimmed and reads the placeholder back as no comment, so storing it would lose nothing later
// that is not lost now.
bool IsPlaceholderComment(std::string_view text) {
    while (!text.empty() && static_cast<unsigned char>(text.front()) <= ' ')
        text.remove_prefix(1);
    while (!text.empty() && static_cast<unsigned char>(text.back()) <= ' ')
        text.remove_suffix(1);
    return text == cPlaceholderComment;
}

constexpr std::array<TPieceCode, 8> cWhiteBackRank = {cWhiteRook,  cWhiteKnight, cWhiteBishop,
                                                      cWhiteQueen, cWhiteKing,   cWhiteBishop,
                                                      cWhiteKnight, cWhiteRook};

// Clears the rights that belong to a rook corner, whether a piece leaves or arrives there.
void ClearRightsOfCorner(TCastlingRights& rights, int file, int rank) {
    if (file == 8 && rank == 1) rights[cWhiteKingSide] = false;
    if (file == 1 && rank == 1) rights[cWhiteQueenSide] = false;
    if (file == 8 && rank == 8) rights[cBlackKingSide] = false;
    if (file == 1 && rank == 8) rights[cBlackQueenSide] = false;
}

}  // namespace

const char* GameStateMessage(TGameState state) {
    switch (state) {
        case TGameState::gsPlaying: return "";
        case TGameState::gsWhiteMated: return "Weiss ist matt!";
        case TGameState::gsBlackMated: return "Schwarz ist matt!";
        case TGameState::gsWhiteStalemated: return "Unentschieden - Weiss ist patt!";
        case TGameState::gsBlackStalemated: return "Unentschieden - Schwarz ist patt!";
        case TGameState::gsRepetition: return "Unentschieden - Drei mal die gleiche Stellung!";
        case TGameState::gsFiftyMoves:
            return "Unentschieden - Fünzig Züge lang kein Bauernzug und keine Figur geschlagen!";
    }
    return "";
}

TChessBoard::TChessBoard() { Reset(); }

void TChessBoard::Reset() {
    PlyCount = 0;
    HistoryPos = 0;
    HistoryTop = 0;
    CastlingRights.Fill(true);
    StartCastlingRights.Fill(true);
    WhiteTime = 0;
    BlackTime = 0;
    LastClockTime = 0;
    ClearComments();
    History.Fill(TChessMove{});
    StartBoard.Fill({});
    for (int file = 1; file <= 8; ++file) {
        TPieceCode piece = cWhiteBackRank[static_cast<std::size_t>(file - 1)];
        StartBoard[file][1] = piece;
        StartBoard[file][8] = piece + cBlackBase;
        StartBoard[file][2] = cWhitePawn;
        StartBoard[file][7] = cBlackPawn;
    }
    LoadStartBoard();
}

bool TChessBoard::HasBothKings() const {
    int whiteKings = 0;
    int blackKings = 0;
    for (int file = 1; file <= 8; ++file)
        for (int rank = 1; rank <= 8; ++rank) {
            whiteKings += Board[file][rank] == cWhiteKing;
            blackKings += Board[file][rank] == cBlackKing;
        }
    return whiteKings == 1 && blackKings == 1;
}

TCapturedPieces TChessBoard::CountCapturedPieces(bool white) const {
    TCapturedPieces missing{8, 1, 2, 2, 2};
    const TPieceCode colour = white ? 0 : cBlackBase;
    for (int file = 1; file <= 8; ++file)
        for (int rank = 1; rank <= 8; ++rank) {
            TPieceCode piece = Board[file][rank];
            if (piece == cWhitePawn + colour) --missing.Pawns;
            if (piece == cWhiteQueen + colour) --missing.Queens;
            if (piece == cWhiteRook + colour) --missing.Rooks;
            if (piece == cWhiteBishop + colour) --missing.Bishops;
            if (piece == cWhiteKnight + colour) --missing.Knights;
        }
    return missing;
}

void TChessBoard::SetPromotionPiece(TPieceCode piece) {
    if (!IsOnBoard(PromotionFile, PromotionRank) || PlyCount < 1) return;
    Board[PromotionFile][PromotionRank] = piece;
    History[PlyCount].Promotion = piece;
    PromotionPending = false;
    SpecialMove = true;
}

void TChessBoard::AddThinkingTime(double now) {
    if (now == LastClockTime) return;
    if (LastClockTime != 0) {
        if (IsWhiteToMove())
            WhiteTime += now - LastClockTime;
        else
            BlackTime += now - LastClockTime;
    }
    LastClockTime = now;
}

std::string TChessBoard::GetComment(std::int32_t list, std::int32_t ply) const {
    if (!IsCommentList(list)) return {};
    const auto& items = Comments[static_cast<std::size_t>(list)];
    if (ply < 0 || static_cast<std::size_t>(ply) >= items.size()) return {};
    const std::string& item = items[static_cast<std::size_t>(ply)];
    return IsPlaceholderComment(item) ? std::string{} : item;
}

void TChessBoard::SetComment(std::int32_t list, std::int32_t ply, const std::string& text) {
    if (ply < 0 || !IsCommentList(list)) return;
    auto& items = Comments[static_cast<std::size_t>(list)];
    while (items.size() <= static_cast<std::size_t>(ply)) items.emplace_back(cPlaceholderComment);
    if (text.empty()) return;
    items[static_cast<std::size_t>(ply)] = IsPlaceholderComment(text) ? cPlaceholderComment : text;
}

void TChessBoard::TruncateComments(std::int32_t list, std::int32_t count) {
    if (!IsCommentList(list)) return;
    auto& items = Comments[static_cast<std::size_t>(list)];
    items.resize(std::min(items.size(), static_cast<std::size_t>(std::max(count, 0))));
}

void TChessBoard::ClearComments() {
    Comments[0].clear();
    Comments[1].clear();
}

bool TChessBoard::MakeMove(const TChessMove& move) {
    if (HistoryPos >= cMaxHistory || !HasValidSquares(move)) return false;

    SpecialMove = false;
    ++PlyCount;
    ++HistoryPos;
    History[HistoryPos] = move;
    HistoryTop = std::max(HistoryTop, HistoryPos);
    if (IsPassMove(move)) return true;

    const int fromFile = move.FromFile, fromRank = move.FromRank;
    const int toFile = move.ToFile, toRank = move.ToRank;
    const TPieceCode moving = Board[fromFile][fromRank];
    const bool ontoEmptySquare = Board[toFile][toRank] == cEmpty;
    Board[fromFile][fromRank] = cEmpty;
    Board[toFile][toRank] = moving;

    ClearRightsOfCorner(CastlingRights, toFile, toRank);
    ClearRightsOfCorner(CastlingRights, fromFile, fromRank);
    if (fromFile == 5 && fromRank == 1) {
        CastlingRights[cWhiteKingSide] = false;
        CastlingRights[cWhiteQueenSide] = false;
    }
    if (fromFile == 5 && fromRank == 8) {
        CastlingRights[cBlackKingSide] = false;
        CastlingRights[cBlackQueenSide] = false;
    }

    // A king that moves two files from the E file can only be castling; its rook follows.
    if (moving == cWhiteKing || moving == cBlackKing) {
        const bool white = moving == cWhiteKing;
        const int homeRank = white ? 1 : 8;
        const TPieceCode rook = white ? cWhiteRook : cBlackRook;
        if (fromFile == 5 && toFile == 3) {
            Board[1][homeRank] = cEmpty;
            Board[4][homeRank] = rook;
            SpecialMove = true;
        }
        if (fromFile == 5 && toFile == 7) {
            Board[8][homeRank] = cEmpty;
            Board[6][homeRank] = rook;
            SpecialMove = true;
        }
        CastlingRights[white ? cWhiteQueenSide : cBlackQueenSide] = false;
        CastlingRights[white ? cWhiteKingSide : cBlackKingSide] = false;
    }
    if (moving == cWhiteRook) {
        if (fromFile == 8) CastlingRights[cWhiteKingSide] = false;
        if (fromFile == 1) CastlingRights[cWhiteQueenSide] = false;
    }
    if (moving == cBlackRook) {
        if (fromFile == 8) CastlingRights[cBlackKingSide] = false;
        if (fromFile == 1) CastlingRights[cBlackQueenSide] = false;
    }

    // En passant lands on the empty square the pawn passed over; a pawn that takes a piece
    // standing there (only a record made without a legality test has one) takes that piece alone.
    if (EnPassantPossible && EnPassantFile == toFile && ontoEmptySquare) {
        if (moving == cWhitePawn && toRank == 6) {
            Board[toFile][5] = cEmpty;
            SpecialMove = true;
        }
        if (moving == cBlackPawn && toRank == 3) {
            Board[toFile][4] = cEmpty;
            SpecialMove = true;
        }
    }

    EnPassantPossible = false;
    EnPassantFile = 0;
    if ((moving == cWhitePawn && fromRank == 2 && toRank == 4) ||
        (moving == cBlackPawn && fromRank == 7 && toRank == 5)) {
        EnPassantPossible = true;
        EnPassantFile = move.ToFile;
    }

    PromotionPending = false;
    if ((moving == cWhitePawn && toRank == 8) || (moving == cBlackPawn && toRank == 1)) {
        PromotionPending = true;
        PromotionFile = move.ToFile;
        PromotionRank = move.ToRank;
        if (History[PlyCount].Promotion != cEmpty)
            Board[toFile][toRank] = History[PlyCount].Promotion;
    }
    return true;
}

void TChessBoard::GoToStart() {
    LoadStartBoard();
    EnPassantPossible = false;
    EnPassantFile = 0;
    CastlingRights = StartCastlingRights;
    PlyCount = 0;
    HistoryPos = 0;
}

// Replays the first `plies` history entries on the start position. Every entry was accepted by
// MakeMove once, so replaying it cannot be refused.
void TChessBoard::ReplayTo(std::int32_t plies) {
    GoToStart();
    for (std::int32_t i = 1; i <= plies; ++i) {
        [[maybe_unused]] bool made = MakeMove(History[i]);
        assert(made);
    }
}

void TChessBoard::TakeBackMove() { ReplayTo(std::max(HistoryPos - 1, 0)); }

void TChessBoard::RedoMove() {
    if (HistoryPos + 1 <= HistoryTop) ReplayTo(HistoryPos + 1);
}

void TChessBoard::ClearGame() {
    GoToStart();
    WhiteTime = 0;
    BlackTime = 0;
    LastClockTime = 0;
    History.Fill(TChessMove{});
}

void TChessBoard::CopyGame(TChessBoard& destination) const {
    if (&destination == this) return;
    destination.StartBoard = StartBoard;
    destination.Board = Board;
    destination.History = History;
    destination.PlyCount = PlyCount;
    destination.HistoryPos = HistoryPos;
    destination.HistoryTop = HistoryTop;
    destination.WhiteTime = WhiteTime;
    destination.BlackTime = BlackTime;
    destination.LastClockTime = LastClockTime;
    destination.PromotionPending = PromotionPending;
    destination.PromotionFile = PromotionFile;
    destination.PromotionRank = PromotionRank;
    destination.Comments = Comments;
    destination.EnPassantPossible = EnPassantPossible;
    destination.EnPassantFile = EnPassantFile;
    destination.CastlingRights = CastlingRights;
    destination.StartCastlingRights = StartCastlingRights;
    destination.SpecialMove = SpecialMove;
}

}  // namespace tavlor
