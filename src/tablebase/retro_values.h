// Distances to mate and the stored bytes of a table: win in M moves is
// 127 - M, mated in M moves is M - 126, a draw 0, a position that cannot
// occur 127; a win beyond 126 moves is -128, a loss beyond 125 moves -127.
#pragma once
#include <cstdint>

namespace orv::tb {

constexpr int8_t UnknownByte = 127;
constexpr int LongestCountedWin = 126;
constexpr int LongestCountedLoss = 125;

constexpr int8_t winByte(int moves) { return moves <= LongestCountedWin ? int8_t(127 - moves) : int8_t(-128); }
constexpr int8_t lossByte(int moves) { return moves <= LongestCountedLoss ? int8_t(moves - 126) : int8_t(-127); }
constexpr bool isWinByte(int8_t b) { return (b > 0 && b != UnknownByte) || b == -128; }
constexpr bool isLossByte(int8_t b) { return b < 0 && b != -128; }
// Moves of a win or loss byte (the beyond-range bytes give the first uncounted distance).
constexpr int winMoves(int8_t b) { return b == -128 ? LongestCountedWin + 1 : 127 - b; }
constexpr int lossMoves(int8_t b) { return b == -127 ? LongestCountedLoss + 1 : b + 126; }

// Moves of a probed table value (as probeTablebase gives it, not unknown):
// a win (> 0) in that many moves, a loss (< 0) mated in that many.
constexpr int winMovesOfValue(int value) { return value == 32640 ? LongestCountedWin + 1 : 127 - (value - 32640); }
constexpr int lossMovesOfValue(int value) { return value == -32640 ? LongestCountedLoss + 1 : value + 32640 + 126; }

}  // namespace orv::tb
