// A fresh directory for a test's files, removed with everything in it at the end.
#pragma once
#include <ftw.h>
#include <stdlib.h>

#include <cstdio>
#include <string>

namespace orv::test {

// A fresh directory under /tmp. The destructor removes it with all it holds
// (files, links, FIFOs, subdirectories); nothing outside it is touched.
class TempDir {
 public:
  TempDir() {
    char pattern[] = "/tmp/orvalis-test-XXXXXX";
    if (const char* made = ::mkdtemp(pattern)) path_ = made;
  }
  ~TempDir() {
    if (path_.empty()) return;
    ::nftw(
        path_.c_str(), [](const char* p, const struct stat*, int, struct FTW*) { return std::remove(p); }, 16,
        FTW_DEPTH | FTW_PHYS);
  }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  const std::string& path() const { return path_; }
  // Full path of a file in the directory.
  std::string file(const std::string& name) const { return path_ + "/" + name; }

 private:
  std::string path_;
};

}  // namespace orv::test
