// A fresh directory for a test's files, removed with them at the end.
#pragma once
#include <stdlib.h>

#include <cstdio>
#include <string>
#include <vector>

namespace orv::test {

// A fresh directory under the temporary directory, removed with its files by the destructor.
class TempDir {
 public:
  TempDir() {
    char pattern[] = "/tmp/orvalis-test-XXXXXX";
    const char* made = mkdtemp(pattern);
    path_ = made ? made : "/tmp";
  }
  ~TempDir() {
    for (const std::string& f : files_) std::remove(f.c_str());
    if (path_ != "/tmp") std::remove(path_.c_str());
  }
  // Full path of a file in the directory, remembered for removal.
  std::string file(const std::string& name) {
    files_.push_back(path_ + "/" + name);
    return files_.back();
  }
  const std::string& path() const { return path_; }

 private:
  std::string path_;
  std::vector<std::string> files_;
};

}  // namespace orv::test
