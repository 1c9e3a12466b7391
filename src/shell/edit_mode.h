// xboard edit mode: placing and removing men until ".".
#pragma once
#include <cstdio>

namespace orv {

// Reads edit lines from `in` until "."; then the position is finished with
// `side` to move. Returns false when the input ended inside edit mode.
bool runEditMode(int side, std::FILE* in);

// Sets up the Game from the placement of its Board with `side` to move,
// castling rights derived from where kings and rooks stand; returns the FEN code.
int finishEditedPosition(int side);

// Marks a position that could not be set up as final, so that neither a
// search nor a move is tried on it.
void markPositionUnusable();

}  // namespace orv
