// list: every uninstall entry with its key and main properties.
#include "json_output.h"
#include "subcommands.h"
#include "text_table.h"

int runList(const HostContext& context) {
  const HostOptions& options = context.options;
  DetectorSession session(context.library, options.mode,
                          options.cachePath ? &*options.cachePath : nullptr);
  if (session.handle() == nullptr) {
    context.err << "wendlow-host: the detector could not be created\n";
    return kExitError;
  }
  std::vector<ListedEntry> entries = listUninstallEntries(session);

  std::vector<std::u16string> header = {u"Key"};
  header.insert(header.end(), kListedProperties.begin(), kListedProperties.end());
  std::vector<std::vector<std::u16string>> rows;
  rows.reserve(entries.size());
  for (ListedEntry& entry : entries) {
    std::vector<std::u16string> row = {std::move(entry.key)};
    for (std::u16string& value : entry.values) row.push_back(std::move(value));
    rows.push_back(std::move(row));
  }
  if (options.json) {
    context.out << jsonArrayOfObjects(header, rows) << "\n";
  } else {
    context.out << renderTable(header, rows);
  }
  return kExitSuccess;
}
