// wendlow-host run as a program on Linux, against registry files it is given.
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "host_cli_support.h"

namespace {

using namespace host_cli;

const char* const kSmallRegistry =
    "REGEDIT4\n"
    "\n"
    "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Sable \"Q\"]\n"
    "\"DisplayName\"=\"Sable \\\"Quoted\\\" Tool\"\n"
    "\"DisplayVersion\"=\"1.0\"\n"
    "\"InstallLocation\"=\"C:\\\\Sable\\\\\"\n"
    "\n"
    "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\ÄRGER]\n"
    "\"DisplayName\"=\"Ärger Editor\"\n"
    "\"Publisher\"=\"Grünwald\"\n";

TEST_F(HostCli, ListsAGivenRegistryAsJson) {
  writeFile(dir_ + "/small.reg", kSmallRegistry);
  RunResult result = run("--registry small.reg list --json");
  ASSERT_EQ(result.exitCode, 0) << result.err;
  EXPECT_EQ(result.out,
            "[\n"
            "  {\"Key\": \"sable \\\"q\\\"\", \"DisplayName\": \"Sable \\\"Quoted\\\" Tool\", \"DisplayVersion\": "
            "\"1.0\", \"Publisher\": \"\", \"InstallDate\": \"\", \"InstallLocation\": \"C:\\\\Sable\\\\\"},\n"
            "  {\"Key\": \"Ärger\", \"DisplayName\": \"Ärger Editor\", \"DisplayVersion\": \"\", \"Publisher\": "
            "\"Grünwald\", \"InstallDate\": \"\", \"InstallLocation\": \"\"}\n"
            "]\n");
}

TEST_F(HostCli, MalformedRegistryFileExitsWithTwoAndSaysWhy) {
  // Found when the listing reads the entry: a section's lines are read with its key's values.
  writeFile(dir_ + "/bad.reg",
            "REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\X]\n"
            "\"Name\"=dword:not-hex\n");
  const std::string before = readFile(dir_ + "/bad.reg");
  RunResult result = run("--registry bad.reg list");
  EXPECT_EQ(result.exitCode, 2);
  EXPECT_EQ(result.out, "");
  EXPECT_NE(result.err.find("bad.reg:4: dword needs 1 to 8 hex digits"), std::string::npos) << result.err;
  EXPECT_EQ(readFile(dir_ + "/bad.reg"), before) << "a malformed file is never overwritten";
}

TEST_F(HostCli, BundledSampleIsTheDefaultAndStaysUnchanged) {
  const std::string before = readFile(WENDLOW_SAMPLE_REGISTRY);
  ASSERT_FALSE(before.empty());
  RunResult result = run("list --json");
  ASSERT_EQ(result.exitCode, 0) << result.err;
  // A 64-bit machine: the 32-bit view's entry wins where both views have the subkey.
  EXPECT_NE(result.out.find("{\"Key\": \"lumoraplayer\", \"DisplayName\": \"Lumora Player (32-bit)\""),
            std::string::npos);
  EXPECT_NE(result.out.find("{\"Key\": \"tessaline 3d\", \"DisplayName\": \"Tessaline 3D Modeller\""),
            std::string::npos)
      << "64-bit-only entries are listed";
  EXPECT_NE(result.out.find("\"Key\": \"Ärgereditor\""), std::string::npos);
  // The Windows build under Wine is held to this same listing.
  EXPECT_EQ(result.out, readFile(WENDLOW_SAMPLE_LISTING));
  EXPECT_EQ(readFile(WENDLOW_SAMPLE_REGISTRY), before);
}

TEST_F(HostCli, RejectsUnknownCommandsAndOptions) {
  EXPECT_EQ(run("frobnicate").exitCode, 64);
  EXPECT_EQ(run("list --frobnicate").exitCode, 64);
  EXPECT_EQ(run("").exitCode, 64);
  RunResult help = run("--help");
  EXPECT_EQ(help.exitCode, 0);
  EXPECT_NE(help.out.find("list"), std::string::npos);
  EXPECT_NE(help.out.find("exit status"), std::string::npos);
}

// A one-view machine with one program and one executable, for the query steps.
const char* const kQueryRegistry =
    "REGEDIT4\n"
    "\n"
    "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Quill Editor]\n"
    "\"DisplayName\"=\"Quill Editor\"\n"
    "\n"
    "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\Quill.EXE]\n"
    "\"Path\"=\"C:\\\\Quill\"\n";

TEST_F(HostCli, QueryStepsRunInOrderOnOneDetector) {
  writeFile(dir_ + "/q.reg", kQueryRegistry);
  RunResult result = run(
      "--registry q.reg --mode 2 --cache c.db query quill.exe query 'Quill Editor' wildcard 'quill*' "
      "wildcard '*' save query 'quill editor' wildcard 'quill*' wildcard 'qu*' refresh query 'quill editor'");
  EXPECT_EQ(result.exitCode, 1) << "some answers are no: " << result.err;
  // No cache file yet: a full scan. After the save, answers come from the recorded names.
  EXPECT_EQ(result.out,
            "start: scan (mode 3)\n"
            "query quill.exe: installed (entries)\n"
            "query Quill Editor: not installed (entries)\n"
            "wildcard quill*: installed (entries)\n"
            "wildcard *: installed (entries)\n"
            "save: saved\n"
            "query quill editor: not installed (cache)\n"
            "wildcard quill*: installed (cache)\n"
            "wildcard qu*: not installed (cache)\n"
            "refresh: rescanned (mode 3)\n"
            "query quill editor: installed (entries)\n");
}

TEST_F(HostCli, QueryStepsReportAsJson) {
  writeFile(dir_ + "/q.reg", kQueryRegistry);
  RunResult result = run("--registry q.reg --json query quill.exe");
  EXPECT_EQ(result.exitCode, 0) << result.err;
  EXPECT_EQ(result.out,
            "[\n"
            "  {\"step\": \"start\", \"argument\": \"\", \"result\": \"scan (mode 1)\"},\n"
            "  {\"step\": \"query\", \"argument\": \"quill.exe\", \"result\": \"installed (entries)\"}\n"
            "]\n");
}

TEST_F(HostCli, ExitStatusAnswersTheQuestion) {
  writeFile(dir_ + "/q.reg", kQueryRegistry);
  EXPECT_EQ(run("--registry q.reg query quill.exe").exitCode, 0);
  EXPECT_EQ(run("--registry q.reg query absent.exe").exitCode, 1);
  EXPECT_EQ(run("--registry q.reg wildcard 'quill*'").exitCode, 0);
  EXPECT_EQ(run("--registry q.reg wildcard 'absent*'").exitCode, 1);
  EXPECT_EQ(run("--registry q.reg query quill.exe wildcard 'absent*'").exitCode, 1) << "one answer is no";
  RunResult failedSave = run("--registry q.reg --mode 2 --cache missing/c.db query quill.exe save");
  EXPECT_EQ(failedSave.exitCode, 2) << "a failed step is an error, whatever the answers";
  EXPECT_NE(failedSave.out.find("save: cannot open the cache file (-1)\n"), std::string::npos) << failedSave.out;
}

TEST_F(HostCli, SampleOnA32BitMachineListsAsItsReference) {
  // The Windows build in a 32-bit Wine prefix is held to this same listing.
  RunResult result = run("--registry '" WENDLOW_SAMPLE_REGISTRY "' list --json", "WINPLAT_MACHINE=x86");
  ASSERT_EQ(result.exitCode, 0) << result.err;
  EXPECT_EQ(result.out, readFile(WENDLOW_SAMPLE_LISTING_X86));
}

TEST_F(HostCli, SampleHiveListsAsTheExportDoes) {
  RunResult result = run("--registry '" WENDLOW_SAMPLE_HIVE "' list --json");
  ASSERT_EQ(result.exitCode, 0) << result.err;
  EXPECT_EQ(result.out, readFile(WENDLOW_SAMPLE_LISTING));
}

// The hive with every key cell of that name no longer marked as a key.
std::string withDamagedKeyCell(std::string hive, const std::string& name) {
  constexpr std::size_t kNameInCell = 0x4C;  // the name's place after the "nk" mark
  for (std::size_t at = hive.find(name); at != std::string::npos; at = hive.find(name, at + 1)) {
    if (at >= kNameInCell && hive.compare(at - kNameInCell, 2, "nk") == 0) hive.replace(at - kNameInCell, 2, "xx");
  }
  return hive;
}

TEST_F(HostCli, UnusableRegistryFilesAreRefusedWithStatusTwo) {
  const std::string hive = readFile(WENDLOW_SAMPLE_HIVE);
  ASSERT_FALSE(hive.empty());
  writeFile(dir_ + "/truncated.hive", hive.substr(0, hive.size() / 2));
  writeFile(dir_ + "/damaged.hive", withDamagedKeyCell(hive, "LumoraPlayer"));
  writeFile(dir_ + "/program.bin", readFile(WENDLOW_HOST_EXE));
  ASSERT_EQ(mkfifo((dir_ + "/fifo").c_str(), 0600), 0);
  {
    // Sparse, so it costs no disk: larger than this machine's memory.
    const long long memory = static_cast<long long>(sysconf(_SC_PHYS_PAGES)) * sysconf(_SC_PAGESIZE);
    std::ofstream(dir_ + "/huge.reg") << "REGEDIT4\n";
    ASSERT_EQ(truncate((dir_ + "/huge.reg").c_str(), 2 * memory), 0);
  }
  struct Refusal {
    std::string file;
    std::string reason;
  };
  const std::vector<Refusal> refusals = {
      {"missing.reg", "No such file"},          {"truncated.hive", "truncated"},
      {"damaged.hive", "damaged hive"},         {"program.bin", "not a registry file"},
      {"fifo", "not a regular file"},           {"/dev/zero", "not a regular file"},
      {"huge.reg", "too large to hold in memory"},
  };
  for (const Refusal& refusal : refusals) {
    SCOPED_TRACE(refusal.file);
    RunResult result = run("--registry '" + refusal.file + "' list");
    EXPECT_EQ(result.exitCode, 2) << result.err;
    EXPECT_EQ(result.out, "") << "never an empty machine";
    EXPECT_NE(result.err.find(refusal.file), std::string::npos) << result.err;
    EXPECT_NE(result.err.find(refusal.reason), std::string::npos) << result.err;
  }
  EXPECT_EQ(readFile(dir_ + "/damaged.hive"), withDamagedKeyCell(hive, "LumoraPlayer")) << "hives are never written";
}

TEST_F(HostCli, RunningOutOfMemoryWhileLoadingIsRefused) {
#if defined(__SANITIZE_ADDRESS__)
#define QC_UNDER_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)  // clang before 15 spells it only this way
#define QC_UNDER_ASAN 1
#endif
#endif
#if defined(QC_UNDER_ASAN)
  GTEST_SKIP() << "AddressSanitizer cannot start under a data limit";
#endif
  // 200,000 keys need far more than the 32 MB of data the host may have here, read whole as
  // a file that deletes a key must be (read on demand, their index would fit).
  std::string file = "REGEDIT4\n[-HKEY_CURRENT_USER\\Gone]\n";
  for (int i = 0; i < 200000; ++i) file += "[HKEY_CURRENT_USER\\S\\k" + std::to_string(i) + "]\n";
  writeFile(dir_ + "/big.reg", file);
  RunResult result = run("--registry big.reg list", "ulimit -d 32768 &&");
  EXPECT_EQ(result.exitCode, 2) << result.err;
  EXPECT_NE(result.err.find("big.reg: out of memory"), std::string::npos) << result.err;
}

TEST_F(HostCli, MalformedStepsAreRejected) {
  EXPECT_EQ(run("query").exitCode, 64);
  EXPECT_EQ(run("save query").exitCode, 64);
  EXPECT_EQ(run("save frobnicate").exitCode, 64);
}

}  // namespace
