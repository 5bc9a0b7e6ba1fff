#pragma once

#include <concepts>
#include <cstdint>
#include <string>
#include <string_view>

#include "rules/ChessBoard.h"

// What the fuzz targets share: a scratch folder for the readers that take files, and the checks
// that run on whatever a reader produced. A failed check aborts with a message, and libFuzzer
// keeps the input that caused it.
namespace tavlor::fuzz {

// libFuzzer's input as text.
inline std::string_view InputText(const std::uint8_t* data, std::size_t size) {
    // NOLINTNEXTLINE(cppcoreguidelines-pro-type-reinterpret-cast): char may view any bytes
    return {reinterpret_cast<const char*>(data), size};
}

// A folder of this process's own, in memory where the system has one, removed at exit.
const std::string& ScratchFolder();

// Writes the bytes to a file of that name in the scratch folder and returns its path.
std::string ScratchFile(std::string_view name, std::string_view bytes);

[[noreturn]] void Fail(std::string_view what, std::string_view detail);

inline void Check(bool condition, std::string_view what, std::string_view detail = {}) {
    if (!condition) Fail(what, detail);
}

// The same with a detail that is built only when the check fails.
template <typename TDetail>
requires std::invocable<TDetail>
void Check(bool condition, std::string_view what, TDetail detail) {
    if (!condition) Fail(what, detail());
}

// The position as a short text for failure messages: the squares rank 8 to 1, the side to move,
// castling rights and the en passant file.
std::string Describe(const TChessBoard& board);

// Everything a position read from outside feeds: both sides' move generation, the legality test,
// the search board's moves compared with the rules' moves, each legal move made (and, when
// `gameEndAfterEachMove`, the game-end test after it), the game-end test and a search of two
// iterations whose move must be legal.
void ExercisePosition(TChessBoard& board, bool gameEndAfterEachMove);

// Both games hold the same record: positions, moves with their promotion pieces, rights, clocks
// and comments as the file writes them.
void CheckSameGame(const TChessBoard& read, const TChessBoard& reread);

}  // namespace tavlor::fuzz
