// isInstalled and isInstalledWildCard: answered from the entry maps, recording each hit,
// or in ModeCached from the recorded names alone.
#include "detector.h"
#include "glob_match.h"

bool cDetector::isInstalled(const std::u16string& name) {
  if (mode == ModeCached) return findInCachedSets(name);
  // Uninstall entries first: a name that is a key in both maps is recorded once, there.
  return findUninstallKey(name) || findExecutable(name);
}

bool cDetector::isInstalledWildCard(const std::u16string& pattern) {
  // In ModeCached the pattern is looked up as literal text among the recorded names.
  if (mode == ModeCached) return findInCachedSets(pattern);
  return matchWildcard(pattern);
}

bool cDetector::findInCachedSets(const std::u16string& text) const {
  if (!cachedExecutables.empty() && cachedExecutables.count(text) != 0) return true;
  return !cachedUninstallKeys.empty() && cachedUninstallKeys.count(text) != 0;
}

bool cDetector::findUninstallKey(const std::u16string& text) {
  if (uninstallItems.count(text) == 0) return false;
  recordUninstallKey(text);
  return true;
}

bool cDetector::findExecutable(const std::u16string& text) {
  if (appPathItems.count(text) == 0) return false;
  recordExecutable(text);
  return true;
}

bool cDetector::matchWildcard(const std::u16string& pattern) {
  // Without a star the pattern is an exact Uninstall key; App Paths are never matched here.
  if (pattern.find(u'*') == std::u16string::npos) return findUninstallKey(pattern);
  for (const auto& entry : uninstallItems) {
    if (globMatch(entry.first, pattern, false)) {
      // The pattern is what a later cached start can answer, not the key it matched.
      recordUninstallKey(pattern);
      return true;
    }
  }
  return false;
}
