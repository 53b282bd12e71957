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
  const TextRows rows = listUninstallEntries(session);

  std::vector<std::u16string> header = {u"Key"};
  header.insert(header.end(), kListedProperties.begin(), kListedProperties.end());
  std::string listing = options.json ? jsonArrayOfObjects(header, rows) + "\n" : renderTable(header, rows);
  // Usually the whole answer, of megabytes: handed over rather than copied.
  if (context.out.empty()) {
    context.out = std::move(listing);
  } else {
    context.out += listing;
  }
  return kExitSuccess;
}
