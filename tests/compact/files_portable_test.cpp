// The portable backend's own side: where Windows paths land, and injected failures.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>

#include "platform/files.h"
#include "portable/files_control.h"
#include "scratch_folder.h"

namespace {

class PortableFiles : public ::testing::Test {
 protected:
  void TearDown() override { portable::resetFileSystem(); }
};

TEST_F(PortableFiles, DrivesMapOntoChosenFolders) {
  portable::setDriveFolder('c', "/srv/c");
  EXPECT_EQ(portable::hostPathFor("C:\\WINDOWS\\win.ini"), "/srv/c/WINDOWS/win.ini");
  EXPECT_EQ(portable::hostPathFor("c:/a\\b"), "/srv/c/a/b");
  EXPECT_EQ(portable::hostPathFor("\\rooted.txt"), "/srv/c/rooted.txt");  // the current drive
  EXPECT_EQ(portable::hostPathFor("C:\\..\\..\\etc\\.\\passwd"), "/srv/c/etc/passwd");
  EXPECT_EQ(portable::hostPathFor("relative\\name.txt"), "relative/name.txt");
  EXPECT_EQ(portable::hostPathFor("Q:\\x"), std::nullopt);
  EXPECT_EQ(portable::hostPathFor("\\\\server\\share\\x"), std::nullopt);
}

TEST_F(PortableFiles, UnmappedDrivesDoNotExist) {
  portable::setDriveFolder('Q', "");
  char name[win::MAX_PATH];
  EXPECT_FALSE(platform::TextFileReader("Q:\\autoexec.bat").isOpen());
  EXPECT_EQ(win::GetLastError(), static_cast<win::DWORD>(win::ERROR_PATH_NOT_FOUND));
  EXPECT_EQ(win::GetTempFileNameA("Q:\\", "tmp", 0, name), 0u);
  EXPECT_EQ(win::GetLastError(), static_cast<win::DWORD>(win::ERROR_PATH_NOT_FOUND));
  EXPECT_FALSE(win::DeleteFileA("Q:\\x"));
  EXPECT_EQ(win::GetLastError(), static_cast<win::DWORD>(win::ERROR_PATH_NOT_FOUND));
}

TEST_F(PortableFiles, FoldersComeFromEnvironmentAndHooks) {
  ::setenv("WINPLAT_WINDOWS_DIR", "D:\\WIN98", 1);
  ::setenv("WINPLAT_TEMP_DIR", "D:\\T", 1);
  ::setenv("WINPLAT_DRIVE_D", "/srv/d", 1);
  portable::resetFileSystem();
  ::unsetenv("WINPLAT_WINDOWS_DIR");
  ::unsetenv("WINPLAT_TEMP_DIR");
  ::unsetenv("WINPLAT_DRIVE_D");
  char buffer[64];
  EXPECT_EQ(win::GetWindowsDirectoryA(buffer, sizeof buffer), 8u);
  EXPECT_STREQ(buffer, "D:\\WIN98");
  EXPECT_EQ(win::GetTempPathA(sizeof buffer, buffer), 5u);
  EXPECT_STREQ(buffer, "D:\\T\\");
  EXPECT_EQ(portable::hostPathFor("D:\\x"), "/srv/d/x");

  portable::setWindowsDirectory("");
  portable::setTempPath("");
  EXPECT_EQ(win::GetWindowsDirectoryA(buffer, sizeof buffer), 0u);
  EXPECT_EQ(win::GetTempPathA(sizeof buffer, buffer), 0u);

  portable::resetFileSystem();  // the defaults
  EXPECT_EQ(win::GetWindowsDirectoryA(buffer, sizeof buffer), 10u);
  EXPECT_STREQ(buffer, "C:\\WINDOWS");
  EXPECT_EQ(win::GetTempPathA(sizeof buffer, buffer), 8u);
  EXPECT_STREQ(buffer, "C:\\TEMP\\");
}

TEST_F(PortableFiles, EachDriveIsAVolumeOfItsOwn) {
  ScratchFolder folder;  // drive S
  portable::setDriveFolder('T', folder.hostPath().string());
  folder.write("a.txt", "a");
  EXPECT_FALSE(win::MoveFileExA("S:\\a.txt", "T:\\b.txt", win::MOVEFILE_REPLACE_EXISTING));
  EXPECT_EQ(win::GetLastError(), static_cast<win::DWORD>(win::ERROR_NOT_SAME_DEVICE));
  EXPECT_TRUE(folder.exists("a.txt"));
  EXPECT_TRUE(win::MoveFileExA("S:\\a.txt", "t:\\b.txt", win::MOVEFILE_COPY_ALLOWED));
  EXPECT_TRUE(win::MoveFileExA("T:\\b.txt", "t:\\c.txt", 0)) << "the letter's case does not matter";
  EXPECT_EQ(folder.names(), std::set<std::string>{"c.txt"});
}

// Replacing follows Windows: no read-only target, the target's permission bits, and through
// a symbolic link to the file it names.
TEST_F(PortableFiles, ReplaceKeepsPermissionsAndLinksAndSparesReadOnlyFiles) {
  ScratchFolder folder;
  const auto mode = [&](const std::string& name) { return std::filesystem::status(folder.hostPath(name)).permissions(); };
  const auto move = [&](const char* from, const char* to) {
    return win::MoveFileExA(folder.windowsPath(from).c_str(), folder.windowsPath(to).c_str(),
                            win::MOVEFILE_REPLACE_EXISTING);
  };
  folder.write("old.txt", "old");
  folder.write("new.txt", "new");
  std::filesystem::permissions(folder.hostPath("old.txt"), std::filesystem::perms::owner_read);
  EXPECT_FALSE(move("new.txt", "old.txt"));
  EXPECT_EQ(win::GetLastError(), static_cast<win::DWORD>(win::ERROR_ACCESS_DENIED));
  EXPECT_EQ(folder.read("old.txt"), "old");

  using std::filesystem::perms;
  std::filesystem::permissions(folder.hostPath("old.txt"), perms::owner_read | perms::owner_write);
  std::filesystem::create_symlink(folder.hostPath("old.txt"), folder.hostPath("link.txt"));
  EXPECT_TRUE(move("new.txt", "link.txt"));
  EXPECT_TRUE(std::filesystem::is_symlink(folder.hostPath("link.txt")));
  EXPECT_EQ(folder.read("old.txt"), "new");
  EXPECT_EQ(mode("old.txt"), perms::owner_read | perms::owner_write);
}

TEST_F(PortableFiles, InjectedWriteAndFlushFailuresReachTheWriter) {
  ScratchFolder folder;
  const std::string path = folder.windowsPath("out.txt");
  {
    portable::setFileFaults({/*failWritesAfterBytes=*/10, {}, false, false});
    platform::TextFileWriter writer(path.c_str());
    for (int i = 0; i < 10; ++i) writer.writeLine("0123456789");
    EXPECT_FALSE(writer.flush());
    EXPECT_FALSE(writer.close());
  }
  {
    portable::setFileFaults({{}, {}, /*failFlush=*/true, false});
    platform::TextFileWriter writer(path.c_str());
    EXPECT_TRUE(writer.writeLine("x"));
    EXPECT_FALSE(writer.flush());
    EXPECT_FALSE(writer.close());
  }
}

TEST_F(PortableFiles, InjectedReadFailureStopsTheReader) {
  ScratchFolder folder;
  folder.write("in.txt", "first\r\nsecond\r\n");
  portable::setFileFaults({{}, /*failReadsAfterBytes=*/0, false, false});
  platform::TextFileReader reader(folder.windowsPath("in.txt").c_str());
  ASSERT_TRUE(reader.isOpen());
  std::string line;
  EXPECT_FALSE(reader.readLine(line));
  EXPECT_TRUE(reader.failed());
  EXPECT_TRUE(reader.atEnd());
}

}  // namespace
