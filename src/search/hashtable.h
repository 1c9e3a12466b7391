// Transposition table and pawn hash table.
#pragma once
#include <cstdint>

namespace orv {

}  // namespace orv
