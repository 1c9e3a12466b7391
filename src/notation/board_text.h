// The board diagram of the PRINT command.
#pragma once

namespace orv {

// Eight lines, rank 8 first, one character per square: "." empty, the kind's
// letter from "rdtfc" or "p" for a pawn, white men in lower case and black men
// in upper case. Standard output is not flushed.
void printBoard();

// The same diagram into `out` (at least 73 characters).
void formatBoard(char* out);

}  // namespace orv
