#include "notation/SavedGame.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <functional>
#include <string>
#include <tuple>
#include <vector>

#include "notation/Fen.h"
#include "notation/MoveText.h"
#include "platform/DateTime.h"
#include "tests/platform/TempFolder.h"
#include "tests/rules/TestBoards.h"

namespace tavlor {
namespace {

using testing::ReadBytes;
using testing::TTempFolder;
using testing::WriteBytes;
using TLines = std::vector<std::string>;

// Everything a saved game keeps, the position it leads to and the colours of its promotions.
void ExpectSameGame(const TChessBoard& actual, const TChessBoard& expected) {
    EXPECT_EQ(WriteGameLines(actual), WriteGameLines(expected));
    EXPECT_TRUE(actual.Board == expected.Board);
    EXPECT_TRUE(actual.CastlingRights == expected.CastlingRights);
    EXPECT_EQ(actual.HistoryPos, expected.HistoryPos);
    for (std::int32_t ply = 1; ply <= expected.PlyCount; ++ply)
        EXPECT_EQ(actual.History[ply].Promotion, expected.History[ply].Promotion) << ply;
}

std::string FileBytes(const TLines& lines, std::string_view lineEnd = "\r\n") {
    std::string bytes;
    for (const std::string& line : lines)
        bytes.append(line).append(lineEnd);
    return bytes;
}

TEST(SavedGame, TimeFormat) {
    const std::pair<double, const char*> rows[] = {
        {0, " 0.00000000000000E+0000"},      {cOneSecond, " 1.15740740740741E-0005"},
        {-1.5, "-1.50000000000000E+0000"},   {12345.0, " 1.23450000000000E+0004"},
        {1e-300, " 1.00000000000000E-0300"},
    };
    for (const auto& [days, text] : rows)
        EXPECT_EQ(FormatGameTime(days), text);
}

TEST(SavedGame, ByteLayoutOfASmallGame) {
    TChessBoard board = test::Play(cStartFen, {"e2e4", "e7e5", "g1f3"});
    board.SetComment(0, 0, "  Er\303\266ffnung  ");
    board.SetComment(1, 3, "Gut\r\ngespielt\nund\rschnell");
    board.WhiteTime = cOneSecond;

    TLines header = {
        "Tavlor V2.0.3.1", "10",  "65546", "30",    "65566", "40",   "65576", "50",   "65586", "90",
        "65626",           "640", "66176", "FALSE", "0",     "TRUE", "TRUE",  "TRUE", "TRUE"};
    for (TPieceCode piece : {cWhiteRook, cWhiteKnight, cWhiteBishop, cWhiteQueen, cWhiteKing,
                             cWhiteBishop, cWhiteKnight, cWhiteRook})
        for (TPieceCode square :
             {piece, cWhitePawn, cEmpty, cEmpty, cEmpty, cEmpty, cBlackPawn, piece + cBlackBase})
            header.push_back(std::to_string(square));
    header.insert(header.end(), {" 1.15740740740741E-0005", " 0.00000000000000E+0000"});
    TTempFolder folder;
    ASSERT_TRUE(SaveGame(board, folder.File("small.TVG")));
    EXPECT_EQ(ReadBytes(folder.File("small.TVG")),
              FileBytes(header) +
                  "  1. E2 - E4     E7 - E5  \r\nEr\366ffnung\r\n\r\n\r\n\r\n"
                  "  2. G1 - F3     ...\r\n\r\n\r\n\r\nGut gespielt und schnell\r\n"
                  "FINAL COMMENTS\r\n\r\n\r\n\r\n\r\n");
}

// Every game gets comments with blanks (before the first and after the last move) and clocks
// with 15 digits; a longer game with a comment further on is on the board before loading.
TEST(SavedGame, RoundTrips) {
    const std::pair<std::string_view, std::vector<std::string_view>> rows[] = {
        {cStartFen, {}},
        {"r3k2r/8/8/8/8/8/8/4K2R b Kkq - 0 1", {"e8g8", "h1h8", "g8h8", "e1e2"}},  // pass record
        {"8/P6k/8/8/8/8/p6K/8 w - - 0 1", {"a7a8n", "a2a1n", "a8b6", "a1b3", "h2g2", "h7g6"}},
        {"4k3/8/8/8/4p3/8/3P4/4K3 w - - 0 1", {"d2d4", "e4d3"}},  // en passant
        // A double step that blocked a check cannot have been the last move.
        {"k7/1b6/8/3p4/8/8/8/7K w - d6 0 1", {}},
        {"7k/8/8/8/3P4/8/1B6/K7 b - d3 0 1", {}},
    };
    TTempFolder folder;
    const std::string fileName = folder.File("game.TVG");
    for (const auto& [fen, moves] : rows) {
        SCOPED_TRACE(fen);
        TChessBoard board = test::Play(fen, moves);
        board.SetComment(0, 0, "  Sizilianisch?  ");
        board.SetComment(1, board.PlyCount, "Gr\303\274\303\237e  an alle \"x\" ; [x] = y");
        board.SetComment(0, 1, " -/- ");  // no comment, before saving as after loading
        board.WhiteTime = 0.123456789012345678;
        board.BlackTime = 1234.56789012345678;
        ASSERT_TRUE(SaveGame(board, fileName));
        TChessBoard loaded =
            test::Play(cStartFen, {"g2g4", "e7e5", "d2d4", "d7d5", "c2c4", "c7c5", "b2b4"});
        loaded.SetComment(0, 7, "alt");
        const TGameFileStatus status = LoadGame(loaded, fileName);
        ASSERT_TRUE(status) << status.Message;
        EXPECT_EQ(status.WhiteToMove, board.IsWhiteToMove());
        EXPECT_EQ(loaded.HistoryTop, board.PlyCount);
        EXPECT_EQ(loaded.GetComment(0, 7), "");
        EXPECT_EQ(loaded.GetComment(0, 1), board.GetComment(0, 1));
        ExpectSameGame(loaded, board);
    }
}

TEST(SavedGame, LenientReading) {
    TLines lines = WriteGameLines(test::Play(cStartFen, {"e2e4", "e7e5"}));
    lines[83] = "1,5";                       // a decimal comma
    lines[84] = "  +2.5e-3  ";               // another notation
    lines.insert(lines.end(), {"", "   "});  // blank lines after the closing block
    TTempFolder folder;
    WriteBytes(folder.File("lenient.TVG"), FileBytes(lines, "\n"));
    TChessBoard loaded;
    const TGameFileStatus status = LoadGame(loaded, folder.File("lenient.TVG"));
    ASSERT_TRUE(status) << status.Message;
    EXPECT_EQ(std::tuple(loaded.WhiteTime, loaded.BlackTime, loaded.PlyCount),
              std::tuple(1.5, 2.5e-3, 2));
}

TEST(SavedGame, DamagedFilesLeaveTheBoardAlone) {
    using TDamage = std::function<void(TLines&)>;
    const auto set = [](std::size_t line, std::string text) -> TDamage {
        return [=](TLines& lines) { lines[line - 1] = text; };
    };
    const auto cut = [](std::size_t count) -> TDamage {
        return [=](TLines& lines) { lines.resize(count); };
    };
    const TDamage tooLong = [](TLines& lines) {
        lines.resize(85);
        for (int i = 0; i < 501; ++i)
            lines.insert(lines.end(),
                         {i % 2 == 0 ? "  1. G1 - F3     G8 - F6  " : "  2. F3 - G1     F6 - G8  ",
                          "", "", "", ""});
    };
    // A good game has 85 header lines, move lines at 86, 91 and 96 and the closing block at 101.
    // clang-format off
    const std::tuple<const char*, TDamage, std::int32_t> rows[] = {
        {"cut in the start position", cut(49), 50},
        {"foreign piece code", set(2, "11"), 2},
        {"piece code not a number", set(13, "Koenig"), 13},
        {"en passant file 9", set(15, "9"), 15},
        {"square with an unknown code", set(30, "77"), 30},
        {"clock not a number", set(84, "1.0.0"), 84},
        {"clock infinite", set(85, "1e999"), 85},
        {"rank 0 outside the pass record", set(86, "  1. E2 - E0     E7 - E5  "), 86},
        {"file letter I", set(91, "  2. G1 - I3     B8 - C6  "), 91},
        {"unknown promotion letter", set(86, "  1. E2 - E4 X   E7 - E5  "), 86},
        {"promotion to a king", set(86, "  1. E2 - E4 K   E7 - E5  "), 86},
        {"second move damaged", set(91, "  2. G1 - F3     B8 - C9  "), 91},
        {"second column neither move nor dots", set(91, "  2. G1 - F3     xx"), 91},
        {"line too short", set(86, "  1. E2"), 86},
        {"move after a line without Black's move", set(91, "  2. G1 - F3     ..."), 96},
        {"closing block missing", cut(100), 101},
        {"closing block cut", cut(103), 104},
        {"text after the closing block", [](TLines& lines) { lines.push_back("  4. A2 - A3     ..."); }, 106},
        {"illegal move", set(91, "  2. G1 - F3     E8 - E6  "), 91},
        {"Black's move in White's column", set(86, "  1. E7 - E5     E2 - E4  "), 86},
        {"pass record after the first move", set(91, "  2. A0 - A0     B8 - C6  "), 91},
        {"white king missing", set(52, "0"), 20},
        {"Black in check with White to move", set(58, "90"), 20},
        {"more than 1000 half-moves", tooLong, 86 + 500 * 5},
    };
    // clang-format on
    TChessBoard good = test::Play(cStartFen, {"e2e4", "e7e5", "g1f3", "b8c6", "f1b5"});
    good.SetComment(0, 1, "gut");
    TTempFolder folder;
    const std::string fileName = folder.File("damaged.TVG");
    for (const auto& [name, damage, line] : rows) {
        SCOPED_TRACE(name);
        TLines lines = WriteGameLines(good);
        damage(lines);
        WriteBytes(fileName, FileBytes(lines));
        TChessBoard board = test::Play("r3k2r/8/8/8/8/8/8/R3K2R b KQkq - 0 1", {"a8a1"});
        board.SetComment(1, 1, "vorher");
        board.WhiteTime = 0.25;
        const TChessBoard before = board;
        const TGameFileStatus status = LoadGame(board, fileName);
        EXPECT_FALSE(status);
        EXPECT_EQ(status.Line, line);
        const std::string named = "\"" + fileName + "\" ist besch\303\244digt (Zeile ";
        EXPECT_NE(status.Message.find(named + std::to_string(line) + ")"), std::string::npos)
            << status.Message;
        ExpectSameGame(board, before);
        EXPECT_EQ(board.HistoryTop, before.HistoryTop);
    }
}

// Files that break the rules of the game: each is one saved game changed in one place.
TEST(SavedGame, GamesAgainstTheRulesAreRefused) {
    struct TCase {
        const char* Name;
        const char* Fen;
        std::vector<std::string_view> Moves;
        std::size_t Line;  // changed to Text
        const char* Text;
        const char* Reason;
    };
    // clang-format off
    const TCase cases[] = {
        {"promotion without a piece", "8/P6k/8/8/8/8/7K/8 w - - 0 1", {"a7a8q"}, 86,
         "  1. A7 - A8     ...", "Umwandlung ohne g\303\274ltige Figur \"A7 - A8  \""},
        // White's king-side right in the header without a rook on H1: no rook appears on F1.
        {"castling without the rook", "4k3/8/8/8/8/8/8/4K3 w - - 0 1", {"e1f1"}, 86,
         "  1. E1 - G1     ...", "regelwidriger Zug \"E1 - G1  \""},
        {"king walks into check", "4k3/8/8/8/8/8/8/4K2R w - - 0 1", {"h1h7", "e8d8"}, 86,
         "  1. H1 - H7     E8 - E7  ", "regelwidriger Zug \"E8 - E7  \""},
    };
    // clang-format on
    TTempFolder folder;
    const std::string fileName = folder.File("rules.TVG");
    for (const TCase& test : cases) {
        SCOPED_TRACE(test.Name);
        TLines lines = WriteGameLines(test::Play(test.Fen, test.Moves));
        lines[test.Line - 1] = test.Text;
        lines[17] = "TRUE";  // the start castling right of White's king side
        WriteBytes(fileName, FileBytes(lines));
        TChessBoard board;
        const TGameFileStatus status = LoadGame(board, fileName);
        EXPECT_FALSE(status);
        EXPECT_EQ(status.Line, static_cast<std::int32_t>(test.Line));
        EXPECT_NE(status.Message.find(test.Reason), std::string::npos) << status.Message;
        EXPECT_EQ(board.PlyCount, 0);
    }
}

TEST(SavedGame, WhatIsNoGameAtAllIsNamedSo) {
    TTempFolder folder;
    const std::string fileName = folder.File("bytes.TVG");
    for (const std::string& bytes :
         {std::string(), std::string("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16),
          std::string("Liebe Grüße\r\n10\r\n")}) {
        WriteBytes(fileName, bytes);
        TChessBoard board;
        const TGameFileStatus status = LoadGame(board, fileName);
        EXPECT_FALSE(status);
        EXPECT_EQ(status.Message, "Die Datei \"" + fileName + "\" ist keine Tavlor-Partie.");
    }
}

TEST(SavedGame, MissingFileAndFailedSave) {
    TTempFolder folder;
    TChessBoard board = test::Play(cStartFen, {"e2e4"});
    const TGameFileStatus missing = LoadGame(board, folder.File("none.TVG"));
    EXPECT_FALSE(missing);
    EXPECT_NE(missing.Message.find("none.TVG"), std::string::npos);
    EXPECT_EQ(board.PlyCount, 1);
    const TFileStatus saved = SaveGame(board, folder.File("no-such-folder/game.TVG"));
    EXPECT_FALSE(saved);
    EXPECT_NE(saved.Message.find("no-such-folder/game.TVG"), std::string::npos);
    // A failed save leaves the old file whole (a write-protected folder stops only other users
    // than root).
    if (geteuid() == 0) return;
    const std::string fileName = folder.File("keep.TVG");
    ASSERT_TRUE(SaveGame(board, fileName));
    const std::string bytes = ReadBytes(fileName);
    ASSERT_EQ(chmod(folder.Path().c_str(), 0500), 0);
    EXPECT_FALSE(SaveGame(test::Play(cStartFen, {"e2e4", "e7e5"}), fileName));
    ASSERT_EQ(chmod(folder.Path().c_str(), 0700), 0);
    EXPECT_EQ(ReadBytes(fileName), bytes);
}

TEST(SavedGame, GameTextAlone) {
    const TChessBoard board = test::Play(cStartFen, {"d2d4", "d7d5", "c2c4"});
    TLines text;
    WriteGameText(board, text);
    TChessBoard other;
    other.SetComment(0, 9, "alt");
    ASSERT_TRUE(ReadGameText(other, text));
    ExpectSameGame(other, board);
    EXPECT_EQ(other.GetComment(0, 9), "");
    text[5] = "  2. C2 - C9     ...";
    const TGameFileStatus status = ReadGameText(other, text);
    EXPECT_FALSE(status);
    EXPECT_EQ(status.Line, 6);
    ExpectSameGame(other, board);
}

}  // namespace
}  // namespace tavlor
