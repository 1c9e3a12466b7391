#include "shell/settings.h"

#include <unistd.h>

#include <cstdint>
#include <cstring>

namespace orv {

EngineSettings settings;

const char* executableDirectory() {
  static char dir[TablebasePathCapacity + 1];
  static bool known = false;
  if (!known) {
    known = true;
    char path[4096];
    ssize_t n = ::readlink("/proc/self/exe", path, sizeof path - 1);
    dir[0] = 0;
    if (n > 0) {
      path[n] = 0;
      char* slash = std::strrchr(path, '/');
      size_t len = slash ? size_t(slash - path) + 1 : 0;
      if (len > 0 && len <= TablebasePathCapacity) {
        std::memcpy(dir, path, len);
        dir[len] = 0;
      }
    }
  }
  return dir;
}

long long hashBudgetForExponent(int exponent) {
  uint32_t bits = uint32_t(1) << unsigned((int64_t(exponent) + 4) & 31);
  return int32_t(bits);
}

long tablebaseCacheForMemory(long megabytes) {
  long power = 1;
  while (power <= megabytes / 2) power *= 2;
  long rest = megabytes > 0 ? megabytes - power : 0;
  if (rest < 4) rest = 4;
  return rest * 1048576;
}

}  // namespace orv
