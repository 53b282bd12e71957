// The tray program's way into the registry: a stateful style (ClassKey, SectionKey, ValueKey,
// ValueType, Default, then Value / KeyExists / CreateKey / ...) and a stateless one
// (GetRegistryValue, SetRegistryValue, GetRegValueType).
//
// Errors are swallowed everywhere: results are false, -1 or the caller's fallback. Only the two
// enumerations raise, with a RegistryError, when something other than a registry call fails.
// No key stays open between calls.
#pragma once

#include <cstdint>
#include <string>

#include "one_based_strings.h"
#include "registry_error.h"
#include "tagged_value.h"

namespace tray {

// Hive handle values as the class takes them (signed 32-bit).
constexpr std::int32_t kHiveCurrentUser = static_cast<std::int32_t>(0x80000001u);
constexpr std::int32_t kHiveLocalMachine = static_cast<std::int32_t>(0x80000002u);

class clsRegistry {
 public:
  // Asks the operating-system version class once whether this is the NT family.
  clsRegistry();
  // The character family chosen by the caller: wide registry calls when bIsNT is true.
  explicit clsRegistry(bool bIsNT);

  bool KeyExists() const;  // the key can be opened with full access
  bool CreateKey() const;
  bool DeleteKey() const;
  bool DeleteValue() const;

  // Reads ValueKey of ClassKey\SectionKey; sets ValueType to the type found, or returns a copy of
  // Default (ValueType untouched) when the value cannot be read.
  TaggedValue Value();
  // Writes vValue as ValueType says (types 1, 2, 3, 4, 5; others write nothing).
  void Value(const TaggedValue& vValue) const;

  // The value's type code, or -1.
  std::int32_t GetRegValueType(std::int32_t hKey, const std::u16string& KeyName,
                               const std::u16string& ValueName) const;
  // The value read as Value() reads it, or DefaultValue as a string. REG_EXPAND_SZ comes back
  // expanded unless bReturnUnexpanded.
  TaggedValue GetRegistryValue(std::int32_t hHive, const std::u16string& sSubkey, const std::u16string& ValueName,
                               const std::u16string& DefaultValue = std::u16string(),
                               bool bReturnUnexpanded = false) const;

  std::int32_t ValueType() const { return ValueType_; }
  void ValueType(std::int32_t eValueType) { ValueType_ = eValueType; }
  std::int32_t ClassKey() const { return ClassKey_; }
  void ClassKey(std::int32_t eKey) { ClassKey_ = eKey; }
  const std::u16string& SectionKey() const { return SectionKey_; }
  void SectionKey(const std::u16string& sSectionKey) { SectionKey_ = sSectionKey; }
  const std::u16string& ValueKey() const { return ValueKey_; }
  void ValueKey(const std::u16string& sValueKey) { ValueKey_ = sValueKey; }
  const TaggedValue& Default() const { return Default_; }
  void Default(const TaggedValue& vDefault) { Default_ = vDefault; }

  // Creates the key when needed and writes the value in the ANSI form without terminator
  // (DType 1, 2, 7: text; 3: byte array; 4: integer; others write nothing). True when written
  // (or when nothing had to be written and the key could be reached).
  bool SetRegistryValue(std::int32_t hHive, const std::u16string& sSubkey, const std::u16string& ValueName,
                        const TaggedValue& Value, std::int32_t DType) const;

  // The key's value names / subkey names in registry order, elements 1 to the count. A failing
  // registry call ends the list; the result is then still true.
  bool EnumerateValues(OneBasedStrings& sKeyNames, std::int32_t& iKeyCount) const;
  bool EnumerateSections(OneBasedStrings& sSect, std::int32_t& iSectCount) const;

  bool IsNT() const { return bIsNT; }

 private:
  static std::int32_t SwapEndian(std::int32_t x);
  std::u16string ExpandEnvironment(const std::u16string& s) const;
  static std::u16string TrimNull(const std::u16string& s);
  static std::int32_t ProbeKey(std::int32_t hive, const std::u16string& path);

  std::int32_t ClassKey_ = 0;
  std::u16string SectionKey_;
  std::u16string ValueKey_;
  TaggedValue Default_;
  std::int32_t ValueType_ = 0;
  bool bIsNT = false;
};

}  // namespace tray
