#include "shell/ponder.h"

#include <cstring>
#include <mutex>

#include "board/game.h"
#include "notation/game_log.h"
#include "notation/movetext.h"
#include "search/counters.h"
#include "search/search.h"
#include "shell/settings.h"
#include "shell/timecontrol.h"
#include "search/worker.h"
#include "shell/search_thread.h"
#include "shell/shell_state.h"

namespace orv {

bool xboardPonderHit(const char* line) {
  if (shell.xboardPonder.load() != PonderRunning) return false;
  const Move expected = shell.expectedReply.load();
  char text[16];
  coordinateText(expected, text);
  upperCase(text);
  if (expected == 0 || std::strcmp(text, line) != 0) return false;
  writeLogMove(expected, false);
  std::lock_guard<std::mutex> lock(gameMoveMutex);
  // The game already holds the reply: the clock of the engine's move is set
  // as for a search started by this line.
  allocateMoveTime(false, shell.lineTick);
  const MoveClock clock = moveClockOf(game);
  const int64_t pondered = clock.startTick - shell.xboardPonderStart.load();
  ClockUpdate& update = searchPool.main().clockUpdate;
  update.softMs.store(pondered + clock.softMs);
  update.hardMs.store(pondered + clock.hardMs);
  update.pending.store(true);
  shell.xboardPonder.store(PonderHit);
  return true;
}

bool startXboardPonder(Game& before) {
  const Move reply = shell.expectedReply.load();
  if (!settings.xboardPonder.load() || shell.analyzeMode.load() || reply == 0 || gameOver()) return false;
  before = game;
  if (makeGameMove(reply) != 0 || gameOver()) {
    game = before;
    return false;
  }
  return true;
}

void ponderHit() {
  if (!shell.pondering || searchRunning.load() == SearchIdle) return;
  shell.pondering = false;
  // The limits count from the search's start: the time spent pondering is added.
  const int64_t pondered = tickMilliseconds() - shell.searchStartTick;
  ClockUpdate& update = searchPool.main().clockUpdate;
  update.softMs.store(pondered + shell.ponderSoftMs);
  update.hardMs.store(pondered + shell.ponderHardMs);
  update.pending.store(true);
  if (!shell.nextSearchUntimed) shell.holdResult.store(false);
}

}  // namespace orv
