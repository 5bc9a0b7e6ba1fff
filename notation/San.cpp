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
// the search goes backwards from the target to the few squares a piece of that kind could come
// from, and each piece found there is tested by making its move on the board and asking the
// rules whether the own king is then attacked; generating every move of the position would cost
// several times as much on every half-move of a game file. Castling is left to the generator.
class TCandidates {
public:
    TCandidates(TChessBoard& board, TPieceCode piece, int toFile, int toRank)
        : Board(board), Piece(piece), White(IsWhitePiece(piece)), ToFile(toFile), ToRank(toRank) {
        const TPieceCode target = board.Board[toFile][toRank];
        if (White ? IsWhitePiece(target) : IsBlackPiece(target)) return;
        switch (KindOf(piece)) {
            case cWhitePawn:
                PawnsTo(target);
                break;
            case cWhiteKnight:
                Jumps(cKnightSteps);
                break;
            case cWhiteBishop:
                Slides(cBishopSteps);
                break;
            case cWhiteRook:
                Slides(cRookSteps);
                break;
            case cWhiteQueen:
                Slides(cBishopSteps);
                Slides(cRookSteps);
                break;
            case cWhiteKing:
                Jumps(cKingSteps);
                break;
            default:
                break;
        }
    }

    std::array<TChessMove, 16> Moves{};  // a square is reached by at most eight pieces of a kind
    int Count = 0;

private:
    using TSteps = std::array<std::array<int, 2>, 8>;
    static constexpr TSteps cKnightSteps = {
        {{1, 2}, {2, 1}, {2, -1}, {1, -2}, {-1, -2}, {-2, -1}, {-2, 1}, {-1, 2}}};
    static constexpr TSteps cKingSteps = {
        {{1, 1}, {1, 0}, {1, -1}, {0, -1}, {-1, -1}, {-1, 0}, {-1, 1}, {0, 1}}};
    static constexpr std::array<std::array<int, 2>, 4> cBishopSteps = {
        {{1, 1}, {1, -1}, {-1, -1}, {-1, 1}}};
    static constexpr std::array<std::array<int, 2>, 4> cRookSteps = {
        {{1, 0}, {0, -1}, {-1, 0}, {0, 1}}};

    bool Holds(int file, int rank, TPieceCode piece) const {
        return IsOnBoard(file, rank) && Board.Board[file][rank] == piece;
    }

    // The move is made on the squares alone (an en passant capture also empties the square
    // passed), tested, and taken back.
    void Try(int fromFile, int fromRank, bool enPassant = false) {
        TPieceCode& from = Board.Board[fromFile][fromRank];
        TPieceCode& to = Board.Board[ToFile][ToRank];
        TPieceCode& passed = Board.Board[ToFile][fromRank];
        const TPieceCode captured = to;
        const TPieceCode passedPawn = passed;
        from = cEmpty;
        to = Piece;
        if (enPassant) passed = cEmpty;
        const bool safe = !IsKingInCheck(Board, White ? 1 : 0);
        passed = passedPawn;
        to = captured;
        from = Piece;
        if (safe && Count < static_cast<int>(Moves.size()))
            Moves[static_cast<std::size_t>(Count++)] = {U8(fromFile), U8(fromRank), U8(ToFile),
                                                        U8(ToRank), cEmpty};
    }

    template <std::size_t N>
    void Jumps(const std::array<std::array<int, 2>, N>& steps) {
        for (const auto& [file, rank] : steps)
            if (Holds(ToFile - file, ToRank - rank, Piece)) Try(ToFile - file, ToRank - rank);
    }

    // Outwards from the target along each line to the first piece.
    template <std::size_t N>
    void Slides(const std::array<std::array<int, 2>, N>& steps) {
        for (const auto& [fileStep, rankStep] : steps) {
            int file = ToFile + fileStep;
            int rank = ToRank + rankStep;
            while (IsOnBoard(file, rank) && Board.Board[file][rank] == cEmpty) {
                file += fileStep;
                rank += rankStep;
            }
            if (Holds(file, rank, Piece)) Try(file, rank);
        }
    }

    void PawnsTo(TPieceCode target) {
        const int forward = White ? 1 : -1;
        const int behind = ToRank - forward;
        if (target == cEmpty) {
            if (Holds(ToFile, behind, Piece)) {
                Try(ToFile, behind);
            } else if (ToRank == (White ? 4 : 5) && Holds(ToFile, behind, cEmpty) &&
                       Holds(ToFile, behind - forward, Piece)) {
                Try(ToFile, behind - forward);
            }
        }
        const TPieceCode enemyPawn = White ? cBlackPawn : cWhitePawn;
        const bool enPassant = target == cEmpty && Board.EnPassantPossible &&
                               Board.EnPassantFile == ToFile && behind == (White ? 5 : 4) &&
                               Holds(ToFile, behind, enemyPawn);
        if (target == cEmpty && !enPassant) return;
        for (const int side : {-1, 1})
            if (Holds(ToFile + side, behind, Piece)) Try(ToFile + side, behind, enPassant);
    }

    TChessBoard& Board;
    TPieceCode Piece;
    bool White;
    int ToFile;
    int ToRank;
};

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

    const TCandidates candidates(board, piece, move.ToFile, move.ToRank);
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
    const TCandidates candidates(board, piece, parts->ToFile, parts->ToRank);
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
