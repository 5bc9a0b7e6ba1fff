#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/FileAccess.h"
#include "rules/ChessBoard.h"

namespace tavlor {

// A saved game: 85 header lines (title, the twelve piece codes, en passant state, start castling
// rights, the start position square by square, both clocks), then the game text. The file is
// Windows-1252 with CRLF line ends; a network game transfer carries the same lines.
//
// The game text has one block of five lines per pair of half-moves: a move line
// "  1. E2 - E4     E7 - E5  " (a missing Black move shows as "...", a promotion as its letter)
// and the comments of list 0 and list 1 before both moves; then the closing block:
// "FINAL COMMENTS" and the four comments after the last move line.

inline constexpr std::int32_t cGameHeaderLines = 85;
inline constexpr const char* cGameFileTitle = "Tavlor V2.0.3.1";
inline constexpr const char* cFinalComments = "FINAL COMMENTS";

// What went wrong with a game text or file; a damaged text never changes the board.
struct [[nodiscard]] TGameFileStatus {
    bool Ok = true;
    std::int32_t Line = 0;    // the damaged line counted from 1; 0 when the file was not read
    std::string Message;      // German, naming the file (if any) and the line
    bool WhiteToMove = true;  // after a good load: the side to move at the end of the game

    explicit operator bool() const { return Ok; }
};

// A clock value in the file's fixed 23-character form: " 1.15740740740741E-0005".
std::string FormatGameTime(double days);

// Appends the game text of the moves up to the current position.
void WriteGameText(const TChessBoard& board, std::vector<std::string>& lines);

// Replaces the record and both comment lists with those of the game text and leaves the board at
// the end of it. The moves are replayed from the start position, each tested by the rules (the
// pass record may only open the game). The whole text is checked first: on any damage or illegal
// move the board stays as it was and the error names the line (counted from 1 within `lines`).
TGameFileStatus ReadGameText(TChessBoard& board, const std::vector<std::string>& lines);

// All lines of the saved game, header and game text, in memory (UTF-8).
std::vector<std::string> WriteGameLines(const TChessBoard& board);

// Replaces the game with that of the lines of a saved game, or leaves it untouched and names the
// damaged line: the piece codes must be the program's, every number and square valid, the start
// position playable, every move legal, and the text must end with the closing block. A castling
// right counts only with its king and rook at home. Lines that are no saved game at all (neither
// the title nor the piece codes) are reported as "keine Tavlor-Partie".
TGameFileStatus ReadGameLines(TChessBoard& board, const std::vector<std::string>& lines);

// Writes the game as a file, replacing an existing one only once the new one is complete.
TFileStatus SaveGame(const TChessBoard& board, const std::string& fileName);

// Reads the whole file and replaces the game only when all of it is good. Choosing who plays
// which colour afterwards is the caller's affair (the result tells who is to move).
TGameFileStatus LoadGame(TChessBoard& board, const std::string& fileName);

}  // namespace tavlor
