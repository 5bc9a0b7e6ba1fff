#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "notation/Fen.h"
#include "notation/FenWriter.h"
#include "notation/MoveText.h"
#include "notation/Pgn.h"
#include "tests/platform/TempFolder.h"
#include "tests/rules/TestBoards.h"

namespace tavlor {
namespace {

// What a PGN round trip must keep: start, record, comments of list 0.
void ExpectSameGame(const TChessBoard& read, const TChessBoard& written, const std::string& pgn) {
    EXPECT_TRUE(SameBoard(read.StartBoard, written.StartBoard)) << pgn;
    EXPECT_EQ(read.StartCastlingRights, written.StartCastlingRights) << pgn;
    ASSERT_EQ(read.PlyCount, written.PlyCount) << pgn;
    EXPECT_EQ(read.HistoryTop, read.PlyCount) << pgn;
    for (std::int32_t ply = 1; ply <= read.PlyCount; ++ply) {
        EXPECT_TRUE(SameMove(read.History[ply], written.History[ply])) << ply << "\n" << pgn;
        EXPECT_EQ(read.History[ply].Promotion, written.History[ply].Promotion) << ply;
    }
    for (std::int32_t ply = 0; ply <= read.PlyCount; ++ply)
        EXPECT_EQ(read.GetComment(0, ply), written.GetComment(0, ply)) << ply << "\n" << pgn;
    EXPECT_TRUE(SameBoard(read.Board, written.Board)) << pgn;
}

TEST(WriteFen, TheFenOfEveryPositionReadsBack) {
    struct TCase {
        const char* Start;
        std::vector<std::string> Moves;
        const char* Fen;
    };
    const TCase cases[] = {
        {"startpos", {}, "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1"},
        {"startpos", {"e2e4"}, "rnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR b KQkq e3 0 1"},
        {"startpos",
         {"e2e4", "c7c5", "g1f3"},
         "rnbqkbnr/pp1ppppp/8/2p5/4P3/5N2/PPPP1PPP/RNBQKB1R b KQkq - 1 2"},
        {"startpos",
         {"g1f3", "g8f6", "h1g1", "b8c6", "g1h1", "a8b8"},
         "1rbqkb1r/pppppppp/2n2n2/8/8/5N2/PPPPPPPP/RNBQKB1R w Qk - 6 4"},
        {"4k3/8/8/8/8/8/8/4K3 b - - 0 1", {"e8d7"}, "8/3k4/8/8/8/8/8/4K3 w - - 1 2"},
        {"4k3/8/8/8/3pP3/8/8/4K3 b - e3 0 1", {}, "4k3/8/8/8/3pP3/8/8/4K3 b - e3 0 1"},
        {"4k3/8/8/3pP3/8/8/8/4K3 w - d6 0 1", {"e5d6"}, "4k3/8/3P4/8/8/8/8/4K3 b - - 0 2"},
        {"4k3/1P6/8/8/8/8/8/4K3 w - - 0 1", {"b7b8n"}, "1N2k3/8/8/8/8/8/8/4K3 b - - 0 1"},
    };
    for (const TCase& row : cases) {
        const TChessBoard board = test::Play(row.Start, row.Moves);
        const std::string fen = WriteFen(board);
        EXPECT_EQ(fen, row.Fen) << row.Start;
        TChessBoard read;
        ReadFen(read, fen);
        EXPECT_TRUE(SameBoard(read.Board, board.Board)) << fen;
        EXPECT_EQ(read.IsWhiteToMove(), board.IsWhiteToMove()) << fen;
        EXPECT_EQ(read.CastlingRights, board.CastlingRights) << fen;
        EXPECT_EQ(read.EnPassantPossible, board.EnPassantPossible) << fen;
        EXPECT_EQ(read.EnPassantFile, board.EnPassantFile) << fen;
    }

    // A right whose rook is gone (only a damaged game file has one) is not written.
    TChessBoard board;
    board.SetSquare(8, 1, cEmpty);
    EXPECT_EQ(WriteFen(board), "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBN1 w Qkq - 0 1");
}

TEST(Pgn, GamesReadBackAsTheyWereWritten) {
    struct TCase {
        const char* Start;
        std::vector<std::string> Moves;
        std::vector<std::pair<int, const char*>> Comments;  // ply, text of list 0
    };
    const TCase cases[] = {
        // Castling both ways by both sides, checks.
        {"r3k2r/pppq1ppp/2npbn2/4p3/4P3/2NPBN2/PPPQ1PPP/R3K2R w KQkq - 0 1",
         {"e1c1", "e8g8", "d2e2", "f8e8", "h1g1", "e8f8"},
         {}},
        // En passant by both sides, promotion to every piece, captures.
        {"1n2k3/P1P4P/8/3pP3/8/8/p1p3p1/1N2K3 w - d6 0 1",
         {"e5d6", "e8d7", "a7a8q", "a2a1r", "c7b8b", "c2b1n", "h7h8n", "g2g1q"},
         {}},
        {"startpos", {"e2e4", "a7a6", "e4e5", "d7d5", "e5d6", "e7e6", "g2g4", "h7h5", "g4h5"}, {}},
        // Mate; comments with braces, semicolons and umlauts, and one before the first move.
        {"startpos",
         {"e2e4", "e7e5", "d1h5", "b8c6", "f1c4", "g8f6", "h5f7"},
         {{0, "Schäfermatt {kurz}"},
          {3, "Die Dame zieht früh; das ist gewagt."},
          {7, "Matt. } und { stehen im Text"}}},
        // Set-up start with Black to move, and a long comment that has to be wrapped.
        {"4k3/8/8/8/8/8/4P3/4K3 b - - 0 1",
         {"e8d7", "e2e4", "d7e6"},
         {{1,
           "Schwarz beginnt in dieser Stellung. Ein langer Kommentar, der über mehr als "
           "achtzig Zeichen reicht und deshalb auf mehrere Zeilen verteilt werden muss."},
          {2,
           "Ein Kommentar mit } der über achtzig Zeichen reicht, muss auf mehrere Zeilen "
           "mit Semikolon verteilt werden."}}},
    };
    for (const TCase& row : cases) {
        TChessBoard board = test::Play(row.Start, row.Moves);
        for (const auto& [ply, text] : row.Comments)
            board.SetComment(0, ply, text);
        const TPgnText pgn = WritePgn(board, GameTags(board));
        ASSERT_TRUE(pgn) << pgn.Message;
        std::istringstream lines(pgn.Text);
        for (std::string line; std::getline(lines, line);)
            EXPECT_TRUE(line.size() <= 80 || line[0] == ';') << line;
        TChessBoard read;
        const TGameFileStatus status = ReadPgn(read, pgn.Text);
        EXPECT_TRUE(status) << status.Message;
        ASSERT_TRUE(status) << status.Message << "\n" << pgn.Text;
        ExpectSameGame(read, board, pgn.Text);
    }
}

TEST(Pgn, WritesTheRosterTheResultAndTheSetUp) {
    TChessBoard board = test::Play("startpos", {"f2f3", "e7e5", "g2g4", "d8h4"});
    board.SetComment(0, 2, "Nach \"e5\"");
    board.SetComment(1, 2, "vom Gegner");
    TPgnTags tags;
    tags.White = "Anna \"die Schnelle\"";
    tags.Date = PgnDate(45351.75);
    EXPECT_EQ(WritePgn(board, tags).Text,
              "[Event \"Tavlor\"]\n[Site \"?\"]\n[Date \"2024.02.29\"]\n[Round \"-\"]\n"
              "[White \"Anna \\\"die Schnelle\\\"\"]\n[Black \"?\"]\n[Result \"0-1\"]\n\n"
              "1. f3 e5 {Nach \"e5\" vom Gegner} 2. g4 Qh4# 0-1\n\n");

    board = test::Play("4k3/8/8/8/8/8/8/4K2R b K - 0 1", {"e8d7"});
    const std::string text = WritePgn(board, GameTags(board)).Text;
    EXPECT_NE(text.find("[SetUp \"1\"]\n[FEN \"4k3/8/8/8/8/8/8/4K2R b K - 0 1\"]\n\n1... Kd7 *"),
              std::string::npos)
        << text;
    EXPECT_EQ(PgnDate(0), "1899.12.30");
}

TEST(Pgn, RefusesToWriteARecordThatIsNotPlayable) {
    // Saved game files are replayed without a legality test, so a damaged one can hold anything.
    TChessBoard board = test::Play("startpos", {"e2e4"});
    ASSERT_TRUE(board.MakeMove(TChessMove{5, 7, 5, 4, cEmpty}));
    TPgnText pgn = WritePgn(board, TPgnTags{});
    EXPECT_FALSE(pgn);
    EXPECT_EQ(pgn.Message,
              "Die Partie kann nicht als PGN geschrieben werden: der 2. Halbzug (E7 - E4) ist in "
              "seiner Stellung nicht erlaubt.");
    board = test::Play("startpos", {"e2e4"});
    ASSERT_TRUE(board.AddPassMove());
    EXPECT_FALSE(WritePgn(board, TPgnTags{}));
}

TEST(Pgn, ReadsWhatOtherProgramsWrite) {
    const std::string text =
        "\xEF\xBB\xBF% a comment line for programs\r\n"
        "[Event \"Beispiel\"]\r\n[White \"M\\\"uller\"]\r\n\r\n"
        "1.e4 {Königsbauer} e5 $1 2. Nf3!? (2. f4 exf4 {Gambit (angenommen)} (2... d5)) 2... "
        "Nc6\r\n"
        "3. Bb5 a6 ; Morphy-Verteidigung\r\n"
        "4. Ba4 Nf6 5. 0-0 {zwei} {Kommentare} Be7 6. Re1 b5 7. Bb3 d6 8. c3 O-O 1/2-1/2\r\n"
        "\r\n"
        "[Event \"Zweite\"]\n[SetUp \"1\"]\n[FEN \"4k3/8/8/8/8/8/8/R3K3 b Q - 0 23\"]\n\n"
        "23... Kd7 24. O-O-O+ *\n\n"
        "1. e4 Nf6 2. e5 d5 3. exd6 e.p. e6 *\n";
    TChessBoard board;
    TGameFileStatus status = ReadPgn(board, text);
    ASSERT_TRUE(status) << status.Message;
    EXPECT_EQ(board.PlyCount, 16);
    EXPECT_EQ(MoveToUci(board.History[9]), "e1g1");
    EXPECT_EQ(MoveToUci(board.History[16]), "e8g8");
    EXPECT_EQ(board.GetComment(0, 1), "Königsbauer");
    EXPECT_EQ(board.GetComment(0, 6), "Morphy-Verteidigung");
    EXPECT_EQ(board.GetComment(0, 9), "zwei Kommentare");
    EXPECT_TRUE(board.IsWhiteToMove());

    status = ReadPgn(board, text, 2);
    ASSERT_TRUE(status) << status.Message;
    EXPECT_EQ(board.PlyCount, 3);  // the pass record and two moves
    EXPECT_TRUE(IsPassMove(board.History[1]));
    EXPECT_EQ(board.GetSquare(4, 1), cWhiteRook);
    EXPECT_FALSE(status.WhiteToMove);

    status = ReadPgn(board, text, 3);
    ASSERT_TRUE(status) << status.Message;
    EXPECT_EQ(board.PlyCount, 6);
    EXPECT_EQ(MoveToUci(board.History[5]), "e5d6");
}

TEST(Pgn, RefusedTextsLeaveTheGameAsItWas) {
    struct TCase {
        std::string Text;
        std::int32_t Game;
        const char* Message;
    };
    std::string tooLong;
    for (int move = 0; move < 251; ++move)
        tooLong += "Nf3 Nf6 Ng1 Ng8 ";
    const TCase cases[] = {
        {"1. e4 e5 2. Ke3", 1, " (Zeile 1): Zug 2. \"Ke3\" ist in dieser Stellung nicht erlaubt."},
        {"1. e4 e5 2. Nf3 Nf6\n3. Nc3 Nc6 4. Nb5 Nb4 5. Nd4", 1,
         " (Zeile 2): Zug 5. \"Nd4\" ist mehrdeutig."},
        {"1. e4 e5 2. Ke2 Kd9", 1, " (Zeile 1): Zug 2... \"Kd9\" ist kein Zug."},
        {"Guten Tag!", 1, " (Zeile 1): Zug 1. \"Guten\" ist kein Zug."},
        {"[FEN \"4k3/P7/8/8/8/8/8/4K3 b - - 0 40\"]\n40... Kd7 41. a8", 1,
         " (Zeile 2): Zug 41. \"a8\": die Umwandlungsfigur fehlt."},
        // The start position passes the checks of a position typed in.
        {"[FEN \"8/8/8/8/8/8/8/4K3 w - - 0 1\"]\n1. Kd2", 1,
         " (Zeile 1): ungültige Spielstellung im FEN-Eintrag: Schwarz hat keinen König."},
        {"[Event \"?\"]\n[FEN \"4k3/8/8/8/8/8/4R3/4K3 w - - 0 1\"]\n1. Kd2", 1,
         " (Zeile 2): ungültige Spielstellung im FEN-Eintrag: Schwarz steht im Schach, obwohl "
         "Weiss am Zug ist."},
        {"1. e4 {offen", 1,
         " (Zeile 1): ein Kommentar in geschweiften Klammern ist nicht geschlossen."},
        {"1. e4 (1. d4 d5 2. c4", 1, " (Zeile 1): eine Variante ist nicht geschlossen."},
        {"[Event \"x]\n1. e4", 1, " (Zeile 1): ungültige Kopfzeile \"[Event \"x]\"."},
        {tooLong, 1, " (Zeile 1): die Partie ist länger als 1000 Halbzüge (Zug 501. \"Nf3\")."},
        {" \n\n", 1, ": keine PGN-Partie gefunden."},
        {"1. e4 *\n\n1. d4 *\n", 3, ": es gibt keine Partie 3, nur 2."},
    };
    for (const TCase& row : cases) {
        TChessBoard board = test::Play("startpos", {"d2d4"});
        board.SetComment(0, 1, "bleibt");
        const TGameFileStatus status = ReadPgn(board, row.Text, row.Game);
        EXPECT_FALSE(status) << row.Text;
        EXPECT_EQ(status.Message,
                  std::string("Die PGN-Partie kann nicht gelesen werden") + row.Message)
            << row.Text;
        EXPECT_EQ(board.PlyCount, 1);
        EXPECT_EQ(board.HistoryTop, 1);
        EXPECT_EQ(board.GetComment(0, 1), "bleibt");
    }
}

// The clipboard's text is a FEN or a PGN, whatever its first word looks like.
TEST(Pgn, PastedTextIsReadAsFenOrAsPgn) {
    const struct {
        const char* Text;
        std::int32_t PlyCount;
    } cases[] = {
        {"  4k3/8/8/8/8/8/8/4K2R w K - 0 1\n", 0},
        {"{Quelle: example.org/partie} 1. e4 e5 *", 2},
        {"; von example.org/x\n1. d4 *", 1},
        {"% example.org/x\n1. d4 d5 2. c4 *", 3},
        {"1/2-1/2", 0},
    };
    for (const auto& row : cases) {
        TChessBoard board = test::Play("startpos", {"d2d4"});
        const TGameFileStatus status = ReadFenOrPgn(board, row.Text);
        EXPECT_TRUE(status) << row.Text << ": " << status.Message;
        EXPECT_EQ(board.PlyCount, row.PlyCount) << row.Text;
    }
}

TEST(Pgn, ReaderGoesOnAfterARefusedGame) {
    TPgnReader reader("1. e4 *\n\n1. e5 *\n\n1. d4 d5 *\n", "Der Text");
    TChessBoard board;
    std::vector<bool> read;
    for (auto status = reader.ReadGame(board); status; status = reader.ReadGame(board))
        read.push_back(status->Ok);
    EXPECT_EQ(read, (std::vector<bool>{true, false, true}));
    EXPECT_EQ(board.PlyCount, 2);
}

TEST(Pgn, FilesAreUtf8AndOldOnesWindows1252) {
    testing::TTempFolder folder;
    TChessBoard board = test::Play("startpos", {"e2e4"});
    board.SetComment(0, 1, "Läufer");
    ASSERT_TRUE(SavePgn(board, GameTags(board), folder.File("a.pgn")));
    EXPECT_NE(testing::ReadBytes(folder.File("a.pgn")).find("{Läufer}"), std::string::npos);
    TChessBoard read;
    ASSERT_TRUE(LoadPgn(read, folder.File("a.pgn")));
    EXPECT_EQ(read.GetComment(0, 1), "Läufer");

    testing::WriteBytes(folder.File("b.pgn"), "1. e4 {L\xE4ufer} *");
    ASSERT_TRUE(LoadPgn(read, folder.File("b.pgn")));
    EXPECT_EQ(read.GetComment(0, 1), "Läufer");

    const TGameFileStatus missing = LoadPgn(read, folder.File("c.pgn"));
    EXPECT_FALSE(missing);
    EXPECT_NE(missing.Message.find("c.pgn"), std::string::npos);
}

}  // namespace
}  // namespace tavlor
