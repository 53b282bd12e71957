// The users of a mounted machine: the profiles its ProfileList names, found below the folder
// given, or a Wine prefix's one user.
#include "registry_files/machine_users.h"

#include <fcntl.h>
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "platform/registry.h"
#include "platform/resource.h"
#include "platform/text.h"
#include "registry_files/folder_entries.h"
#include "registry_files/machine_locate.h"
#include "registry_files/registry_input_file.h"
#include "shared/unique_fd.h"

namespace portable {

namespace {

constexpr char16_t kProfileList[] = u"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\ProfileList";
constexpr char16_t kCurrentVersion[] = u"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion";
// A profile path longer than Windows allows any path is not one.
constexpr win::DWORD kLongestPath = 32767 * 2;

bool sameText(const std::string& a, const char* b) { return ::strcasecmp(a.c_str(), b) == 0; }

// A string value of the open key (REG_SZ or REG_EXPAND_SZ, not expanded), in UTF-8.
bool readText(win::HKEY key, const char16_t* name, std::string& text) {
  win::DWORD type = 0, size = 0;
  if (win::RegQueryValueExW(key, name, nullptr, &type, nullptr, &size) != win::ERROR_SUCCESS) return false;
  if ((type != win::REG_SZ && type != win::REG_EXPAND_SZ) || size > kLongestPath) return false;
  std::u16string value(size / 2 + 1, u'\0');
  if (win::RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<win::BYTE*>(value.data()), &size) !=
      win::ERROR_SUCCESS) {
    return false;
  }
  value.resize(std::min<std::size_t>(size / 2, value.size()));
  // Cut at the first zero: the data need not end with one, and may hold more after it.
  value.resize(std::u16string_view(value).find(u'\0') == std::u16string_view::npos ? value.size()
                                                                                   : value.find(u'\0'));
  text = platform::toUtf8(value);
  return true;
}

// "%Name%" replaced, without regard to case; false when a variable is left that is not known.
bool expand(std::string& path, const std::string& systemDrive, const std::string& systemRoot) {
  std::string out;
  for (std::size_t i = 0; i < path.size();) {
    if (path[i] != '%') {
      out += path[i++];
      continue;
    }
    const std::size_t close = path.find('%', i + 1);
    if (close == std::string::npos) return false;
    const std::string name = path.substr(i + 1, close - i - 1);
    if (sameText(name, "SystemDrive")) {
      out += systemDrive;
    } else if (sameText(name, "SystemRoot") || sameText(name, "windir")) {
      out += systemRoot;
    } else {
      return false;
    }
    i = close + 1;
  }
  path = std::move(out);
  return true;
}

// The folders of a profile path below the system drive; false with why it leads elsewhere.
bool profileFolders(std::string path, const std::string& systemDrive, const std::string& systemRoot,
                    std::vector<std::string>& folders, std::string& why) {
  if (!expand(path, systemDrive, systemRoot)) {
    why = "names a variable that only the running machine knows";
    return false;
  }
  if (path.size() < 2 || path[1] != ':' || ::strncasecmp(path.c_str(), systemDrive.c_str(), 2) != 0) {
    why = "lies outside the system drive " + systemDrive;
    return false;
  }
  std::string part;
  for (std::size_t i = 2; i <= path.size(); ++i) {
    if (i < path.size() && path[i] != '\\' && path[i] != '/') {
      part += path[i];
      continue;
    }
    if (part == "." || part == "..") {
      why = "leads out of its folder with \"" + part + "\"";
      return false;
    }
    if (!part.empty()) folders.push_back(std::move(part));
    part.clear();
  }
  if (folders.empty()) {
    why = "is the root of the drive";
    return false;
  }
  return true;
}

// The drive and the Windows folder of the mounted machine, as it names them; "C:" and the
// folder the registry was found in where it does not.
void systemFolders(const std::string& windowsFolder, std::string& drive, std::string& root) {
  drive = "C:";
  root = "C:\\" + windowsFolder;
  platform::unique_hkey key;
  std::string value;
  if (win::RegOpenKeyExW(win::HKEY_LOCAL_MACHINE, kCurrentVersion, 0, win::KEY_READ | win::KEY_WOW64_64KEY,
                         key.put()) == win::ERROR_SUCCESS &&
      readText(key.get(), u"SystemRoot", value) && value.size() >= 3 && value[1] == ':') {
    drive = value.substr(0, 2);
    root = value;
  }
}

void addProfiles(const std::string& folder, const std::string& windowsFolder, MachineUsers& found) {
  platform::unique_hkey list;
  if (win::RegOpenKeyExW(win::HKEY_LOCAL_MACHINE, kProfileList, 0, win::KEY_READ | win::KEY_WOW64_64KEY,
                         list.put()) != win::ERROR_SUCCESS) {
    found.note = folder + ": the machine lists no user profiles";
    return;
  }
  std::string drive, root;
  systemFolders(windowsFolder, drive, root);
  const UniqueFd top(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (top.get() < 0) {
    found.note = folder + ": cannot open the folder: " + std::strerror(errno);
    return;
  }
  char16_t sidName[256];
  for (win::DWORD i = 0; win::RegEnumKeyW(list.get(), i, sidName, 256) == win::ERROR_SUCCESS; ++i) {
    const std::string sid = platform::toUtf8(sidName);
    platform::unique_hkey profile;
    std::string imagePath;
    if (win::RegOpenKeyExW(list.get(), sidName, 0, win::KEY_READ, profile.put()) != win::ERROR_SUCCESS ||
        !readText(profile.get(), u"ProfileImagePath", imagePath)) {
      found.problems.push_back(folder + ": profile " + sid + ": no ProfileImagePath");
      continue;
    }
    const std::string named = "profile " + sid + " (" + imagePath + ")";
    std::vector<std::string> names;
    std::string why;
    if (!profileFolders(imagePath, drive, root, names, why)) {
      found.problems.push_back(folder + ": " + named + " " + why + ": refused");
      continue;
    }
    names.push_back("NTUSER.DAT");
    RegistryInputFile file;
    std::string relative, error;
    switch (openBelowFolder(top.get(), folder, names, file, relative, error)) {
      case Reached::Opened: {
        MachineUser user;
        user.sid = sid;
        user.path = joinPath(folder, relative);
        const std::size_t slash = relative.rfind('/');
        const std::size_t before = relative.rfind('/', slash - 1);
        user.name = relative.substr(before == std::string::npos ? 0 : before + 1, slash - before - 1);
        user.folder = folder;
        user.below = std::move(names);
        found.users.push_back(std::move(user));
        break;
      }
      case Reached::Missing: {
        std::string wanted = folder;
        for (const std::string& name : names) wanted += "/" + name;
        found.problems.push_back(folder + ": " + named + ": its hive is missing: no " + wanted);
        break;
      }
      case Reached::Linked:
        found.problems.push_back(folder + ": " + named + ": " + joinPath(folder, relative) +
                                 " is a symbolic link, not followed: refused");
        break;
      case Reached::Unusable:
        found.problems.push_back(folder + ": " + named + ": " + error);
        break;
    }
  }
}

// The one user of a Wine prefix: its user.reg, named after the folder of drive_c/users that
// is not Public, with the identifier user.reg says its keys are relative to.
void addWineUser(const std::string& folder, MachineUsers& found) {
  const UniqueFd top(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  RegistryInputFile file;
  std::string relative, error;
  if (top.get() < 0 || openBelowFolder(top.get(), folder, {"user.reg"}, file, relative, error) != Reached::Opened) {
    found.problems.push_back(folder + ": the prefix's user: " + (error.empty() ? "no user.reg" : error));
    return;
  }
  MachineUser user;
  user.path = joinPath(folder, relative);
  user.folder = folder;
  user.below = {relative};
  // ";; All keys relative to REGISTRY\\User\\S-1-5-21-..." on its second line.
  char head[512] = {};
  const ssize_t read = ::pread(file.fd(), head, sizeof head - 1, 0);
  const std::string text(head, read > 0 ? static_cast<std::size_t>(read) : 0);
  const std::string marker = "REGISTRY\\\\User\\\\";
  if (const std::size_t at = text.find(marker); at != std::string::npos) {
    const std::size_t end = text.find_first_of("\r\n", at);
    user.sid = text.substr(at + marker.size(), end == std::string::npos ? std::string::npos : end - at - marker.size());
  }
  const UniqueFd drive(::openat(top.get(), "drive_c", O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
  const UniqueFd users(drive.get() < 0 ? -1
                                       : ::openat(drive.get(), "users", O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
  std::vector<std::string> names = users.get() < 0 ? std::vector<std::string>() : folderEntries(users.get());
  std::sort(names.begin(), names.end());
  for (const std::string& name : names) {
    struct stat info {};
    if (sameText(name, "Public") || ::fstatat(users.get(), name.c_str(), &info, AT_SYMLINK_NOFOLLOW) != 0 ||
        !S_ISDIR(info.st_mode)) {
      continue;
    }
    user.name = name;
    break;
  }
  if (user.name.empty()) user.name = "(the prefix's user)";
  found.users.push_back(std::move(user));
}

}  // namespace

MachineUsers machineUsers(const std::string& path) {
  MachineUsers found;
  struct stat info {};
  if (::stat(path.c_str(), &info) != 0 || !S_ISDIR(info.st_mode)) {
    found.note = path + ": users are read from a folder: a volume or folder holding Windows, or a Wine prefix";
    return found;
  }
  RegistryInputFile file;
  std::string relative, error;
  if (!findMachineRegistry(path, file, relative, error)) {
    found.note = error;
    return found;
  }
  const std::string first = relative.substr(0, relative.find('/'));
  if (sameText(relative, "system.reg")) {
    addWineUser(path, found);
  } else if (relative.find('/') != std::string::npos && (sameText(first, "Windows") || sameText(first, "WINNT"))) {
    addProfiles(path, first, found);
  } else {
    found.note = path + ": the user profiles lie outside this folder: give the volume or folder holding " +
                 "Windows to read its users";
  }
  return found;
}

bool openUserRegistry(const MachineUser& user, RegistryInputFile& file, std::string& shown, std::string& error) {
  shown = user.path;
  const UniqueFd top(::open(user.folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (top.get() < 0) {
    error = user.folder + ": cannot open the folder: " + std::strerror(errno);
    return false;
  }
  std::string relative;
  switch (openBelowFolder(top.get(), user.folder, user.below, file, relative, error)) {
    case Reached::Opened: return true;
    case Reached::Missing: error = user.path + ": missing"; return false;
    case Reached::Linked:
      if (error.empty()) error = joinPath(user.folder, relative) + ": a symbolic link, not followed";
      return false;
    case Reached::Unusable: return false;
  }
  return false;
}

std::string userOfHive(const std::string& path) {
  // The folder's own name, also for a hive in the current folder.
  std::unique_ptr<char, decltype(&std::free)> full(::realpath(path.c_str(), nullptr), &std::free);
  const std::string resolved = full ? full.get() : path;
  const std::size_t slash = resolved.rfind('/');
  if (slash == std::string::npos || slash == 0) return resolved;
  const std::size_t before = resolved.rfind('/', slash - 1);
  return resolved.substr(before + 1, slash - before - 1);
}

}  // namespace portable
