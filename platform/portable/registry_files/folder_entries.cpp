#include "registry_files/folder_entries.h"

#include <dirent.h>
#include <unistd.h>

#include <cstring>
#include <memory>

namespace portable {

namespace {

struct DirClose {
  void operator()(DIR* dir) const { ::closedir(dir); }
};

}  // namespace

std::vector<std::string> folderEntries(int folder) {
  std::vector<std::string> names;
  // A descriptor of its own: closedir closes the one it reads.
  const int copy = ::dup(folder);
  if (copy < 0) return names;
  std::unique_ptr<DIR, DirClose> dir(::fdopendir(copy));
  if (!dir) {
    ::close(copy);
    return names;
  }
  ::rewinddir(dir.get());
  while (const dirent* entry = ::readdir(dir.get())) {
    if (std::strcmp(entry->d_name, ".") != 0 && std::strcmp(entry->d_name, "..") != 0) names.emplace_back(entry->d_name);
  }
  return names;
}

}  // namespace portable
