// The error that clsRegistry's enumerations raise when something other than a registry call fails.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

namespace tray {

constexpr std::uint32_t kEnumerateValuesErrorNumber = 0x800469ABu;
constexpr std::uint32_t kEnumerateSectionsErrorNumber = 0x800469AAu;

class RegistryError : public std::runtime_error {
 public:
  RegistryError(std::uint32_t number, std::u16string source, std::u16string description);

  std::uint32_t Number() const { return number_; }
  const std::u16string& Source() const { return source_; }
  const std::u16string& Description() const { return description_; }

 private:
  std::uint32_t number_;
  std::u16string source_;
  std::u16string description_;
};

// The running program's file name without folder and extension, which starts every error
// source.
std::u16string ProgramFileTitle();

}  // namespace tray
