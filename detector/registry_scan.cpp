// Filling the entry maps from the machine-wide Uninstall and App Paths registrations.
// Every key is opened from HKEY_LOCAL_MACHINE by its whole path, never relative to an
// open parent, and nothing here reports an error: what cannot be read is skipped.
#include "detector.h"
#include "entry_key.h"
#include "registry_locations.h"
#include "registry_reader.h"

namespace {

// Opens one subkey, reads the kind's values into a new record and files it under `key`.
// A subkey that cannot be opened gives no record; a value that cannot be read leaves
// its property empty.
template <typename Item, typename Names, typename Insert>
void readEntry(cRegistryReader& reader, const std::u16string& path, win::REGSAM access,
               cDetector::StringSet& valueNames, const Names& kindNames, std::u16string key, Insert insert) {
  platform::unique_hkey subkey = cRegistryReader::openMachineKey(path, access);
  if (!subkey) return;
  auto item = std::make_unique<Item>();
  // The set holds only the kind's names, so once it holds as many it holds them all.
  if (valueNames.size() < kindNames.size()) valueNames.insert(kindNames.begin(), kindNames.end());
  item->setValues(reader.valueTexts(subkey.get(), valueNames));
  insert(std::move(key), std::move(item));
}

void readUninstallEntry(cDetector& detector, cRegistryReader& reader, const std::u16string& path,
                        win::REGSAM access, std::u16string key) {
  readEntry<AppInstalledItem>(reader, path, access, detector.uninstallValueNames, kUninstallValueNames,
                              std::move(key),
                              [&](std::u16string k, std::unique_ptr<AppInstalledItem> item) {
                                detector.insertUninstallItem(std::move(k), std::move(item));
                              });
}

void readAppPathEntry(cDetector& detector, cRegistryReader& reader, const std::u16string& path,
                      win::REGSAM access, std::u16string key) {
  static const std::array<std::u16string, 1> names = {kAppPathValueName};
  readEntry<AppPathItem>(reader, path, access, detector.appPathValueNames, names, std::move(key),
                         [&](std::u16string k, std::unique_ptr<AppPathItem> item) {
                           detector.insertAppPathItem(std::move(k), std::move(item));
                         });
}

using EntryReaderFn = void (*)(cDetector&, cRegistryReader&, const std::u16string&, win::REGSAM, std::u16string);

// Reads every subkey of an open root; the first non-zero enumeration result ends it,
// and the entries made so far stay.
void enumerateRoot(cDetector& detector, cRegistryReader& reader, win::HKEY root, const std::u16string& rootPath,
                   win::REGSAM access, EntryReaderFn readOne) {
  std::u16string path;
  std::u16string_view name;
  for (win::DWORD index = 0; reader.subkeyName(root, index, name); ++index) {
    path.assign(rootPath).append(name);
    readOne(detector, reader, path, access, makeEntryKey(name));
  }
}

// One view: the Uninstall root (with its last-write time) and the App Paths root.
// With `replace`, each map is emptied whether or not its root opens.
void scanView(cDetector& detector, win::REGSAM access, win::FILETIME& lastWriteTime, bool replace) {
  cRegistryReader reader;
  {
    platform::unique_hkey root = cRegistryReader::openMachineKey(kUninstallRoot, access);
    if (root) cRegistryReader::queryLastWriteTime(root.get(), lastWriteTime);
    if (replace) detector.deleteUninstallItems();
    if (root) enumerateRoot(detector, reader, root.get(), kUninstallRoot, access, readUninstallEntry);
  }
  {
    platform::unique_hkey root = cRegistryReader::openMachineKey(kAppPathsRoot, access);
    if (replace) detector.deleteAppPathItems();
    if (root) enumerateRoot(detector, reader, root.get(), kAppPathsRoot, access, readAppPathEntry);
  }
}

}  // namespace

int cDetector::scanRegistry() {
  scanView(*this, kDefaultViewAccess, lastWriteTime32, true);
  // The default view came first, so a subkey in both views keeps its default-view entry.
  if (isWow64) scanRegistry64();
  currentItem = uninstallItems.end();
  return 1;
}

int cDetector::scanRegistry64() {
  scanView(*this, k64BitViewAccess, lastWriteTime64, false);
  return 1;
}

int cDetector::loadCachedEntries() {
  cRegistryReader reader;
  std::u16string path;
  // Cached names are keys already: they are used as stored, without lowering.
  deleteUninstallItems();
  for (const std::u16string& name : cachedUninstallKeys) {
    path.assign(kUninstallRoot).append(name);
    readUninstallEntry(*this, reader, path, kDefaultViewAccess, name);
  }
  deleteAppPathItems();
  for (const std::u16string& name : cachedExecutables) {
    path.assign(kAppPathsRoot).append(name);
    readAppPathEntry(*this, reader, path, kDefaultViewAccess, name);
  }
  currentItem = uninstallItems.end();
  return 1;
}
