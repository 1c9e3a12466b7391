// Make and take back on the search's own arrays. The node's NodeState is a copy
// of its parent's, so only the arrays need restoring; keys, material, counts,
// pawn files and piece-square sums change by differences. This differs from the
// game's make (board/movegen.cpp), which copies a whole Board for every move.
#include "search/make.h"

#include <cassert>
#include <cstddef>

#include "board/en_passant.h"
#include "board/tables.h"
#include "eval/evaluate.h"
#include "search/search_internal.h"

namespace orv {
namespace {

inline void toggleKey(uint32_t* key, int index) {
  key[0] ^= zobristL[index];
  key[1] ^= zobristH[index];
}

// Key-table index of one side's castling rights.
template <int Side> inline int castleKeyIndex(const NodeState& s) {
  const int a = s.castle[castleIndex(Side, 0)] == 0;
  const int b = s.castle[castleIndex(Side, 1)] == 0;
  return (Side == White ? ZobristWhiteCastle : ZobristBlackCastle) + 2 * a + b;
}

// Signed piece-square entries of a man of Side (White adds at sq ^ 56, Black subtracts at sq).
template <int Side> inline void addSquareValue(NodeState& s, int kind, int sq, int sign) {
  const int index = psqIndex(Side, sq);
  const int colourSign = Side == White ? sign : -sign;
  s.psq[0] += colourSign * psqTable[0][kind][index];
  s.psq[1] += colourSign * psqTable[1][kind][index];
}

constexpr uint64_t FileA = 0x0101010101010101ull;
template <int Side> inline bool pawnOnFile(const SearchBoard& p, int file) {
  return (p.bits.kind[pawnKind(Side)] & (FileA << file)) != 0;
}

// Removes a man of Side (not the king) standing on sq from the board and from s.
template <int Side> inline void removeMan(SearchBoard& p, NodeState& s, int slot, int sq) {
  const int k = p.kind[slot];
  constexpr int ColourSign = Side == White ? 1 : -1;
  s.material[0] -= ColourSign * materialOpening[k];
  s.material[1] -= ColourSign * materialEndgame[k];
  addSquareValue<Side>(s, k, sq, -1);
  const int keyIndex = zobristIndex(Side, k, sq);
  toggleKey(s.key, keyIndex);
  p.removeMan(slot);
  if (k == pawnKind(Side)) {
    --s.pawns[Side];
    toggleKey(s.pawnKey, keyIndex);
    if (!pawnOnFile<Side>(p, fileOf(sq))) s.pawnFiles[Side] &= uint8_t(~(1u << fileOf(sq)));
  } else {
    --s.pieces[Side];
    s.nonPawn[Side] = uint16_t(s.nonPawn[Side] - p.value[slot]);
  }
  s.promotedQueens &= ~(1u << slot);
  constexpr int Base = slotBase(Side);
  if (slot == Base + KingRookSlot && s.castle[castleIndex(Side, 0)] == 0) s.castle[castleIndex(Side, 0)] = -1;
  if (slot == Base + QueenRookSlot && s.castle[castleIndex(Side, 1)] == 0) s.castle[castleIndex(Side, 1)] = -1;
}

// Moves a man of Side of kind k between two squares: board, piece-square sums, key.
template <int Side> inline void shiftMan(SearchBoard& p, NodeState& s, int slot, int k, int from, int to) {
  p.moveMan(slot, from, to);
  addSquareValue<Side>(s, k, from, -1);
  addSquareValue<Side>(s, k, to, 1);
  toggleKey(s.key, zobristIndex(Side, k, from));
  toggleKey(s.key, zobristIndex(Side, k, to));
}

}  // namespace

template <int Us> int makeSearchMove(SearchBoard& p, Move t, uint32_t flags, NodeState& s, SearchUndo& u) {
  constexpr int Them = opposite(Us);
  constexpr int ThemBase = slotBase(Them);
  u.captured = EmptySquare;
  u.capturedSquare = OffBoard;
  u.castlingBefore = castlingByte(s.castle);
  u.made = false;
  if (flags & FlagReentry) return 0;
  if (t == 0) {
    if (s.ply > 0) {  // the null move: only the side to move changes
      toggleKey(s.key, ZobristSideToMove);
      toggleKey(s.key, ZobristSideToMove + 1);
      s.lastMove = 0;
    }
    return 0;
  }

  const int from = moveFrom(t), to = moveTo(t), mk = moveKind(t);
  if (p.map[to] == slotBase(Us)) return IllegalMoveScore;  // Us's king was left en prise
  u.made = true;

  const int victimSq = mk == EnPassant ? to + (Them == Black ? 8 : -8) : to;
  const int victim = p.map[victimSq];
  const int mover = p.map[from];
  // Generated, hash (checked as plausible) and root moves are Them's own moves.
  assert(mover != EmptySquare && colourOfSlot(mover) == Them);
  assert(victim == EmptySquare || colourOfSlot(victim) == Us);
  // Only a king or rook move of Them or the capture of a rook of Us can change
  // castling statuses (castling is a king move).
  constexpr int UsBase = slotBase(Us);
  const bool castlingTouched = mover == ThemBase || mover == ThemBase + QueenRookSlot ||
                               mover == ThemBase + KingRookSlot || victim == UsBase + QueenRookSlot ||
                               victim == UsBase + KingRookSlot;
  const int castleKeysBefore = castlingTouched ? castleKeyIndex<White>(s) << 16 | castleKeyIndex<Black>(s) : 0;
  bool material = false;

  if (victim != EmptySquare) {
    removeMan<Us>(p, s, victim, victimSq);
    u.captured = victim;
    u.capturedSquare = victimSq;
    material = true;
  }

  const int k = p.kind[mover];
  if (isPromotion(t)) {
    const int newKind = promotionKind(t);
    constexpr int ColourSign = Them == White ? 1 : -1;
    p.moveMan(mover, from, to);
    p.changeKind(mover, newKind);
    addSquareValue<Them>(s, k, from, -1);
    addSquareValue<Them>(s, newKind, to, 1);
    const int pawnIndex = zobristIndex(Them, k, from);
    toggleKey(s.key, pawnIndex);
    toggleKey(s.key, zobristIndex(Them, newKind, to));
    toggleKey(s.pawnKey, pawnIndex);
    --s.pawns[Them];
    ++s.pieces[Them];
    s.nonPawn[Them] = uint16_t(s.nonPawn[Them] + kindValue[newKind]);
    s.material[0] += ColourSign * (materialOpening[newKind] - PawnValue);
    s.material[1] += ColourSign * (materialEndgame[newKind] - PawnValue);
    if (newKind == Queen) s.promotedQueens |= 1u << mover;
    s.irregularSlots = 1;
    if (!pawnOnFile<Them>(p, fileOf(from))) s.pawnFiles[Them] &= uint8_t(~(1u << fileOf(from)));
    material = true;
  } else {
    shiftMan<Them>(p, s, mover, k, from, to);
    if (k == pawnKind(Them)) {
      toggleKey(s.pawnKey, zobristIndex(Them, k, from));
      toggleKey(s.pawnKey, zobristIndex(Them, k, to));
      s.pawnFiles[Them] |= uint8_t(1u << fileOf(to));
      if (fileOf(from) != fileOf(to) && !pawnOnFile<Them>(p, fileOf(from)))
        s.pawnFiles[Them] &= uint8_t(~(1u << fileOf(from)));
    } else if (mk == CastleKingSide || mk == CastleQueenSide) {
      constexpr int Rank = Them == White ? 0 : 56;
      const bool kingSide = mk == CastleKingSide;
      const int rook = ThemBase + (kingSide ? KingRookSlot : QueenRookSlot);
      shiftMan<Them>(p, s, rook, Rook, Rank + (kingSide ? 7 : 0), Rank + (kingSide ? 5 : 3));
      s.castle[castleIndex(Them, kingSide ? 0 : 1)] = 1;
      s.castle[castleIndex(Them, kingSide ? 1 : 0)] = -1;
    }
  }

  if (castlingTouched) {
    // Rights lost by a king or rook move (castling has set its statuses above).
    if (mover == ThemBase) {
      if (s.castle[castleIndex(Them, 0)] == 0) s.castle[castleIndex(Them, 0)] = -1;
      if (s.castle[castleIndex(Them, 1)] == 0) s.castle[castleIndex(Them, 1)] = -1;
    } else if (mover == ThemBase + KingRookSlot) {
      if (s.castle[castleIndex(Them, 0)] == 0) s.castle[castleIndex(Them, 0)] = -1;
    } else if (mover == ThemBase + QueenRookSlot) {
      if (s.castle[castleIndex(Them, 1)] == 0) s.castle[castleIndex(Them, 1)] = -1;
    }
    const int castleKeysAfter = castleKeyIndex<White>(s) << 16 | castleKeyIndex<Black>(s);
    if (castleKeysAfter != castleKeysBefore) {
      toggleKey(s.key, castleKeysBefore >> 16);
      toggleKey(s.key, castleKeysAfter >> 16);
      toggleKey(s.key, castleKeysBefore & 0xFFFF);
      toggleKey(s.key, castleKeysAfter & 0xFFFF);
    }
  }

  toggleKey(s.key, ZobristSideToMove);
  toggleKey(s.key, ZobristSideToMove + 1);
  if (material) s.phase = computePhase(s);
  s.lastMove = uint16_t(t);
  return 0;
}

template <int Us> void takeBackSearchMove(SearchBoard& p, Move t, const SearchUndo& u) {
  constexpr int Them = opposite(Us);
  if (!u.made) return;
  const int from = moveFrom(t), to = moveTo(t), mk = moveKind(t);
  const int mover = p.map[to];
  assert(mover != EmptySquare && colourOfSlot(mover) == Them);
  if (isPromotion(t)) {
    p.changeKind(mover, pawnKind(Them));
  } else if (mk == CastleKingSide || mk == CastleQueenSide) {
    constexpr int Rank = Them == White ? 0 : 56;
    const bool kingSide = mk == CastleKingSide;
    const int rook = slotBase(Them) + (kingSide ? KingRookSlot : QueenRookSlot);
    p.moveMan(rook, Rank + (kingSide ? 5 : 3), Rank + (kingSide ? 7 : 0));
  }
  p.moveMan(mover, to, from);
  if (u.captured != EmptySquare) p.putMan(u.captured, u.capturedSquare);
}

template <int Us> void searchProbeKey(const Board& p, const NodeState& s, uint32_t key[2]) {
  key[0] = s.key[0];
  key[1] = s.key[1];
  if (enPassantCapturers<Us>(p, s.lastMove) != 0) toggleKey(key, ZobristEnPassant + fileOf(moveTo(s.lastMove)));
}

template <int Us>
void writeSearchHistory(RepetitionHistory& h, const Board& p, Move t, const SearchUndo& u, NodeState& s) {
  constexpr int Them = opposite(Us);
  bool irreversible;
  if (t == 0) {
    irreversible = false;
    s.halfMove = 0;
  } else {
    const int mk = moveKind(t);
    const bool pawnMove = isPromotion(t) || p.kind[p.map[moveTo(t)]] == pawnKind(Them);
    if (u.captured != EmptySquare || pawnMove) {
      irreversible = true;
      s.halfMove = 0;
    } else {
      irreversible = mk == CastleKingSide || mk == CastleQueenSide;
      ++s.halfMove;
    }
  }
  const int index = h.lastRecord + s.ply;
  if (index < 0 || index >= int(h.records.size())) return;
  HistoryRecord& r = h.records[std::size_t(index)];
  r.keyHigh = s.key[1];
  r.keyMid = uint16_t(s.key[0] >> 16);
  r.move = uint16_t(t);
  r.castling = u.castlingBefore;
  r.flags =
      uint8_t((u.captured & 0x3F) | (irreversible ? RecordIrreversible : 0) | (Us == Black ? RecordBlackToMove : 0));
}

template int makeSearchMove<White>(SearchBoard&, Move, uint32_t, NodeState&, SearchUndo&);
template int makeSearchMove<Black>(SearchBoard&, Move, uint32_t, NodeState&, SearchUndo&);
template void takeBackSearchMove<White>(SearchBoard&, Move, const SearchUndo&);
template void takeBackSearchMove<Black>(SearchBoard&, Move, const SearchUndo&);
template void searchProbeKey<White>(const Board&, const NodeState&, uint32_t*);
template void searchProbeKey<Black>(const Board&, const NodeState&, uint32_t*);
template void writeSearchHistory<White>(RepetitionHistory&, const Board&, Move, const SearchUndo&, NodeState&);
template void writeSearchHistory<Black>(RepetitionHistory&, const Board&, Move, const SearchUndo&, NodeState&);

}  // namespace orv
