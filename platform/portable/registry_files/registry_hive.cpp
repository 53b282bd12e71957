#include "registry_files/registry_hive.h"

#include <fcntl.h>
#include <hivex.h>
#include <strings.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string_view>
#include <type_traits>
#include <vector>

#include "platform/text.h"
#include "registry/registry_faults.h"
#include "registry/registry_store.h"
#include "registry_files/folder_entries.h"
#include "registry_files/hive_cell_name.h"
#include "registry_files/mapped_text.h"
#include "registry_files/registry_input_file.h"
#include "shared/little_endian.h"
#include "shared/unique_fd.h"

namespace portable {

namespace {

struct HiveClose {
  void operator()(hive_h* hive) const { hivex_close(hive); }
};
using UniqueHive = std::unique_ptr<hive_h, HiveClose>;

// What hivex hands out with malloc.
struct FreeMemory {
  void operator()(void* memory) const { std::free(memory); }
};
template <typename T>
using Malloced = std::unique_ptr<T, FreeMemory>;

std::string offsetText(std::uint64_t offset) {
  char text[24];
  std::snprintf(text, sizeof text, "0x%llx", static_cast<unsigned long long>(offset));
  return text;
}

class HiveSource final : public KeySource, public std::enable_shared_from_this<HiveSource> {
 public:
  // `bytes`, the same file mapped, may be null: names then all come through libhivex.
  HiveSource(UniqueHive hive, std::shared_ptr<const FileText> bytes, std::string path, std::uint64_t fallbackTime)
      : hive_(std::move(hive)), bytes_(std::move(bytes)), path_(std::move(path)), fallbackTime_(fallbackTime) {}

  hive_node_h root() { return hivex_root(hive_.get()); }
  // The child of that name, or 0 (also for one that cannot be read).
  hive_node_h child(hive_node_h node, const char* name) { return hivex_node_get_child(hive_.get(), node, name); }

  // A key's time; the file's own time where the hive records none.
  std::uint64_t timeOf(hive_node_h node) {
    std::int64_t time = hivex_node_timestamp(hive_.get(), node);
    return time > 0 ? static_cast<std::uint64_t>(time) : fallbackTime_;
  }

  void fillSubkeys(RegistryKey& key, std::uint64_t node) override {
    hive_h* h = hive_.get();
    Malloced<hive_node_h> children(hivex_node_children(h, node));
    if (!children) return fault("the subkeys of the key", node);
    for (std::size_t i = 0; children.get()[i] != 0; ++i) {
      const hive_node_h child = children.get()[i];
      const std::u16string* name = nameOf(child, HiveCell::Key);
      if (!name) return;
      key.addChild(*name, timeOf(child))->readLater(shared_from_this(), child);
    }
  }

  void fillValues(RegistryKey& key, std::uint64_t node) override {
    hive_h* h = hive_.get();
    Malloced<hive_value_h> values(hivex_node_values(h, node));
    if (!values) return fault("the values of the key", node);
    std::size_t count = 0;
    while (values.get()[count] != 0) ++count;
    key.reserveValues(count);
    for (std::size_t i = 0; i < count; ++i) {
      const hive_value_h value = values.get()[i];
      const std::u16string* name = nameOf(value, HiveCell::Value);
      if (!name) return;
      // Any 32-bit number a file holds, not just the enumerators: read as the enum, it
      // would be undefined.
      std::underlying_type_t<hive_type> type = 0;
      std::size_t size = 0;
      Malloced<char> data(hivex_value_value(h, value, reinterpret_cast<hive_type*>(&type), &size));
      if (!data) return fault("the data of the value", value);
      key.addSourceValue(*name, static_cast<win::DWORD>(type),
                         reinterpret_cast<const win::BYTE*>(data.get()), size);
    }
  }

 private:
  // The name of the key or value cell at `offset`, in a buffer that is reused; null once
  // the failure is reported.
  const std::u16string* nameOf(std::uint64_t offset, HiveCell cell) {
    if (bytes_ && readLatin1Name(bytes_->bytes(), offset, cell, name_)) return &name_;
    errno = 0;
    Malloced<char> utf8(cell == HiveCell::Key ? hivex_node_name(hive_.get(), offset)
                                              : hivex_value_key(hive_.get(), offset));
    if (!utf8) {
      fault(cell == HiveCell::Key ? "the name of the key" : "the name of the value", offset);
      return nullptr;
    }
    return &utf16(utf8.get());
  }

  // A name from hivex (UTF-8, ending at its first zero: hivex's own length function
  // decodes the name a second time) in a buffer that is reused.
  const std::u16string& utf16(const char* utf8) {
    const std::string_view bytes(utf8);
    // Eight bytes at a time for a byte beyond ASCII, which most names do not hold.
    std::uint64_t high = 0;
    std::size_t i = 0;
    for (; i + 8 <= bytes.size(); i += 8) {
      std::uint64_t group;
      std::memcpy(&group, bytes.data() + i, sizeof group);
      high |= group;
    }
    for (; i < bytes.size(); ++i) high |= static_cast<unsigned char>(bytes[i]);
    if (high & 0x8080808080808080ull) return name_ = platform::fromUtf8(bytes);
    name_.resize(bytes.size());
    std::copy(bytes.begin(), bytes.end(), name_.begin());
    return name_;
  }

  void fault(const char* what, std::uint64_t offset) {
    const int error = errno;
    // libhivex refuses keys with more subkeys or values than it allows as out of range.
    std::string message = path_ + (error == ERANGE ? ": a key beyond what libhivex reads" : ": damaged hive") +
                          ": cannot read " + what + " at offset " + offsetText(offset);
    // hivex says EFAULT ("Bad address") for a cell that is not what points to it expects.
    if (error == EFAULT) {
      message += " (a cell it points to is not what it should be)";
    } else if (error != 0) {
      message += std::string(" (") + std::strerror(error) + ")";
    }
    reportRegistryFault(message);
  }

  UniqueHive hive_;
  std::shared_ptr<const FileText> bytes_;
  std::string path_;
  std::uint64_t fallbackTime_;
  std::u16string name_;
};

// Why hivex refused the file, with the truncation spelled out when that is the cause.
std::string refusal(const RegistryInputFile& file, const std::string& path, int error) {
  std::string reason = path + ": not a readable registry hive";
  unsigned char field[4] = {};
  constexpr off_t kHiveBinsSizeField = 0x28;
  constexpr std::uint64_t kBaseBlockSize = 4096;
  if (::pread(file.fd(), field, sizeof field, kHiveBinsSizeField) == sizeof field) {
    const std::uint64_t declared = littleEndian32(field);
    if (file.size() < kBaseBlockSize + declared) {
      return reason + ": truncated (the header declares " + std::to_string(kBaseBlockSize + declared) +
             " bytes, the file holds " + std::to_string(file.size()) + ")";
    }
  }
  return reason + " (" + std::strerror(error) + ")";
}

}  // namespace

bool mountHive(RegistryStore& store, const RegistryInputFile& file, const std::string& path, HiveUse use,
               HiveKind& kind, std::string& error) {
  // Through the descriptor already checked: the name might now lead elsewhere.
  const std::string byDescriptor = "/proc/self/fd/" + std::to_string(file.fd());
  errno = 0;
  UniqueHive hive(hivex_open(byDescriptor.c_str(), 0));
  if (!hive) {
    error = refusal(file, path, errno);
    return false;
  }
  std::string unmapped;
  auto source = std::make_shared<HiveSource>(std::move(hive), mapFileText(file.fd(), file.size(), unmapped, false),
                                             path, file.modificationTime());
  const hive_node_h root = source->root();
  if (root == 0) {
    error = path + ": not a readable registry hive (no root key)";
    return false;
  }
  // A user's hive holds Software at its root, a SOFTWARE hive Microsoft (names compared
  // without regard to case).
  hive_node_h software = root;
  kind = HiveKind::Software;
  if (use == HiveUse::AsFound && source->child(root, "Microsoft") == 0) {
    if (const hive_node_h user = source->child(root, "Software")) {
      kind = HiveKind::User;
      software = user;
    }
  }
  RegistryKey& machine = store.root(Hive::LocalMachine);
  machine.addChild(u"SOFTWARE", source->timeOf(software))->readLater(source, software);
  return true;
}

namespace {

// The transaction logs of the hive at `path` that lie beside it, in the folder's spelling.
std::vector<std::string> logsBeside(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  const std::string folder = slash == std::string::npos ? "." : path.substr(0, slash + 1);
  const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
  std::vector<std::string> logs;
  const UniqueFd opened(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (opened.get() < 0) return logs;
  for (const std::string& entry : folderEntries(opened.get())) {
    for (const char* suffix : {".LOG", ".LOG1", ".LOG2"}) {
      if (::strcasecmp(entry.c_str(), (name + suffix).c_str()) == 0) logs.push_back(entry);
    }
  }
  std::sort(logs.begin(), logs.end());
  return logs;
}

}  // namespace

std::string pendingChangesWarning(const RegistryInputFile& file, const std::string& path) {
  // The base block: "regf", then the primary and the secondary sequence number.
  unsigned char header[12] = {};
  if (::pread(file.fd(), header, sizeof header, 0) != sizeof header) return {};
  if (std::memcmp(header + 4, header + 8, 4) == 0) return {};
  std::string warning = path +
                        ": the hive has changes pending in its transaction logs (its sequence numbers differ); "
                        "they are not replayed, so what changed last before the copy may be missing. ";
  const std::vector<std::string> logs = logsBeside(path);
  if (logs.empty()) return warning + "No log file lies beside it.";
  warning += "Beside it: ";
  for (std::size_t i = 0; i < logs.size(); ++i) warning += (i ? ", " : "") + logs[i];
  return warning + ".";
}

}  // namespace portable
