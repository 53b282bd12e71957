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
  const std::vector<std::vector<std::u16string>> rows = listUninstallEntries(session);

  std::vector<std::u16string> header = {u"Key"};
  header.insert(header.end(), kListedProperties.begin(), kListedProperties.end());
  if (options.json) {
    context.out += jsonArrayOfObjects(header, rows) + "\n";
  } else {
    context.out += renderTable(header, rows);
  }
  return kExitSuccess;
}
