// Stands in for the suite's main program: appends its command line (UTF-8) as one line to
// started.txt beside itself, so a test can see that and how it was started.
#include <windows.h>

#include <string>

int main() {
  wchar_t path[MAX_PATH];
  const DWORD n = ::GetModuleFileNameW(nullptr, path, MAX_PATH);
  if (n == 0 || n >= MAX_PATH) return 1;
  std::wstring record(path, n);
  record.resize(record.find_last_of(L'\\') + 1);
  record += L"started.txt";

  const wchar_t* commandLine = ::GetCommandLineW();
  const int bytes = ::WideCharToMultiByte(CP_UTF8, 0, commandLine, -1, nullptr, 0, nullptr, nullptr);
  std::string line(bytes > 0 ? static_cast<std::size_t>(bytes - 1) : 0, '\0');
  if (bytes > 1) ::WideCharToMultiByte(CP_UTF8, 0, commandLine, -1, line.data(), bytes, nullptr, nullptr);
  line += "\r\n";

  HANDLE file = ::CreateFileW(record.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return 1;
  DWORD written = 0;
  const BOOL ok = ::WriteFile(file, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
  ::CloseHandle(file);
  return ok ? 0 : 1;
}
