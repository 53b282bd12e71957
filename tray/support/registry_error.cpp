#include "registry_error.h"

#include "platform/text.h"

namespace tray {

namespace {

std::u16string& programFileTitleSlot() {
  static std::u16string title = u"HXTray";
  return title;
}

}  // namespace

RegistryError::RegistryError(std::uint32_t number, std::u16string source, std::u16string description)
    : std::runtime_error(platform::toUtf8(source + u": " + description)),
      number_(number),
      source_(std::move(source)),
      description_(std::move(description)) {}

const std::u16string& ProgramFileTitle() { return programFileTitleSlot(); }

void SetProgramFileTitle(std::u16string title) { programFileTitleSlot() = std::move(title); }

}  // namespace tray
