// wendlow-host on whole machines: folders holding Windows, Wine prefixes, hives with pending
// changes, and several machines in one run.
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <cstring>
#include <string>

#include "host_cli_support.h"

namespace {

using namespace host_cli;

class HostMachines : public HostCli {
 protected:
  void makeFolders(const std::string& path) { ASSERT_EQ(std::system(("mkdir -p '" + dir_ + "/" + path + "'").c_str()), 0); }
  void copyHive(const std::string& to) { writeFile(dir_ + "/" + to, readFile(WENDLOW_SAMPLE_HIVE)); }
};

TEST_F(HostMachines, FoldersHoldingWindowsListAsTheHiveDoes) {
  makeFolders("volume/WINDOWS/system32/CONFIG");
  copyHive("volume/WINDOWS/system32/CONFIG/software");
  const std::string listing = readFile(WENDLOW_SAMPLE_LISTING);
  for (const std::string folder : {"volume", "volume/WINDOWS", "volume/WINDOWS/system32/CONFIG"}) {
    SCOPED_TRACE(folder);
    RunResult result = run("--registry " + folder + " list --json");
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(result.out, listing);
    EXPECT_NE(result.err.find(folder + ": reading "), std::string::npos) << result.err;
    EXPECT_NE(result.err.find("software (an offline SOFTWARE hive)"), std::string::npos) << result.err;
  }
  EXPECT_EQ(run("--quiet --registry volume list").err, "");

  // Nothing but a regular file is read: a FIFO would block for ever.
  makeFolders("fifo-config");
  ASSERT_EQ(mkfifo((dir_ + "/fifo-config/SOFTWARE").c_str(), 0600), 0);
  RunResult fifo = run("--registry fifo-config list");
  EXPECT_EQ(fifo.exitCode, 2);
  EXPECT_NE(fifo.err.find("fifo-config/SOFTWARE: not a regular file"), std::string::npos) << fifo.err;

  // What lies behind a symbolic link below the folder given is not read.
  makeFolders("linked");
  ASSERT_EQ(symlink((dir_ + "/volume/WINDOWS").c_str(), (dir_ + "/linked/Windows").c_str()), 0);
  RunResult linked = run("--registry linked list");
  EXPECT_EQ(linked.exitCode, 2);
  EXPECT_NE(linked.err.find("no Windows registry found; looked for system.reg"), std::string::npos) << linked.err;
}

TEST_F(HostMachines, AHiveWithPendingChangesIsListedWithAWarning) {
  std::string hive = readFile(WENDLOW_SAMPLE_HIVE);
  ASSERT_GE(hive.size(), 512u);
  hive[4] = static_cast<char>(hive[4] + 1);  // the primary sequence number runs ahead
  // The header's checksum: the XOR of its first 127 double words.
  std::uint32_t checksum = 0;
  for (std::size_t at = 0; at < 0x1FC; at += 4) {
    std::uint32_t word = 0;
    std::memcpy(&word, hive.data() + at, 4);
    checksum ^= word;
  }
  std::memcpy(hive.data() + 0x1FC, &checksum, 4);
  writeFile(dir_ + "/SOFTWARE", hive);
  RunResult alone = run("--registry SOFTWARE list --json");
  EXPECT_EQ(alone.exitCode, 0) << alone.err;
  EXPECT_EQ(alone.out, readFile(WENDLOW_SAMPLE_LISTING)) << "still listed, as a plain array";
  EXPECT_NE(alone.err.find("SOFTWARE: the hive has changes pending"), std::string::npos) << alone.err;
  EXPECT_NE(alone.err.find("No log file lies beside it."), std::string::npos) << alone.err;

  writeFile(dir_ + "/SOFTWARE.LOG1", "");
  writeFile(dir_ + "/software.log2", "");
  EXPECT_NE(run("--registry SOFTWARE list").err.find("Beside it: SOFTWARE.LOG1, software.log2."), std::string::npos);
}

TEST_F(HostMachines, SeveralMachinesAnswerEachAndReportTheUnreadable) {
  writeFile(dir_ + "/other.reg",
            "REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Other]\n"
            "\"DisplayName\"=\"Other\"\n");
  const std::string sample = "'" WENDLOW_SAMPLE_REGISTRY "'";
  RunResult one = run("--registry other.reg --registry " + sample + " query other");
  EXPECT_EQ(one.exitCode, 1) << "the sample lacks it";
  EXPECT_EQ(one.out,
            "other.reg: start: scan (mode 1)\nother.reg: query other: installed (entries)\n" WENDLOW_SAMPLE_REGISTRY
            ": start: scan (mode 1)\n" WENDLOW_SAMPLE_REGISTRY ": query other: not installed (entries)\n");

  RunResult listed = run("--registry missing.reg --registry other.reg list --json");
  EXPECT_EQ(listed.exitCode, 2);
  EXPECT_NE(listed.err.find("missing.reg: cannot open"), std::string::npos) << listed.err;
  EXPECT_EQ(listed.out,
            "[\n  {\"Machine\": \"other.reg\", \"Key\": \"other\", \"DisplayName\": \"Other\", \"DisplayVersion\": \"\", "
            "\"Publisher\": \"\", \"InstallDate\": \"\", \"InstallLocation\": \"\"}\n]\n");
  RunResult table = run("--registry other.reg --registry other.reg list");
  EXPECT_EQ(table.out.substr(0, table.out.find(' ')), "Machine") << "the table's first column";
}

}  // namespace
