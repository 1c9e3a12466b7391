// Small table files for tests: a temporary directory, plain files whose byte
// at position i is a known function of i, sparse files of a table's full
// length, and a way to run code that may end the process in a child.
#pragma once
#include <fcntl.h>
#include <ftw.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "support/temp_dir.h"
#include "tablebase/table_info.h"

namespace orv::test {

// The byte of a synthetic table at position i: every value a real table may
// hold, spread so that neighbouring positions differ.
inline int8_t syntheticByte(uint32_t i) { return int8_t(uint8_t((i * 2654435761u) >> 24)); }

inline std::vector<uint8_t> syntheticBytes(uint32_t size) {
  std::vector<uint8_t> data(size);
  for (uint32_t i = 0; i < size; ++i) data[i] = uint8_t(syntheticByte(i));
  return data;
}

inline bool writeBytes(const std::string& path, const std::vector<uint8_t>& data) {
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return false;
  const bool ok = std::fwrite(data.data(), 1, data.size(), f) == data.size();
  return std::fclose(f) == 0 && ok;
}

// A file of `size` zero bytes that takes no room on disk.
inline bool writeSparse(const std::string& path, uint64_t size) {
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  if (fd < 0) return false;
  const bool ok = ::ftruncate(fd, off_t(size)) == 0;
  return ::close(fd) == 0 && ok;
}

// Overwrites one byte of an existing file.
inline bool writeByteAt(const std::string& path, uint64_t offset, int8_t value) {
  const int fd = ::open(path.c_str(), O_WRONLY);
  if (fd < 0) return false;
  const uint8_t b = uint8_t(value);
  const bool ok = ::pwrite(fd, &b, 1, off_t(offset)) == 1;
  return ::close(fd) == 0 && ok;
}

// The full-length table side file name ("kqk.nbw").
inline std::string tableFileName(int table, int side) {
  return std::string(tb::tableInfo[table].name) + (side == 0 ? ".nbw" : ".nbb");
}

// What a function printed on standard output and the code it ended the
// process with (0 when it returned), run in a child process.
struct ChildRun {
  std::string output;
  int exitCode = -1;
};
inline ChildRun runInChild(const std::function<void()>& body) {
  ChildRun r;
  std::fflush(stdout);
  int fds[2];
  if (::pipe(fds) != 0) return r;
  const pid_t pid = ::fork();
  if (pid == 0) {
    ::close(fds[0]);
    ::dup2(fds[1], 1);
    body();
    std::fflush(stdout);
    ::_exit(0);
  }
  ::close(fds[1]);
  char buffer[512];
  ssize_t n;
  while ((n = ::read(fds[0], buffer, sizeof buffer)) > 0) r.output.append(buffer, size_t(n));
  ::close(fds[0]);
  int status = 0;
  if (pid > 0 && ::waitpid(pid, &status, 0) == pid && WIFEXITED(status)) r.exitCode = WEXITSTATUS(status);
  return r;
}

}  // namespace orv::test
