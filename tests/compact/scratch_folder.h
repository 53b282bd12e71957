// A fresh, empty folder for one test, reachable by a Windows path and by a host path.
// Natively the portable backend maps a drive letter onto a host temporary folder; on
// Windows the two paths are the same.
#pragma once

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <set>
#include <string>

#if !defined(_WIN32)
#include "portable/files_control.h"
#endif

class ScratchFolder {
 public:
  ScratchFolder() {
    std::random_device random;
    host_ = std::filesystem::temp_directory_path() / ("qc-files-" + std::to_string(random()));
    std::filesystem::create_directories(host_);
#if defined(_WIN32)
    windows_ = host_.string();
#else
    portable::setDriveFolder(kDrive, host_.string());
    windows_ = std::string(1, kDrive) + ":";
#endif
  }
  ~ScratchFolder() {
#if !defined(_WIN32)
    portable::setDriveFolder(kDrive, "");
#endif
    std::error_code ignored;
    std::filesystem::permissions(host_, std::filesystem::perms::owner_all, ignored);
    std::filesystem::remove_all(host_, ignored);
  }
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;

  // name may hold backslashes for subfolders.
  std::string windowsPath(const std::string& name = "") const { return windows_ + "\\" + name; }
  std::filesystem::path hostPath(const std::string& name = "") const {
    std::string relative = name;
    for (char& c : relative)
      if (c == '\\') c = '/';
    return host_ / relative;
  }

  void write(const std::string& name, const std::string& bytes) const {
    std::ofstream out(hostPath(name), std::ios::binary);
    out << bytes;
  }
  std::string read(const std::string& name) const { return readHost(hostPath(name)); }
  static std::string readHost(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }
  bool exists(const std::string& name) const { return std::filesystem::exists(hostPath(name)); }
  std::set<std::string> names(const std::string& folder = "") const {
    std::set<std::string> found;
    for (const auto& entry : std::filesystem::directory_iterator(hostPath(folder)))
      found.insert(entry.path().filename().string());
    return found;
  }

 private:
  static constexpr char kDrive = 'S';
  std::filesystem::path host_;
  std::string windows_;
};
