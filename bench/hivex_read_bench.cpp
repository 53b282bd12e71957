// The lower bound of listing a SOFTWARE hive through libhivex: open the file, then read
// what the listing reads (every Uninstall and App Paths entry of both views: its name, its
// time and every value's name and data) and nothing else. App Paths is one key that both
// views share, so the listing reads it twice, and so does this. Prints the seconds of each
// step.
// Usage: hivex_read_bench HIVE
#include <hivex.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <initializer_list>
#include <memory>

namespace {

struct FreeMemory {
  void operator()(void* memory) const { std::free(memory); }
};
template <typename T>
using Malloced = std::unique_ptr<T, FreeMemory>;

hive_node_h child(hive_h* hive, hive_node_h node, std::initializer_list<const char*> path) {
  for (const char* name : path) {
    if (node == 0) return 0;
    node = hivex_node_get_child(hive, node, name);
  }
  return node;
}

// Values read below the entries of `root`.
std::size_t readEntries(hive_h* hive, hive_node_h root) {
  std::size_t count = 0;
  if (root == 0) return count;
  Malloced<hive_node_h> entries(hivex_node_children(hive, root));
  for (std::size_t i = 0; entries && entries.get()[i] != 0; ++i) {
    const hive_node_h entry = entries.get()[i];
    Malloced<char> name(hivex_node_name(hive, entry));
    hivex_node_timestamp(hive, entry);
    Malloced<hive_value_h> values(hivex_node_values(hive, entry));
    for (std::size_t j = 0; values && values.get()[j] != 0; ++j) {
      Malloced<char> key(hivex_value_key(hive, values.get()[j]));
      hive_type type;
      std::size_t size = 0;
      Malloced<char> data(hivex_value_value(hive, values.get()[j], &type, &size));
      ++count;
    }
  }
  return count;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: hivex_read_bench HIVE\n");
    return 64;
  }
  using Clock = std::chrono::steady_clock;
  const auto start = Clock::now();
  std::unique_ptr<hive_h, int (*)(hive_h*)> hive(hivex_open(argv[1], 0), hivex_close);
  if (!hive) {
    std::perror(argv[1]);
    return 2;
  }
  const auto opened = Clock::now();
  const hive_node_h root = hivex_root(hive.get());
  std::size_t values = 0;
  for (hive_node_h view : {root, child(hive.get(), root, {"Wow6432Node"})}) {
    values += readEntries(hive.get(), child(hive.get(), view, {"Microsoft", "Windows", "CurrentVersion", "Uninstall"}));
    values += readEntries(hive.get(), child(hive.get(), root, {"Microsoft", "Windows", "CurrentVersion", "App Paths"}));
  }
  const auto read = Clock::now();
  const auto seconds = [](Clock::duration d) { return std::chrono::duration<double>(d).count(); };
  std::printf("open %.3f s, entries %.3f s, %zu values\n", seconds(opened - start), seconds(read - opened), values);
  return 0;
}
