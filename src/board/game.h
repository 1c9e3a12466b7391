// The one global Game: position, history, legal moves, draw rules.
#pragma once
#include <cstdint>
#include <vector>

#include "board/types.h"

namespace orv {

// One record per move played (and, beyond the last game record, one per search ply).
struct HistoryRecord {
  uint32_t keyHigh;  // HashKey bits 32..63 after the move
  uint16_t keyMid;   // HashKey bits 16..31 after the move
  uint16_t move;     // the Move, low 16 bits
  uint8_t castling;  // statuses before the move, each + 1, two bits each (W O-O, W O-O-O, B O-O, B O-O-O)
  uint8_t flags;     // bits 0-5 captured slot (32 none), bit 6 irreversible, bit 7 side to move after
};
constexpr uint8_t RecordIrreversible = 0x40;
constexpr uint8_t RecordBlackToMove = 0x80;

// A record's castling byte from castling statuses in Board::castle order
// (the Board's and the search's NodeState's).
template <class Status> constexpr uint8_t castlingByte(const Status (&castle)[4]) {
  return uint8_t((castle[castleIndex(White, 0)] + 1) | (castle[castleIndex(White, 1)] + 1) << 2 |
                 (castle[castleIndex(Black, 0)] + 1) << 4 | (castle[castleIndex(Black, 1)] + 1) << 6);
}

// Room the search may use past the last game record (one record per ply).
constexpr int SearchHistoryRoom = 64;

constexpr int MaxGameMoves = 255;  // legal moves kept for the game's position (at most 218 exist)

// Make-move result codes.
enum MakeResult : int {
  MoveNeedsCheckEscape = -2,  // leaves the own king in check
  MoveIllegal = -1,           // no legal move with this origin and destination
  MovePlayed = 0,
  MoveNeedsPromotion = 1,
  MoveCheckmate = 2,
  MoveStalemate = 3,
  MoveRepetition = 4,
  MoveFiftyMoves = 5,
  MoveInsufficientMaterial = 6,
};

// Result flag of the Game.
enum GameResultFlag : int { GameRunning = 0, GameSetupFinal = 1, GameCheckmate = 2, GameStalemate = 3 };

struct Game {
  std::vector<HistoryRecord> history;  // size() is the capacity; always >= lastRecord + 1 + SearchHistoryRoom
  int lastRecord = -1;                 // index of the newest record
  int ply = -1;                        // index of the record of the last move played, -1 at set-up
  int side = White;                    // side to move
  int epTarget = 0;                    // en-passant target square for FEN output, 0 = none
  int result = GameRunning;            // result flag
  Move lastMove = 0;                   // last move played at game level
  Move legal[MaxGameMoves + 1] = {};   // legal moves of the position, 0-terminated
  char positionText[100] = {};         // FEN text of the current position
  Board board = {};                    // the working Board
  Board compact = {};                  // the men and castling statuses as the game keeps them

  // Kept for other subsystems.
  int softLimit = 0, hardLimit = 0;  // per-move time limits in tenths of a second
  // Millisecond ceilings on those limits for a low clock or a UCI movetime (0 = none),
  // and the steady-clock tick at which the move's time started (0 = search start).
  long long softCapMs = 0, hardCapMs = 0;
  long long moveStartTick = 0;
  int iterationLimit = 999;  // the search's depth limit; receives the last depth reached
  bool uciMode = false;
  int resignCounter = 0, previousScore = 0;  // resignation state, never reset by a new game
  int bookAttempts = 10;                     // book lookups left before the book is no longer consulted
  int lastBookPly = -1;                      // ply index + 1 of the last book move

  // Key and side of the position before the first record, taken when the first
  // move is made from it; repetition counts it as one more occurrence.
  uint32_t setupKey[2] = {0, 0};
  int setupSide = White;
};

// The game: changed by the command thread only while no search runs (the search
// thread plays its own move on it under gameMoveMutex); a search reads it at its start.
extern Game game;

// Side to move, global copy for other subsystems.
inline int sideToMove() { return game.side; }

// History capacity of a new game, and the step by which it grows.
constexpr int InitialHistoryRecords = 600;
constexpr int HistoryGrowth = 40;

void newGame();
// Copies the Game's compact position (the men and castling statuses) into its
// working Board.
void refreshBoard();
int makeGameMove(Move m);  // MakeResult
int goToPly(int target);   // 0 done, 1 nothing to do
// Forgets the moves taken back and not replayed (lastRecord = ply), so that the
// records after the current position are free for the search's own line.
void discardTakenBackMoves();
int repetitionCount(int side, const Board& b);
bool insufficientMaterial(const Board& b);
bool gameOver();  // result flag not 0

}  // namespace orv
