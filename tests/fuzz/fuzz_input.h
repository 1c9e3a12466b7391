// Helpers shared by the fuzz targets: turning the fuzzer's bytes into text
// and into files the readers can open, and a quiet standard output.
#pragma once
#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <string>

#include "board/game.h"

namespace orv::fuzz {

// The bytes as a C string: reading stops at the first NUL, as it would for a line.
inline std::string asText(const uint8_t* data, size_t size) {
  return std::string(reinterpret_cast<const char*>(data), size);
}

// An in-memory regular file holding the bytes, open for reading at its start:
// readers that ask the file's size (fstat) see it as a real file would be.
inline std::FILE* memoryFile(const uint8_t* data, size_t size) {
  int fd = ::memfd_create("fuzz-input", MFD_CLOEXEC);
  if (fd < 0) return nullptr;
  size_t done = 0;
  while (done < size) {
    ssize_t n = ::write(fd, data + done, size - done);
    if (n <= 0) {
      ::close(fd);
      return nullptr;
    }
    done += size_t(n);
  }
  ::lseek(fd, 0, SEEK_SET);
  std::FILE* file = ::fdopen(fd, "rb");
  if (!file) ::close(fd);
  return file;
}

// The path under which the process can open the memory file again.
inline std::string pathOf(std::FILE* file) { return "/proc/self/fd/" + std::to_string(::fileno(file)); }

// What the engine prints goes nowhere; the fuzzer reports on standard error.
inline void silenceStandardOutput() {
  if (!std::freopen("/dev/null", "w", stdout)) std::perror("fuzz: /dev/null");
}

// Plays the first legal move a few times: positions from hostile input must
// survive move making as well as reading.
inline void playSomeMoves(int plies) {
  for (int i = 0; i < plies && !gameOver() && game.legal[0] != 0; ++i) makeGameMove(game.legal[0] & 0xFFFF);
}

}  // namespace orv::fuzz
