// wendlow-host on whole machines: folders holding Windows, Wine prefixes, hives with pending
// changes, and several machines in one run.
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
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

// The sample hive with its primary sequence number run ahead by `step`.
std::string hiveWithPendingChanges(std::uint32_t step) {
  std::string hive = readFile(WENDLOW_SAMPLE_HIVE);
  if (hive.size() < 512) return {};
  std::uint32_t primary = 0;
  std::memcpy(&primary, hive.data() + 4, 4);
  primary += step;
  std::memcpy(hive.data() + 4, &primary, 4);
  // The header's checksum: the XOR of its first 127 double words.
  std::uint32_t checksum = 0;
  for (std::size_t at = 0; at < 0x1FC; at += 4) {
    std::uint32_t word = 0;
    std::memcpy(&word, hive.data() + at, 4);
    checksum ^= word;
  }
  std::memcpy(hive.data() + 0x1FC, &checksum, 4);
  return hive;
}

TEST_F(HostMachines, AHiveWithPendingChangesIsListedWithAWarning) {
  // Numbers that differ above their low byte only (0x001 and 0x101) differ too.
  writeFile(dir_ + "/SOFTWARE", hiveWithPendingChanges(0x100));
  EXPECT_NE(run("--registry SOFTWARE list").err.find("SOFTWARE: the hive has changes pending"), std::string::npos);
  writeFile(dir_ + "/SOFTWARE", hiveWithPendingChanges(1));
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

// A volume whose machine lists five profiles: two readable (one under Users, one under
// Documents and Settings), one without its hive, two whose paths lead out of the volume.
TEST_F(HostMachines, UsersOfAVolumeAreListedBesideTheMachine) {
  const std::string uninstall = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";
  auto makeHive = [this](const std::string& reg, const std::string& hive, const char* option) {
    writeFile(dir_ + "/source.reg", "REGEDIT4\n\n" + reg);
    ASSERT_EQ(std::system(("'" WENDLOW_MAKE_HIVE "' " + std::string(option) + " '" + dir_ + "/source.reg' '" + dir_ +
                           "/" + hive + "'").c_str()),
              0);
  };
  const std::string profiles = "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\ProfileList\\";
  makeFolders("vol/WINDOWS/system32/config");
  makeFolders("vol/Users/alice");
  makeFolders("vol/Users/carol");
  makeFolders("vol/Documents and Settings/bob");
  makeHive("[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Tool]\n"
           "\"DisplayName\"=\"Tool\"\n\n" +
               profiles + "S-1-5-21-7-1001]\n\"ProfileImagePath\"=\"C:\\\\Users\\\\alice\"\n\n" + profiles +
               "S-1-5-21-7-1002]\n\"ProfileImagePath\"=hex(2):25,53,79,73,74,65,6d,44,72,69,76,65,25,5c,44,6f,63,75,6d,"
               "65,6e,74,73,20,61,6e,64,20,53,65,74,74,69,6e,67,73,5c,62,6f,62,00\n\n" +
               profiles + "S-1-5-21-7-1003]\n\"ProfileImagePath\"=\"C:\\\\Users\\\\carol\"\n\n" + profiles +
               "S-1-5-21-7-1004]\n\"ProfileImagePath\"=\"C:\\\\Users\\\\..\\\\..\\\\outside\"\n\n" + profiles +
               "S-1-5-21-7-1005]\n\"ProfileImagePath\"=\"C:\\\\Users\\\\linked\"\n",
           "vol/WINDOWS/system32/config/SOFTWARE", "");
  makeHive("[HKEY_CURRENT_USER\\" + uninstall + "AliceApp]\n\"DisplayName\"=\"Alice App\"\n",
           "vol/Users/alice/NTUSER.DAT", "--user");
  makeHive("[HKEY_CURRENT_USER\\" + uninstall + "BobApp]\n\"DisplayName\"=\"Bob App\"\n",
           "vol/Documents and Settings/bob/ntuser.dat", "--user");
  ASSERT_EQ(symlink((dir_ + "/vol/Users/alice").c_str(), (dir_ + "/vol/Users/linked").c_str()), 0);

  const std::string machineOnly = run("-q --registry vol list").out;
  EXPECT_EQ(machineOnly.find("Alice"), std::string::npos) << "without --users, the machine's entries only";
  RunResult users = run("-q --registry vol --users list");
  EXPECT_EQ(users.exitCode, 2) << "a profile could not be read";
  EXPECT_EQ(users.out,
            "User   Key       DisplayName  DisplayVersion  Publisher  InstallDate  InstallLocation\n"
            "-----  --------  -----------  --------------  ---------  -----------  ---------------\n"
            "       tool      Tool\n"
            "alice  aliceapp  Alice App\n"
            "bob    bobapp    Bob App\n");
  for (const char* refused : {"S-1-5-21-7-1003 (C:\\Users\\carol): its hive is missing",
                              "S-1-5-21-7-1004 (C:\\Users\\..\\..\\outside) leads out of its folder",
                              "vol/Users/linked is a symbolic link, not followed: refused"}) {
    EXPECT_NE(users.err.find(refused), std::string::npos) << refused << "\n" << users.err;
  }
  EXPECT_EQ(std::count(users.err.begin(), users.err.end(), '\n'), 3) << users.err;
  EXPECT_NE(run("-q --registry vol --users --json list").out.find("\"User\": \"bob\", \"Sid\": \"S-1-5-21-7-1002\""),
            std::string::npos);

  RunResult asked = run("-q --registry vol --users query bobapp wildcard '*app'");
  EXPECT_EQ(asked.out,
            "start: scan (mode 1) of 3 scopes\nquery bobapp: installed (bob)\n"
            "wildcard *app: installed (alice, bob)\n");
  // A user's hive given alone is listed as that user's.
  EXPECT_EQ(run("--registry vol/Users/alice/NTUSER.DAT --users list --json").out,
            "[\n  {\"User\": \"alice\", \"Sid\": \"\", \"Key\": \"aliceapp\", \"DisplayName\": \"Alice App\", "
            "\"DisplayVersion\": \"\", \"Publisher\": \"\", \"InstallDate\": \"\", \"InstallLocation\": \"\"}\n]\n");
}

}  // namespace
