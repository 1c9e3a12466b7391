#include "shell/ponder.h"

#include "search/counters.h"
#include "search/worker.h"
#include "shell/search_thread.h"
#include "shell/shell_state.h"

namespace orv {

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
