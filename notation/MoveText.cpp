#include "notation/MoveText.h"

#include <cctype>

namespace tavlor {

namespace {

constexpr std::string_view cFileLetters = "ABCDEFGH";

char FileLetter(int file) {
    return file >= 1 && file <= 8 ? cFileLetters[static_cast<std::size_t>(file - 1)] : '?';
}

char RankDigit(int rank) { return rank >= 0 && rank <= 9 ? static_cast<char>('0' + rank) : '?'; }

// 1 to 8 for "A" to "H" (or "a" to "h" when lowerCase), 0 otherwise.
int FileOfLetter(char letter, bool lowerCase = false) {
    const char first = lowerCase ? 'a' : 'A';
    return letter >= first && letter < first + 8 ? letter - first + 1 : 0;
}

int RankOfDigit(char digit) { return digit >= '1' && digit <= '8' ? digit - '0' : 0; }

}  // namespace

char PieceLetter(TPieceCode piece) {
    switch (piece > cBlackBase ? piece - cBlackBase : piece) {
        case cWhitePawn: return 'P';
        case cWhiteKnight: return 'N';
        case cWhiteBishop: return 'B';
        case cWhiteRook: return 'R';
        case cWhiteQueen: return 'Q';
        case cWhiteKing: return 'K';
        default: return ' ';
    }
}

TPieceCode PieceOfLetter(char letter, bool white) {
    const TPieceCode colour = white ? 0 : cBlackBase;
    switch (letter) {
        case 'P': return cWhitePawn + colour;
        case 'N': return cWhiteKnight + colour;
        case 'B': return cWhiteBishop + colour;
        case 'R': return cWhiteRook + colour;
        case 'Q': return cWhiteQueen + colour;
        case 'K': return cWhiteKing + colour;
        default: return cEmpty;
    }
}

TPieceCode PromotionPieceOfLetter(char letter, bool white) {
    return letter == 'Q' || letter == 'R' || letter == 'B' || letter == 'N'
               ? PieceOfLetter(letter, white)
               : cEmpty;
}

std::string MoveToText(const TChessMove& move) {
    std::string text(9, ' ');
    text[0] = FileLetter(move.FromFile);
    text[1] = RankDigit(move.FromRank);
    text.replace(2, 3, " - ");
    text[5] = FileLetter(move.ToFile);
    text[6] = RankDigit(move.ToRank);
    if (move.Promotion != cEmpty) text[8] = PieceLetter(move.Promotion);
    return text;
}

std::optional<TChessMove> WireTextToMove(std::string_view text, bool whiteToMove) {
    if (text.size() < 7) return std::nullopt;
    if (text.substr(0, 7) == "A0 - A0") return cPassMove;
    TChessMove move;
    move.FromFile = static_cast<std::uint8_t>(FileOfLetter(text[0]));
    move.FromRank = static_cast<std::uint8_t>(RankOfDigit(text[1]));
    move.ToFile = static_cast<std::uint8_t>(FileOfLetter(text[5]));
    move.ToRank = static_cast<std::uint8_t>(RankOfDigit(text[6]));
    if (!IsOnBoard(move.FromFile, move.FromRank) || !IsOnBoard(move.ToFile, move.ToRank))
        return std::nullopt;
    if (text.size() >= 9) move.Promotion = PromotionPieceOfLetter(text[8], whiteToMove);
    return move;
}

std::string MoveToUci(const TChessMove& move) {
    if (IsPassMove(move)) return "0000";
    std::string text;
    text += static_cast<char>(std::tolower(static_cast<unsigned char>(FileLetter(move.FromFile))));
    text += RankDigit(move.FromRank);
    text += static_cast<char>(std::tolower(static_cast<unsigned char>(FileLetter(move.ToFile))));
    text += RankDigit(move.ToRank);
    if (move.Promotion != cEmpty)
        text += static_cast<char>(std::tolower(static_cast<unsigned char>(PieceLetter(move.Promotion))));
    return text;
}

std::optional<TChessMove> UciToMove(std::string_view text, bool whiteToMove) {
    if (text.size() != 4 && text.size() != 5) return std::nullopt;
    TChessMove move;
    move.FromFile = static_cast<std::uint8_t>(FileOfLetter(text[0], true));
    move.FromRank = static_cast<std::uint8_t>(RankOfDigit(text[1]));
    move.ToFile = static_cast<std::uint8_t>(FileOfLetter(text[2], true));
    move.ToRank = static_cast<std::uint8_t>(RankOfDigit(text[3]));
    if (!IsOnBoard(move.FromFile, move.FromRank) || !IsOnBoard(move.ToFile, move.ToRank))
        return std::nullopt;
    if (text.size() == 5) {
        const char letter = static_cast<char>(std::toupper(static_cast<unsigned char>(text[4])));
        move.Promotion = PromotionPieceOfLetter(letter, whiteToMove);
        if (move.Promotion == cEmpty) return std::nullopt;
    }
    return move;
}

}  // namespace tavlor
