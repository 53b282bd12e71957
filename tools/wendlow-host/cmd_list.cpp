// list: every uninstall entry with its key and main properties.
#include "subcommands.h"

const std::vector<std::u16string>& listColumns() {
  static const std::vector<std::u16string> columns = [] {
    std::vector<std::u16string> header = {u"Key"};
    header.insert(header.end(), kListedProperties.begin(), kListedProperties.end());
    return header;
  }();
  return columns;
}

int runList(const HostContext& context) {
  const HostOptions& options = context.options;
  DetectorSession session(context.library, options.mode, options.cachePath ? &*options.cachePath : nullptr);
  if (session.handle() == nullptr) {
    context.err << "wendlow-host: the detector could not be created\n";
    return kExitError;
  }
  listUninstallEntries(session, context.rows, context.leading);
  return kExitSuccess;
}
