// WINPLAT_REGISTRY_FILE: loaded on first use, saved at exit when changed, never over a
// malformed file. Each step runs in a child process of its own.
#include <sys/stat.h>
#include <unistd.h>
#include <utime.h>

#include <cstdio>
#include <memory>

#include "portable_support.h"
#include "temp_directory.h"

namespace qc_test {
namespace {

struct ProbeRun {
  int status = -1;
  std::string output;
};

ProbeRun runProbe(const std::string& registryFile, const std::string& arguments) {
  std::string command = "WINPLAT_REGISTRY_FILE='" + registryFile + "' '" QC_REGISTRY_PROBE "' " + arguments;
  ProbeRun run;
  std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(command.c_str(), "r"), pclose);
  if (!pipe) return run;
  char buffer[512];
  while (std::fgets(buffer, sizeof buffer, pipe.get())) run.output += buffer;
  run.status = pclose(pipe.release());
  return run;
}

ino_t inodeOf(const std::string& path) {
  struct stat info {};
  return ::stat(path.c_str(), &info) == 0 ? info.st_ino : 0;
}

TEST(RegistryPersistenceTest, ChangesOutliveTheProcess) {
  TempDirectory dir;
  std::string file = dir.file("registry.reg");
  ASSERT_EQ(0, runProbe(file, "set Colour blue").status);
  EXPECT_EQ("\xFF\xFE", readAll(file).substr(0, 2));
  EXPECT_EQ("blue\n", runProbe(file, "get Colour").output);
  EXPECT_EQ("\n", runProbe(file, "error").output);
  ASSERT_EQ(0, runProbe(file, "set Shape round").status);
  EXPECT_EQ("blue\n", runProbe(file, "get Colour").output);
  EXPECT_EQ("round\n", runProbe(file, "get Shape").output);
  EXPECT_EQ(1u, dir.entries());
}

TEST(RegistryPersistenceTest, AProcessThatChangesNothingDoesNotRewriteTheFile) {
  TempDirectory dir;
  std::string file = dir.file("registry.reg");
  ASSERT_EQ(0, runProbe(file, "set Colour blue").status);
  ino_t before = inodeOf(file);
  ASSERT_NE(0u, before);
  EXPECT_EQ("blue\n", runProbe(file, "get Colour").output);
  EXPECT_EQ(before, inodeOf(file));
}

TEST(RegistryPersistenceTest, MalformedFileStartsEmptyAndIsNeverOverwritten) {
  TempDirectory dir;
  std::string file = dir.file("broken.reg");
  std::string broken = "REGEDIT4\n[HKEY_CURRENT_USER\\Software\\Probe]\n\"Colour\"=\"blue\"\n\"oops\n";
  writeAll(file, broken);
  EXPECT_EQ(file + ":4: string without a closing quote\n", runProbe(file, "error").output);
  EXPECT_EQ("missing\n", runProbe(file, "get Colour").output);
  ASSERT_EQ(0, runProbe(file, "set Colour red").status);
  EXPECT_EQ(broken, readAll(file));
  EXPECT_EQ(1u, dir.entries());
}

TEST(RegistryPersistenceTest, KeysWithoutRecordedTimesTakeTheFilesTime) {
  // A hand-written file (no time comments) must give the same times at every load, or
  // nothing that compares last-write times across runs could work on it.
  TempDirectory dir;
  std::string file = dir.file("hand-written.reg");
  writeAll(file, "REGEDIT4\n\n[HKEY_CURRENT_USER\\Software\\Probe]\n\"Colour\"=\"blue\"\n");
  struct utimbuf times {};
  times.actime = times.modtime = 1262304240;  // 2010-01-01 00:04:00 UTC
  ASSERT_EQ(0, ::utime(file.c_str(), &times));
  EXPECT_EQ("01CA8A75EB7B1800\n", runProbe(file, "time").output);
  EXPECT_EQ("01CA8A75EB7B1800\n", runProbe(file, "time").output);
  // A change made after such a load is stamped later than the file.
  ASSERT_EQ(0, runProbe(file, "set Colour red").status);
  EXPECT_GT(runProbe(file, "time").output, std::string("01CA8A75EB7B1800\n"));
}

// As a replace on Windows: a symbolic link stays and the file it names is saved, the
// permission bits stay, and a read-only file is left alone.
TEST(RegistryPersistenceTest, SaveKeepsLinkAndPermissionsAndSparesReadOnlyFiles) {
  TempDirectory dir;
  std::string file = dir.file("registry.reg");
  std::string link = dir.file("link.reg");
  ASSERT_EQ(0, runProbe(file, "set Colour blue").status);
  ASSERT_EQ(0, ::chmod(file.c_str(), 0600));
  ASSERT_EQ(0, ::symlink(file.c_str(), link.c_str()));
  ASSERT_EQ(0, runProbe(link, "set Shape round").status);
  struct stat info {};
  ASSERT_EQ(0, ::lstat(link.c_str(), &info));
  EXPECT_TRUE(S_ISLNK(info.st_mode));
  ASSERT_EQ(0, ::stat(file.c_str(), &info));
  EXPECT_EQ(0600u, info.st_mode & 07777);
  EXPECT_EQ("round\n", runProbe(file, "get Shape").output);

  ASSERT_EQ(0, ::chmod(file.c_str(), 0444));
  const std::string before = readAll(file);
  runProbe(file, "set Shape square");
  EXPECT_EQ(before, readAll(file));
}

}  // namespace
}  // namespace qc_test
