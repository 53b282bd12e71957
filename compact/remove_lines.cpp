// The filtered copy of the batch file.
#include <limits>

#include "platform/files.h"
#include "platform/text.h"
#include "mod_main.h"

namespace compact {

std::int16_t RemoveLinesContaining(const std::u16string& sSource, const std::u16string& sTarget,
                                   const std::u16string& sSearch) {
  // A lone LF ends a line too: taken as text, a file written with LF alone would be one
  // line, and a single match would remove all of it.
  platform::TextFileReader source(platform::toAnsi(sSource).c_str());
  if (!source.isOpen()) return kCopyFailed;
  platform::TextFileWriter target(platform::toAnsi(sTarget).c_str());
  if (!target.isOpen()) return kCopyFailed;

  // The file is ANSI and the search text plain ASCII: compare bytes, hand bytes on as read.
  const std::string search = platform::toAnsi(sSearch);
  std::int16_t count = 0;
  std::string line;
  while (source.readLine(line)) {
    if (line.find(search) != std::string::npos) {
      if (count < std::numeric_limits<std::int16_t>::max()) ++count;
    } else if (!target.writeLine(line)) {
      return kCopyFailed;
    }
  }
  if (source.failed()) return kCopyFailed;
  source.close();
  if (!target.flush() || !target.close()) return kCopyFailed;
  return count;
}

}  // namespace compact
