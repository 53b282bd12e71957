// A fresh directory per test, removed with everything in it when the test ends.
// Shared by the tests that write database files.
#pragma once

#include <filesystem>
#include <random>
#include <string>

class ScratchDir {
 public:
  ScratchDir() {
    std::random_device seed;
    auto base = std::filesystem::temp_directory_path();
    do {
      path_ = base / ("qc-test-" + std::to_string(seed()));
    } while (!std::filesystem::create_directory(path_));
  }
  ~ScratchDir() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  ScratchDir(const ScratchDir&) = delete;
  ScratchDir& operator=(const ScratchDir&) = delete;

  std::filesystem::path file(const std::string& name) const { return path_ / name; }
  std::u16string file16(const std::string& name) const { return file(name).u16string(); }

 private:
  std::filesystem::path path_;
};
