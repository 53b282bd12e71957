// The test controls of portable/registry_control.h that read and write .reg files.
#include "platform/text.h"
#include "portable/registry_control.h"
#include "registry/registry_store.h"
#include "registry_files/atomic_file.h"
#include "registry_files/reg_file.h"
#include "registry_files/registry_persistence.h"

namespace portable {

namespace {

bool locate(win::HKEY root, std::u16string_view physicalPath, Hive& hive, PathView& path) {
  return predefinedHive(root, hive) && splitPath(physicalPath, path);
}

}  // namespace

RegFileResult loadRegData(std::string_view bytes, const std::string& sourceName) {
  RegFileResult result;
  // Checked whole before anything is applied: a malformed file changes nothing.
  RegFileSink check;
  MemoryBytes first(bytes);
  result.error = parseRegFile(first, sourceName, check);
  if (!result.error.empty()) return result;
  RegistryStore& store = registryStore();
  auto lock = store.lock();
  MemoryBytes second(bytes);
  result.error = applyRegFile(store, second, sourceName, true);
  result.ok = result.error.empty();
  return result;
}

RegFileResult loadRegFile(const std::string& path) {
  RegFileResult result;
  std::string bytes;
  bool missing = false;
  if (!readWholeFile(path, bytes, result.error, missing)) return result;
  return loadRegData(bytes, path);
}

RegFileResult saveRegFile(const std::string& path) {
  RegistryStore& store = registryStore();
  std::string bytes;
  bool injected = false;
  {
    auto lock = store.lock();
    bytes = regFileBytes(wholeRegistry(store));
    injected = store.injected("saveRegFile").has_value();
  }
  RegFileResult result;
  result.ok = replaceFileAtomically(path, bytes, result.error, injected);
  return result;
}

std::string exportRegText(win::HKEY root, std::u16string_view physicalPath) {
  Hive hive;
  PathView path;
  std::vector<RegSubtree> subtrees;
  RegistryStore& store = registryStore();
  auto lock = store.lock();
  if (locate(root, physicalPath, hive, path)) {
    if (std::shared_ptr<RegistryKey> key = store.find(hive, path)) {
      // The section names use the stored spelling of every component.
      std::u16string prefix = hiveName(hive);
      const RegistryKey* walk = &store.root(hive);
      for (std::u16string_view part : path) {
        walk = walk->findChild(part).get();
        prefix += u"\\" + walk->name();
      }
      subtrees.push_back(RegSubtree{prefix, key.get(), path.empty()});
    }
  }
  return platform::toUtf8(writeRegText(subtrees, u"\n", false));
}

}  // namespace portable
