// The program runtime on Windows: command line, module file, icon, hidden windows, message
// loop. Each call takes its ANSI form on 95/98/Me and its wide form on the NT family.
#include "platform/text.h"
#include "platform/user.h"

#include <windows.h>

#include <string>

#include "family.h"
#include "wide.h"

namespace platform {

namespace {

using win::detail::ansiFamily;
using win::detail::utf16;
using win::detail::wide;

constexpr char kMessageWindowClass[] = "QuorvelTrayMessageWindow";

HINSTANCE programInstance() { return ansiFamily() ? ::GetModuleHandleA(nullptr) : ::GetModuleHandleW(nullptr); }

LRESULT defaultProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  return ansiFamily() ? ::DefWindowProcA(hwnd, message, wParam, lParam)
                      : ::DefWindowProcW(hwnd, message, wParam, lParam);
}

LONG_PTR userData(HWND hwnd) {
  return ansiFamily() ? ::GetWindowLongPtrA(hwnd, GWLP_USERDATA) : ::GetWindowLongPtrW(hwnd, GWLP_USERDATA);
}

void setUserData(HWND hwnd, LONG_PTR value) {
  if (ansiFamily())
    ::SetWindowLongPtrA(hwnd, GWLP_USERDATA, value);
  else
    ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, value);
}

LRESULT CALLBACK applicationWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  // The main window only carries the title; closing it is the form's business.
  if (message == WM_CLOSE) return 0;
  return defaultProcedure(hwnd, message, wParam, lParam);
}

LRESULT CALLBACK messageWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  // lpCreateParams sits at the same place in both forms of the record.
  if (message == WM_NCCREATE)
    setUserData(hwnd, reinterpret_cast<LONG_PTR>(reinterpret_cast<const CREATESTRUCTA*>(lParam)->lpCreateParams));
  const auto* handler = reinterpret_cast<const MessageHandler*>(userData(hwnd));
  if (message == WM_NCDESTROY) setUserData(hwnd, 0);
  if (handler != nullptr && *handler) {
    try {
      if ((*handler)(message, wParam, lParam)) return 0;
    } catch (...) {
      // Nothing may unwind through the system's dispatch.
      return 0;
    }
  }
  return defaultProcedure(hwnd, message, wParam, lParam);
}

void registerClass(const char* name, WNDPROC procedure) {
  // A second registration fails harmlessly.
  if (ansiFamily()) {
    WNDCLASSEXA wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = procedure;
    wc.hInstance = programInstance();
    wc.lpszClassName = name;
    ::RegisterClassExA(&wc);
  } else {
    const std::u16string wideName = fromAnsi(name);
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = procedure;
    wc.hInstance = programInstance();
    wc.lpszClassName = wide(wideName.c_str());
    ::RegisterClassExW(&wc);
  }
}

// Hidden top-level windows: WS_POPUP without WS_VISIBLE, never shown.
HWND createHidden(const char* className, std::u16string_view caption, void* param) {
  if (ansiFamily()) {
    return ::CreateWindowExA(0, className, toAnsi(caption).c_str(), WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                             programInstance(), param);
  }
  const std::u16string wideClass = fromAnsi(className);
  const std::u16string wideCaption(caption);
  return ::CreateWindowExW(0, wide(wideClass.c_str()), wide(wideCaption.c_str()), WS_POPUP, 0, 0, 0, 0, nullptr,
                           nullptr, programInstance(), param);
}

// The command line after the program path, quoted or not, and the blank that separates it.
template <typename Char>
const Char* afterProgramPath(const Char* p) {
  if (*p == '"') {
    ++p;
    while (*p != 0 && *p != '"') ++p;
    if (*p == '"') ++p;
  } else {
    while (*p != 0 && *p != ' ' && *p != '\t') ++p;
  }
  if (*p == ' ' || *p == '\t') ++p;
  return p;
}

// GetModuleFileName in either form, growing the buffer until the name fits.
template <typename String, typename Get>
String moduleFileName(Get get) {
  String path(MAX_PATH, typename String::value_type{});
  for (;;) {
    const DWORD n = get(path.data(), static_cast<DWORD>(path.size()));
    if (n == 0) return {};
    if (n < path.size()) {
      path.resize(n);
      return path;
    }
    path.resize(path.size() * 2);
  }
}

}  // namespace

std::u16string commandLine() {
  if (ansiFamily()) {
    const char* line = ::GetCommandLineA();
    return line == nullptr ? std::u16string() : fromAnsi(afterProgramPath(line));
  }
  const wchar_t* line = ::GetCommandLineW();
  return line == nullptr ? std::u16string() : std::u16string(utf16(afterProgramPath(line)));
}

std::u16string programFileName() {
  if (ansiFamily()) {
    return fromAnsi(moduleFileName<std::string>(
        [](char* buffer, DWORD size) { return ::GetModuleFileNameA(nullptr, buffer, size); }));
  }
  const std::wstring path = moduleFileName<std::wstring>(
      [](wchar_t* buffer, DWORD size) { return ::GetModuleFileNameW(nullptr, buffer, size); });
  return std::u16string(utf16(path.c_str()), path.size());
}

void endProcess() { ::ExitProcess(0); }

win::HICON loadProgramIcon() {
  const int width = ::GetSystemMetrics(SM_CXSMICON);
  const int height = ::GetSystemMetrics(SM_CYSMICON);
  const HANDLE image = ansiFamily()
                           ? ::LoadImageA(programInstance(), MAKEINTRESOURCEA(1), IMAGE_ICON, width, height, 0)
                           : ::LoadImageW(programInstance(), MAKEINTRESOURCEW(1), IMAGE_ICON, width, height, 0);
  return static_cast<HICON>(image);
}

void destroyIcon(win::HICON icon) { ::DestroyIcon(icon); }

ApplicationWindow::ApplicationWindow(std::u16string_view title) {
  registerClass(kApplicationWindowClass, applicationWindowProc);
  handle_ = createHidden(kApplicationWindowClass, title, nullptr);
}

ApplicationWindow::~ApplicationWindow() {
  if (handle_ != nullptr) ::DestroyWindow(handle_);
}

std::u16string ApplicationWindow::title() const {
  if (ansiFamily()) {
    const int length = ::GetWindowTextLengthA(handle_);
    if (length <= 0) return {};
    std::string text(static_cast<std::size_t>(length) + 1, '\0');
    const int got = ::GetWindowTextA(handle_, text.data(), length + 1);
    text.resize(got > 0 ? static_cast<std::size_t>(got) : 0);
    return fromAnsi(text);
  }
  const int length = ::GetWindowTextLengthW(handle_);
  if (length <= 0) return {};
  std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
  const int got = ::GetWindowTextW(handle_, text.data(), length + 1);
  text.resize(got > 0 ? static_cast<std::size_t>(got) : 0);
  return std::u16string(utf16(text.c_str()), text.size());
}

void ApplicationWindow::setTitle(std::u16string_view title) {
  if (ansiFamily()) {
    ::SetWindowTextA(handle_, toAnsi(title).c_str());
    return;
  }
  const std::u16string caption(title);
  ::SetWindowTextW(handle_, wide(caption.c_str()));
}

MessageWindow::MessageWindow(MessageHandler handler)
    : handler_(std::make_unique<MessageHandler>(std::move(handler))) {
  registerClass(kMessageWindowClass, messageWindowProc);
  handle_ = createHidden(kMessageWindowClass, u"", handler_.get());
}

MessageWindow::~MessageWindow() {
  if (handle_ != nullptr) ::DestroyWindow(handle_);
}

void runMessageLoop() {
  MSG msg;
  for (;;) {
    const BOOL got = ansiFamily() ? ::GetMessageA(&msg, nullptr, 0, 0) : ::GetMessageW(&msg, nullptr, 0, 0);
    if (got <= 0) return;
    ::TranslateMessage(&msg);
    if (ansiFamily())
      ::DispatchMessageA(&msg);
    else
      ::DispatchMessageW(&msg);
  }
}

void quitMessageLoop() { ::PostQuitMessage(0); }

void processPendingMessages() {
  MSG msg;
  for (;;) {
    const BOOL got = ansiFamily() ? ::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)
                                  : ::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE);
    if (!got) return;
    if (msg.message == WM_QUIT) {
      // Leave the request for the message loop.
      ::PostQuitMessage(static_cast<int>(msg.wParam));
      return;
    }
    ::TranslateMessage(&msg);
    if (ansiFamily())
      ::DispatchMessageA(&msg);
    else
      ::DispatchMessageW(&msg);
  }
}

}  // namespace platform
