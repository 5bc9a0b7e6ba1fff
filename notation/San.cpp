#include "notation/San.h"

#include <array>
#include <cctype>
#include <cstdlib>

#include "notation/MoveText.h"
#include "rules/Attack.h"
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

using TKingWatch = TSanWriter::TKingWatch;

// The king of a side looked up on the board; in check is left to be found when needed.
TKingWatch FindKing(const TSquares& squares, bool white) {
    const TPieceCode king = white ? cWhiteKing : cBlackKing;
    TKingWatch watch;
    int kings = 0;
    for (int file = 1; file <= 8; ++file)
        for (int rank = 1; rank <= 8; ++rank)
            if (squares[file][rank] == king && kings++ == 0) {
                watch.File = file;
                watch.Rank = rank;
            }
    watch.Single = kings == 1;
    return watch;
}

// Whether two different squares share a file, a rank or a diagonal.
bool OnOneLine(int file, int rank, int otherFile, int otherRank) {
    const int files = std::abs(otherFile - file);
    const int ranks = std::abs(otherRank - rank);
    return (files | ranks) != 0 && (files == 0 || ranks == 0 || files == ranks);
}

// Whether a slider of the side `byWhite` attacks the square along the line towards another
// square: the first piece from it that way is a queen, or a rook on a file or rank, a bishop on
// a diagonal. False when the two squares share no line.
bool SliderAlongLine(const TSquares& squares, int file, int rank, int towardsFile, int towardsRank,
                     bool byWhite) {
    if (!OnOneLine(file, rank, towardsFile, towardsRank)) return false;
    const int fileDistance = towardsFile - file;
    const int rankDistance = towardsRank - rank;
    const int fileStep = (fileDistance > 0) - (fileDistance < 0);
    const int rankStep = (rankDistance > 0) - (rankDistance < 0);
    for (int length = SquaresToEdge(file, rank, fileStep, rankStep); length > 0; --length) {
        file += fileStep;
        rank += rankStep;
        const TPieceCode piece = squares[file][rank];
        if (piece == cEmpty) continue;
        const TPieceCode colour = byWhite ? cEmpty : cBlackBase;
        const TPieceCode slider = fileStep != 0 && rankStep != 0 ? cWhiteBishop : cWhiteRook;
        return piece == slider + colour || piece == cWhiteQueen + colour;
    }
    return false;
}

// The legal moves of one piece kind to one square. SAN names only the kind and the target, so
// the search goes backwards from the target to the few squares a piece of that kind could come
// from. A piece found there is legal unless its move leaves the own king attacked; with the king
// known to be out of check, only a piece on a line with the king can expose it, so most moves
// need no attack test. Generating every move of the position would cost several times as much
// on every half-move of a game file. Castling is left to the generator.
class TCandidates {
public:
    TCandidates(TChessBoard& board, TPieceCode piece, int toFile, int toRank, TKingWatch& king)
        : Board(board),
          Piece(piece),
          White(IsWhitePiece(piece)),
          ToFile(toFile),
          ToRank(toRank),
          King(king) {
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

    // With the move made on the squares: whether an enemy slider now sees the king along the
    // line through the square the piece left.
    bool ExposedThrough(int fromFile, int fromRank) const {
        return SliderAlongLine(Board.Board, King.File, King.Rank, fromFile, fromRank, !White);
    }

    // The move is made on the squares alone (an en passant capture also empties the square
    // passed), tested, and taken back.
    void Try(int fromFile, int fromRank, bool enPassant = false) {
        const bool kingMoves = KindOf(Piece) == cWhiteKing;
        if (King.Single && !kingMoves && !King.InCheck)
            King.InCheck = IsSquareAttacked(Board.Board, King.File, King.Rank, !White);
        // Out of check, a piece that stands on no line with its king cannot expose it.
        if (King.Single && !kingMoves && !enPassant && !*King.InCheck &&
            !OnOneLine(King.File, King.Rank, fromFile, fromRank)) {
            Add(fromFile, fromRank);
            return;
        }
        TPieceCode& from = Board.Board[fromFile][fromRank];
        TPieceCode& to = Board.Board[ToFile][ToRank];
        TPieceCode& passed = Board.Board[ToFile][fromRank];
        const TPieceCode captured = to;
        const TPieceCode passedPawn = passed;
        from = cEmpty;
        to = Piece;
        if (enPassant) passed = cEmpty;
        bool safe;
        if (!King.Single)
            safe = !IsKingAttacked(Board.Board, White);
        else if (kingMoves)
            safe = !IsSquareAttacked(Board.Board, ToFile, ToRank, !White);
        else if (enPassant || *King.InCheck)
            safe = !IsSquareAttacked(Board.Board, King.File, King.Rank, !White);
        else
            safe = !ExposedThrough(fromFile, fromRank);
        passed = passedPawn;
        to = captured;
        from = Piece;
        if (safe) Add(fromFile, fromRank);
    }

    void Add(int fromFile, int fromRank) {
        if (Count < static_cast<int>(Moves.size()))
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
            int file = ToFile;
            int rank = ToRank;
            for (int length = SquaresToEdge(file, rank, fileStep, rankStep); length > 0; --length) {
                file += fileStep;
                rank += rankStep;
                const TPieceCode piece = Board.Board[file][rank];
                if (piece == cEmpty) continue;
                if (piece == Piece) Try(file, rank);
                break;
            }
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
    TKingWatch& King;
};

// Whether the move just made by the side `white` attacks the other side's king, which was not
// attacked before it. A new attack comes from the piece on the target square, or along a line
// from the king through a square the move changed: the target, the square left, the pawn taken
// en passant, the castling rook's new square.
bool GivesCheck(const TSquares& squares, const TChessMove& move, const TKingWatch& king, bool white,
                bool enPassant, bool castling) {
    const int fileDistance = std::abs(king.File - move.ToFile);
    const int rankDistance = king.Rank - move.ToRank;
    const TPieceCode kind = KindOf(squares[move.ToFile][move.ToRank]);
    if (kind == cWhitePawn && fileDistance == 1 && rankDistance == (white ? 1 : -1)) return true;
    if (kind == cWhiteKnight && fileDistance * std::abs(rankDistance) == 2) return true;
    const auto along = [&](int file, int rank) {
        return SliderAlongLine(squares, king.File, king.Rank, file, rank, white);
    };
    const int homeRank = white ? 1 : 8;
    // A piece arriving on a line can only close it: the target square counts for a slider.
    const bool slider = kind == cWhiteBishop || kind == cWhiteRook || kind == cWhiteQueen;
    return (slider && along(move.ToFile, move.ToRank)) || along(move.FromFile, move.FromRank) ||
           (enPassant && along(move.ToFile, move.FromRank)) ||
           (castling && along(move.ToFile == 7 ? 6 : 4, homeRank));
}

// Whether the king has a step to a square where it is not attacked: then its side has a legal
// move, which spares generating them all.
bool HasSafeKingStep(TSquares& squares, const TKingWatch& king, bool white) {
    if (!king.Single) return false;
    TPieceCode& from = squares[king.File][king.Rank];
    const TPieceCode piece = from;
    for (int file = king.File - 1; file <= king.File + 1; ++file)
        for (int rank = king.Rank - 1; rank <= king.Rank + 1; ++rank) {
            if (!IsOnBoard(file, rank) || (file == king.File && rank == king.Rank)) continue;
            TPieceCode& to = squares[file][rank];
            const TPieceCode captured = to;
            if (white ? IsWhitePiece(captured) : IsBlackPiece(captured)) continue;
            from = cEmpty;
            to = piece;
            const bool safe = !IsSquareAttacked(squares, file, rank, !white);
            to = captured;
            from = piece;
            if (safe) return true;
        }
    return false;
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

TSanWriter::TSanWriter(TChessBoard& board)
    : Board(board),
      Kings{FindKing(board.Board, false), FindKing(board.Board, true)},
      // Positions before the start of the record cannot repeat in it.
      QuietPlies(board.PlyCount == 0 ? 0 : cMaxHistory) {
    NoteWaitingSide();
}

void TSanWriter::NoteWaitingSide() {
    const bool white = !Board.IsWhiteToMove();
    const TKingWatch& king = Kings[white ? 1 : 0];
    WaitingSideSafe = king.Single && !IsSquareAttacked(Board.Board, king.File, king.Rank, !white);
}

std::optional<std::string> TSanWriter::Play(const TChessMove& move) {
    if (!IsOnBoard(move.FromFile, move.FromRank) || !IsOnBoard(move.ToFile, move.ToRank))
        return std::nullopt;
    const TPieceCode piece = Board.Board[move.FromFile][move.FromRank];
    const bool white = Board.IsWhiteToMove();
    if (white ? !IsWhitePiece(piece) : !IsBlackPiece(piece)) return std::nullopt;

    // At most "Qh4xe1" or "exd8=Q" and a sign: put together without allocating, as it is done
    // for every half-move of every game exported.
    std::array<char, 16> san{};
    std::size_t length = 0;
    const auto put = [&](char c) { san[length++] = c; };
    const auto putSquare = [&](int file, int rank) {
        put(cFiles[static_cast<std::size_t>(file - 1)]);
        put(static_cast<char>('0' + rank));
    };
    const TPieceCode captured = Board.Board[move.ToFile][move.ToRank];
    TKingWatch& own = Kings[white ? 1 : 0];
    const bool castling = IsCastlingMove(Board, move);
    if (castling) {
        if (!IsLegalCastling(Board, move)) return std::nullopt;
        for (const char c : std::string_view(move.ToFile == 7 ? "O-O" : "O-O-O"))
            put(c);
    } else {
        const TCandidates candidates(Board, piece, move.ToFile, move.ToRank, own);
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

        if (KindOf(piece) == cWhitePawn) {
            if (move.FromFile != move.ToFile) {
                put(cFiles[move.FromFile - 1u]);
                put('x');
            }
            putSquare(move.ToFile, move.ToRank);
            if (IsPromotionMove(Board, move)) {
                if (!IsPromotionPiece(move.Promotion, white)) return std::nullopt;
                put('=');
                put(PieceLetter(move.Promotion));
            }
        } else {
            put(PieceLetter(piece));
            if (others > 0) {
                // The file tells the pieces apart unless another stands on it; then the rank,
                // or both.
                if (!otherOnFile) {
                    put(cFiles[move.FromFile - 1u]);
                } else if (!otherOnRank) {
                    put(static_cast<char>('0' + move.FromRank));
                } else {
                    putSquare(move.FromFile, move.FromRank);
                }
            }
            if (captured != cEmpty) put('x');
            putSquare(move.ToFile, move.ToRank);
        }
    }
    if (!Board.MakeMove(move)) return std::nullopt;

    QuietPlies = KindOf(piece) == cWhitePawn || captured != cEmpty ? 0 : QuietPlies + 1;
    if (own.Single && KindOf(piece) == cWhiteKing) {
        own.File = move.ToFile;
        own.Rank = move.ToRank;
    }
    own.InCheck.reset();
    // The other side is now to move: whether it is in check gives the sign, and the legality
    // test of its next move starts from the answer.
    TKingWatch& other = Kings[white ? 0 : 1];
    if (other.Single && WaitingSideSafe) {
        const bool enPassant =
            KindOf(piece) == cWhitePawn && move.FromFile != move.ToFile && captured == cEmpty;
        other.InCheck = GivesCheck(Board.Board, move, other, white, enPassant, castling);
    } else {
        other.InCheck = IsKingAttacked(Board.Board, !white);
    }
    // A legal move leaves the mover's one king unattacked.
    WaitingSideSafe = own.Single;
    Mated = false;
    if (*other.InCheck) {
        if (!HasSafeKingStep(Board.Board, other, !white)) {
            TMoveList list;
            std::int32_t count = 0;
            GenerateMoves(Board, white ? 0 : 1, list, count);
            Mated = count == 0;
        }
        put(Mated ? '#' : '+');
    }
    return std::string(san.data(), length);
}

bool TSanWriter::Pass() {
    if (!Board.AddPassMove()) return false;
    ++QuietPlies;
    Mated = false;
    for (TKingWatch& king : Kings)
        king.InCheck.reset();
    NoteWaitingSide();
    return true;
}

TGameState TSanWriter::GameEnd() {
    // Neither a repetition nor the fifty-move rule can apply within 8 half-moves of the last pawn
    // move or capture: those cannot be undone, and a position comes back after 4 half-moves at
    // the earliest, each side undoing its own move. Then only the lack of a legal move ends the
    // game, and a side in check but not mated, or with a safe king step, has one.
    const bool white = Board.IsWhiteToMove();
    const TKingWatch& king = Kings[white ? 1 : 0];
    if (QuietPlies < 8 && king.InCheck &&
        (*king.InCheck ? !Mated : HasSafeKingStep(Board.Board, king, white)))
        return TGameState::gsPlaying;
    return Board.CheckGameEnd();
}

std::optional<std::string> MoveToSan(const TChessBoard& board, const TChessMove& move) {
    TChessBoard after = board;
    TSanWriter writer(after);
    return writer.Play(move);
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
    TKingWatch king = FindKing(board.Board, white);
    const TCandidates candidates(board, piece, parts->ToFile, parts->ToRank, king);
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
