// Stands between a test copy of HXTray.exe and the shell: records the size of every ANSI
// notification record, then hands the call on. The copy's import of SHELL32.dll is renamed
// to this DLL (SHSPY32.dll, a name of the same length), so the records are seen exactly as
// the program sends them. The log file is named by QC_SHELL_SPY_LOG.
#include <windows.h>
#include <shellapi.h>

#include <cstdio>

namespace {

void record(DWORD message, DWORD size) {
  char path[MAX_PATH];
  const DWORD length = ::GetEnvironmentVariableA("QC_SHELL_SPY_LOG", path, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return;
  const HANDLE file = ::CreateFileA(path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                    OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return;
  char line[64];
  const int n = std::snprintf(line, sizeof line, "Shell_NotifyIconA %lu %lu\r\n", message, size);
  DWORD written = 0;
  ::WriteFile(file, line, static_cast<DWORD>(n), &written, nullptr);
  ::CloseHandle(file);
}

}  // namespace

extern "C" BOOL WINAPI spyNotifyIconA(DWORD message, PNOTIFYICONDATAA data) {
  record(message, data != nullptr ? data->cbSize : 0);
  return ::Shell_NotifyIconA(message, data);
}

extern "C" HINSTANCE WINAPI spyShellExecuteA(HWND window, LPCSTR operation, LPCSTR file, LPCSTR parameters,
                                             LPCSTR directory, INT show) {
  return ::ShellExecuteA(window, operation, file, parameters, directory, show);
}
