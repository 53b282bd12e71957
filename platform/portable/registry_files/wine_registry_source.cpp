// A Wine registry file as the store's HKEY_LOCAL_MACHINE, read on demand: a key's subkeys are
// the runs of sections below it (section_runs.h), found when something asks for them, and
// its values are read from its own sections then (docs/benchmarks.md).
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <memory>

#include "registry/registry_faults.h"
#include "registry/registry_store.h"
#include "registry_files/section_runs.h"
#include "registry_files/wine_registry.h"
#include "shared/name_folding.h"

namespace portable {

namespace {

class WineSource final : public KeySource, public std::enable_shared_from_this<WineSource> {
 public:
  WineSource(std::shared_ptr<const WineText> text, std::string sourceName, WineIndex index, std::uint64_t fileTime)
      : text_(std::move(text)), view_(text_->bytes()), sourceName_(std::move(sourceName)),
        sections_(std::move(index.sections)), runs_(sections_.size()), fileTime_(fileTime) {
    if (!index.ordered) sortSections();
    nodes_.push_back(Node{0, sections_.size(), 0});
  }

  static constexpr std::uint64_t kRoot = 0;

  void fillSubkeys(RegistryKey& key, std::uint64_t id) override {
    const Node node = nodes_[id];
    for (std::size_t i = ownEnd(node); i < node.end;) {
      readWinePath(view_, at(i), path_);
      const std::u16string name(path_.part(node.depth));
      const std::size_t j = runEnd(i, node.end, node.depth, name);
      const Node child{i, j, node.depth + 1};
      // A key the file names has the time recorded with it; a key it leaves implicit gets
      // the time of the first section below it. A symbolic link with nothing below it is
      // left out.
      const bool named = at(i).depth == child.depth;
      WineKeyOptions options;
      report(readWineOptions(view_, named ? at(i) : firstInFile(i, j), sourceName_, options));
      if (!(named && options.link && ownEnd(child) == j)) {
        std::shared_ptr<RegistryKey> subkey = key.addChild(name, options.time.value_or(fileTime_));
        nodes_.push_back(child);
        subkey->readLater(shared_from_this(), nodes_.size() - 1);
      }
      i = j;
    }
  }

  void fillValues(RegistryKey& key, std::uint64_t id) override {
    const Node node = nodes_[id];
    // A name given twice keeps the later value, as when Wine loads the file.
    const WineValueSink add = [&key](std::u16string_view name, win::DWORD type, const std::vector<win::BYTE>& data) {
      key.setValue(name, type, data.data(), data.size());
    };
    const std::size_t own = ownEnd(node);
    for (std::size_t i = node.begin; i < own; ++i) {
      WineKeyOptions options;
      report(readWineOptions(view_, at(i), sourceName_, options));
      if (!options.link) report(readWineValues(view_, at(i), sourceName_, add));
    }
  }

 private:
  struct Node {
    std::size_t begin, end;  // its sections, in the order
    std::size_t depth;       // the number of names in its own sections' paths
  };

  // A file whose sections Wine did not write in the order: sorted, each key's own in file order.
  void sortSections() {
    std::vector<WinePath> paths(sections_.size());
    for (std::size_t i = 0; i < sections_.size(); ++i) readWinePath(view_, sections_[i], paths[i]);
    runs_.sort([&paths](std::size_t a, std::size_t b) { return winePathLess(paths[a], paths[b]); });
  }

  const WineSection& at(std::size_t position) const { return sections_[runs_.at(position)]; }
  const WineSection& firstInFile(std::size_t begin, std::size_t end) const {
    return sections_[runs_.firstInFile(begin, end)];
  }

  std::size_t ownEnd(const Node& node) const {
    std::size_t i = node.begin;
    while (i < node.end && at(i).depth == node.depth) ++i;
    return i;
  }

  // The end of the run of sections from `begin` whose name at `depth` is `name`.
  std::size_t runEnd(std::size_t begin, std::size_t end, std::size_t depth, const std::u16string& name) {
    return runs_.runEnd(begin, end, [&](std::size_t i) {
      readWinePath(view_, at(i), probe_);
      return compareWineNames(probe_.part(depth), name) == 0;
    });
  }

  static void report(const std::string& error) {
    if (!error.empty()) reportRegistryFault(error);
  }

  const std::shared_ptr<const WineText> text_;
  const std::string_view view_;
  const std::string sourceName_;
  const std::vector<WineSection> sections_;  // in file order
  SectionRuns runs_;
  const std::uint64_t fileTime_;
  std::vector<Node> nodes_;  // the keys handed out so far; the root first
  WinePath path_, probe_;    // reused
};

}  // namespace

std::string applyWineRegistry(RegistryStore& store, std::shared_ptr<const WineText> text,
                              const std::string& sourceName, std::uint64_t fileTime, WineArch& arch, WineKeys keys) {
  WineIndex index;
  std::string error = indexWineRegistry(text->bytes(), sourceName, index, keys);
  if (!error.empty()) return error;
  arch = index.arch;
  auto source = std::make_shared<WineSource>(std::move(text), sourceName, std::move(index), fileTime);
  store.root(Hive::LocalMachine).readLater(source, WineSource::kRoot);
  return {};
}

}  // namespace portable
