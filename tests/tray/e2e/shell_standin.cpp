// Stands in for the shell's notification area on Wine's desktop. Wine's own area lives in the
// desktop process: ending it ends the desktop window, and every program's windows with it, so
// a program cannot live through it there as it does through a restarted shell on Windows.
//
//   shell_standin present <log>   a window of the shell's class above Wine's own, so the
//                                 notifications come here first; each is logged and passed on to
//                                 Wine's area (where the icon shows), and the start is announced
//                                 with "TaskbarCreated", as a starting shell does
//   shell_standin absent <log>    the same window refusing every notification: a desktop
//                                 without a notification area
//   shell_standin end             ends the running stand-in; a present one first takes the icons
//                                 it passed on out of Wine's area, as an ending area does
//
// A log line: "<present|absent> add|modify|delete|setversion flags=<hex> -> <0|1>".
#include <windows.h>
#include <shellapi.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr wchar_t kShellClass[] = L"Shell_TrayWnd";
constexpr wchar_t kStandInTitle[] = L"Notification area stand-in";

bool present = false;
std::wstring logPath;
HWND self = nullptr;
// The add records passed on, to take their icons out again at the end.
std::vector<std::vector<unsigned char>> passedOn;

// Wine's area: the window of the shell's class that is not this one.
HWND wineArea() {
  HWND window = nullptr;
  while ((window = ::FindWindowExW(nullptr, window, kShellClass, nullptr)) != nullptr) {
    if (window != self) return window;
  }
  return nullptr;
}

void logLine(const char* text) {
  HANDLE file = ::CreateFileW(logPath.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return;
  DWORD written = 0;
  ::WriteFile(file, text, static_cast<DWORD>(std::strlen(text)), &written, nullptr);
  ::CloseHandle(file);
}

const char* messageName(ULONG_PTR message) {
  // NIM_SETVERSION (4) is not declared for the releases this build targets.
  switch (message) {
    case NIM_ADD: return "add";
    case NIM_MODIFY: return "modify";
    case NIM_DELETE: return "delete";
    case 4: return "setversion";
    default: return "other";
  }
}

// The shell's record begins like NOTIFYICONDATA after its size: window, id, flags.
struct RecordStart {
  DWORD window;
  UINT id;
  UINT flags;
};

LRESULT passOn(HWND sender, const COPYDATASTRUCT& data) {
  HWND area = wineArea();
  if (area == nullptr) return FALSE;
  COPYDATASTRUCT copy = data;
  return ::SendMessageW(area, WM_COPYDATA, reinterpret_cast<WPARAM>(sender), reinterpret_cast<LPARAM>(&copy));
}

LRESULT onNotification(HWND sender, const COPYDATASTRUCT& data) {
  RecordStart start{};
  if (data.lpData != nullptr && data.cbData >= sizeof start) std::memcpy(&start, data.lpData, sizeof start);
  LRESULT result = FALSE;
  if (present) {
    result = passOn(sender, data);
    if (data.dwData == NIM_ADD && result) {
      const auto* bytes = static_cast<const unsigned char*>(data.lpData);
      passedOn.emplace_back(bytes, bytes + data.cbData);
    }
  }
  char line[128];
  std::snprintf(line, sizeof line, "%s %s flags=%x -> %d\r\n", present ? "present" : "absent",
                messageName(data.dwData), start.flags, result ? 1 : 0);
  logLine(line);
  return result;
}

void takeIconsOut() {
  for (auto& record : passedOn) {
    COPYDATASTRUCT data{NIM_DELETE, static_cast<DWORD>(record.size()), record.data()};
    RecordStart start{};
    std::memcpy(&start, record.data(), sizeof start);
    passOn(reinterpret_cast<HWND>(static_cast<ULONG_PTR>(start.window)), data);
  }
  passedOn.clear();
}

LRESULT CALLBACK procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_COPYDATA:
      return onNotification(reinterpret_cast<HWND>(wParam), *reinterpret_cast<const COPYDATASTRUCT*>(lParam));
    case WM_CLOSE:
      takeIconsOut();
      ::DestroyWindow(window);
      return 0;
    case WM_DESTROY:
      ::PostQuitMessage(0);
      return 0;
    default:
      return ::DefWindowProcW(window, message, wParam, lParam);
  }
}

int run(bool isPresent, const wchar_t* path) {
  present = isPresent;
  logPath = path;
  WNDCLASSW windowClass{};
  windowClass.lpfnWndProc = procedure;
  windowClass.hInstance = ::GetModuleHandleW(nullptr);
  windowClass.lpszClassName = kShellClass;
  if (!::RegisterClassW(&windowClass)) return 1;
  // Created last, it is the first of its class that FindWindow comes to.
  self = ::CreateWindowExW(0, kShellClass, kStandInTitle, WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                           windowClass.hInstance, nullptr);
  if (self == nullptr) return 1;
  logLine(present ? "present started\r\n" : "absent started\r\n");
  if (present) ::SendNotifyMessageW(HWND_BROADCAST, ::RegisterWindowMessageW(L"TaskbarCreated"), 0, 0);
  MSG message;
  while (::GetMessageW(&message, nullptr, 0, 0) > 0) ::DispatchMessageW(&message);
  return 0;
}

int end() {
  HWND standIn = ::FindWindowW(kShellClass, kStandInTitle);
  if (standIn == nullptr) return 1;
  DWORD process = 0;
  ::GetWindowThreadProcessId(standIn, &process);
  HANDLE handle = ::OpenProcess(SYNCHRONIZE, FALSE, process);
  ::SendMessageW(standIn, WM_CLOSE, 0, 0);
  if (handle != nullptr) {
    ::WaitForSingleObject(handle, 30000);
    ::CloseHandle(handle);
  }
  return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  const std::wstring mode = argc > 1 ? argv[1] : L"";
  if (mode == L"present" && argc == 3) return run(true, argv[2]);
  if (mode == L"absent" && argc == 3) return run(false, argv[2]);
  if (mode == L"end" && argc == 2) return end();
  std::fputs("usage: shell_standin present <log> | absent <log> | end\n", stderr);
  return 64;
}
