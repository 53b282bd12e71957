#include "clsRegistry.h"

#include <algorithm>
#include <cstring>
#include <exception>
#include <limits>
#include <new>
#include <optional>
#include <vector>

#include "clsOS.h"
#include "platform/registry.h"
#include "platform/text.h"
#include "registry_calls.h"

namespace tray {

namespace {

using regcall::Form;

constexpr win::REGSAM kAllAccess = win::KEY_ALL_ACCESS;
constexpr win::REGSAM kQueryValue = win::KEY_QUERY_VALUE;
constexpr win::REGSAM kEnumerateSubKeys = win::KEY_ENUMERATE_SUB_KEYS;
constexpr win::REGSAM kRead = win::KEY_READ;
constexpr win::REGSAM kWrite = win::KEY_WRITE;
constexpr win::REGSAM kReadWrite = win::KEY_READ | win::KEY_WRITE;  // 0x2001F

// Subkey names are read into 255 characters; a longer name ends the listing.
constexpr win::DWORD kSubkeyNameCapacity = 255;

std::u16string trimSpaces(const std::u16string& s) {
  const std::size_t first = s.find_first_not_of(u' ');
  if (first == std::u16string::npos) return std::u16string();
  const std::size_t last = s.find_last_not_of(u' ');
  return s.substr(first, last - first + 1);
}

std::int32_t fromLittleEndian(const std::uint8_t* b) {
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(b[0]) | (static_cast<std::uint32_t>(b[1]) << 8) |
                                   (static_cast<std::uint32_t>(b[2]) << 16) |
                                   (static_cast<std::uint32_t>(b[3]) << 24));
}

std::vector<std::uint8_t> toLittleEndian(std::int32_t value) {
  const auto v = static_cast<std::uint32_t>(value);
  return {static_cast<std::uint8_t>(v), static_cast<std::uint8_t>(v >> 8), static_cast<std::uint8_t>(v >> 16),
          static_cast<std::uint8_t>(v >> 24)};
}

struct FoundValue {
  win::DWORD type;
  TaggedValue value;  // REG_EXPAND_SZ still unexpanded
};

// Reads a value with a size query and one read into a buffer of exactly that size.
// Nothing when the key or the value cannot be reached.
std::optional<FoundValue> readValue(Form form, std::int32_t hive, const std::u16string& path,
                                    const std::u16string& name) {
  platform::unique_hkey key;
  if (regcall::openKey(form, hive, path, kQueryValue, key) != win::ERROR_SUCCESS) return std::nullopt;

  win::DWORD type = 0;
  std::int32_t scratch = 0;
  win::DWORD size = 0;
  const win::LONG probe =
      regcall::queryValueAnsi(key.get(), name, &type, reinterpret_cast<win::BYTE*>(&scratch), &size);
  if (probe != win::ERROR_SUCCESS && probe != win::ERROR_MORE_DATA) return std::nullopt;

  FoundValue found{type, TaggedValue()};
  // A buffer that cannot be had skips the read; the result keeps its empty content.
  try {
    switch (type) {
      case win::REG_SZ:
      case win::REG_EXPAND_SZ:
      case win::REG_MULTI_SZ: {
        // size - 1 characters: the stored terminator (or the list's closing NUL) is not text.
        std::string buffer(std::max<win::DWORD>(size, 1), '\0');
        win::DWORD inOut = size;
        regcall::queryValueAnsi(key.get(), name, nullptr, reinterpret_cast<win::BYTE*>(buffer.data()), &inOut);
        buffer.resize(size > 0 ? size - 1 : 0);
        found.value = TaggedValue::fromString(platform::fromAnsi(buffer));
        break;
      }
      case win::REG_DWORD:
      case win::REG_DWORD_BIG_ENDIAN: {
        // Never smaller than the integer, whatever size the value claims.
        std::vector<std::uint8_t> buffer(std::max<std::size_t>(size, 4), 0);
        win::DWORD inOut = size;
        regcall::queryValueAnsi(key.get(), name, nullptr, buffer.data(), &inOut);
        found.value = TaggedValue::fromInteger32(fromLittleEndian(buffer.data()));
        break;
      }
      default: {
        // Elements 0 to size: one more than the data, the last one stays 0.
        std::vector<std::uint8_t> buffer(static_cast<std::size_t>(size) + 1, 0);
        win::DWORD inOut = size;
        regcall::queryValueAnsi(key.get(), name, nullptr, buffer.data(), &inOut);
        found.value = TaggedValue::fromBytes(std::move(buffer));
        break;
      }
    }
  } catch (const std::exception&) {
    if (type == win::REG_SZ || type == win::REG_EXPAND_SZ || type == win::REG_MULTI_SZ) {
      found.value = TaggedValue::fromString(std::u16string());
    } else if (type == win::REG_DWORD || type == win::REG_DWORD_BIG_ENDIAN) {
      found.value = TaggedValue::fromInteger32(0);
    } else {
      found.value = TaggedValue::fromBytes({});
    }
  }
  return found;
}

RegistryError enumerationError(std::uint32_t number, const char16_t* className, std::u16string description) {
  return RegistryError(number, ProgramFileTitle() + u"." + className, std::move(description));
}

// Something other than a registry call failed inside an enumeration.
struct CounterOverflow {};

std::int32_t nextCount(std::int32_t count) {
  if (count == std::numeric_limits<std::int32_t>::max()) throw CounterOverflow{};
  return count + 1;
}

template <typename Body>
bool runEnumeration(std::uint32_t number, const char16_t* className, Body body) {
  try {
    body();
  } catch (const CounterOverflow&) {
    throw enumerationError(number, className, u"Overflow");
  } catch (const std::bad_alloc&) {
    throw enumerationError(number, className, u"Out of memory");
  } catch (const RegistryError&) {
    throw;
  } catch (const std::exception& e) {
    throw enumerationError(number, className, platform::fromUtf8(e.what()));
  }
  return true;
}

}  // namespace

clsRegistry::clsRegistry() : bIsNT(clsOS().isWinNT()) {}

clsRegistry::clsRegistry(bool bIsNT) : bIsNT(bIsNT) {}

std::int32_t clsRegistry::SwapEndian(std::int32_t x) {
  const auto v = static_cast<std::uint32_t>(x);
  return static_cast<std::int32_t>((v >> 24) | ((v >> 8) & 0xFF00u) | ((v << 8) & 0xFF0000u) | (v << 24));
}

std::u16string clsRegistry::ExpandEnvironment(const std::u16string& s) const {
  return regcall::expandEnvironment(regcall::formFor(bIsNT), s);
}

std::u16string clsRegistry::TrimNull(const std::u16string& s) { return s.substr(0, s.find(u'\0')); }

std::int32_t clsRegistry::ProbeKey(std::int32_t hive, const std::u16string& path) {
  platform::unique_hkey key;
  return regcall::openKey(Form::Ansi, hive, path, kRead, key);
}

bool clsRegistry::KeyExists() const {
  try {
    platform::unique_hkey key;
    return regcall::openKey(regcall::formFor(bIsNT), ClassKey_, SectionKey_, kAllAccess, key) ==
           win::ERROR_SUCCESS;
  } catch (const std::exception&) {
    return false;
  }
}

bool clsRegistry::CreateKey() const {
  try {
    platform::unique_hkey key;
    return regcall::createKey(regcall::formFor(bIsNT), ClassKey_, SectionKey_, kAllAccess, key) ==
           win::ERROR_SUCCESS;
  } catch (const std::exception&) {
    return false;
  }
}

bool clsRegistry::DeleteKey() const {
  try {
    return regcall::deleteKey(regcall::formFor(bIsNT), ClassKey_, SectionKey_) == win::ERROR_SUCCESS;
  } catch (const std::exception&) {
    return false;
  }
}

bool clsRegistry::DeleteValue() const {
  try {
    const Form form = regcall::formFor(bIsNT);
    platform::unique_hkey key;
    if (regcall::openKey(form, ClassKey_, SectionKey_, kAllAccess, key) != win::ERROR_SUCCESS) return false;
    return regcall::deleteValue(form, key.get(), ValueKey_) == win::ERROR_SUCCESS;
  } catch (const std::exception&) {
    return false;
  }
}

TaggedValue clsRegistry::Value() {
  try {
    std::optional<FoundValue> found = readValue(regcall::formFor(bIsNT), ClassKey_, SectionKey_, ValueKey_);
    if (!found) return Default_;
    ValueType_ = static_cast<std::int32_t>(found->type);
    if (found->type == win::REG_EXPAND_SZ) {
      return TaggedValue::fromString(ExpandEnvironment(*found->value.asString()));
    }
    if (found->type == win::REG_DWORD_BIG_ENDIAN) {
      return TaggedValue::fromInteger32(SwapEndian(*found->value.asInteger32()));
    }
    return std::move(found->value);
  } catch (const std::exception&) {
    return Default_;
  }
}

void clsRegistry::Value(const TaggedValue& vValue) const {
  try {
    const Form form = regcall::formFor(bIsNT);
    platform::unique_hkey key;
    if (regcall::createKey(form, ClassKey_, SectionKey_, kAllAccess, key) != win::ERROR_SUCCESS) return;

    switch (ValueType_) {
      case win::REG_SZ:
      case win::REG_EXPAND_SZ: {
        // REG_SZ is trimmed (and, in the ANSI form, so is its name); REG_EXPAND_SZ is not.
        const bool trim = ValueType_ == win::REG_SZ;
        const std::u16string text = trim ? trimSpaces(vValue.toText()) : vValue.toText();
        if (form == Form::Wide) {
          regcall::setValue(form, key.get(), ValueKey_, ValueType_, text.c_str(),
                            static_cast<win::DWORD>((text.size() + 1) * 2));
        } else {
          const std::string ansi = platform::toAnsi(text);
          regcall::setValue(form, key.get(), trim ? trimSpaces(ValueKey_) : ValueKey_, ValueType_, ansi.c_str(),
                            static_cast<win::DWORD>(ansi.size() + 1));
        }
        break;
      }
      case win::REG_BINARY: {
        const ByteArray* bytes = vValue.asBytes();
        if (bytes == nullptr || bytes->lowerBound != 0) break;
        regcall::setValue(Form::Ansi, key.get(), ValueKey_, win::REG_BINARY, bytes->bytes.data(),
                          static_cast<win::DWORD>(bytes->bytes.size()));
        break;
      }
      case win::REG_DWORD:
      case win::REG_DWORD_BIG_ENDIAN: {
        // Only numbers; both types are stored as a little-endian REG_DWORD.
        std::optional<std::int32_t> number;
        if (const std::int16_t* n16 = vValue.asInteger16()) number = *n16;
        if (const std::int32_t* n32 = vValue.asInteger32()) number = *n32;
        if (!number) break;
        const std::vector<std::uint8_t> data = toLittleEndian(*number);
        regcall::setValue(form, key.get(), ValueKey_, win::REG_DWORD, data.data(), 4);
        break;
      }
      default:
        break;
    }
  } catch (const std::exception&) {
    // A failed write is not reported.
  }
}

std::int32_t clsRegistry::GetRegValueType(std::int32_t hKey, const std::u16string& KeyName,
                                          const std::u16string& ValueName) const {
  try {
    const Form form = regcall::formFor(bIsNT);
    platform::unique_hkey key;
    if (regcall::openKey(form, hKey, KeyName, kRead, key) != win::ERROR_SUCCESS) return -1;
    win::DWORD type = 0;
    if (regcall::queryValueType(form, key.get(), ValueName, type) != win::ERROR_SUCCESS) return -1;
    return static_cast<std::int32_t>(type);
  } catch (const std::exception&) {
    return -1;
  }
}

TaggedValue clsRegistry::GetRegistryValue(std::int32_t hHive, const std::u16string& sSubkey,
                                          const std::u16string& ValueName, const std::u16string& DefaultValue,
                                          bool bReturnUnexpanded) const {
  try {
    std::optional<FoundValue> found = readValue(regcall::formFor(bIsNT), hHive, sSubkey, ValueName);
    if (!found) return TaggedValue::fromString(DefaultValue);
    if (found->type == win::REG_EXPAND_SZ && !bReturnUnexpanded) {
      return TaggedValue::fromString(TrimNull(ExpandEnvironment(*found->value.asString())));
    }
    if (found->type == win::REG_DWORD_BIG_ENDIAN) {
      return TaggedValue::fromInteger32(SwapEndian(*found->value.asInteger32()));
    }
    return std::move(found->value);
  } catch (const std::exception&) {
    return TaggedValue::fromString(DefaultValue);
  }
}

bool clsRegistry::SetRegistryValue(std::int32_t hHive, const std::u16string& sSubkey, const std::u16string& ValueName,
                                   const TaggedValue& Value, std::int32_t DType) const {
  try {
    win::LONG result = win::ERROR_SUCCESS;
    if (ProbeKey(hHive, sSubkey) != win::ERROR_SUCCESS) {
      platform::unique_hkey created;  // closed again at once
      result = regcall::createKey(Form::Ansi, hHive, sSubkey, kReadWrite, created);
    }
    platform::unique_hkey key;
    if (regcall::openKey(Form::Ansi, hHive, sSubkey, kWrite, key) != win::ERROR_SUCCESS) return false;

    switch (DType) {
      case win::REG_DWORD: {
        const std::vector<std::uint8_t> data = toLittleEndian(Value.toInteger32().value_or(0));
        result = regcall::setValue(Form::Ansi, key.get(), ValueName, win::REG_DWORD, data.data(), 4);
        break;
      }
      case win::REG_SZ:
      case win::REG_EXPAND_SZ:
      case win::REG_MULTI_SZ: {
        // No terminator is counted; a multi-string brings its own separators.
        const std::string ansi = platform::toAnsi(Value.toText());
        result = regcall::setValue(Form::Ansi, key.get(), ValueName, static_cast<win::DWORD>(DType), ansi.data(),
                                   static_cast<win::DWORD>(ansi.size()));
        break;
      }
      case win::REG_BINARY:
        if (const ByteArray* bytes = Value.asBytes()) {
          result = regcall::setValue(Form::Ansi, key.get(), ValueName, win::REG_BINARY, bytes->bytes.data(),
                                     static_cast<win::DWORD>(bytes->bytes.size()));
        }
        break;
      default:
        break;
    }
    return result == win::ERROR_SUCCESS;
  } catch (const std::exception&) {
    return false;
  }
}

bool clsRegistry::EnumerateValues(OneBasedStrings& sKeyNames, std::int32_t& iKeyCount) const {
  iKeyCount = 0;
  sKeyNames.clear();
  return runEnumeration(kEnumerateValuesErrorNumber, u"clsRegistry", [&] {
    platform::unique_hkey key;
    if (regcall::openKey(regcall::formFor(bIsNT), ClassKey_, SectionKey_, kQueryValue, key) != win::ERROR_SUCCESS) {
      return;
    }
    char noClass[1] = {0};
    win::DWORD classCapacity = 0;
    win::DWORD subKeys = 0, maxSubKeyLength = 0, maxClassLength = 0, values = 0, maxValueNameLength = 0,
               maxValueLength = 0, securityDescriptorSize = 0;
    win::FILETIME lastWrite{};
    if (win::RegQueryInfoKeyA(key.get(), noClass, &classCapacity, nullptr, &subKeys, &maxSubKeyLength,
                              &maxClassLength, &values, &maxValueNameLength, &maxValueLength,
                              &securityDescriptorSize, &lastWrite) != win::ERROR_SUCCESS) {
      return;
    }
    const win::DWORD capacity = std::max<win::DWORD>(maxValueNameLength + 1, 1);
    for (win::DWORD index = 0;; ++index) {
      std::string name(capacity, '\0');
      win::DWORD length = capacity;
      if (win::RegEnumValueA(key.get(), index, name.data(), &length, nullptr, nullptr, nullptr, nullptr) !=
          win::ERROR_SUCCESS) {
        break;
      }
      name.resize(std::min<win::DWORD>(length, capacity));
      iKeyCount = nextCount(iKeyCount);
      sKeyNames.resizePreserving(iKeyCount);
      sKeyNames.at(iKeyCount) = platform::fromAnsi(name);
    }
  });
}

bool clsRegistry::EnumerateSections(OneBasedStrings& sSect, std::int32_t& iSectCount) const {
  iSectCount = 0;
  sSect.clear();
  return runEnumeration(kEnumerateSectionsErrorNumber, u"cRegistry", [&] {
    platform::unique_hkey key;
    if (regcall::openKey(regcall::formFor(bIsNT), ClassKey_, SectionKey_, kEnumerateSubKeys, key) !=
        win::ERROR_SUCCESS) {
      return;
    }
    for (win::DWORD index = 0;; ++index) {
      std::string name(kSubkeyNameCapacity, '\0');
      if (win::RegEnumKeyA(key.get(), index, name.data(), kSubkeyNameCapacity) != win::ERROR_SUCCESS) break;
      name.resize(std::min<std::size_t>(name.find('\0'), kSubkeyNameCapacity));
      iSectCount = nextCount(iSectCount);
      sSect.resizePreserving(iSectCount);
      sSect.at(iSectCount) = platform::fromAnsi(name);
    }
  });
}

}  // namespace tray
