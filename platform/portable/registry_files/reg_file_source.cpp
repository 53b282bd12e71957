// A .reg export as the store's hives, read on demand: a key's subkeys are the runs of
// sections below it (section_runs.h), found when something asks for them, and its values are
// read from its own sections then, in file order, so a key named twice and a value removed
// ("name"=-) mean what they mean when the file is read whole.
#include <algorithm>
#include <memory>
#include <optional>

#include "registry/registry_faults.h"
#include "registry/registry_store.h"
#include "registry_files/reg_file.h"
#include "registry_files/section_runs.h"
#include "shared/name_folding.h"

namespace portable {

namespace {

// What a section's values do to its key.
class ValueSink final : public RegFileSink {
 public:
  explicit ValueSink(RegistryKey& key) : key_(key) {}
  void value(std::u16string_view name, win::DWORD type, const std::vector<win::BYTE>& data) override {
    key_.setValue(name, type, data.data(), data.size());
  }
  void removeValue(std::u16string_view name) override { key_.removeValue(name); }

 private:
  RegistryKey& key_;
};

// The last time a key's sections record.
class TimeSink final : public RegFileSink {
 public:
  void lastWrite(std::uint64_t stamp) override { time = stamp; }
  std::optional<std::uint64_t> time;
};

class RegSource final : public KeySource, public std::enable_shared_from_this<RegSource> {
 public:
  RegSource(std::shared_ptr<const FileText> text, RegIndex index, std::string sourceName, std::uint64_t fileTime)
      : text_(std::move(text)), index_(std::move(index)), sourceName_(std::move(sourceName)),
        runs_(index_.sections.size()), fileTime_(fileTime), reader_(index_, text_->bytes(), sourceName_) {
    // Sorted with each comparison reading its two paths: a copy of every path would cost as
    // much memory as the sections' text.
    if (!index_.ordered) {
      runs_.sort([this](std::size_t a, std::size_t b) {
        reader_.readPath(a, path_);
        reader_.readPath(b, probe_);
        return regPathLess(path_, probe_);
      });
    }
  }

  // The node of each hive the file names, in the order's runs.
  void mount(RegistryStore& store) {
    for (std::size_t i = 0; i < runs_.size();) {
      const std::uint8_t hive = at(i).hive;
      const std::size_t j = runs_.runEnd(i, runs_.size(), [&](std::size_t p) { return at(p).hive == hive; });
      nodes_.push_back(Node{i, j, 0});
      RegistryKey& root = store.root(static_cast<Hive>(hive));
      root.touch(fileTime_ ? fileTime_ : root.lastWrite());
      root.readLater(shared_from_this(), nodes_.size() - 1);
      i = j;
    }
  }

  void fillSubkeys(RegistryKey& key, std::uint64_t id) override {
    const Node node = nodes_[id];
    for (std::size_t i = ownEnd(node); i < node.end;) {
      name_.assign(reader_.readName(runs_.at(i), node.depth));
      const std::size_t j = runs_.runEnd(i, node.end, [&](std::size_t p) {
        const std::u16string_view part = reader_.readName(runs_.at(p), node.depth);
        return sameName(part, name_);
      });
      const Node child{i, j, node.depth + 1};
      // Spelled as the file first names it; timed as its own sections record.
      const std::size_t first = runs_.firstInFile(i, j);
      if (first != runs_.at(i)) name_.assign(reader_.readName(first, node.depth));
      std::shared_ptr<RegistryKey> subkey = key.addChild(name_, recordedTime(child));
      nodes_.push_back(child);
      subkey->readLater(shared_from_this(), nodes_.size() - 1);
      i = j;
    }
  }

  void fillValues(RegistryKey& key, std::uint64_t id) override {
    const Node node = nodes_[id];
    ValueSink sink(key);
    for (std::size_t i = node.begin, own = ownEnd(node); i < own; ++i) {
      report(reader_.read(runs_.at(i), sink, true));
    }
  }

 private:
  struct Node {
    std::size_t begin, end;  // its sections and those below it, in the order
    std::size_t depth;       // the number of names in its own sections' paths
  };

  const RegSection& at(std::size_t position) const { return index_.sections[runs_.at(position)]; }

  std::size_t ownEnd(const Node& node) const {
    std::size_t i = node.begin;
    while (i < node.end && at(i).depth == node.depth) ++i;
    return i;
  }

  std::uint64_t recordedTime(const Node& node) {
    if (!index_.recordedTimes) return fileTime_;
    TimeSink times;
    for (std::size_t i = node.begin, own = ownEnd(node); i < own; ++i) {
      reader_.read(runs_.at(i), times, false);
    }
    return times.time.value_or(fileTime_);
  }

  static void report(const std::string& error) {
    if (!error.empty()) reportRegistryFault(error);
  }

  const std::shared_ptr<const FileText> text_;
  const RegIndex index_;
  const std::string sourceName_;
  SectionRuns runs_;
  const std::uint64_t fileTime_;
  RegSectionReader reader_;
  std::vector<Node> nodes_;  // the keys handed out so far
  RegPath path_, probe_;     // reused
  std::u16string name_;
};

}  // namespace

void mountRegFile(RegistryStore& store, std::shared_ptr<const FileText> text, RegIndex index,
                  const std::string& sourceName, std::uint64_t fileTime) {
  if (fileTime) store.clock().atLeast(fileTime);
  auto source = std::make_shared<RegSource>(std::move(text), std::move(index), sourceName, fileTime);
  source->mount(store);
}

}  // namespace portable
