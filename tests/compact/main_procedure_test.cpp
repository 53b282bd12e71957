// The whole procedure on a stand-in machine: boot drive, temporary folder and registry set
// up by the portable backend's controls.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstring>

#include "mod_main.h"
#include "platform/files.h"
#include "platform/registry.h"
#include "platform/resource.h"
#include "platform/text.h"
#include "portable/files_control.h"
#include "portable/registry_control.h"
#include "portable/sysinfo_control.h"
#include "scratch_folder.h"

namespace {

const std::string kScanreg = "C:\\WINDOWS\\command\\scanreg.exe /opt /fix";
const std::string kBatch = "@echo off\r\n" + kScanreg + "\r\nSET TEMP=C:\\TEMP\r\n";
const std::string kCleaned = "@echo off\r\nSET TEMP=C:\\TEMP\r\n";

class CompactMain : public ::testing::Test {
 protected:
  void SetUp() override {
    portable::resetRegistry();
    portable::setDriveFolder('C', drive_.hostPath().string());
    portable::setWindowsDirectory("C:\\WINDOWS");
    portable::setTempPath("C:\\TEMP\\");
    std::filesystem::create_directory(drive_.hostPath("TEMP"));
    setRunOnceValue();
  }
  void TearDown() override {
    EXPECT_TRUE(drive_.names("TEMP").empty()) << "a temporary file was left behind";
    portable::resetFileSystem();
    portable::resetRegistry();
  }

  static void setRunOnceValue() {
    platform::unique_hkey key;
    ASSERT_EQ(win::RegCreateKeyExA(win::HKEY_LOCAL_MACHINE, compact::kRunOnceKey, 0, nullptr, 0, win::KEY_ALL_ACCESS,
                                   nullptr, key.put(), nullptr),
              win::ERROR_SUCCESS);
    const char data[] = "HXReg.exe";
    ASSERT_EQ(win::RegSetValueExA(key.get(), "SelkorCompactor", 0, win::REG_SZ,
                                  reinterpret_cast<const win::BYTE*>(data), sizeof data),
              win::ERROR_SUCCESS);
  }
  static bool runOnceValuePresent() {
    platform::unique_hkey key;
    if (win::RegOpenKeyExA(win::HKEY_LOCAL_MACHINE, compact::kRunOnceKey, 0, win::KEY_READ, key.put()) != 0)
      return false;
    return win::RegQueryValueExA(key.get(), "SelkorCompactor", nullptr, nullptr, nullptr, nullptr) == 0;
  }

  ScratchFolder drive_;
};

TEST_F(CompactMain, RemovesTheLineAndTheRunOnceValue) {
  drive_.write("autoexec.bat", kBatch);
  compact::Main();
  EXPECT_EQ(drive_.read("autoexec.bat"), kCleaned);
  EXPECT_FALSE(runOnceValuePresent());
}

TEST_F(CompactMain, AbsentRunOnceValueIsQuiet) {
  drive_.write("autoexec.bat", kBatch);
  EXPECT_EQ(compact::DeleteRunOnceValue(compact::kRunOnceValueName), std::optional<bool>(true));
  EXPECT_EQ(compact::DeleteRunOnceValue(compact::kRunOnceValueName), std::optional<bool>(false));
  compact::Main();
  EXPECT_EQ(drive_.read("autoexec.bat"), kCleaned);
  portable::resetRegistry();
  EXPECT_EQ(compact::DeleteRunOnceValue(compact::kRunOnceValueName), std::nullopt);
}

TEST_F(CompactMain, MissingOrUnreadableBatchFileStaysAsItWas) {
  compact::Main();
  EXPECT_FALSE(drive_.exists("autoexec.bat"));
  EXPECT_FALSE(runOnceValuePresent()) << "the RunOnce value does not depend on the batch file";

  setRunOnceValue();
  std::filesystem::create_directory(drive_.hostPath("autoexec.bat"));
  compact::Main();
  EXPECT_TRUE(std::filesystem::is_directory(drive_.hostPath("autoexec.bat")));
  EXPECT_FALSE(runOnceValuePresent());
}

TEST_F(CompactMain, FailedCopyLeavesTheBatchFileWhole) {
  struct Fault {
    const char* what;
    portable::FileFaults faults;
  } faults[] = {
      {"read error", {{}, /*failReadsAfterBytes=*/0, false, false}},
      {"disk full", {/*failWritesAfterBytes=*/5, {}, false, false}},
      {"flush error", {{}, {}, /*failFlush=*/true, false}},
      {"replace refused", {{}, {}, false, /*failMove=*/true}},
  };
  for (const Fault& fault : faults) {
    setRunOnceValue();
    drive_.write("autoexec.bat", kBatch);
    portable::setFileFaults(fault.faults);
    compact::Main();
    portable::clearFileFaults();
    EXPECT_EQ(drive_.read("autoexec.bat"), kBatch) << fault.what;
    EXPECT_TRUE(drive_.names("TEMP").empty()) << fault.what << ": temporary file left";
    EXPECT_FALSE(runOnceValuePresent()) << fault.what;
  }
}

TEST_F(CompactMain, ReadOnlyBatchFileIsLeftAlone) {
  drive_.write("autoexec.bat", kBatch);
  std::filesystem::permissions(drive_.hostPath("autoexec.bat"), std::filesystem::perms::owner_read);
  compact::Main();
  EXPECT_EQ(drive_.read("autoexec.bat"), kBatch);
  EXPECT_EQ(std::filesystem::status(drive_.hostPath("autoexec.bat")).permissions(), std::filesystem::perms::owner_read);
}

// A rename cannot cross volumes, so a copy made on another drive is made again beside the
// batch file before it replaces it.
TEST_F(CompactMain, TemporaryFolderOnAnotherDrive) {
  ScratchFolder otherDrive;
  portable::setDriveFolder('D', otherDrive.hostPath().string());
  std::filesystem::create_directory(otherDrive.hostPath("TEMP"));
  portable::setTempPath("D:\\TEMP\\");
  drive_.write("autoexec.bat", kBatch);

  compact::Main();
  EXPECT_EQ(drive_.read("autoexec.bat"), kCleaned);
  EXPECT_FALSE(runOnceValuePresent());
  EXPECT_TRUE(otherDrive.names("TEMP").empty()) << "the first copy is gone";
  EXPECT_EQ(drive_.names(), (std::set<std::string>{"autoexec.bat", "TEMP"})) << "the second copy is gone";

  setRunOnceValue();
  drive_.write("autoexec.bat", kBatch);
  portable::setFileFaults({/*failWritesAfterBytes=*/static_cast<std::uint64_t>(kCleaned.size()), {}, false, false});
  compact::Main();
  portable::clearFileFaults();
  EXPECT_EQ(drive_.read("autoexec.bat"), kBatch) << "the second copy could not be written";
  EXPECT_TRUE(otherDrive.names("TEMP").empty());
  EXPECT_EQ(drive_.names(), (std::set<std::string>{"autoexec.bat", "TEMP"}));
  portable::setDriveFolder('D', "");
}

TEST_F(CompactMain, OldFileIsWholeRightUpToTheReplace) {
  drive_.write("autoexec.bat", kBatch);
  int calls = 0;
  auto interrupt = [&](compact::ReplaceStep step, const compact::ReplacePaths& paths) {
    ++calls;
    EXPECT_EQ(step, compact::ReplaceStep::CopyWritten);
    EXPECT_EQ(platform::toAnsi(paths.sBatchFile), "C:\\autoexec.bat");
    EXPECT_EQ(platform::toAnsi(paths.sTempFile).rfind("C:\\TEMP\\tmp", 0), 0u);
    EXPECT_EQ(drive_.read("autoexec.bat"), kBatch);
    const auto host = portable::hostPathFor(platform::toAnsi(paths.sTempFile));
    EXPECT_TRUE(host && ScratchFolder::readHost(*host) == kCleaned) << "the copy is complete before the replace";
    return false;
  };
  compact::Main(interrupt);
  EXPECT_EQ(calls, 1);
  EXPECT_EQ(drive_.read("autoexec.bat"), kBatch);
  EXPECT_TRUE(runOnceValuePresent()) << "an interruption ends the whole procedure";

  compact::Main([&](compact::ReplaceStep, const compact::ReplacePaths&) { return ++calls, true; });
  EXPECT_EQ(calls, 2) << "the NT family replaces in one step";
  EXPECT_EQ(drive_.read("autoexec.bat"), kCleaned);
}

// On 95/98/Me MoveFileExA does not exist: the batch file moves aside first. Cut short after
// any step, the old batch file or a complete backup of it is there.
TEST_F(CompactMain, OnWindows98AnInterruptionLeavesTheBatchFileOrItsBackup) {
  portable::setReportedVersion(portable::WindowsRelease::Win98);
  using Step = compact::ReplaceStep;
  for (const Step stopAt : {Step::CopyWritten, Step::BatchFileMovedAside, Step::CopyMovedIn, Step::BackupDeleted}) {
    SCOPED_TRACE(static_cast<int>(stopAt));
    for (const std::string& name : drive_.names())
      if (name != "TEMP") std::filesystem::remove(drive_.hostPath(name));
    drive_.write("autoexec.bat", kBatch);
    setRunOnceValue();
    std::string backup;
    Step last = Step::CopyWritten;
    compact::Main([&](Step step, const compact::ReplacePaths& paths) {
      if (!paths.sBackupFile.empty()) backup = platform::toAnsi(paths.sBackupFile).substr(3);  // drive C
      last = step;
      return step != stopAt || step == Step::BackupDeleted;  // the last step: not cut short
    });
    EXPECT_EQ(last, stopAt);
    if (stopAt == Step::BackupDeleted) {
      EXPECT_EQ(drive_.read("autoexec.bat"), kCleaned);
      EXPECT_EQ(drive_.names(), (std::set<std::string>{"autoexec.bat", "TEMP"}));
      EXPECT_FALSE(runOnceValuePresent());
      continue;
    }
    const bool batchOld = drive_.exists("autoexec.bat") && drive_.read("autoexec.bat") == kBatch;
    const bool backupWhole = !backup.empty() && drive_.exists(backup) && drive_.read(backup) == kBatch;
    EXPECT_TRUE(batchOld || backupWhole);
    EXPECT_TRUE(runOnceValuePresent());
  }
  portable::resetReportedVersion();
}

TEST_F(CompactMain, WindowsDirectoryTrimmedAndLimitedToTwentyCharacters) {
  portable::setWindowsDirectory("  C:\\WIN  ");
  EXPECT_EQ(compact::GetWindowsDir(), u"C:\\WIN");
  portable::setWindowsDirectory("C:\\WINDOWS\\SYSTEM32");  // 19 characters and the zero
  EXPECT_EQ(compact::GetWindowsDir(), u"C:\\WINDOWS\\SYSTEM32");
  portable::setWindowsDirectory("C:\\WINDOWS\\SYSTEM32X");
  EXPECT_EQ(compact::GetWindowsDir(), u"");
}

TEST_F(CompactMain, OverlongWindowsDirectoryTouchesNoFile) {
  portable::setWindowsDirectory("C:\\A VERY LONG WINDOWS FOLDER");
  drive_.write("autoexec.bat", kBatch);
  std::filesystem::create_directory(drive_.hostPath("cwd"));
  drive_.write("cwd\\autoexec.bat", kBatch);
  const auto before = std::filesystem::current_path();
  std::filesystem::current_path(drive_.hostPath("cwd"));
  compact::Main();
  std::filesystem::current_path(before);
  EXPECT_EQ(drive_.read("cwd\\autoexec.bat"), kBatch) << "a bare autoexec.bat in the current folder";
  EXPECT_EQ(drive_.read("autoexec.bat"), kBatch);
  EXPECT_FALSE(runOnceValuePresent());
}

TEST_F(CompactMain, NoTemporaryFolderOrNameStopsEverything) {
  drive_.write("autoexec.bat", kBatch);
  portable::setTempPath("");  // GetTempPathA returns 0
  compact::Main();
  EXPECT_EQ(drive_.read("autoexec.bat"), kBatch);
  EXPECT_TRUE(runOnceValuePresent());

  portable::setTempPath("C:\\NO SUCH FOLDER\\");  // GetTempFileNameA returns 0
  compact::Main();
  EXPECT_EQ(drive_.read("autoexec.bat"), kBatch);
  EXPECT_TRUE(runOnceValuePresent());
}

}  // namespace
