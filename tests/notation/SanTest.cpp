#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "notation/Fen.h"
#include "notation/MoveText.h"
#include "notation/San.h"
#include "rules/Attack.h"
#include "rules/MoveGeneration.h"

namespace tavlor {
namespace {

TChessMove Uci(const TChessBoard& board, const std::string& text) {
    const std::optional<TChessMove> move = UciToMove(text, board.IsWhiteToMove());
    EXPECT_TRUE(move) << text;
    return move.value_or(TChessMove{});
}

struct TSanCase {
    const char* Fen;
    const char* Move;  // coordinates
    const char* San;
};

// Every row is written and read back; the FEN is printed on failure.
TEST(San, WritesAndReadsBack) {
    const TSanCase cases[] = {
        {"startpos", "g1f3", "Nf3"},
        {"startpos", "e2e4", "e4"},
        // Two knights on a rank, on a file; a pinned knight does not count.
        {"4k3/8/8/8/8/8/8/1N2KN2 w - - 0 1", "b1d2", "Nbd2"},
        {"4k3/8/8/3N4/8/8/8/3NK3 w - - 0 1", "d5c3", "N5c3"},
        {"4k3/8/8/8/1b6/8/3N4/4K1N1 w - - 0 1", "g1f3", "Nf3"},
        // Two rooks on a file and on a rank.
        {"4k3/8/8/R7/8/8/8/R3K3 w - - 0 1", "a1a3", "R1a3"},
        {"4k3/8/8/8/8/8/4K3/R6R w - - 0 1", "h1d1", "Rhd1"},
        // Three queens: file, rank, and both.
        {"8/K1k5/8/8/4Q2Q/8/8/7Q w - - 0 1", "h4e1", "Qh4e1"},
        {"8/K1k5/8/8/4Q2Q/8/8/7Q w - - 0 1", "e4e1", "Qee1"},
        {"8/K1k5/8/8/4Q2Q/8/8/7Q w - - 0 1", "h1e1", "Q1e1"},
        // Captures, en passant, castling, promotions, check and mate.
        {"4k3/8/8/3p4/4P3/8/8/4K3 w - - 0 1", "e4d5", "exd5"},
        {"4k3/8/8/3pP3/8/8/8/4K3 w - d6 0 1", "e5d6", "exd6"},
        {"r3k2r/8/8/8/8/8/8/R3K2R w KQkq - 0 1", "e1g1", "O-O"},
        {"r3k2r/8/8/8/8/8/3K4/R6R b kq - 0 1", "e8c8", "O-O-O+"},
        {"5r2/4P1k1/8/8/8/8/8/4K3 w - - 0 1", "e7e8q", "e8=Q"},
        {"5r2/4P1k1/8/8/8/8/8/4K3 w - - 0 1", "e7f8n", "exf8=N"},
        {"4k3/8/8/8/8/8/p7/4K3 b - - 0 1", "a2a1r", "a1=R+"},
        {"rnbqkbnr/pppp1ppp/8/4p3/6P1/5P2/PPPPP2P/RNBQKBNR b KQkq - 0 2", "d8h4", "Qh4#"},
        {"6k1/5ppp/8/8/8/8/8/R3K3 w Q - 0 1", "a1a8", "Ra8#"},
    };
    for (const TSanCase& row : cases) {
        TChessBoard board;
        ReadFen(board, std::string_view(row.Fen) == "startpos" ? cStartFen : row.Fen);
        const TChessMove move = Uci(board, row.Move);
        EXPECT_EQ(MoveToSan(board, move).value_or("(nothing)"), row.San) << row.Fen;
        const TSanReading reading = ReadSan(board, row.San);
        EXPECT_EQ(reading.Error, TSanError::seNone) << row.Fen << " " << row.San;
        EXPECT_TRUE(SameMove(reading.Move, move) && reading.Move.Promotion == move.Promotion)
            << row.Fen << " " << row.San << " read as " << MoveToUci(reading.Move);
    }
}

// Spellings other programs write, and the texts that are refused.
TEST(San, ReadsEverySpellingAndRefusesTheRest) {
    struct TReadCase {
        const char* Fen;
        const char* Text;
        const char* Move;  // coordinates, or empty when refused
        TSanError Error;
    };
    constexpr const char* cKnights = "4k3/8/8/8/8/8/8/1N2KN2 w - - 0 1";
    constexpr const char* cPromotion = "5r2/4P1k1/8/8/8/8/8/4K3 w - - 0 1";
    constexpr const char* cCastling = "r3k2r/8/8/8/8/8/8/R3K2R w KQkq - 0 1";
    const TReadCase cases[] = {
        {cStartFen.data(), "Ng1f3", "g1f3", TSanError::seNone},
        {cStartFen.data(), "Ngf3!?", "g1f3", TSanError::seNone},
        {cStartFen.data(), "e2-e4", "e2e4", TSanError::seNone},
        {cStartFen.data(), "Pe4", "e2e4", TSanError::seNone},
        {cKnights, "N1d2", "", TSanError::seAmbiguous},
        {cKnights, "Nd2", "", TSanError::seAmbiguous},
        {cKnights, "Nfxd2", "f1d2", TSanError::seNone},
        {cCastling, "0-0-0", "e1c1", TSanError::seNone},
        {cCastling, "O-O+", "e1g1", TSanError::seNone},
        {"r3k2r/8/8/8/8/8/8/R3K2R w kq - 0 1", "O-O", "", TSanError::seIllegal},
        {cPromotion, "e8Q", "e7e8q", TSanError::seNone},
        {cPromotion, "e8=n", "e7e8n", TSanError::seNone},
        {cPromotion, "exf8=R+", "e7f8r", TSanError::seNone},
        {cPromotion, "e8", "", TSanError::seMissingPromotion},
        {cPromotion, "e8=K", "", TSanError::seIllegal},
        {cStartFen.data(), "e4=Q", "", TSanError::seIllegal},
        {cStartFen.data(), "Ke2", "", TSanError::seIllegal},
        {cStartFen.data(), "Nf4", "", TSanError::seIllegal},
        {cStartFen.data(), "Nf9", "", TSanError::seNotAMove},
        {cStartFen.data(), "hallo", "", TSanError::seNotAMove},
        {cStartFen.data(), "", "", TSanError::seNotAMove},
    };
    for (const TReadCase& row : cases) {
        TChessBoard board;
        ReadFen(board, row.Fen);
        const TChessBoard before = board;
        const TSanReading reading = ReadSan(board, row.Text);
        EXPECT_EQ(reading.Error, row.Error) << row.Fen << " " << row.Text;
        if (row.Error == TSanError::seNone) {
            EXPECT_EQ(MoveToUci(reading.Move), row.Move) << row.Fen << " " << row.Text;
        }
        EXPECT_TRUE(SameBoard(board.Board, before.Board)) << row.Text;
    }
}

// In positions of random games, every move the rules allow gets a SAN that reads back as itself,
// and no other from-square for a piece of the side to move gets one. The writer, which keeps the
// kings and the check from move to move, gives the same SAN, the generator's check signs and
// CheckGameEnd's end.
TEST(San, AgreesWithTheMoveGeneratorInRandomGames) {
    std::mt19937 random(7);
    TMoveList list;
    for (int game = 0; game < 40; ++game) {
        TChessBoard board;
        TChessBoard written;
        TSanWriter writer(written);
        for (int ply = 0; ply < 200; ++ply) {
            for (const std::uint8_t side : {0, 1})
                ASSERT_EQ(IsKingAttacked(board.Board, side == 1), IsKingInCheck(board, side));
            std::int32_t count = 0;
            GenerateMoves(board, board.IsWhiteToMove() ? 1 : 0, list, count);
            if (count == 0) break;
            for (std::int32_t i = 1; i <= count; ++i) {
                TChessMove move = list[i];
                if (IsPromotionMove(board, move))
                    move.Promotion = board.IsWhiteToMove() ? cWhiteKnight : cBlackKnight;
                const std::optional<std::string> san = MoveToSan(board, move);
                ASSERT_TRUE(san) << MoveToUci(move);
                const TSanReading reading = ReadSan(board, *san);
                ASSERT_EQ(reading.Error, TSanError::seNone) << *san;
                ASSERT_TRUE(SameMove(reading.Move, move)) << *san;
            }
            // A move the generator does not list: any own piece to any square.
            const TChessMove other{static_cast<std::uint8_t>(random() % 8 + 1),
                                   static_cast<std::uint8_t>(random() % 8 + 1),
                                   static_cast<std::uint8_t>(random() % 8 + 1),
                                   static_cast<std::uint8_t>(random() % 8 + 1), cEmpty};
            bool listed = false;
            for (std::int32_t i = 1; i <= count; ++i)
                listed = listed || SameMove(list[i], other);
            if (!listed && !IsPromotionMove(board, other)) {
                EXPECT_FALSE(MoveToSan(board, other)) << MoveToUci(other);
            }
            TChessMove move = list[static_cast<std::int32_t>(random() % count) + 1];
            if (IsPromotionMove(board, move))
                move.Promotion = board.IsWhiteToMove() ? cWhiteQueen : cBlackQueen;
            const std::optional<std::string> san = writer.Play(move);
            ASSERT_EQ(san, MoveToSan(board, move));
            ASSERT_TRUE(board.MakeMove(move));
            const std::uint8_t side = board.IsWhiteToMove() ? 1 : 0;
            GenerateMoves(board, side, list, count);
            ASSERT_TRUE(san->ends_with(!IsKingInCheck(board, side) ? ""
                                       : count == 0                ? "#"
                                                                   : "+"))
                << *san;
        }
        EXPECT_EQ(writer.GameEnd(), board.CheckGameEnd()) << game;
    }
}

// The end of a game as the writer finds it, also where it skips the replay of the record.
TEST(San, WriterFindsTheEndOfTheGame) {
    struct TCase {
        const char* Fen;
        std::vector<std::string> Moves;
        TGameState End;
    };
    const std::vector<std::string> shuffle = {"g1f3", "g8f6", "f3g1", "f6g8"};
    std::vector<std::string> twice = shuffle;
    twice.insert(twice.end(), shuffle.begin(), shuffle.end());
    const TCase cases[] = {
        {cStartFen.data(), shuffle, TGameState::gsPlaying},
        {cStartFen.data(), twice, TGameState::gsRepetition},
        {"7k/8/6Q1/8/8/8/8/K7 w - - 0 1", {"g6f7"}, TGameState::gsBlackStalemated},
        {"6k1/5pp1/8/8/8/8/8/R3K3 w - - 0 1", {"a1a8"}, TGameState::gsPlaying},
    };
    for (const TCase& row : cases) {
        TChessBoard board;
        ReadFen(board, row.Fen);
        TSanWriter writer(board);
        for (const std::string& text : row.Moves)
            ASSERT_TRUE(writer.Play(Uci(board, text))) << text;
        EXPECT_EQ(writer.GameEnd(), row.End) << row.Fen;
        EXPECT_EQ(board.CheckGameEnd(), row.End) << row.Fen;
    }
}

}  // namespace
}  // namespace tavlor
