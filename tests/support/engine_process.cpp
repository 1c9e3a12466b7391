#include "support/engine_process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <thread>

namespace orv::test {

long long steadyNowMs() {
  using namespace std::chrono;
  return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

namespace {

void closeFd(int& fd) {
  if (fd >= 0) ::close(fd);
  fd = -1;
}

int decodeStatus(int status) {
  if (WIFEXITED(status)) return WEXITSTATUS(status);
  if (WIFSIGNALED(status)) return 128 + WTERMSIG(status);
  return -1;
}

}  // namespace

EngineProcess::EngineProcess(const std::string& path, const std::vector<std::string>& args,
                             const std::string& workingDirectory) {
  // A child that dies while we write must not kill the test with SIGPIPE.
  ::signal(SIGPIPE, SIG_IGN);
  int in[2], out[2], err[2];
  if (::pipe2(in, O_CLOEXEC) != 0) return;
  if (::pipe2(out, O_CLOEXEC) != 0) {
    ::close(in[0]), ::close(in[1]);
    return;
  }
  if (::pipe2(err, O_CLOEXEC) != 0) {
    ::close(in[0]), ::close(in[1]), ::close(out[0]), ::close(out[1]);
    return;
  }
  std::vector<char*> argv;
  argv.push_back(const_cast<char*>(path.c_str()));
  for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);

  pid_t pid = ::fork();
  if (pid == 0) {
    ::dup2(in[0], 0);
    ::dup2(out[1], 1);
    ::dup2(err[1], 2);
    ::signal(SIGPIPE, SIG_DFL);
    if (!workingDirectory.empty() && ::chdir(workingDirectory.c_str()) != 0) ::_exit(126);
    ::execv(path.c_str(), argv.data());
    ::_exit(127);
  }
  ::close(in[0]);
  ::close(out[1]);
  ::close(err[1]);
  if (pid < 0) {
    ::close(in[1]), ::close(out[0]), ::close(err[0]);
    return;
  }
  pid_ = pid;
  stdinFd_ = in[1];
  out_.fd = out[0];
  err_.fd = err[0];
  ::fcntl(out_.fd, F_SETFL, ::fcntl(out_.fd, F_GETFL) | O_NONBLOCK);
  ::fcntl(err_.fd, F_SETFL, ::fcntl(err_.fd, F_GETFL) | O_NONBLOCK);
}

EngineProcess::~EngineProcess() {
  closeFd(stdinFd_);
  kill();
  closeFd(out_.fd);
  closeFd(err_.fd);
}

bool EngineProcess::writeLine(const std::string& text) {
  if (stdinFd_ < 0) return false;
  std::string data = text + "\n";
  size_t done = 0;
  while (done < data.size()) {
    ssize_t n = ::write(stdinFd_, data.data() + done, data.size() - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    done += size_t(n);
  }
  return true;
}

bool EngineProcess::fill(Stream& s, int timeoutMs) {
  if (s.fd < 0 || s.eof) return false;
  long long deadline = steadyNowMs() + timeoutMs;
  for (;;) {
    char buf[4096];
    ssize_t n = ::read(s.fd, buf, sizeof buf);
    if (n > 0) {
      s.buffer.append(buf, size_t(n));
      return true;
    }
    if (n == 0) {
      s.eof = true;
      return false;
    }
    if (errno == EINTR) continue;
    if (errno != EAGAIN && errno != EWOULDBLOCK) {
      s.eof = true;
      return false;
    }
    long long left = deadline - steadyNowMs();
    if (left <= 0) return false;
    pollfd p{s.fd, POLLIN, 0};
    ::poll(&p, 1, int(left));
  }
}

std::optional<std::string> EngineProcess::takeLine(Stream& s, int timeoutMs) {
  long long deadline = steadyNowMs() + timeoutMs;
  for (;;) {
    size_t nl = s.buffer.find('\n');
    if (nl != std::string::npos) {
      std::string line = s.buffer.substr(0, nl);
      s.buffer.erase(0, nl + 1);
      return line;
    }
    long long left = deadline - steadyNowMs();
    if (left < 0 || s.eof) break;
    if (!fill(s, int(left)) && s.eof) break;
  }
  // A last line without a newline at the end of output still counts.
  if (s.eof && !s.buffer.empty()) {
    std::string line;
    line.swap(s.buffer);
    return line;
  }
  return std::nullopt;
}

std::string EngineProcess::drain(Stream& s, int quietMs) {
  while (fill(s, quietMs)) {}
  std::string all;
  all.swap(s.buffer);
  return all;
}

std::optional<std::string> EngineProcess::readLine(int timeoutMs) { return takeLine(out_, timeoutMs); }
std::optional<std::string> EngineProcess::readStderrLine(int timeoutMs) { return takeLine(err_, timeoutMs); }
std::string EngineProcess::drainOutput(int quietMs) { return drain(out_, quietMs); }
std::string EngineProcess::drainStderr(int quietMs) { return drain(err_, quietMs); }

std::optional<std::string> EngineProcess::readLineStartingWith(const std::string& prefix, int timeoutMs,
                                                               std::vector<std::string>* skipped) {
  return readUntil([&](const std::string& l) { return l.rfind(prefix, 0) == 0; }, timeoutMs, skipped);
}

void EngineProcess::closeStdin() { closeFd(stdinFd_); }

int EngineProcess::waitExit(int timeoutMs) {
  if (pid_ <= 0) return -1;
  if (reaped_) return exitCode_;
  long long deadline = steadyNowMs() + timeoutMs;
  for (;;) {
    int status = 0;
    pid_t r = ::waitpid(pid_, &status, WNOHANG);
    if (r == pid_) {
      reaped_ = true;
      exitCode_ = decodeStatus(status);
      return exitCode_;
    }
    if (r < 0 && errno != EINTR) return -1;
    if (steadyNowMs() >= deadline) return -1;
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
}

void EngineProcess::kill() {
  if (pid_ <= 0 || reaped_) return;
  ::kill(pid_, SIGKILL);
  int status = 0;
  while (::waitpid(pid_, &status, 0) < 0 && errno == EINTR) {}
  reaped_ = true;
  exitCode_ = decodeStatus(status);
}

ProgramRun runProgram(const std::string& path, const std::vector<std::string>& args, int lineTimeoutMs) {
  EngineProcess process(path, args);
  ProgramRun run;
  if (!process.started()) return run;
  while (auto line = process.readLine(lineTimeoutMs)) run.lines.push_back(*line);
  run.exitCode = process.waitExit(5000);
  return run;
}

}  // namespace orv::test
