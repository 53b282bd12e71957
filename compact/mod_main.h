// HXReg: takes the registry-compaction command back out of the boot drive's autoexec.bat
// and deletes its RunOnce value. One pass, no window, no output.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace compact {

inline constexpr char16_t kSearchText[] = u"\\command\\scanreg.exe /opt /fix";
inline constexpr char16_t kBatchFileName[] = u"autoexec.bat";
inline constexpr char16_t kRunOnceValueName[] = u"SelkorCompactor";
inline constexpr char kRunOnceKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\RunOnce";
inline constexpr std::int16_t kCopyFailed = -1;

// The steps that put the filtered copy in the batch file's place. On the NT family the copy
// replaces the batch file at once after CopyWritten. On 95/98/Me, where that call does not
// exist, the batch file first moves aside to a backup in its own folder.
enum class ReplaceStep { CopyWritten, BatchFileMovedAside, CopyMovedIn, BackupDeleted };

struct ReplacePaths {
  std::u16string sBatchFile;
  std::u16string sTempFile;
  std::u16string sBackupFile;  // empty until the batch file has moved aside
};

// Called after each step. Returning false ends the procedure there, as an interruption
// would (only the temporary copy is cleaned up); tests look at the files then.
using StepHook = std::function<bool(ReplaceStep step, const ReplacePaths& paths)>;

void Main();
void Main(const StepHook& hook);

// The Windows directory, trimmed of spaces; empty when it cannot be read or does not fit
// into 20 characters.
std::u16string GetWindowsDir();

// Copies sSource to sTarget without the lines that contain sSearch (case-sensitive), every
// kept line ending in CR LF, and flushes the copy to the disk. A source line ends at CR,
// LF or CR LF. Returns the number of removed lines (at most 32767), or kCopyFailed when the
// source could not be read or the copy not be written completely.
std::int16_t RemoveLinesContaining(const std::u16string& sSource, const std::u16string& sTarget,
                                   const std::u16string& sSearch);

// Deletes the value from HKEY_LOCAL_MACHINE's RunOnce key: true when deleted, false when
// the deletion failed, nullopt when the key could not be opened.
std::optional<bool> DeleteRunOnceValue(const std::u16string& sName);

}  // namespace compact
