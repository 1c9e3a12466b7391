// Placeholder: the Game object until its operations land.
#include "board/game.h"

namespace orv {

Game game;

}  // namespace orv
