#include "registry_files/machine_locate.h"

#include <fcntl.h>
#include <strings.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <memory>
#include <vector>

#include "registry_files/folder_entries.h"
#include "registry_files/registry_input_file.h"
#include "shared/unique_fd.h"

namespace portable {

namespace {

// The entry of the folder whose name equals `name` without regard to ASCII case; empty
// when there is none.
std::string entryNamed(int folder, const char* name) {
  for (std::string& entry : folderEntries(folder)) {
    if (::strcasecmp(entry.c_str(), name) == 0) return std::move(entry);
  }
  return {};
}

struct Candidate {
  std::vector<const char*> path;
  const char* what;
};

const std::vector<Candidate>& candidates() {
  static const std::vector<Candidate> list = {
      {{"system.reg"}, "a Wine prefix"},
      {{"SOFTWARE"}, "a config folder"},
      {{"System32", "config", "SOFTWARE"}, "a Windows folder"},
      {{"Windows", "System32", "config", "SOFTWARE"}, "a volume or a folder holding Windows"},
      {{"WINNT", "System32", "config", "SOFTWARE"}, "a volume holding Windows 2000"},
  };
  return list;
}

enum class Outcome { Absent, Opened, Unusable };

// Follows one candidate's path from the folder; on Opened, `relative` is its path.
Outcome tryCandidate(int folder, const std::string& shownFolder, const Candidate& candidate, RegistryInputFile& file,
                     std::string& relative, std::string& error) {
  std::unique_ptr<UniqueFd> held;  // the folder reached last, below `folder`
  int current = folder;
  relative.clear();
  for (std::size_t i = 0; i < candidate.path.size(); ++i) {
    const std::string entry = entryNamed(current, candidate.path[i]);
    if (entry.empty()) return Outcome::Absent;
    relative += (relative.empty() ? "" : "/") + entry;
    if (i + 1 == candidate.path.size()) {
      bool missing = false;
      if (file.openAt(current, entry, shownFolder + "/" + relative, error, missing)) return Outcome::Opened;
      if (errno == ELOOP) error = shownFolder + "/" + relative + ": a symbolic link, not followed";
      return missing ? Outcome::Absent : Outcome::Unusable;
    }
    const int next = ::openat(current, entry.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (next < 0) return Outcome::Absent;  // a symbolic link or no folder: not followed
    held = std::make_unique<UniqueFd>(next);
    current = next;
  }
  return Outcome::Absent;
}

}  // namespace

bool findMachineRegistry(const std::string& folder, RegistryInputFile& file, std::string& relative,
                         std::string& error) {
  UniqueFd root(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (root.get() < 0) {
    error = folder + ": cannot open the folder: " + std::strerror(errno);
    return false;
  }
  std::string looked;
  for (const Candidate& candidate : candidates()) {
    switch (tryCandidate(root.get(), folder, candidate, file, relative, error)) {
      case Outcome::Opened: return true;
      case Outcome::Unusable: return false;
      case Outcome::Absent: break;
    }
    std::string path;
    for (const char* part : candidate.path) path += (path.empty() ? "" : "/") + std::string(part);
    looked += (looked.empty() ? "" : ", ") + path + " (" + candidate.what + ")";
  }
  error = folder + ": no Windows registry found; looked for " + looked +
          ", names in any case, no symbolic link followed";
  return false;
}

}  // namespace portable
