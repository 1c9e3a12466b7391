#include <gtest/gtest.h>

#include <cctype>
#include <string>

#include "board/board.h"
#include "board/tables.h"
#include "eval_test_util.h"
#include "support/test_worker.h"

namespace orv::test {
namespace {

TEST(Evaluate, StartPositionIsTheSideToMoveBonus) {
  EXPECT_EQ(Prepared(StartFen).eval(), 80);
  EXPECT_EQ(Prepared("rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR b KQkq - 0 1").eval(), 80);
}

TEST(Evaluate, CountsCalls) {
  Prepared p(StartFen);
  const uint32_t before = testWorker().evaluationCount;
  p.eval();
  p.eval();
  EXPECT_EQ(testWorker().evaluationCount, before + 2);
}

TEST(Evaluate, FiftyMoveDampingLeavesTheBonus) {
  Prepared p("r1bqkbnr/pppp1ppp/2n5/4p3/3PP3/5N2/PPP2PPP/RNBQKB1R b KQkq - 0 3");
  EXPECT_NE(p.eval(), 80);
  p.state.halfMove = 100;
  EXPECT_EQ(p.eval(), 80);
  Prepared rook("4k3/8/8/8/8/8/8/4KR2 b - - 0 1");
  rook.state.halfMove = 100;
  EXPECT_EQ(rook.eval(), 80);
}

TEST(Evaluate, MiddlegameScoresAreMultiplesOfTen) {
  Prepared p("r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq - 0 1");
  EXPECT_EQ(p.eval() % 10, 0);
  const EvalTerms t = p.terms();
  const int x = t.U + t.Q + t.A + t.S + t.K + t.M + t.J + t.T;
  EXPECT_EQ(p.eval(), (x + 80) / 10 * 10);
}

// Lone minor pieces are dead draws: the score is the piece-square part with
// weight 3, plus the bonus, without rounding; a result of 0 becomes -2.
TEST(Evaluate, LoneMinorAndTheNeverZeroRule) {
  int zeros = 0;
  for (const char piece : {'B', 'N'}) {
    for (int wk = 0; wk < 64; wk += 3) {
      for (int bk = 1; bk < 64; bk += 5) {
        const int minor = (wk + 27) % 64;
        if (kingDistance[wk][bk] < 2 || minor == wk || minor == bk) continue;
        std::string fen;
        for (int rank = 7; rank >= 0; --rank) {
          int empty = 0;
          for (int file = 0; file < 8; ++file) {
            const int s = makeSquare(file, rank);
            const char c = s == wk ? 'K' : s == bk ? 'k' : s == minor ? piece : 0;
            if (!c) {
              ++empty;
              continue;
            }
            if (empty) fen += char('0' + empty);
            empty = 0;
            fen += c;
          }
          if (empty) fen += char('0' + empty);
          if (rank) fen += '/';
        }
        for (int side = White; side <= Black; ++side) {
          Prepared p((fen + (side == White ? " w - - 0 1" : " b - - 0 1")).c_str());
          for (int clock : {0, 20, 37, 64}) {
            p.state.halfMove = clock;
            const EvalTerms t = p.terms();
            ASSERT_EQ(t.J, 0) << fen;
            ASSERT_EQ(t.W, 3);
            const int oriented = side == White ? t.Q : -t.Q;
            const int raw = oriented * (100 - clock) / 100 + 80;
            const int score = p.eval();
            EXPECT_NE(score, 0);
            EXPECT_EQ(score, raw == 0 ? -2 : raw) << fen << " clock " << clock;
            zeros += raw == 0;
          }
        }
      }
    }
  }
  EXPECT_GT(zeros, 0) << "no position met the 0 -> -2 rule";
}

TEST(Evaluate, RookAgainstKingDrivesTheKingToTheEdge) {
  Prepared edge("4k3/8/8/8/8/8/8/4KR2 w - - 0 1");
  const EvalTerms t = edge.terms();
  EXPECT_EQ(t.phase, 5);
  EXPECT_EQ(t.W, 5);
  EXPECT_EQ(t.J, 2832 - (7 + 0));
  EXPECT_EQ(edge.eval(), t.Q + t.J + 80);
  Prepared centre("8/8/8/4k3/8/8/8/4KR2 w - - 0 1");
  EXPECT_EQ(centre.terms().J, 2832 - (4 + 2 * 3));
  Prepared close("4k3/8/4K3/8/8/8/8/5R2 w - - 0 1");
  EXPECT_GT(close.eval(), edge.eval());
  // The mirrored case from Black's side.
  Prepared black("4kr2/8/8/8/8/8/8/4K3 b - - 0 1");
  EXPECT_EQ(black.terms().J, -(2832 - 7));
  EXPECT_EQ(black.eval(), edge.eval());
}

TEST(Evaluate, PawnlessCornersAndDraws) {
  // Bishop and knight: the defending king is driven to a corner of the bishop's colour.
  Prepared darkBishop("7k/8/8/8/8/8/8/2B1K1N1 w - - 0 1");  // c1 bishop: a1/h8
  EXPECT_EQ(evaluatePawnless(testWorker().position, darkBishop.state),
            (1872 + 1776) - (kingDistance[sq("e1")][sq("h8")] + 0));
  Prepared lightBishop("7k/8/8/8/8/8/8/4KBN1 w - - 0 1");  // f1 bishop: h1/a8
  EXPECT_EQ(evaluatePawnless(testWorker().position, lightBishop.state),
            (1872 + 1776) - (kingDistance[sq("e1")][sq("h8")] + 2 * 7));
  // Two knights, or one minor each: drawn.
  EXPECT_EQ(evaluatePawnless(testWorker().position, Prepared("7k/8/8/8/8/8/8/4KNN1 w - - 0 1").state), 0);
  EXPECT_EQ(evaluatePawnless(testWorker().position, Prepared("6nk/8/8/8/8/8/8/4KB2 w - - 0 1").state), 0);
  // Two rooks: only the edge distance counts.
  Prepared rooks("8/8/8/3k4/8/8/8/R3K2R w - - 0 1");
  EXPECT_EQ(evaluatePawnless(testWorker().position, rooks.state), 2 * 2832 - 2 * 3);
}

TEST(Evaluate, PawnlessMaterialCombinations) {
  // Rook and minor against rook: J = p - 936, W from the material.
  Prepared rookMinor("r3k3/8/8/8/8/8/8/3BKR2 w - - 0 1");
  EvalTerms t = rookMinor.terms();
  EXPECT_EQ(t.J, evaluatePawnless(testWorker().position, rookMinor.state) - 936);
  EXPECT_EQ(t.W, (4704 + 2832) / 480);
  // Rook against minor: W fixed at 9.
  Prepared rookBishop("b3k3/8/8/8/8/8/8/4KR2 w - - 0 1");
  t = rookBishop.terms();
  EXPECT_EQ(t.J, evaluatePawnless(testWorker().position, rookBishop.state) - 480);
  EXPECT_EQ(t.W, 9);
  EXPECT_EQ(t.E, 69);
  // Two minors against rook and minor: weight 17, no correction.
  Prepared minors("rn2k3/8/8/8/8/8/8/2B1KN2 w - - 0 1");
  t = minors.terms();
  EXPECT_EQ(t.J, evaluatePawnless(testWorker().position, minors.state));
  EXPECT_EQ(t.W, 17);
}

TEST(Evaluate, LoneMinorAgainstPawnsInPhaseThree) {
  Prepared white("4k3/p7/8/8/8/8/8/4KN2 w - - 0 1");
  EXPECT_EQ(white.state.phase, 3);
  EXPECT_EQ(white.terms().J, -1032);
  Prepared black("4kn2/8/8/8/8/8/P7/4K3 b - - 0 1");
  EXPECT_EQ(black.terms().J, 1032);
  // With a pawn of its own the minor keeps only the plain lone-minor loss.
  Prepared both("4k3/p7/8/8/8/8/P7/4KN2 w - - 0 1");
  EXPECT_EQ(both.terms().J, -120);
}

// The colour twins: a position and its mirror image with the other side to
// move score the same.
std::string mirrorFen(const std::string& fen) {
  std::string board = fen.substr(0, fen.find(' '));
  std::string rest = fen.substr(fen.find(' ') + 1);
  std::string ranks[8];
  int r = 0;
  for (char c : board) {
    if (c == '/') ++r;
    else ranks[r] += char(std::isalpha(static_cast<unsigned char>(c)) ? c ^ 0x20 : c);
  }
  std::string out;
  for (int i = 7; i >= 0; --i) {
    out += ranks[i];
    if (i) out += '/';
  }
  const char side = rest[0] == 'w' ? 'b' : 'w';
  std::string castle = rest.substr(2, rest.find(' ', 2) - 2);
  std::string swapped;
  for (char c : std::string("KQkq"))
    if (castle.find(char(c ^ 0x20)) != std::string::npos) swapped += c;
  if (swapped.empty()) swapped += '-';
  out += ' ';
  out += side;
  out += ' ';
  out += swapped;
  out += " - 0 1";
  return out;
}

TEST(Evaluate, MirroredPositionsScoreTheSame) {
  const char* fens[] = {
      "r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq - 0 1",
      "r1bq1rk1/pp2bppp/2n1pn2/3p4/2PP4/2N1PN2/PP3PPP/R2QKB1R w KQ - 0 8",
      "2r2rk1/pp1bqppp/2n1pn2/3p4/3P4/2PBPN2/P1Q2PPP/R4RK1 b - - 3 14",
      "8/2p5/3p4/KP5r/1R3p1k/8/4P1P1/8 w - - 0 1",
      "8/5pk1/6p1/3P4/4K3/8/6PP/8 w - - 0 1",
      "6k1/5ppp/8/3P4/8/8/5PPP/3R2K1 w - - 0 1",
      "8/P5k1/8/8/8/2b5/5K2/8 w - - 0 1",
      "1r4k1/P4ppp/8/8/8/8/1P3PPP/R5K1 w - - 0 1",
      "r4rk1/1pp1qppp/p1np1n2/2b1p1B1/2B1P1b1/P1NP1N2/1PP1QPPP/R4RK1 w - - 0 10",
      "8/8/3k4/8/8/3K4/8/2BN4 w - - 0 1",
  };
  for (const char* fen : fens) {
    Prepared a(fen);
    const int scoreA = a.eval();
    Prepared b(mirrorFen(fen).c_str());
    EXPECT_EQ(b.eval(), scoreA) << fen << " / " << mirrorFen(fen);
  }
}

}  // namespace
}  // namespace orv::test
