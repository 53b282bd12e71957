#include "registry/registry_views.h"

#include <algorithm>
#include <cstdint>

#include "shared/name_folding.h"

namespace portable {

bool predefinedHive(win::HKEY key, Hive& hive) {
  if (key == win::HKEY_CLASSES_ROOT) {
    hive = Hive::ClassesRoot;
  } else if (key == win::HKEY_CURRENT_USER) {
    hive = Hive::CurrentUser;
  } else if (key == win::HKEY_LOCAL_MACHINE) {
    hive = Hive::LocalMachine;
  } else if (key == win::HKEY_USERS) {
    hive = Hive::Users;
  } else {
    return false;
  }
  return true;
}

const char16_t* hiveName(Hive hive) {
  switch (hive) {
    case Hive::ClassesRoot: return u"HKEY_CLASSES_ROOT";
    case Hive::CurrentUser: return u"HKEY_CURRENT_USER";
    case Hive::LocalMachine: return u"HKEY_LOCAL_MACHINE";
    case Hive::Users: return u"HKEY_USERS";
  }
  return u"";
}

bool splitPath(std::u16string_view path, PathView& components) {
  components.clear();
  if (path.empty()) return true;
  if (path.back() == u'\\') path.remove_suffix(1);
  components.reserve(8);  // deeper than most paths, without counting first
  for (std::size_t start = 0;;) {
    const std::size_t end = std::min(path.find(u'\\', start), path.size());
    if (end == start) return false;  // an empty component
    components.push_back(path.substr(start, end - start));
    if (end == path.size()) return true;
    start = end + 1;
  }
}

win::REGSAM requestedView(win::REGSAM samDesired, win::REGSAM handleView) {
  win::REGSAM own = samDesired & (win::KEY_WOW64_64KEY | win::KEY_WOW64_32KEY);
  if (own == win::KEY_WOW64_64KEY || own == win::KEY_WOW64_32KEY) return own;
  return handleView;
}

namespace {

bool startsWith(const PathView& path, std::initializer_list<const char16_t*> prefix) {
  if (path.size() < prefix.size()) return false;
  std::size_t i = 0;
  for (const char16_t* part : prefix) {
    if (!sameName(path[i++], part)) return false;
  }
  return true;
}

}  // namespace

PathView redirectedPath(Hive hive, const PathView& logical, win::REGSAM view, Machine machine) {
  if (machine != Machine::x64 || hive != Hive::LocalMachine || view == win::KEY_WOW64_64KEY) return {};
  if (logical.size() < 2 || !sameName(logical[0], u"Software") || sameName(logical[1], u"Wow6432Node")) {
    return {};
  }
  if (startsWith(logical, {u"Software", u"Microsoft", u"Windows", u"CurrentVersion", u"App Paths"})) return {};
  PathView redirected;
  redirected.reserve(logical.size() + 1);
  redirected.push_back(logical[0]);
  redirected.push_back(u"Wow6432Node");
  redirected.insert(redirected.end(), logical.begin() + 1, logical.end());
  return redirected;
}

}  // namespace portable
