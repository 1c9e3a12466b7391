#include <gtest/gtest.h>

#include "eval_test_util.h"
#include "support/test_worker.h"

namespace orv::test {
namespace {

int activity(const char* fen, bool withSeventh = false) {
  Prepared p(fen);
  return activityTerms(testWorker().position, p.state, withSeventh);
}

TEST(Activity, BishopPair) {
  EXPECT_EQ(activity("4k3/pppppppp/8/8/8/8/PPPPPPPP/2B1KB2 w - - 0 1"), 2 * 69);
  EXPECT_EQ(activity("4k3/8/8/8/8/8/8/2B1KB2 w - - 0 1"), 170);
  // Two bishops on squares of one colour fill one start slot each only if they differ.
  EXPECT_EQ(activity("2b1kb2/8/8/8/8/8/8/2B1KB2 w - - 0 1"), 0);
}

TEST(Activity, RookFiles) {
  EXPECT_EQ(activity("r3k3/8/8/8/8/8/8/R3K3 w - - 0 1"), 80 - 80);
  EXPECT_EQ(activity("r3k3/p7/8/8/8/8/8/R3K3 w - - 0 1"), 40);
  EXPECT_EQ(activity("r3k3/p7/8/8/8/8/P7/R3K3 w - - 0 1"), 0);
}

TEST(Activity, LineUpWithTheEnemyKing) {
  EXPECT_EQ(activity("4k3/8/8/1B6/8/8/8/4K3 w - - 0 1"), 45);
  EXPECT_EQ(activity("4k3/3n4/8/1B6/8/8/8/4K3 w - - 0 1"), 49);
  EXPECT_EQ(activity("4k3/3n4/2p5/1B6/8/8/8/4K3 w - - 0 1"), 0);
  // A rook on the king's file, and Black's bishop against the White king.
  EXPECT_EQ(activity("4k3/8/8/8/8/8/8/K3R3 w - - 0 1"), 45 + 40 * 0 + 80);
  EXPECT_EQ(activity("4k3/8/8/8/1b6/8/8/4K3 w - - 0 1"), -45);
  // Queens get nothing.
  EXPECT_EQ(activity("4k3/8/8/1Q6/8/8/8/4K3 w - - 0 1"), 0);
}

TEST(Activity, HeavyMenOnTheSeventhAndEighth) {
  EXPECT_EQ(activity("4k3/R7/8/8/8/8/8/4K3 w - - 0 1", true), 80 + 28);
  EXPECT_EQ(activity("Q3k3/8/8/8/8/8/8/4K3 w - - 0 1", true), 56);
  EXPECT_EQ(activity("Q3k3/8/8/8/8/8/8/4K3 w - - 0 1", false), 0);
  EXPECT_EQ(activity("4k3/8/8/8/8/8/8/4K2q w - - 0 1", true), -56);
}

TEST(Activity, Outposts) {
  auto at = [](const char* fen, const char* square) {
    Prepared p(fen);
    return sq(square) >= 0 ? outpost<White>(testWorker().position, sq(square)) : 0;
  };
  EXPECT_EQ(at("4k3/2p1p3/3N4/4P3/8/8/8/4K3 w - - 0 1", "d6"), 0);
  EXPECT_EQ(at("4k3/p6p/3N4/4P3/8/8/8/4K3 w - - 0 1", "d6"), 90);
  EXPECT_EQ(at("4k3/8/8/3N4/4P3/8/8/4K3 w - - 0 1", "d5"), 60);
  EXPECT_EQ(at("4k3/2p5/8/3N4/4P3/8/8/4K3 w - - 0 1", "d5"), 0);
  EXPECT_EQ(at("4k3/8/8/1N6/2P5/8/8/4K3 w - - 0 1", "b5"), 0);  // b-file never qualifies
  EXPECT_EQ(at("4k3/8/3N4/8/8/8/8/4K3 w - - 0 1", "d6"), 0);    // unsupported
  Prepared black("4k3/8/8/8/3p4/4n3/P6P/4K3 b - - 0 1");
  EXPECT_EQ(outpost<Black>(testWorker().position, sq("e3")), 90);
  EXPECT_EQ(outposts(testWorker().position), -90);
  // 90 in the activity sub-total becomes 126 after the 14/10 weight.
  Prepared withOutpost("4k3/p6p/3N4/4P3/8/8/8/4K3 w - - 0 1");
  EXPECT_EQ(outposts(testWorker().position), 90);
}

TEST(KingSafety, Shelter) {
  Prepared castled("4k3/8/8/8/8/8/5PPP/6K1 w - - 0 1");
  EXPECT_EQ(shelter<White>(testWorker().position, sq("g1")), 90);
  Prepared advanced("4k3/8/8/8/7P/6P1/5P2/6K1 w - - 0 1");
  EXPECT_EQ(shelter<White>(testWorker().position, sq("g1")), 60);
  EXPECT_EQ(shelter<White>(testWorker().position, sq("g3")), 0);
  Prepared black("6k1/5ppp/8/8/8/8/8/4K3 b - - 0 1");
  EXPECT_EQ(shelter<Black>(testWorker().position, sq("g8")), 90);
  Prepared blackAdvanced("6k1/5p2/6p1/7p/8/8/8/4K3 b - - 0 1");
  EXPECT_EQ(shelter<Black>(testWorker().position, sq("g8")), 60);
}

TEST(KingSafety, OnlyAgainstTwoRooksWorthInTwoMen) {
  // A lone queen (5616, one man): nothing is evaluated.
  EXPECT_EQ(kingSafety(testWorker().position, Prepared("3qk3/8/8/8/8/8/8/6K1 w - - 0 1").state), 0);
  // Two rooks: the open f-, g- and h-files cost 71 each, plus 66 for the rook on f8.
  EXPECT_EQ(kingSafety(testWorker().position, Prepared("r3kr2/8/8/8/8/8/8/6K1 w - - 0 1").state), -(71 + 66) - 71 - 71);
  // The castled king behind its pawns: shelter 90, no open file.
  EXPECT_EQ(kingSafety(testWorker().position, Prepared("r3kr2/8/8/8/8/8/5PPP/6K1 w - - 0 1").state), 90);
  // With the short castle still allowed the g1 shelter counts from e1.
  EXPECT_EQ(kingSafety(testWorker().position, Prepared("r3kr2/8/8/8/8/8/3PPPPP/4K2R w K - 0 1").state), 90);
}

TEST(KingSafety, MinorPiecesNearTheirKing) {
  Prepared p("4k3/8/8/8/8/8/8/B3K1N1 w - - 0 1");
  EXPECT_EQ(minorKingDistance(testWorker().position), -7 * 4 - 3 * 2);
}

TEST(Endgame, PasserStopSquareAndKingRace) {
  // White passer a6, Black king b8 next to the stop square a7.
  Prepared p("1k6/8/P7/8/8/8/8/4K3 w - - 0 1");
  PassedPawnInfo info;
  computePawnStructure(testWorker().position, p.state, p.side, info);
  int a = 0, u = 0;
  const int k = endgameKingTerms(testWorker().position, info, a, u);
  EXPECT_EQ(u, -60 * 27 / 10);
  EXPECT_EQ(a, 3 * 5 * (4 * 1 - 9 * 5 / 4));
  // King distance to own pawns: White 5 away (-112), Black has none (168).
  EXPECT_EQ(k, 168 - 28 * 4);
}

TEST(Endgame, RookBehindThePasser) {
  Prepared p("k7/8/3P4/8/8/8/8/3RK3 w - - 0 1");
  EXPECT_EQ(p.state.phase, 3);
  PassedPawnInfo info;
  computePawnStructure(testWorker().position, p.state, p.side, info);
  EXPECT_EQ(phaseThreeRules(testWorker().position, p.side, p.state, info), 31 * 5);
  // A Black rook behind it instead: -155; a Black bishop of the promotion colour: -40.
  Prepared enemyRook("k7/8/3P4/8/8/8/8/3rK2R w - - 0 1");
  computePawnStructure(testWorker().position, enemyRook.state, enemyRook.side, info);
  EXPECT_EQ(phaseThreeRules(testWorker().position, enemyRook.side, enemyRook.state, info), -31 * 5);
  Prepared bishop("kb6/8/3P4/8/8/8/8/4K3 w - - 0 1");
  computePawnStructure(testWorker().position, bishop.state, bishop.side, info);
  EXPECT_EQ(phaseThreeRules(testWorker().position, bishop.side, bishop.state, info), -8 * 5);
}

TEST(Endgame, RookCutsOffTheKing) {
  // Rook on the c-file between the king on a8 and the e4 passer.
  Prepared p("k7/8/8/8/4P3/8/8/2R1K3 w - - 0 1");
  PassedPawnInfo info;
  computePawnStructure(testWorker().position, p.state, p.side, info);
  EXPECT_EQ(phaseThreeRules(testWorker().position, p.side, p.state, info), 78);
}

TEST(Endgame, ProtectedPasserOnTheSeventhInARookEnding) {
  // f7 protected by e6, Black king three away, White to move.
  Prepared p("r7/5P2/2k1P3/8/8/8/8/4K2R w - - 0 1");
  PassedPawnInfo info;
  computePawnStructure(testWorker().position, p.state, p.side, info);
  EXPECT_EQ(info.mostAdvanced[White], sq("f7"));
  EXPECT_EQ(phaseThreeRules(testWorker().position, p.side, p.state, info), 777);
  // Black to move needs four squares.
  Prepared q("r7/5P2/2k1P3/8/8/8/8/4K2R b - - 0 1");
  computePawnStructure(testWorker().position, q.state, q.side, info);
  EXPECT_EQ(phaseThreeRules(testWorker().position, q.side, q.state, info), 0);
}

TEST(Mobility, RaysAndSeeThrough) {
  int a = 0, k = 0;
  PassedPawnInfo info;
  // A knight in the corner reaches two squares.
  Prepared knight("4k3/8/8/8/8/8/8/N3K3 w - - 0 1");
  computePawnStructure(testWorker().position, knight.state, knight.side, info);
  EXPECT_EQ(evaluateMobility(testWorker().position, info, knight.side, knight.state, a, k), 2 * -12);
  // Rooks see through each other: ten squares each; the king attack (7 x 4) is dropped.
  Prepared rooks("4k3/8/8/8/8/8/8/R2RK3 w - - 0 1");
  computePawnStructure(testWorker().position, rooks.state, rooks.side, info);
  EXPECT_EQ(evaluateMobility(testWorker().position, info, rooks.side, rooks.state, a, k), 2 * (41 + 41));
  EXPECT_EQ(k, 0);
  // A bishop does not see through its own rook.
  Prepared bishop("4k3/8/8/8/8/8/1R6/B3K3 w - - 0 1");
  computePawnStructure(testWorker().position, bishop.state, bishop.side, info);
  EXPECT_EQ(evaluateMobility(testWorker().position, info, bishop.side, bishop.state, a, k), 2 * (-20 + 62));
  EXPECT_EQ(a, 0);
}

TEST(Mobility, MenOnAttackedSquares) {
  PassedPawnInfo info;
  // A White knight attacked by a pawn: -110 with White to move, -220 with Black to move.
  Prepared w("4k3/8/2p5/1N6/8/8/8/4K3 w - - 0 1");
  computePawnStructure(testWorker().position, w.state, w.side, info);
  int a = 0, k = 0;
  evaluateMobility(testWorker().position, info, White, w.state, a, k);
  EXPECT_EQ(a, -110);
  a = 0;
  evaluateMobility(testWorker().position, info, Black, w.state, a, k);
  EXPECT_EQ(a, -220);
}

}  // namespace
}  // namespace orv::test
