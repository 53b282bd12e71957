#include "registry_error.h"

#include "platform/text.h"
#include "platform/user.h"

namespace tray {

RegistryError::RegistryError(std::uint32_t number, std::u16string source, std::u16string description)
    : std::runtime_error(platform::toUtf8(source + u": " + description)),
      number_(number),
      source_(std::move(source)),
      description_(std::move(description)) {}

std::u16string ProgramFileTitle() {
  std::u16string name = platform::programFileName();
  const auto folder = name.find_last_of(u"\\/");
  if (folder != std::u16string::npos) name.erase(0, folder + 1);
  const auto extension = name.find_last_of(u'.');
  if (extension != std::u16string::npos) name.resize(extension);
  return name;
}

}  // namespace tray
