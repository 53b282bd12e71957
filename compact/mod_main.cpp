// The program's one procedure: filter the batch file through a temporary copy, put the copy
// in its place, then delete the RunOnce value.
#include "platform/files.h"
#include "platform/sysinfo.h"
#include "platform/text.h"
#include "mod_main.h"
#include "temporary_file.h"

namespace compact {
namespace {

constexpr win::DWORD kPathBuffer = 340;
constexpr win::DWORD kReplaceFlags = win::MOVEFILE_REPLACE_EXISTING | win::MOVEFILE_WRITE_THROUGH;

bool isNtFamily() { return (win::GetVersion() & 0x80000000u) == 0; }

// A new file name from GetTempFileNameA in `folder`; empty when there is none.
std::string newTemporaryName(const std::string& folder, const char* prefix) {
  char name[kPathBuffer + 1] = {};
  if (win::GetTempFileNameA(folder.c_str(), prefix, 0, name) == 0) return {};
  return name;
}

class Procedure {
 public:
  Procedure(const StepHook& hook, const std::u16string& sBootRoot) : hook_(hook), bootRoot_(platform::toAnsi(sBootRoot)) {}

  bool stopped() const { return stopped_; }

  // The batch file keeps its old contents unless the complete, flushed copy replaces it.
  void rewriteBatchFile(const std::u16string& sBatchFile, TemporaryFile& copy) {
    if (rewriteThrough(sBatchFile, copy) || stopped_ ||
        win::GetLastError() != static_cast<win::DWORD>(win::ERROR_NOT_SAME_DEVICE))
      return;
    // A rename cannot leave its volume: with the temporary folder on another drive the copy
    // is made once more beside the batch file and renamed from there.
    const std::string name = newTemporaryName(bootRoot_, "tmp");
    if (name.empty()) return;
    TemporaryFile nearCopy{name};
    rewriteThrough(sBatchFile, nearCopy);
  }

 private:
  // False when the hook ends the procedure after this step.
  bool carryOn(ReplaceStep step, const ReplacePaths& paths) {
    if (hook_ && !hook_(step, paths)) stopped_ = true;
    return !stopped_;
  }

  // Writes the copy and puts it in place; false (GetLastError says why) when it was not.
  bool rewriteThrough(const std::u16string& sBatchFile, TemporaryFile& copy) {
    ReplacePaths paths{sBatchFile, platform::fromAnsi(copy.path()), {}};
    if (RemoveLinesContaining(sBatchFile, paths.sTempFile, kSearchText) == kCopyFailed) return false;
    if (!carryOn(ReplaceStep::CopyWritten, paths)) return false;
    const std::string batchFile = platform::toAnsi(sBatchFile);
    const bool replaced =
        isNtFamily() ? replaceAtOnce(copy.path(), batchFile) : replaceInSteps(copy.path(), batchFile, paths);
    if (replaced) copy.release();
    return replaced;
  }

  // NT: the copy takes the batch file's place in one step.
  static bool replaceAtOnce(const std::string& copy, const std::string& batchFile) {
    return win::MoveFileExA(copy.c_str(), batchFile.c_str(), kReplaceFlags) != 0;
  }

  // 95/98/Me, where MoveFileExA is a stub that fails: the batch file moves aside to a backup
  // in its own folder, the copy moves in, the backup goes. Wherever this is cut short, the
  // batch file or a complete backup of it is there.
  bool replaceInSteps(const std::string& copy, const std::string& batchFile, ReplacePaths& paths) {
    const std::string backup = newTemporaryName(bootRoot_, "bak");
    if (backup.empty()) return false;
    win::DeleteFileA(backup.c_str());  // only its name was wanted
    if (!win::MoveFileA(batchFile.c_str(), backup.c_str())) return false;
    paths.sBackupFile = platform::fromAnsi(backup);
    if (!carryOn(ReplaceStep::BatchFileMovedAside, paths)) return false;
    if (!win::MoveFileA(copy.c_str(), batchFile.c_str())) {
      const win::DWORD why = win::GetLastError();
      win::MoveFileA(backup.c_str(), batchFile.c_str());  // back as it was
      win::SetLastError(why);
      return false;
    }
    if (!carryOn(ReplaceStep::CopyMovedIn, paths)) return true;
    win::DeleteFileA(backup.c_str());
    carryOn(ReplaceStep::BackupDeleted, paths);
    return true;
  }

  const StepHook& hook_;
  const std::string bootRoot_;
  bool stopped_ = false;
};

void run(const StepHook& hook) {
  const std::u16string sBootRoot = GetWindowsDir().substr(0, 3);
  const std::u16string sBatchFile = sBootRoot + kBatchFileName;

  char buffer[kPathBuffer + 1] = {};
  const win::DWORD tempLength = win::GetTempPathA(kPathBuffer, buffer);
  // No temporary folder (or one too long for the buffer): nothing is done, the RunOnce
  // value stays.
  if (tempLength == 0 || tempLength >= kPathBuffer) return;
  const std::string tempFolder(buffer, tempLength);

  // Without a drive root the batch file's path would be a bare name in whatever folder is
  // current: touch no file then.
  if (sBootRoot.size() == 3) {
    const std::string name = newTemporaryName(tempFolder, "tmp");
    if (name.empty()) return;  // as above
    TemporaryFile copy{name};
    Procedure procedure(hook, sBootRoot);
    procedure.rewriteBatchFile(sBatchFile, copy);
    if (procedure.stopped()) return;
  }
  DeleteRunOnceValue(kRunOnceValueName);
}

}  // namespace

void Main() { Main(StepHook{}); }

void Main(const StepHook& hook) {
  try {
    run(hook);
  } catch (...) {
    // Nothing to tell anyone: the batch file is replaced whole or not at all.
  }
}

}  // namespace compact
