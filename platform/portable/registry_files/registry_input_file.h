// A registry file opened for reading. Only a regular file will do: a FIFO or a device
// could block for ever or never end. The open itself never blocks, and a file larger
// than the machine's memory is refused before anything is read.
#pragma once

#include <cstdint>
#include <string>

namespace portable {

class RegistryInputFile {
 public:
  RegistryInputFile() = default;
  RegistryInputFile(const RegistryInputFile&) = delete;
  RegistryInputFile& operator=(const RegistryInputFile&) = delete;
  ~RegistryInputFile();

  // False, with "<path>: <why>", when the file cannot be used; `missing` tells a file
  // that does not exist apart from every other failure.
  bool open(const std::string& path, std::string& error, bool& missing);
  // The same for `name` inside an open folder, without following a symbolic link;
  // `shownPath` names the file in messages.
  bool openAt(int folder, const std::string& name, const std::string& shownPath, std::string& error, bool& missing);

  int fd() const { return fd_; }
  std::uint64_t size() const { return size_; }
  // The modification time as a FILETIME count; 0 when it is not known.
  std::uint64_t modificationTime() const { return modified_; }
  // Whether the file starts with these bytes.
  bool startsWith(const std::string& magic) const;

 private:
  bool adopt(int fd, const std::string& shownPath, std::string& error, bool& missing);

  int fd_ = -1;
  std::uint64_t size_ = 0;
  std::uint64_t modified_ = 0;
};

}  // namespace portable
