// A file that is deleted when its owner goes, unless it was handed on.
#pragma once

#include <string>
#include <utility>

#include "platform/files.h"

namespace compact {

class TemporaryFile {
 public:
  explicit TemporaryFile(std::string path) : path_(std::move(path)) {}
  TemporaryFile(const TemporaryFile&) = delete;
  TemporaryFile& operator=(const TemporaryFile&) = delete;
  ~TemporaryFile() {
    if (!path_.empty()) win::DeleteFileA(path_.c_str());
  }
  const std::string& path() const { return path_; }
  // The file now lives on under another name: nothing left to delete.
  void release() { path_.clear(); }

 private:
  std::string path_;
};

}  // namespace compact
