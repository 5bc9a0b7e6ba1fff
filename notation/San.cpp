#include "notation/San.h"

#include <array>
#include <cctype>
#include <cstdlib>

#include "notation/MoveText.h"
#include "rules/MoveGeneration.h"

namespace tavlor {

namespace {

constexpr std::string_view cFiles = "abcdefgh";

TPieceCode KindOf(TPieceCode piece) {
    return IsBlackPiece(piece) ? piece - cBlackBase : piece;
}

std::uint8_t U8(int value) {
    return static_cast<std::uint8_t>(value);
}

// The legal moves of one piece kind to one square. SAN names only the kind and the target, so
// only the pieces of that kind that reach the target are tested, each by making it on the board
// and asking the rules whether the own king is then attacked; generating every move of the
// position would cost several times as much on every half-move of a game file.
struct TCandidates {
    std::array<TChessMove, 16> Moves{};  // a square is reached by at most eight pieces of a kind
    int Count = 0;

    void Add(const TChessMove& move) {
        if (Count < static_cast<int>(Moves.size())) Moves[static_cast<std::size_t>(Count++)] = move;
    }
};

// A slider's way from the from-square to the target: a straight or diagonal line with nothing
// between the two squares.
bool ClearLine(const TSquares& squares, int fromFile, int fromRank, int toFile, int toRank,
               bool straight, bool diagonal) {
    const int fileDistance = std::abs(toFile - fromFile);
    const int rankDistance = std::abs(toRank - fromRank);
    const bool isStraight = (fileDistance == 0) != (rankDistance == 0);
    const bool isDiagonal = fileDistance == rankDistance && fileDistance != 0;
    if (!((straight && isStraight) || (diagonal && isDiagonal))) return false;
    const int fileStep = (toFile > fromFile) - (toFile < fromFile);
    const int rankStep = (toRank > fromRank) - (toRank < fromRank);
    for (int file = fromFile + fileStep, rank = fromRank + rankStep;
         file != toFile || rank != toRank; file += fileStep, rank += rankStep)
        if (squares[file][rank] != cEmpty) return false;
    return true;
}

enum class TReach { rcNone, rcMove, rcEnPassant };

// Whether the piece on the from-square goes to the target by the way of its kind; castling is
// left to the move generator.
TReach Reaches(const TChessBoard& board, int fromFile, int fromRank, int toFile, int toRank) {
    const TSquares& squares = board.Board;
    const TPieceCode piece = squares[fromFile][fromRank];
    const bool white = IsWhitePiece(piece);
    const TPieceCode target = squares[toFile][toRank];
    if (white ? IsWhitePiece(target) : IsBlackPiece(target)) return TReach::rcNone;
    const bool enemy = white ? IsBlackPiece(target) : IsWhitePiece(target);
    const int fileDistance = std::abs(toFile - fromFile);
    const int rankDistance = std::abs(toRank - fromRank);
    const auto yes = [](bool reach) { return reach ? TReach::rcMove : TReach::rcNone; };
    switch (KindOf(piece)) {
        case cWhitePawn: {
            const int forward = white ? 1 : -1;
            if (toRank - fromRank == forward && fileDistance == 0) return yes(target == cEmpty);
            if (toRank - fromRank == 2 * forward && fileDistance == 0)
                return yes(fromRank == (white ? 2 : 7) && target == cEmpty &&
                           squares[fromFile][fromRank + forward] == cEmpty);
            if (toRank - fromRank != forward || fileDistance != 1) return TReach::rcNone;
            if (enemy) return TReach::rcMove;
            const bool passing = board.EnPassantPossible && board.EnPassantFile == toFile &&
                                 fromRank == (white ? 5 : 4) &&
                                 squares[toFile][fromRank] == (white ? cBlackPawn : cWhitePawn);
            return passing ? TReach::rcEnPassant : TReach::rcNone;
        }
        case cWhiteKnight:
            return yes((fileDistance == 1 && rankDistance == 2) ||
                       (fileDistance == 2 && rankDistance == 1));
        case cWhiteBishop:
            return yes(ClearLine(squares, fromFile, fromRank, toFile, toRank, false, true));
        case cWhiteRook:
            return yes(ClearLine(squares, fromFile, fromRank, toFile, toRank, true, false));
        case cWhiteQueen:
            return yes(ClearLine(squares, fromFile, fromRank, toFile, toRank, true, true));
        case cWhiteKing:
            return yes(fileDistance <= 1 && rankDistance <= 1);
        default:
            return TReach::rcNone;
    }
}

// Makes the move on the squares alone, asks whether the mover's king is attacked, and puts
// everything back.
bool KeepsKingSafe(TChessBoard& board, const TChessMove& move, TReach reach) {
    TPieceCode& from = board.Board[move.FromFile][move.FromRank];
    TPieceCode& to = board.Board[move.ToFile][move.ToRank];
    TPieceCode& passed = board.Board[move.ToFile][move.FromRank];
    const TPieceCode moving = from;
    const TPieceCode captured = to;
    const TPieceCode passedPawn = passed;
    from = cEmpty;
    to = moving;
    if (reach == TReach::rcEnPassant) passed = cEmpty;
    const bool safe = !IsKingInCheck(board, IsWhitePiece(moving) ? 1 : 0);
    passed = passedPawn;
    to = captured;
    from = moving;
    return safe;
}

TCandidates LegalMovesTo(TChessBoard& board, TPieceCode piece, int toFile, int toRank) {
    TCandidates found;
    for (int file = 1; file <= 8; ++file)
        for (int rank = 1; rank <= 8; ++rank) {
            if (board.Board[file][rank] != piece) continue;
            const TReach reach = Reaches(board, file, rank, toFile, toRank);
            const TChessMove move{U8(file), U8(rank), U8(toFile), U8(toRank), cEmpty};
            if (reach != TReach::rcNone && KeepsKingSafe(board, move, reach)) found.Add(move);
        }
    return found;
}

// Castling is the one move whose conditions (rights, crossed squares) only the generator knows.
bool IsLegalCastling(TChessBoard& board, const TChessMove& move) {
    TMoveList list;
    std::int32_t count = 0;
    GenerateMoves(board, board.IsWhiteToMove() ? 1 : 0, list, count);
    for (std::int32_t i = 1; i <= count; ++i)
        if (SameMove(list[i], move)) return true;
    return false;
}

bool IsCastlingMove(const TChessBoard& board, const TChessMove& move) {
    return KindOf(board.Board[move.FromFile][move.FromRank]) == cWhiteKing && move.FromFile == 5 &&
           move.FromRank == move.ToRank && (move.ToFile == 3 || move.ToFile == 7);
}

bool IsPromotionPiece(TPieceCode piece, bool white) {
    const TPieceCode colour = white ? cEmpty : cBlackBase;
    return piece == cWhiteQueen + colour || piece == cWhiteRook + colour ||
           piece == cWhiteBishop + colour || piece == cWhiteKnight + colour;
}

std::string SquareName(int file, int rank) {
    return {cFiles[static_cast<std::size_t>(file - 1)], static_cast<char>('0' + rank)};
}

// The parts of a SAN text: piece kind, what is given of the from-square, target, promotion.
struct TSanParts {
    TPieceCode Kind = cWhitePawn;
    int FromFile = 0;
    int FromRank = 0;
    int ToFile = 0;
    int ToRank = 0;
    char Promotion = 0;
    int Castling = 0;  // the king's target file: 7 king side, 3 queen side
};

int FileOf(char c) {
    return c >= 'a' && c <= 'h' ? c - 'a' + 1 : 0;
}
int RankOf(char c) {
    return c >= '1' && c <= '8' ? c - '0' : 0;
}

std::optional<TSanParts> ParseSan(std::string_view text) {
    while (!text.empty() && std::string_view("+#!?").find(text.back()) != std::string_view::npos)
        text.remove_suffix(1);
    TSanParts parts;
    if (text == "O-O" || text == "0-0" || text == "o-o") {
        parts.Castling = 7;
        return parts;
    }
    if (text == "O-O-O" || text == "0-0-0" || text == "o-o-o") {
        parts.Castling = 3;
        return parts;
    }
    if (text.empty()) return std::nullopt;
    if (const TPieceCode kind = PieceOfLetter(text.front(), true); kind != cEmpty) {
        parts.Kind = kind;
        text.remove_prefix(1);
    }
    // "=Q", "=q" or a bare "Q" after the target square.
    if (text.size() >= 2) {
        const char letter =
            static_cast<char>(std::toupper(static_cast<unsigned char>(text.back())));
        const char before = text[text.size() - 2];
        const bool upper = letter == text.back();
        if (PieceOfLetter(letter, true) != cEmpty &&
            (before == '=' || (RankOf(before) != 0 && upper))) {
            parts.Promotion = letter;
            text.remove_suffix(before == '=' ? 2 : 1);
        }
    }
    if (text.size() < 2) return std::nullopt;
    parts.ToFile = FileOf(text[text.size() - 2]);
    parts.ToRank = RankOf(text.back());
    if (parts.ToFile == 0 || parts.ToRank == 0) return std::nullopt;
    text.remove_suffix(2);
    // What is left names the from-square in part or in full, with "x", ":" or "-" anywhere.
    bool rankSeen = false;
    for (const char c : text) {
        if (c == 'x' || c == ':' || c == '-') continue;
        if (FileOf(c) != 0 && parts.FromFile == 0 && !rankSeen) {
            parts.FromFile = FileOf(c);
        } else if (RankOf(c) != 0 && parts.FromRank == 0) {
            parts.FromRank = RankOf(c);
            rankSeen = true;
        } else {
            return std::nullopt;
        }
    }
    return parts;
}

}  // namespace

std::optional<std::string> MoveToSanBody(TChessBoard& board, const TChessMove& move) {
    if (!IsOnBoard(move.FromFile, move.FromRank) || !IsOnBoard(move.ToFile, move.ToRank))
        return std::nullopt;
    const TPieceCode piece = board.Board[move.FromFile][move.FromRank];
    const bool white = board.IsWhiteToMove();
    if (white ? !IsWhitePiece(piece) : !IsBlackPiece(piece)) return std::nullopt;

    if (IsCastlingMove(board, move)) {
        if (!IsLegalCastling(board, move)) return std::nullopt;
        return move.ToFile == 7 ? "O-O" : "O-O-O";
    }

    const TCandidates candidates = LegalMovesTo(board, piece, move.ToFile, move.ToRank);
    bool legal = false;
    bool otherOnFile = false;
    bool otherOnRank = false;
    int others = 0;
    for (int i = 0; i < candidates.Count; ++i) {
        const TChessMove& candidate = candidates.Moves[static_cast<std::size_t>(i)];
        if (SameMove(candidate, move)) {
            legal = true;
            continue;
        }
        ++others;
        otherOnFile = otherOnFile || candidate.FromFile == move.FromFile;
        otherOnRank = otherOnRank || candidate.FromRank == move.FromRank;
    }
    if (!legal) return std::nullopt;

    const std::string target = SquareName(move.ToFile, move.ToRank);
    if (KindOf(piece) == cWhitePawn) {
        std::string san;
        if (move.FromFile != move.ToFile) san.append(1, cFiles[move.FromFile - 1u]).append("x");
        san += target;
        if (IsPromotionMove(board, move)) {
            if (!IsPromotionPiece(move.Promotion, white)) return std::nullopt;
            san.append("=").append(1, PieceLetter(move.Promotion));
        }
        return san;
    }
    std::string san(1, PieceLetter(piece));
    if (others > 0) {
        // The file tells the pieces apart unless another stands on it; then the rank, or both.
        if (!otherOnFile) {
            san += cFiles[move.FromFile - 1u];
        } else if (!otherOnRank) {
            san += static_cast<char>('0' + move.FromRank);
        } else {
            san += SquareName(move.FromFile, move.FromRank);
        }
    }
    if (board.Board[move.ToFile][move.ToRank] != cEmpty) san += 'x';
    return san + target;
}

std::string_view CheckSign(TChessBoard& board) {
    const std::uint8_t side = board.IsWhiteToMove() ? 1 : 0;
    if (!IsKingInCheck(board, side)) return {};
    TMoveList list;
    std::int32_t count = 0;
    GenerateMoves(board, side, list, count);
    return count == 0 ? "#" : "+";
}

std::optional<std::string> MoveToSan(const TChessBoard& board, const TChessMove& move) {
    TChessBoard after = board;
    std::optional<std::string> san = MoveToSanBody(after, move);
    if (!san || !after.MakeMove(move)) return std::nullopt;
    return *san + std::string(CheckSign(after));
}

TSanReading ReadSan(TChessBoard& board, std::string_view text) {
    TSanReading reading;
    const std::optional<TSanParts> parts = ParseSan(text);
    if (!parts) {
        reading.Error = TSanError::seNotAMove;
        return reading;
    }
    const bool white = board.IsWhiteToMove();
    const int homeRank = white ? 1 : 8;
    if (parts->Castling != 0) {
        reading.Move = {5, U8(homeRank), U8(parts->Castling), U8(homeRank), cEmpty};
        const bool king = board.Board[5][homeRank] == (white ? cWhiteKing : cBlackKing);
        if (!king || !IsLegalCastling(board, reading.Move)) reading.Error = TSanError::seIllegal;
        return reading;
    }

    const TPieceCode piece = parts->Kind + (white ? cEmpty : cBlackBase);
    const TCandidates candidates = LegalMovesTo(board, piece, parts->ToFile, parts->ToRank);
    int matches = 0;
    for (int i = 0; i < candidates.Count; ++i) {
        const TChessMove& candidate = candidates.Moves[static_cast<std::size_t>(i)];
        if ((parts->FromFile == 0 || parts->FromFile == candidate.FromFile) &&
            (parts->FromRank == 0 || parts->FromRank == candidate.FromRank)) {
            reading.Move = candidate;
            ++matches;
        }
    }
    if (matches != 1) {
        reading.Error = matches == 0 ? TSanError::seIllegal : TSanError::seAmbiguous;
        return reading;
    }
    const bool promotion = IsPromotionMove(board, reading.Move);
    if (promotion && parts->Promotion == 0) {
        reading.Error = TSanError::seMissingPromotion;
    } else if (promotion) {
        reading.Move.Promotion = PieceOfLetter(parts->Promotion, white);
        if (!IsPromotionPiece(reading.Move.Promotion, white)) reading.Error = TSanError::seIllegal;
    } else if (parts->Promotion != 0) {
        reading.Error = TSanError::seIllegal;
    }
    return reading;
}

}  // namespace tavlor
