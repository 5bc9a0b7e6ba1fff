#include "notation/SavedGame.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <functional>
#include <string>
#include <vector>

#include "notation/Fen.h"
#include "notation/MoveText.h"
#include "platform/DateTime.h"
#include "tests/platform/TempFolder.h"

namespace tavlor {
namespace {

using testing::ReadBytes;
using testing::TTempFolder;
using testing::WriteBytes;

void Play(TChessBoard& board, const std::vector<std::string>& moves) {
    for (const std::string& text : moves) {
        const std::optional<TChessMove> move = UciToMove(text, board.IsWhiteToMove());
        ASSERT_TRUE(move) << text;
        ASSERT_TRUE(board.MakeMove(*move)) << text;
    }
}

// Everything a saved game keeps, and the position and record it leads to.
void ExpectSameGame(const TChessBoard& actual, const TChessBoard& expected) {
    EXPECT_EQ(WriteGameLines(actual), WriteGameLines(expected));
    EXPECT_TRUE(actual.StartBoard == expected.StartBoard);
    EXPECT_TRUE(actual.Board == expected.Board);
    EXPECT_TRUE(actual.StartCastlingRights == expected.StartCastlingRights);
    EXPECT_TRUE(actual.CastlingRights == expected.CastlingRights);
    EXPECT_EQ(actual.PlyCount, expected.PlyCount);
    EXPECT_EQ(actual.HistoryPos, expected.HistoryPos);
    for (std::int32_t ply = 1; ply <= expected.PlyCount; ++ply) {
        EXPECT_TRUE(SameMove(actual.History[ply], expected.History[ply])) << ply;
        EXPECT_EQ(actual.History[ply].Promotion, expected.History[ply].Promotion) << ply;
    }
    // Comments are saved without their outer blanks.
    for (std::int32_t list = 0; list < 2; ++list)
        for (std::int32_t ply = 0; ply <= expected.PlyCount + 2; ++ply) {
            std::string comment = expected.GetComment(list, ply);
            comment.erase(0, comment.find_first_not_of(' '));
            comment.erase(comment.find_last_not_of(' ') + 1);
            EXPECT_EQ(actual.GetComment(list, ply), comment) << list << " " << ply;
        }
}

std::string Lines(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines)
        text.append(line).append("\r\n");
    return text;
}

// The eight squares of one file in the initial position, rank 1 first.
std::vector<std::string> InitialFile(TPieceCode backRank) {
    return {std::to_string(backRank),
            "10",
            "0",
            "0",
            "0",
            "0",
            "65546",
            std::to_string(backRank + cBlackBase)};
}

TEST(SavedGame, TimeFormat) {
    EXPECT_EQ(FormatGameTime(0), " 0.00000000000000E+0000");
    EXPECT_EQ(FormatGameTime(cOneSecond), " 1.15740740740741E-0005");
    EXPECT_EQ(FormatGameTime(-1.5), "-1.50000000000000E+0000");
    EXPECT_EQ(FormatGameTime(12345.0), " 1.23450000000000E+0004");
    EXPECT_EQ(FormatGameTime(1e-300), " 1.00000000000000E-0300");
    EXPECT_EQ(FormatGameTime(cOneSecond).size(), 23u);
}

TEST(SavedGame, ByteLayoutOfASmallGame) {
    TChessBoard board;
    Play(board, {"e2e4", "e7e5", "g1f3"});
    board.SetComment(0, 0,
                     "  Er\xC3\xB6"
                     "ffnung  ");
    board.SetComment(1, 3, "Gut\r\ngespielt\nund\rschnell");
    board.WhiteTime = cOneSecond;

    std::vector<std::string> header = {
        "Tavlor V2.0.3.1", "10",  "65546", "30",    "65566", "40",   "65576", "50",   "65586", "90",
        "65626",           "640", "66176", "FALSE", "0",     "TRUE", "TRUE",  "TRUE", "TRUE"};
    for (TPieceCode piece : {cWhiteRook, cWhiteKnight, cWhiteBishop, cWhiteQueen, cWhiteKing,
                             cWhiteBishop, cWhiteKnight, cWhiteRook})
        for (const std::string& square : InitialFile(piece))
            header.push_back(square);
    header.push_back(" 1.15740740740741E-0005");
    header.push_back(" 0.00000000000000E+0000");
    ASSERT_EQ(header.size(), 85u);
    const std::string expected = Lines(header) +
                                 "  1. E2 - E4     E7 - E5  \r\n"
                                 "Er\xF6"
                                 "ffnung\r\n\r\n\r\n\r\n"
                                 "  2. G1 - F3     ...\r\n"
                                 "\r\n\r\n\r\nGut gespielt und schnell\r\n"
                                 "FINAL COMMENTS\r\n\r\n\r\n\r\n\r\n";

    TTempFolder folder;
    const std::string fileName = folder.File("small.TVG");
    ASSERT_TRUE(SaveGame(board, fileName));
    EXPECT_EQ(ReadBytes(fileName), expected);
}

TEST(SavedGame, EmptyGameIsHeaderAndClosingBlock) {
    const std::vector<std::string> lines = WriteGameLines(TChessBoard{});
    ASSERT_EQ(lines.size(), 90u);
    EXPECT_EQ(lines[85], "FINAL COMMENTS");
    TChessBoard loaded;
    Play(loaded, {"d2d4"});
    ASSERT_TRUE(ReadGameLines(loaded, lines));
    ExpectSameGame(loaded, TChessBoard{});
    EXPECT_EQ(loaded.HistoryTop, 0);
}

struct TRoundTrip {
    const char* Name;
    std::string_view Fen;
    std::vector<std::string> Moves;
    std::function<void(TChessBoard&)> Extra;
};

TEST(SavedGame, RoundTrips) {
    const std::vector<TRoundTrip> rows = {
        {"initial position", cStartFen, {}, nullptr},
        {"set-up start, Black to move (pass record)",
         "r3k2r/8/8/8/8/8/8/4K2R b Kkq - 0 1",
         {"e8g8", "h1h8", "g8h8", "e1e2"},
         nullptr},
        {"promotions of both colours",
         "8/P6k/8/8/8/8/p6K/8 w - - 0 1",
         {"a7a8n", "a2a1n", "a8b6", "a1b3", "h2g2", "h7g6"},
         nullptr},
        {"Black promotes after the pass record",
         "8/P6k/8/8/8/8/p6K/8 b - - 0 1",
         {"a2a1q", "a7a8r"},
         nullptr},
        {"comments with blanks and umlauts",
         cStartFen,
         {"e2e4", "c7c5", "g1f3"},
         [](TChessBoard& board) {
             board.SetComment(0, 0, "  Sizilianisch?  ");
             board.SetComment(0, 2,
                              "Gr\xC3\xBC\xC3\x9F"
                              "e  an alle");
             board.SetComment(1, 3, "\"Antwort\" ; [x] = y");
             board.SetComment(0, 4, "nach dem letzten Zug");
         }},
        {"clocks to 15 digits",
         cStartFen,
         {"e2e4"},
         [](TChessBoard& board) {
             board.WhiteTime = 0.123456789012345678;
             board.BlackTime = 1234.56789012345678;
         }},
        {"en passant in the record",
         "4k3/8/8/8/4p3/8/3P4/4K3 w - - 0 1",
         {"d2d4", "e4d3"},
         nullptr},
    };
    TTempFolder folder;
    for (const TRoundTrip& row : rows) {
        SCOPED_TRACE(row.Name);
        TChessBoard board;
        ReadFen(board, row.Fen);
        Play(board, row.Moves);
        if (row.Extra) row.Extra(board);

        const std::string fileName = folder.File("game.TVG");
        ASSERT_TRUE(SaveGame(board, fileName));
        TChessBoard loaded;
        Play(loaded, {"g2g4", "e7e5"});
        loaded.SetComment(0, 7, "alt");
        const TGameFileStatus status = LoadGame(loaded, fileName);
        ASSERT_TRUE(status) << status.Message;
        EXPECT_EQ(status.WhiteToMove, board.IsWhiteToMove());
        EXPECT_EQ(loaded.HistoryTop, board.PlyCount);
        EXPECT_EQ(loaded.GetComment(0, 7), "");
        ExpectSameGame(loaded, board);
        // A second save of the loaded game gives the same bytes.
        const std::string bytes = ReadBytes(fileName);
        ASSERT_TRUE(SaveGame(loaded, fileName));
        EXPECT_EQ(ReadBytes(fileName), bytes);
    }
}

TEST(SavedGame, PromotionLettersAndPassRecordOnDisk) {
    TChessBoard board;
    ReadFen(board, "8/P6k/8/8/8/8/p6K/8 b - - 0 1");
    Play(board, {"a2a1n", "a7a8n"});
    const std::vector<std::string> lines = WriteGameLines(board);
    EXPECT_EQ(lines[85], "  1. A0 - A0     A2 - A1 N");
    EXPECT_EQ(lines[90], "  2. A7 - A8 N   ...");
    TChessBoard loaded;
    ASSERT_TRUE(ReadGameLines(loaded, lines));
    EXPECT_TRUE(IsPassMove(loaded.History[1]));
    EXPECT_EQ(loaded.History[2].Promotion, cBlackKnight);
    EXPECT_EQ(loaded.History[3].Promotion, cWhiteKnight);
    EXPECT_EQ(loaded.GetSquare(1, 1), cBlackKnight);
    EXPECT_EQ(loaded.GetSquare(1, 8), cWhiteKnight);
    EXPECT_FALSE(loaded.IsWhiteToMove());
}

TEST(SavedGame, LenientReading) {
    TChessBoard board;
    Play(board, {"e2e4", "e7e5"});
    std::vector<std::string> lines = WriteGameLines(board);
    lines[83] = "1,5";          // a decimal comma
    lines[84] = "  +2.5e-3  ";  // another notation
    lines.push_back("");        // blank lines after the closing block
    lines.push_back("   ");
    std::string bytes;
    for (const std::string& line : lines)
        bytes.append(line).append("\n");  // LF line ends
    TTempFolder folder;
    const std::string fileName = folder.File("lenient.TVG");
    WriteBytes(fileName, bytes);
    TChessBoard loaded;
    const TGameFileStatus status = LoadGame(loaded, fileName);
    ASSERT_TRUE(status) << status.Message;
    EXPECT_EQ(loaded.WhiteTime, 1.5);
    EXPECT_EQ(loaded.BlackTime, 2.5e-3);
    EXPECT_EQ(loaded.PlyCount, 2);
}

// Damage done to the lines of a good file, and the line the error must name.
struct TDamage {
    const char* Name;
    std::function<void(std::vector<std::string>&)> Damage;
    std::int32_t Line;
};

std::vector<std::string> AGoodGame() {
    TChessBoard board;
    Play(board, {"e2e4", "e7e5", "g1f3", "b8c6", "f1b5"});
    board.SetComment(0, 1, "gut");
    return WriteGameLines(board);  // 85 header lines, move lines at 86, 91 and 96, closing 101
}

TEST(SavedGame, DamagedFilesLeaveTheBoardAlone) {
    const auto set = [](std::size_t line, std::string text) {
        return [=](std::vector<std::string>& lines) { lines[line - 1] = text; };
    };
    const auto cut = [](std::size_t count) {
        return [=](std::vector<std::string>& lines) { lines.resize(count); };
    };
    const std::vector<TDamage> rows = {
        {"empty file", cut(0), 1},
        {"cut in the start position", cut(49), 50},
        {"foreign piece code", set(2, "11"), 2},
        {"piece code not a number", set(13, "Koenig"), 13},
        {"en passant file 9", set(15, "9"), 15},
        {"square not a number", set(40, "x"), 40},
        {"square with an unknown code", set(30, "77"), 30},
        {"clock not a number", set(84, "1.0.0"), 84},
        {"clock infinite", set(85, "1e999"), 85},
        {"rank 9", set(86, "  1. E9 - E4     E7 - E5  "), 86},
        {"rank 0 outside the pass record", set(86, "  1. E2 - E0     E7 - E5  "), 86},
        {"file letter I", set(91, "  2. G1 - I3     B8 - C6  "), 91},
        {"unknown promotion letter", set(86, "  1. E2 - E4 X   E7 - E5  "), 86},
        {"second move damaged", set(91, "  2. G1 - F3     B8 - C9  "), 91},
        {"second column neither move nor dots", set(91, "  2. G1 - F3     xx"), 91},
        {"line too short", set(86, "  1. E2"), 86},
        {"move after a line without Black's move",
         [](std::vector<std::string>& lines) { lines[90] = "  2. G1 - F3     ..."; }, 96},
        {"closing block missing", cut(100), 101},
        {"closing block cut", cut(103), 104},
        {"text after the closing block",
         [](std::vector<std::string>& lines) { lines.push_back("  4. A2 - A3     ..."); }, 106},
        {"more than 1000 half-moves",
         [](std::vector<std::string>& lines) {
             lines.resize(85);
             for (int i = 0; i < 501; ++i) {
                 lines.push_back(i % 2 == 0 ? "  1. G1 - F3     G8 - F6  "
                                            : "  2. F3 - G1     F6 - G8  ");
                 for (int k = 0; k < 4; ++k)
                     lines.emplace_back();
             }
         },
         86 + 500 * 5},
    };
    TTempFolder folder;
    const std::string fileName = folder.File("damaged.TVG");
    for (const TDamage& row : rows) {
        SCOPED_TRACE(row.Name);
        std::vector<std::string> lines = AGoodGame();
        row.Damage(lines);
        WriteBytes(fileName, Lines(lines));

        TChessBoard board;
        ReadFen(board, "r3k2r/8/8/8/8/8/8/R3K2R b KQkq - 0 1");
        Play(board, {"a8a1"});
        board.SetComment(1, 1, "vorher");
        board.WhiteTime = 0.25;
        const TChessBoard before = board;
        const TGameFileStatus status = LoadGame(board, fileName);
        EXPECT_FALSE(status);
        EXPECT_EQ(status.Line, row.Line) << status.Message;
        EXPECT_NE(status.Message.find(fileName), std::string::npos) << status.Message;
        EXPECT_NE(status.Message.find("Zeile " + std::to_string(row.Line)), std::string::npos)
            << status.Message;
        ExpectSameGame(board, before);
        EXPECT_EQ(board.HistoryTop, before.HistoryTop);
        EXPECT_EQ(board.WhiteTime, before.WhiteTime);
    }
}

TEST(SavedGame, MissingFileAndFailedSave) {
    TTempFolder folder;
    TChessBoard board;
    Play(board, {"e2e4"});
    const TGameFileStatus missing = LoadGame(board, folder.File("none.TVG"));
    EXPECT_FALSE(missing);
    EXPECT_EQ(missing.Line, 0);
    EXPECT_NE(missing.Message.find("none.TVG"), std::string::npos);
    EXPECT_EQ(board.PlyCount, 1);

    const std::string noFolder = folder.File("no-such-folder") + "/game.TVG";
    const TFileStatus saved = SaveGame(board, noFolder);
    EXPECT_FALSE(saved);
    EXPECT_NE(saved.Message.find(noFolder), std::string::npos);
    // A failed save leaves the old file whole (a write-protected folder stops only other users
    // than root).
    if (geteuid() == 0) return;
    const std::string fileName = folder.File("keep.TVG");
    ASSERT_TRUE(SaveGame(board, fileName));
    const std::string bytes = ReadBytes(fileName);
    ASSERT_EQ(chmod(folder.Path().c_str(), 0500), 0);
    Play(board, {"e7e5"});
    EXPECT_FALSE(SaveGame(board, fileName));
    ASSERT_EQ(chmod(folder.Path().c_str(), 0700), 0);
    EXPECT_EQ(ReadBytes(fileName), bytes);
}

TEST(SavedGame, GameTextAlone) {
    TChessBoard board;
    Play(board, {"d2d4", "d7d5", "c2c4"});
    std::vector<std::string> text;
    WriteGameText(board, text);
    ASSERT_EQ(text.size(), 15u);
    TChessBoard other;
    ASSERT_TRUE(ReadGameText(other, text));
    EXPECT_EQ(other.PlyCount, 3);
    EXPECT_TRUE(other.Board == board.Board);
    text[5] = "  2. C2 - C9     ...";
    const TChessBoard before = other;
    const TGameFileStatus status = ReadGameText(other, text);
    EXPECT_FALSE(status);
    EXPECT_EQ(status.Line, 6);
    ExpectSameGame(other, before);
}

}  // namespace
}  // namespace tavlor
