// File services (kernel32) under their Windows names, and sequential text files.
// Paths are Windows paths in the system ANSI code page. Functions that return BOOL or a
// count set the calling thread's last error when they fail, as Windows does.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "platform/resource.h"
#include "platform/win_types.h"

namespace win {

constexpr DWORD MAX_PATH = 260;

// Result codes of the file services.
constexpr LONG ERROR_TOO_MANY_OPEN_FILES = 4;
constexpr LONG ERROR_NOT_SAME_DEVICE = 17;
constexpr LONG ERROR_WRITE_FAULT = 29;
constexpr LONG ERROR_READ_FAULT = 30;
constexpr LONG ERROR_FILE_EXISTS = 80;
constexpr LONG ERROR_BUFFER_OVERFLOW = 111;
constexpr LONG ERROR_DISK_FULL = 112;
constexpr LONG ERROR_ALREADY_EXISTS = 183;
constexpr LONG ERROR_DIRECTORY = 267;

// MoveFileExA flags.
constexpr DWORD MOVEFILE_REPLACE_EXISTING = 0x1;
constexpr DWORD MOVEFILE_COPY_ALLOWED = 0x2;
constexpr DWORD MOVEFILE_WRITE_THROUGH = 0x8;

DWORD GetLastError();
void SetLastError(DWORD dwErrCode);

// Length without the terminating zero when it fits into uSize characters; otherwise the
// size needed including the zero, and the buffer is left untouched. 0 on failure.
UINT GetWindowsDirectoryA(char* lpBuffer, UINT uSize);
// The temporary folder, always ending with a backslash; same length rule as above.
DWORD GetTempPathA(DWORD nBufferLength, char* lpBuffer);
// Builds <path>\<prefix, up to 3 characters><hex number>.tmp into lpTempFileName (MAX_PATH
// characters). uUnique 0: the number is generated and the empty file is created (never an
// existing one); otherwise only the name is built. Returns the number used, 0 on failure.
UINT GetTempFileNameA(const char* lpPathName, const char* lpPrefixString, UINT uUnique, char* lpTempFileName);

BOOL DeleteFileA(const char* lpFileName);
// With MOVEFILE_REPLACE_EXISTING an existing target is replaced in one step: a reader sees
// either the old or the new file, never neither. A read-only target is not replaced
// (ERROR_ACCESS_DENIED); a replaced file keeps its permission bits, and where the target is
// a symbolic link, the file it names is replaced and the link stays. MOVEFILE_WRITE_THROUGH
// returns only after the move is on the disk. Without MOVEFILE_COPY_ALLOWED a move to
// another volume (drive) fails with ERROR_NOT_SAME_DEVICE; with it the file is copied.
// On 95/98/Me this is a stub that always fails.
BOOL MoveFileExA(const char* lpExistingFileName, const char* lpNewFileName, DWORD dwFlags);
// Moves or renames a file, also to another volume; fails when the target exists. Works on
// every release.
BOOL MoveFileA(const char* lpExistingFileName, const char* lpNewFileName);

// Wide forms for files whose paths the program also hands to SQLite (NT family only). The
// portable backend takes these paths as host paths, as SQLite does there; a path that is not
// valid UTF-16 fails with ERROR_INVALID_NAME.
constexpr LONG ERROR_INVALID_NAME = 123;
// bFailIfExists: an existing target is left alone and the call fails.
BOOL CopyFileW(const char16_t* lpExistingFileName, const char16_t* lpNewFileName, BOOL bFailIfExists);
BOOL MoveFileExW(const char16_t* lpExistingFileName, const char16_t* lpNewFileName, DWORD dwFlags);
BOOL DeleteFileW(const char16_t* lpFileName);

}  // namespace win

namespace platform {

// The raw file operations each backend provides; the text files below are built on them.
namespace file_io {
using Handle = void*;  // null: no file
Handle openForReading(const char* path);  // null on failure (GetLastError says why)
Handle openForWriting(const char* path);  // creates the file or empties it
// *bytesRead 0 with a true result: the end of the file.
bool read(Handle file, char* buffer, win::DWORD size, win::DWORD* bytesRead);
bool write(Handle file, const char* data, win::DWORD size);  // all bytes or failure
bool flush(Handle file);                                     // the data reaches the disk
bool close(Handle file);
inline void closeQuietly(Handle file) { close(file); }
}  // namespace file_io

using unique_file = unique_any<file_io::Handle, file_io::closeQuietly>;

// Sequential reading, one line at a time. A line ends at CR, LF or CR LF; the break is not
// part of the line. Bytes are handed on unchanged.
class TextFileReader {
 public:
  explicit TextFileReader(const char* path);
  bool isOpen() const { return static_cast<bool>(file_); }
  // True when no line is left, also after a failed read.
  bool atEnd();
  // False at the end of the file or when reading failed (then failed() is true).
  bool readLine(std::string& line);
  bool failed() const { return failed_; }
  void close() { file_.reset(); }

 private:
  bool fill();  // false: nothing more to read
  bool peek(char& c);

  unique_file file_;
  std::string buffer_;
  std::size_t position_ = 0;
  bool ended_ = false;
  bool failed_ = false;
};

// Sequential writing of lines, each followed by CR LF. Once a write fails every later
// call fails too, so a caller can check once at the end.
class TextFileWriter {
 public:
  explicit TextFileWriter(const char* path);  // creates the file or empties it
  bool isOpen() const { return static_cast<bool>(file_); }
  bool writeLine(std::string_view line);
  // Everything written so far reaches the disk.
  bool flush();
  // False when any write, the flush or the close failed.
  bool close();
  bool failed() const { return failed_; }

 private:
  bool writeOut();

  unique_file file_;
  std::string pending_;
  bool failed_ = false;
};

}  // namespace platform
