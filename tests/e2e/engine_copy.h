// A copy of the engine binary in a directory of its own, for tests that need
// files beside the executable (orvalis.cfg, Orvalis.bo2) or that read the
// game log it writes there (its path with ".log" appended).
#pragma once
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "support/temp_dir.h"

namespace orv::e2e {

class EngineCopy {
 public:
  // Copies the engine; `configuration` becomes its orvalis.cfg when not empty.
  explicit EngineCopy(const std::string& configuration = "") : binary_(dir_.file("orvalis")) {
    std::error_code error;
    std::filesystem::copy_file(ORVALIS_BIN, binary_, error);
    EXPECT_FALSE(error) << error.message();
    if (!configuration.empty()) std::ofstream(dir_.file("orvalis.cfg")) << configuration;
    logPath_ = dir_.file("orvalis.log");
  }
  const std::string& binary() const { return binary_; }
  const std::string& directory() const { return dir_.path(); }
  const std::string& logPath() const { return logPath_; }
  // Full path of a file in the directory, removed at the end.
  std::string file(const std::string& name) { return dir_.file(name); }

  std::vector<std::string> logLines() const {
    std::ifstream in(logPath_);
    std::vector<std::string> lines;
    for (std::string l; std::getline(in, l);) lines.push_back(l);
    return lines;
  }

 private:
  test::TempDir dir_;
  std::string binary_;
  std::string logPath_;
};

}  // namespace orv::e2e
