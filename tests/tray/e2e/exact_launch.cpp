// Starts a program with an exact command line, taken from the variable TRAY_EXACT_COMMAND_LINE
// (wine would quote arguments that hold spaces), and returns without waiting for it.
#include <windows.h>

#include <string>

int main() {
  const DWORD size = ::GetEnvironmentVariableW(L"TRAY_EXACT_COMMAND_LINE", nullptr, 0);
  if (size == 0) return 2;
  std::wstring commandLine(size, L'\0');
  commandLine.resize(::GetEnvironmentVariableW(L"TRAY_EXACT_COMMAND_LINE", commandLine.data(), size));
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  if (!::CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process))
    return 1;
  ::CloseHandle(process.hThread);
  ::CloseHandle(process.hProcess);
  return 0;
}
