// Runs a program as a child process with its standard streams on pipes, for
// tests that talk to the real binaries. Every read has a deadline, so a hung
// child fails the test instead of hanging it.
#pragma once
#include <sys/types.h>

#include <optional>
#include <string>
#include <vector>

namespace orv::test {

// Milliseconds of a monotonic clock, for deadlines.
long long steadyNowMs();

// Standard output lines and exit code of a program run to its end.
struct ProgramRun {
  std::vector<std::string> lines;
  int exitCode = -1;  // -1 when it did not exit in time
};
// Runs `path` with `args`; every output line must arrive within lineTimeoutMs.
ProgramRun runProgram(const std::string& path, const std::vector<std::string>& args, int lineTimeoutMs);

class EngineProcess {
 public:
  // Starts `path` with the extra arguments; argv[0] is `path` itself. The child
  // runs in `workingDirectory` when one is given.
  explicit EngineProcess(const std::string& path, const std::vector<std::string>& args = {},
                         const std::string& workingDirectory = "");
  ~EngineProcess();  // closes the pipes and kills the child if it still runs
  EngineProcess(const EngineProcess&) = delete;
  EngineProcess& operator=(const EngineProcess&) = delete;

  bool started() const { return pid_ > 0; }

  // Writes text and a newline to the child's standard input; false when the pipe is closed.
  bool writeLine(const std::string& text);
  // Next line of standard output without its newline, or nothing after the timeout / at end of output.
  std::optional<std::string> readLine(int timeoutMs);
  // Reads lines until one satisfies `pred` (returned) or the timeout passes; lines read on the way
  // are appended to `skipped` when given.
  template <class Pred>
  std::optional<std::string> readUntil(Pred pred, int timeoutMs, std::vector<std::string>* skipped = nullptr);
  // Reads lines until one starts with `prefix`.
  std::optional<std::string> readLineStartingWith(const std::string& prefix, int timeoutMs,
                                                  std::vector<std::string>* skipped = nullptr);
  // Everything standard output delivers until `quietMs` pass without new data (no line splitting).
  std::string drainOutput(int quietMs);

  // Next line of standard error, like readLine.
  std::optional<std::string> readStderrLine(int timeoutMs);
  // Everything standard error delivers until `quietMs` pass without new data.
  std::string drainStderr(int quietMs);

  void closeStdin();
  // Exit code of the child (128 + signal when it was killed by one), or -1 on timeout.
  int waitExit(int timeoutMs);
  void kill();
  pid_t pid() const { return pid_; }

 private:
  struct Stream {
    int fd = -1;
    std::string buffer;
    bool eof = false;
  };
  // Reads what is available within the timeout; false when nothing arrived.
  bool fill(Stream& s, int timeoutMs);
  std::optional<std::string> takeLine(Stream& s, int timeoutMs);
  std::string drain(Stream& s, int quietMs);

  pid_t pid_ = -1;
  int stdinFd_ = -1;
  Stream out_, err_;
  int exitCode_ = -1;
  bool reaped_ = false;
};

template <class Pred>
std::optional<std::string> EngineProcess::readUntil(Pred pred, int timeoutMs, std::vector<std::string>* skipped) {
  long long deadline = steadyNowMs() + timeoutMs;
  for (;;) {
    long long left = deadline - steadyNowMs();
    if (left < 0) return std::nullopt;
    auto line = readLine(int(left));
    if (!line) return std::nullopt;
    if (pred(*line)) return line;
    if (skipped) skipped->push_back(*line);
  }
}

}  // namespace orv::test
