// File services as both backends must provide them.
#include <gtest/gtest.h>

#include <cctype>
#include <cstring>
#include <string>
#include <vector>

#include "platform/files.h"
#include "scratch_folder.h"

namespace {

std::vector<std::string> readAllLines(const std::string& path, bool* failed = nullptr) {
  platform::TextFileReader reader(path.c_str());
  EXPECT_TRUE(reader.isOpen()) << path;
  std::vector<std::string> lines;
  std::string line;
  while (!reader.atEnd() && reader.readLine(line)) lines.push_back(line);
  if (failed) *failed = reader.failed();
  return lines;
}

using Lines = std::vector<std::string>;

TEST(TextFileReader, SplitsAtCrLfAndCrLf) {
  ScratchFolder folder;
  struct Case {
    std::string bytes;
    Lines lines;
  } cases[] = {
      {"", {}},
      {"one\r\ntwo\r\n", {"one", "two"}},
      {"one\rtwo\r", {"one", "two"}},
      {"one\ntwo", {"one", "two"}},
      {"a\n\rb\r\n\r\nc", {"a", "", "b", "", "c"}},
      {"\r\n", {""}},
      {std::string("x\0\xff\x81y\r\n", 7), {std::string("x\0\xff\x81y", 5)}},
  };
  for (const Case& c : cases) {
    folder.write("in.txt", c.bytes);
    EXPECT_EQ(readAllLines(folder.windowsPath("in.txt")), c.lines) << "bytes: " << c.bytes;
  }
}

TEST(TextFileReader, CrLfSplitAcrossReadChunksIsOneBreak) {
  ScratchFolder folder;
  const std::string first(64 * 1024 - 1, 'a');  // the CR ends the first 64 KiB chunk
  folder.write("in.txt", first + "\r\nb\r\n");
  EXPECT_EQ(readAllLines(folder.windowsPath("in.txt")), (Lines{first, "b"}));
}

TEST(TextFileReader, MissingFileAndFolderDoNotOpen) {
  ScratchFolder folder;
  std::filesystem::create_directory(folder.hostPath("sub"));
  EXPECT_FALSE(platform::TextFileReader(folder.windowsPath("absent.txt").c_str()).isOpen());
  EXPECT_EQ(win::GetLastError(), static_cast<win::DWORD>(win::ERROR_FILE_NOT_FOUND));
  EXPECT_FALSE(platform::TextFileReader(folder.windowsPath("sub").c_str()).isOpen());
  EXPECT_EQ(win::GetLastError(), static_cast<win::DWORD>(win::ERROR_ACCESS_DENIED));
  EXPECT_FALSE(platform::TextFileReader(folder.windowsPath("nowhere\\x.txt").c_str()).isOpen());
  EXPECT_EQ(win::GetLastError(), static_cast<win::DWORD>(win::ERROR_PATH_NOT_FOUND));
}

TEST(TextFileWriter, EndsEveryLineWithCrLfAndEmptiesAnOldFile) {
  ScratchFolder folder;
  folder.write("out.txt", "old contents that are longer\r\n");
  platform::TextFileWriter writer(folder.windowsPath("out.txt").c_str());
  ASSERT_TRUE(writer.isOpen());
  EXPECT_TRUE(writer.writeLine("one"));
  EXPECT_TRUE(writer.writeLine(""));
  EXPECT_TRUE(writer.writeLine(std::string("\xe9\0z", 3)));
  EXPECT_TRUE(writer.flush());
  EXPECT_TRUE(writer.close());
  EXPECT_EQ(folder.read("out.txt"), std::string("one\r\n\r\n\xe9\0z\r\n", 12));
}

TEST(WindowsFolders, ReportLengthsAndLeaveShortBuffersUntouched) {
  char buffer[400];
  const win::UINT length = win::GetWindowsDirectoryA(buffer, sizeof buffer);
  ASSERT_GT(length, 2u);
  EXPECT_EQ(std::strlen(buffer), length);
  EXPECT_EQ(buffer[1], ':');

  const win::DWORD tempLength = win::GetTempPathA(sizeof buffer, buffer);
  ASSERT_GT(tempLength, 0u);
  EXPECT_EQ(std::strlen(buffer), tempLength);
  EXPECT_EQ(buffer[tempLength - 1], '\\');

  std::memset(buffer, 0xbd, sizeof buffer);
  EXPECT_EQ(win::GetWindowsDirectoryA(buffer, 2), length + 1);
  EXPECT_EQ(static_cast<unsigned char>(buffer[0]), 0xbd);
  EXPECT_EQ(win::GetTempPathA(1, buffer), tempLength + 1);
  EXPECT_EQ(static_cast<unsigned char>(buffer[0]), 0xbd);
}

TEST(GetTempFileNameA, CreatesDistinctEmptyFilesWithThePrefix) {
  ScratchFolder folder;
  char first[win::MAX_PATH] = {};
  char second[win::MAX_PATH] = {};
  const std::string path = folder.windowsPath();
  ASSERT_NE(win::GetTempFileNameA(path.c_str(), "tmpxyz", 0, first), 0u);
  ASSERT_NE(win::GetTempFileNameA(path.c_str(), "tmpxyz", 0, second), 0u);
  EXPECT_STRNE(first, second);
  const auto names = folder.names();
  ASSERT_EQ(names.size(), 2u);
  for (const std::string& name : names) {
    EXPECT_EQ(name.rfind("tmp", 0), 0u) << name;
    EXPECT_NE(name.find(".tmp"), std::string::npos) << name;
    EXPECT_EQ(std::filesystem::file_size(folder.hostPath(name)), 0u);
  }
  EXPECT_EQ(std::string(first).rfind(path, 0), 0u) << first;
}

TEST(GetTempFileNameA, GivenNumberOnlyBuildsTheName) {
  ScratchFolder folder;
  char name[win::MAX_PATH] = {};
  EXPECT_EQ(win::GetTempFileNameA(folder.windowsPath().c_str(), "tmp", 0x1a2b, name), 0x1a2bu);
  EXPECT_TRUE(folder.names().empty());
  // The hex digits' letter case differs between systems; file names ignore it anyway.
  auto lower = [](std::string s) {
    for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
  };
  EXPECT_EQ(lower(name), lower(folder.windowsPath("tmp1A2B.tmp")));
}

TEST(GetTempFileNameA, FailsInAMissingFolder) {
  ScratchFolder folder;
  char name[win::MAX_PATH] = {};
  EXPECT_EQ(win::GetTempFileNameA(folder.windowsPath("absent").c_str(), "tmp", 0, name), 0u);
  EXPECT_NE(win::GetLastError(), static_cast<win::DWORD>(win::ERROR_SUCCESS));
}

TEST(MoveFileExA, ReplacesOnlyWhenAsked) {
  ScratchFolder folder;
  folder.write("new.txt", "new");
  folder.write("old.txt", "old");
  const std::string from = folder.windowsPath("new.txt"), to = folder.windowsPath("old.txt");
  EXPECT_FALSE(win::MoveFileExA(from.c_str(), to.c_str(), 0));
  EXPECT_EQ(win::GetLastError(), static_cast<win::DWORD>(win::ERROR_ALREADY_EXISTS));
  EXPECT_EQ(folder.read("old.txt"), "old");

  EXPECT_TRUE(win::MoveFileExA(from.c_str(), to.c_str(), win::MOVEFILE_REPLACE_EXISTING | win::MOVEFILE_WRITE_THROUGH));
  EXPECT_EQ(folder.read("old.txt"), "new");
  EXPECT_FALSE(folder.exists("new.txt"));

  EXPECT_TRUE(win::MoveFileExA(to.c_str(), folder.windowsPath("fresh.txt").c_str(), 0));
  EXPECT_EQ(folder.names(), std::set<std::string>{"fresh.txt"});
}

TEST(DeleteFileA, DeletesFilesButNotFolders) {
  ScratchFolder folder;
  folder.write("a.txt", "a");
  std::filesystem::create_directory(folder.hostPath("sub"));
  EXPECT_TRUE(win::DeleteFileA(folder.windowsPath("a.txt").c_str()));
  EXPECT_FALSE(win::DeleteFileA(folder.windowsPath("a.txt").c_str()));
  EXPECT_EQ(win::GetLastError(), static_cast<win::DWORD>(win::ERROR_FILE_NOT_FOUND));
  EXPECT_FALSE(win::DeleteFileA(folder.windowsPath("sub").c_str()));
  EXPECT_TRUE(folder.exists("sub"));
}

}  // namespace
