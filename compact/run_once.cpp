// The RunOnce value that would start the compaction once more.
#include "platform/registry.h"
#include "platform/resource.h"
#include "platform/text.h"
#include "mod_main.h"

namespace compact {

std::optional<bool> DeleteRunOnceValue(const std::u16string& sName) {
  platform::unique_hkey key;
  if (win::RegOpenKeyExA(win::HKEY_LOCAL_MACHINE, kRunOnceKey, 0, win::KEY_ALL_ACCESS, key.put()) !=
      win::ERROR_SUCCESS)
    return std::nullopt;
  return win::RegDeleteValueA(key.get(), platform::toAnsi(sName).c_str()) == win::ERROR_SUCCESS;
}

}  // namespace compact
