// The program's one procedure: filter the batch file through a temporary copy, replace it
// in one step, then delete the RunOnce value.
#include "platform/files.h"
#include "platform/text.h"
#include "mod_main.h"
#include "temporary_file.h"

namespace compact {
namespace {

constexpr win::DWORD kPathBuffer = 340;
constexpr win::DWORD kReplaceFlags = win::MOVEFILE_REPLACE_EXISTING | win::MOVEFILE_WRITE_THROUGH;

// The complete copy takes the batch file's place in one step; false when the rename failed.
bool replaceWith(TemporaryFile& copy, const std::string& batchFile) {
  if (!win::MoveFileExA(copy.path().c_str(), batchFile.c_str(), kReplaceFlags)) return false;
  copy.release();
  return true;
}

// The batch file keeps its old contents unless the complete, flushed copy replaces it.
void rewriteBatchFile(const std::u16string& sBootRoot, const std::u16string& sBatchFile, TemporaryFile& copy,
                      const BeforeReplace& beforeReplace) {
  const std::u16string sTempFile = platform::fromAnsi(copy.path());
  if (RemoveLinesContaining(sBatchFile, sTempFile, kSearchText) == kCopyFailed) return;
  if (beforeReplace && !beforeReplace(sBatchFile, sTempFile)) return;
  const std::string batchFile = platform::toAnsi(sBatchFile);
  if (replaceWith(copy, batchFile) || win::GetLastError() != static_cast<win::DWORD>(win::ERROR_NOT_SAME_DEVICE))
    return;

  // A rename cannot leave its volume: with the temporary folder on another drive the copy
  // is made once more beside the batch file and renamed from there.
  char name[kPathBuffer + 1] = {};
  if (win::GetTempFileNameA(platform::toAnsi(sBootRoot).c_str(), "tmp", 0, name) == 0) return;
  TemporaryFile nearCopy{std::string(name)};
  if (RemoveLinesContaining(sBatchFile, platform::fromAnsi(nearCopy.path()), kSearchText) == kCopyFailed) return;
  replaceWith(nearCopy, batchFile);
}

void run(const BeforeReplace& beforeReplace) {
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
    char name[kPathBuffer + 1] = {};
    if (win::GetTempFileNameA(tempFolder.c_str(), "tmp", 0, name) == 0) return;  // as above
    TemporaryFile copy{std::string(name)};
    rewriteBatchFile(sBootRoot, sBatchFile, copy, beforeReplace);
  }
  DeleteRunOnceValue(kRunOnceValueName);
}

}  // namespace

void Main() { Main(BeforeReplace{}); }

void Main(const BeforeReplace& beforeReplace) {
  try {
    run(beforeReplace);
  } catch (...) {
    // Nothing to tell anyone: the batch file is replaced whole or not at all.
  }
}

}  // namespace compact
