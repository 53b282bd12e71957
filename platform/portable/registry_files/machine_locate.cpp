#include "registry_files/machine_locate.h"

#include <fcntl.h>
#include <sys/stat.h>
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
  const std::vector<std::string> names(candidate.path.begin(), candidate.path.end());
  switch (openBelowFolder(folder, shownFolder, names, file, relative, error)) {
    case Reached::Opened: return Outcome::Opened;
    case Reached::Unusable: return Outcome::Unusable;
    case Reached::Linked:
      // The file itself is named; a folder on the way behind a link is as good as absent.
      return error.empty() ? Outcome::Absent : Outcome::Unusable;
    case Reached::Missing: return Outcome::Absent;
  }
  return Outcome::Absent;
}

}  // namespace

Reached openBelowFolder(int folder, const std::string& shownFolder, const std::vector<std::string>& names,
                        RegistryInputFile& file, std::string& relative, std::string& error) {
  std::unique_ptr<UniqueFd> held;  // the folder reached last, below `folder`
  int current = folder;
  relative.clear();
  error.clear();
  for (std::size_t i = 0; i < names.size(); ++i) {
    const std::string entry = entryNamed(current, names[i].c_str());
    if (entry.empty()) return Reached::Missing;
    relative += (relative.empty() ? "" : "/") + entry;
    struct stat info {};
    if (::fstatat(current, entry.c_str(), &info, AT_SYMLINK_NOFOLLOW) == 0 && S_ISLNK(info.st_mode)) {
      // Only the file itself is worth naming: a candidate folder behind a link is skipped.
      if (i + 1 == names.size()) error = shownFolder + "/" + relative + ": a symbolic link, not followed";
      return Reached::Linked;
    }
    if (i + 1 == names.size()) {
      bool missing = false;
      if (file.openAt(current, entry, shownFolder + "/" + relative, error, missing)) return Reached::Opened;
      return missing ? Reached::Missing : Reached::Unusable;
    }
    const int next = ::openat(current, entry.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (next < 0) return Reached::Missing;  // no folder
    held = std::make_unique<UniqueFd>(next);
    current = next;
  }
  return Reached::Missing;
}

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
