#include "hive_writer.h"

#include <algorithm>

namespace {

constexpr std::size_t kBaseBlock = 4096;
constexpr std::size_t kBinHeader = 0x20;
constexpr std::uint32_t kNone = 0xFFFFFFFF;
constexpr std::size_t kLargestData = 16344;  // larger data needs big-data records
constexpr std::uint32_t kInlineData = 0x80000000;

// Hive bins: cells appended in 4 KB bins (larger for a larger cell), none crossing a
// bin's end. Offsets count from the first bin, as the format's do.
class Bins {
 public:
  std::uint32_t allocate(std::size_t contents) {
    const std::size_t size = (contents + 4 + 7) & ~std::size_t{7};
    if (next_ + size > binEnd_) startBin(size);
    const std::size_t at = next_;
    next_ += size;
    put32(at, static_cast<std::uint32_t>(-static_cast<std::int32_t>(size)));  // negative: in use
    return static_cast<std::uint32_t>(at);
  }

  // A cell's contents start after its size field.
  std::size_t contents(std::uint32_t cell) const { return cell + 4; }

  void put(std::size_t at, const std::string& bytes) { bytes_.replace(at, bytes.size(), bytes); }
  void put16(std::size_t at, std::uint16_t value) { putLittleEndian(at, value, 2); }
  void put32(std::size_t at, std::uint32_t value) { putLittleEndian(at, value, 4); }
  void put64(std::size_t at, std::uint64_t value) { putLittleEndian(at, value, 8); }

  std::string finish() {
    closeBin();
    return std::move(bytes_);
  }

 private:
  void putLittleEndian(std::size_t at, std::uint64_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) bytes_[at + i] = static_cast<char>(value >> (8 * i));
  }

  // The rest of the bin is one free cell.
  void closeBin() {
    if (next_ < binEnd_) put32(next_, static_cast<std::uint32_t>(binEnd_ - next_));
  }

  void startBin(std::size_t cell) {
    closeBin();
    const std::size_t size = (kBinHeader + cell + kBaseBlock - 1) / kBaseBlock * kBaseBlock;
    const std::size_t start = bytes_.size();
    bytes_.resize(start + size, '\0');
    put(start, "hbin");
    put32(start + 4, static_cast<std::uint32_t>(start));
    put32(start + 8, static_cast<std::uint32_t>(size));
    next_ = start + kBinHeader;
    binEnd_ = start + size;
  }

  std::string bytes_;
  std::size_t next_ = 0;
  std::size_t binEnd_ = 0;
};

// A name as the format stores it: one byte per character when all fit (flagged
// compressed), else UTF-16LE.
struct StoredName {
  std::string bytes;
  bool compressed = true;
};

StoredName storedName(const std::u16string& name) {
  StoredName stored;
  stored.compressed = std::all_of(name.begin(), name.end(), [](char16_t c) { return c < 0x100; });
  for (char16_t c : name) {
    stored.bytes += static_cast<char>(c & 0xFF);
    if (!stored.compressed) stored.bytes += static_cast<char>(c >> 8);
  }
  return stored;
}

// The hash of a subkey-list entry: the upper-cased name's code units, times 37 each step.
std::uint32_t nameHash(const std::u16string& name) {
  std::uint32_t hash = 0;
  for (char16_t c : name) {
    const bool lower = (c >= u'a' && c <= u'z') || (c >= 0xE0 && c <= 0xFE && c != 0xF7);
    hash = hash * 37 + static_cast<std::uint32_t>(lower ? c - 0x20 : c);
  }
  return hash;
}

class HiveWriter {
 public:
  explicit HiveWriter(std::uint32_t keys) {
    // One security descriptor for every key: self-relative, no owner, no group, null DACL.
    const std::size_t descriptor = 20;
    security_ = bins_.allocate(0x14 + descriptor);
    const std::size_t at = bins_.contents(security_);
    bins_.put(at, "sk");
    bins_.put32(at + 0x04, security_);  // the list of descriptors: itself alone
    bins_.put32(at + 0x08, security_);
    bins_.put32(at + 0x0C, keys);  // used by every key
    bins_.put32(at + 0x10, static_cast<std::uint32_t>(descriptor));
    bins_.put(at + 0x14, std::string(1, '\x01'));  // revision
    bins_.put16(at + 0x16, 0x8004);                 // self-relative, DACL present
  }

  bool writeKey(const HiveKey& key, std::uint32_t parent, bool root, std::uint32_t& cell) {
    const StoredName name = storedName(key.name);
    cell = bins_.allocate(0x4C + name.bytes.size());
    std::vector<std::uint32_t> values;
    std::size_t longestValueName = 0, largestData = 0;
    for (const HiveValue& value : key.values) {
      std::uint32_t written = 0;
      if (!writeValue(value, written)) return false;
      values.push_back(written);
      longestValueName = std::max(longestValueName, value.name.size() * 2);
      largestData = std::max(largestData, value.data.size());
    }
    const std::uint32_t valueList = values.empty() ? kNone : bins_.allocate(4 * values.size());
    for (std::size_t i = 0; i < values.size(); ++i) bins_.put32(bins_.contents(valueList) + 4 * i, values[i]);

    if (key.children.size() > 0xFFFF) {
      error_ = "more than 65,535 subkeys in one key";
      return false;
    }
    std::vector<std::uint32_t> children;
    std::size_t longestSubkey = 0;
    for (const HiveKey& child : key.children) {
      std::uint32_t written = 0;
      if (!writeKey(child, cell, false, written)) return false;
      children.push_back(written);
      longestSubkey = std::max(longestSubkey, child.name.size() * 2);
    }
    std::uint32_t list = kNone;
    if (!children.empty()) {
      list = bins_.allocate(4 + 8 * children.size());
      const std::size_t at = bins_.contents(list);
      bins_.put(at, "lh");
      bins_.put16(at + 2, static_cast<std::uint16_t>(children.size()));
      for (std::size_t i = 0; i < children.size(); ++i) {
        bins_.put32(at + 4 + 8 * i, children[i]);
        bins_.put32(at + 8 + 8 * i, nameHash(key.children[i].name));
      }
    }

    const std::size_t at = bins_.contents(cell);
    bins_.put(at, "nk");
    // Compressed name; the root also says it is the hive's entry and may not be deleted.
    bins_.put16(at + 0x02, static_cast<std::uint16_t>((name.compressed ? 0x20 : 0) | (root ? 0x0C : 0)));
    bins_.put64(at + 0x04, key.lastWrite);
    bins_.put32(at + 0x10, root ? kNone : parent);
    bins_.put32(at + 0x14, static_cast<std::uint32_t>(children.size()));
    bins_.put32(at + 0x1C, list);
    bins_.put32(at + 0x20, kNone);  // no volatile subkeys
    bins_.put32(at + 0x24, static_cast<std::uint32_t>(values.size()));
    bins_.put32(at + 0x28, valueList);
    bins_.put32(at + 0x2C, security_);
    bins_.put32(at + 0x30, kNone);  // no class name
    bins_.put32(at + 0x34, static_cast<std::uint32_t>(longestSubkey));
    bins_.put32(at + 0x3C, static_cast<std::uint32_t>(longestValueName));
    bins_.put32(at + 0x40, static_cast<std::uint32_t>(largestData));
    bins_.put16(at + 0x48, static_cast<std::uint16_t>(name.bytes.size()));
    bins_.put(at + 0x4C, name.bytes);
    return true;
  }

  std::string fileBytes(std::uint32_t rootCell, std::uint64_t time) {
    std::string bins = bins_.finish();
    std::string header(kBaseBlock, '\0');
    auto put32 = [&header](std::size_t at, std::uint32_t value) {
      for (int i = 0; i < 4; ++i) header[at + i] = static_cast<char>(value >> (8 * i));
    };
    header.replace(0, 4, "regf");
    put32(0x04, 1);  // equal sequence numbers: written completely
    put32(0x08, 1);
    put32(0x0C, static_cast<std::uint32_t>(time));
    put32(0x10, static_cast<std::uint32_t>(time >> 32));
    put32(0x14, 1);  // version 1.5
    put32(0x18, 5);
    put32(0x20, 1);  // direct memory load
    put32(0x24, rootCell);
    put32(0x28, static_cast<std::uint32_t>(bins.size()));
    put32(0x2C, 1);
    std::uint32_t checksum = 0;
    for (std::size_t at = 0; at < 0x1FC; at += 4) {
      checksum ^= static_cast<std::uint32_t>(static_cast<unsigned char>(header[at])) |
                  static_cast<std::uint32_t>(static_cast<unsigned char>(header[at + 1])) << 8 |
                  static_cast<std::uint32_t>(static_cast<unsigned char>(header[at + 2])) << 16 |
                  static_cast<std::uint32_t>(static_cast<unsigned char>(header[at + 3])) << 24;
    }
    if (checksum == 0) checksum = 1;
    if (checksum == kNone) checksum = kNone - 1;
    put32(0x1FC, checksum);
    return header + bins;
  }

  const std::string& error() const { return error_; }

 private:
  bool writeValue(const HiveValue& value, std::uint32_t& cell) {
    const StoredName name = storedName(value.name);
    cell = bins_.allocate(0x14 + name.bytes.size());
    const std::size_t at = bins_.contents(cell);
    std::uint32_t size = static_cast<std::uint32_t>(value.data.size());
    std::uint32_t where = 0;
    if (value.data.size() <= 4) {
      // Up to four bytes live in the offset field itself.
      for (std::size_t i = 0; i < value.data.size(); ++i) {
        where |= static_cast<std::uint32_t>(static_cast<unsigned char>(value.data[i])) << (8 * i);
      }
      size |= kInlineData;
    } else if (value.data.size() > kLargestData) {
      error_ = "a value larger than " + std::to_string(kLargestData) + " bytes";
      return false;
    } else {
      where = bins_.allocate(value.data.size());
      bins_.put(bins_.contents(where), value.data);
    }
    bins_.put(at, "vk");
    bins_.put16(at + 0x02, static_cast<std::uint16_t>(name.bytes.size()));
    bins_.put32(at + 0x04, size);
    bins_.put32(at + 0x08, where);
    bins_.put32(at + 0x0C, value.type);
    bins_.put16(at + 0x10, name.compressed ? 1 : 0);
    bins_.put(at + 0x14, name.bytes);
    return true;
  }

  Bins bins_;
  std::uint32_t security_ = 0;
  std::string error_;
};

std::uint32_t countKeys(const HiveKey& key) {
  std::uint32_t count = 1;
  for (const HiveKey& child : key.children) count += countKeys(child);
  return count;
}

}  // namespace

std::string hiveFileBytes(const HiveKey& root, std::string& error) {
  HiveWriter writer(countKeys(root));
  std::uint32_t rootCell = 0;
  if (!writer.writeKey(root, kNone, true, rootCell)) {
    error = writer.error();
    return std::string();
  }
  return writer.fileBytes(rootCell, root.lastWrite);
}
