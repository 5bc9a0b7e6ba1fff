#include <gtest/gtest.h>

#include "bench/LongestGame.h"
#include "network/ReceivedMessage.h"
#include "notation/Fen.h"
#include "notation/SavedGame.h"

namespace tavlor {
namespace {

using enum TMessageType;
using TStrings = std::vector<std::string>;

constexpr char cEvaConfirms[] = "Eva hat auf die Spielanfrage reagiert.";

// Tom's slot with Eva, the game on the board in the initial position; every game offered is
// answered with Accept.
class ReceivedMessage : public ::testing::Test {
protected:
    TMessageOutcome Take(TMessageType type, const TStrings& lines) {
        return TakeReceivedMessage(Board, Connection, "Tom", {lines, type}, [this] {
            ++Asked;
            return Accept;
        });
    }

    TChessBoard Board;
    TChessConnection Connection;
    bool Accept = true;
    int Asked = 0;
};

const std::string cRefused = "Der empfangene Zug \"";
const std::string cRefusedEnd =
    " und wurde nicht ausgeführt. Mit \"Aktuelles Spiel zum Gegner senden\" können Sie Ihrem "
    "Spielgegner das Spiel Ihres Brettes senden.";

TEST_F(ReceivedMessage, MovesAreMadeOnlyWhenLegalWithTheirPromotionPiece) {
    constexpr char cPawnOnE7[] = "k7/4P3/8/8/8/8/8/4K3 w - - 0 1";
    constexpr char cIllegal[] = "ist auf diesem Brett nicht erlaubt";
    const struct {
        const char* Fen;  // empty: the initial position
        TStrings Lines;
        const char* Why;  // empty: the move is made
        TPieceCode AtTarget;
    } cases[] = {
        {"", {"E2 - E4  "}, "", cWhitePawn},
        {"", {"E2 - E4 Q"}, "", cWhitePawn},  // a letter of a move that promotes nothing
        {"", {}, "ist beschädigt", cEmpty},
        {"", {"E2 - E5  "}, cIllegal, cEmpty},
        {cPawnOnE7, {"E7 - E8 N"}, "", cWhiteKnight},
        {cPawnOnE7, {"E7 - E8  "}, cIllegal, cEmpty},
        {cPawnOnE7, {"E7 - E8 K"}, cIllegal, cEmpty},
        {"4K3/8/8/8/8/8/4p3/k7 b - - 0 1", {"E2 - E1 Q"}, "", cBlackQueen},
    };
    for (const auto& row : cases) {
        SCOPED_TRACE(row.Lines.empty() ? "no line" : row.Lines.front());
        Board = TChessBoard();
        if (*row.Fen) ReadFen(Board, row.Fen);
        const bool whiteMoves = Board.IsWhiteToMove();
        const std::int32_t plyCount = Board.PlyCount;  // a set-up position for Black counts one
        Connection.LocalIsWhite = whiteMoves;
        const TMessageOutcome outcome = Take(mtMove, row.Lines);
        const bool made = std::string_view(row.Why).empty();
        EXPECT_EQ(outcome.BoardChanged, made);
        EXPECT_EQ(Board.PlyCount, plyCount + (made ? 1 : 0));
        const std::uint8_t toRank = whiteMoves ? (*row.Fen ? 8 : 4) : 1;
        EXPECT_EQ(Board.Board[5][toRank], row.AtTarget);
        EXPECT_FALSE(Board.IsPromotionPending());
        // The local player moves the other colour after the move, the same one after a refusal.
        EXPECT_EQ(Connection.LocalIsWhite, made ? !whiteMoves : whiteMoves);
        if (made) {
            EXPECT_EQ(outcome.Notice.Text, "");
        } else {
            EXPECT_TRUE(outcome.Notice.Error);
            EXPECT_EQ(outcome.Notice.Text, cRefused + (row.Lines.empty() ? "" : row.Lines.front()) +
                                               "\" " + row.Why + cRefusedEnd);
        }
    }
}

// The received move ends the record, as one made at the board does; a full record refuses it.
TEST_F(ReceivedMessage, MoveEndsTheRecordAndIsRefusedWhenItIsFull) {
    ASSERT_TRUE(Board.MakeMove({5, 2, 5, 4, cEmpty}));
    ASSERT_TRUE(Board.MakeMove({5, 7, 5, 5, cEmpty}));
    Board.TakeBackMove();
    EXPECT_TRUE(Take(mtMove, {"D7 - D5  "}).BoardChanged);
    Board.RedoMove();
    EXPECT_EQ(Board.PlyCount, 2);
    EXPECT_EQ(Board.Board[5][5], cEmpty);

    Board = bench::LongestGame();
    const std::int32_t full = cMaxHistory;
    ASSERT_EQ(Board.PlyCount, full);
    const TMessageOutcome outcome = Take(mtMove, {"G1 - F3  "});
    EXPECT_FALSE(outcome.BoardChanged);
    EXPECT_EQ(outcome.Notice.Text,
              cRefused +
                  "G1 - F3  \" ist einer zu viel: Die Partie ist mit 1000 Halbzügen so lang, wie "
                  "ein Spiel werden kann," +
                  cRefusedEnd);
    EXPECT_EQ(Board.PlyCount, full);
}

TEST_F(ReceivedMessage, GamesAreLoadedOnlyWhenAcceptedAndWhole) {
    TChessBoard sent;
    ASSERT_TRUE(sent.MakeMove({7, 1, 6, 3, cEmpty}));
    const TStrings game = GameTransferLines(sent);
    TStrings damaged = game;
    damaged[1] = "|x|";
    const TStrings tooLong(cMaxGameTransferLines + 1, "||");
    const std::string cRefusedGame =
        "Das gesandte Spiel kann nicht übernommen werden und wird abgewiesen; das Spielbrett "
        "bleibt, wie es war.\n";
    const struct {
        bool Accept;
        const TStrings& Lines;
        bool Loaded;
        const char* Why;  // the reader's message after cRefusedGame; empty: no message
    } cases[] = {
        {false, game, false, ""},
        {true, damaged, false, "*"},
        {true, tooLong, false,
         "Das gesandte Spiel hat mehr als 2590 Zeilen und ist damit länger als jede mögliche "
         "Partie."},
        {true, game, true, ""},
    };
    for (const auto& row : cases) {
        SCOPED_TRACE(::testing::Message() << row.Accept << " " << row.Lines.size() << " lines");
        Board = TChessBoard();
        ASSERT_TRUE(Board.MakeMove({5, 2, 5, 4, cEmpty}));
        const TStrings before = WriteGameLines(Board);
        Connection.LocalIsWhite = true;
        Accept = row.Accept;
        const TMessageOutcome outcome = Take(mtResetBoard, row.Lines);
        EXPECT_EQ(outcome.BoardChanged, row.Loaded);
        EXPECT_EQ(WriteGameLines(Board), row.Loaded ? WriteGameLines(sent) : before);
        EXPECT_EQ(Connection.LocalIsWhite, !row.Loaded);  // Black is to move in the sent game
        ASSERT_TRUE(outcome.Answer);
        EXPECT_EQ(outcome.Answer->Type, row.Loaded ? mtResetBoardOK : mtResetBoardReject);
        EXPECT_EQ(outcome.Answer->Lines, row.Loaded ? UnwrapGameLines(game) : row.Lines);
        const std::string why = row.Why;
        EXPECT_EQ(outcome.Notice.Error, !why.empty());
        if (why == "*")
            EXPECT_TRUE(outcome.Notice.Text.starts_with(cRefusedGame) &&
                        outcome.Notice.Text.find("(Zeile 2)") != std::string::npos)
                << outcome.Notice.Text;
        else
            EXPECT_EQ(outcome.Notice.Text, why.empty() ? "" : cRefusedGame + why);
    }
    EXPECT_EQ(Asked, 4);
    // Without anybody to ask, a game is refused.
    const TMessageOutcome unasked =
        TakeReceivedMessage(Board, Connection, "Tom", {game, mtResetBoard}, nullptr);
    EXPECT_EQ(unasked.Answer->Type, mtResetBoardReject);
}

TEST_F(ReceivedMessage, CommentsPairingAndAnswersLeaveTheBoardToTheWindow) {
    const TNotice accepted{false,
                           "Ihr Spielgegner hat die Übertragung des Spieles akzeptiert - Beide "
                           "Spielbretter sind nun identisch!"};
    const TNotice rejected{true, "Ihr Spielgegner hat die Übertragung des Spieles abgewiesen!"};
    const struct {
        TMessageType Type;
        TStrings Lines;
        std::optional<std::string> Text;
        TStrings Listed;
        TStrings Unlisted;
        bool Confirmed;
        TNotice Notice;
    } cases[] = {
        {mtComment, {"Guter Zug!"}, "Guter Zug!", {}, {}, false, {}},
        {mtComment, {}, "", {}, {}, false, {}},
        {mtAskForPlay, {"Eva", "Tom", "Ida"}, {}, {"Eva", "Ida"}, {}, false, {}},
        {mtPlayOK, {"Tom"}, {}, {}, {}, false, {}},
        {mtPlayOK, {"Eva"}, {}, {}, {"Eva"}, false, {}},
        {mtConfirmPlayOk, {cEvaConfirms}, cEvaConfirms, {}, {}, true, {}},
        {mtResetBoardOK, {"||"}, {}, {}, {}, false, accepted},
        {mtResetBoardReject, {"||"}, {}, {}, {}, false, rejected},
        {mtUnknown, {}, {}, {}, {}, false, {}},
    };
    ASSERT_TRUE(Board.MakeMove({5, 2, 5, 4, cEmpty}));
    for (const auto& row : cases) {
        SCOPED_TRACE(MessageTypeName(row.Type));
        const TStrings before = WriteGameLines(Board);
        const TMessageOutcome outcome = Take(row.Type, row.Lines);
        EXPECT_EQ(outcome.ReceivedText, row.Text);
        EXPECT_EQ(outcome.PlayersToList, row.Listed);
        EXPECT_EQ(outcome.PlayersToUnlist, row.Unlisted);
        EXPECT_EQ(outcome.PairingConfirmed, row.Confirmed);
        EXPECT_EQ(outcome.Notice.Error, row.Notice.Error);
        EXPECT_EQ(outcome.Notice.Text, row.Notice.Text);
        EXPECT_FALSE(outcome.BoardChanged);
        EXPECT_FALSE(outcome.Answer);
        // A comment is kept with the half-move it came after, so that a save keeps it; an empty
        // one, as an empty box does, keeps what was there.
        if (row.Type == mtComment)
            EXPECT_EQ(Board.GetComment(1, 1), "Guter Zug!");
        else
            EXPECT_EQ(WriteGameLines(Board), before);
    }
    EXPECT_EQ(Asked, 0);
}

TEST(ConfirmedPlayer, PrefersTheWholeConfirmationToABeginning) {
    const struct {
        const char* Confirmation;
        TStrings Listed;
        std::optional<std::size_t> Picked;
    } cases[] = {
        {cEvaConfirms, {"Evan", "Eva"}, 1},
        {cEvaConfirms, {"Ev", "Eva"}, 1},
        {"Evan hat auf die Spielanfrage reagiert.", {"Eva", "Evan"}, 1},
        {"Eva sagt hallo", {"", "Ida", "Ev", "Eva"}, 2},  // the first whose name begins it
        {cEvaConfirms, {"Tom"}, std::nullopt},
        {"", {""}, std::nullopt},
        {cEvaConfirms, {}, std::nullopt},
    };
    for (const auto& row : cases) {
        SCOPED_TRACE(row.Confirmation);
        EXPECT_EQ(ConfirmedPlayer(row.Confirmation, row.Listed), row.Picked);
    }
}

}  // namespace
}  // namespace tavlor
