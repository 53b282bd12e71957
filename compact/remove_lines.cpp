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

  // The file is ANSI: each line is searched as text in the system code page, where a
  // double-byte character may end in the byte of '\\'; kept lines go on as the bytes read.
  std::int16_t count = 0;
  std::string line;
  while (source.readLine(line)) {
    if (platform::fromAnsi(line).find(sSearch) != std::u16string::npos) {
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
