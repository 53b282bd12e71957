// The Windows directory as the compaction program reads it: 20 characters at most.
#include "platform/files.h"
#include "platform/text.h"
#include "mod_main.h"

namespace compact {

std::u16string GetWindowsDir() {
  constexpr win::UINT kSize = 20;
  char text[kSize + 1];
  std::string(kSize, ' ').copy(text, kSize);
  text[kSize] = '\0';
  const win::UINT length = win::GetWindowsDirectoryA(text, kSize);
  // A directory that did not fit leaves nothing usable in the buffer.
  if (length == 0 || length >= kSize) return {};

  std::string folder(text);  // up to the first zero
  const std::size_t first = folder.find_first_not_of(' ');
  if (first == std::string::npos) return {};
  folder = folder.substr(first, folder.find_last_not_of(' ') - first + 1);
  return platform::fromAnsi(folder);
}

}  // namespace compact
