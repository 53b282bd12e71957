// The program runtime on Windows: command line, folder, icon, hidden windows, message loop.
#include "platform/user.h"

#include <windows.h>

#include <string>

#include "wide.h"

namespace platform {

namespace {

using win::detail::utf16;
using win::detail::wide;

constexpr wchar_t kMessageWindowClass[] = L"QuorvelTrayMessageWindow";

HINSTANCE programInstance() { return ::GetModuleHandleW(nullptr); }

LRESULT CALLBACK applicationWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  // The main window only carries the title; closing it is the form's business.
  if (message == WM_CLOSE) return 0;
  return ::DefWindowProcW(hwnd, message, wParam, lParam);
}

LRESULT CALLBACK messageWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
    ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  }
  const auto* handler = reinterpret_cast<const MessageHandler*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (message == WM_NCDESTROY) ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
  if (handler != nullptr && *handler) {
    try {
      if ((*handler)(message, wParam, lParam)) return 0;
    } catch (...) {
      // Nothing may unwind through the system's dispatch.
      return 0;
    }
  }
  return ::DefWindowProcW(hwnd, message, wParam, lParam);
}

void registerClass(const wchar_t* name, WNDPROC procedure) {
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = procedure;
  wc.hInstance = programInstance();
  wc.lpszClassName = name;
  ::RegisterClassExW(&wc);  // a second registration fails harmlessly
}

// Hidden top-level windows: WS_POPUP without WS_VISIBLE, never shown.
HWND createHidden(const wchar_t* className, const wchar_t* caption, void* param) {
  return ::CreateWindowExW(0, className, caption, WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, programInstance(), param);
}

}  // namespace

std::u16string commandLine() {
  const wchar_t* p = ::GetCommandLineW();
  if (p == nullptr) return {};
  // Skip the program path, quoted or not, and the blank that separates it.
  if (*p == L'"') {
    ++p;
    while (*p != L'\0' && *p != L'"') ++p;
    if (*p == L'"') ++p;
  } else {
    while (*p != L'\0' && *p != L' ' && *p != L'\t') ++p;
  }
  if (*p == L' ' || *p == L'\t') ++p;
  return std::u16string(utf16(p));
}

std::u16string programDirectory() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD n = ::GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (n == 0) return {};
    if (n < path.size()) {
      path.resize(n);
      break;
    }
    path.resize(path.size() * 2);
  }
  const auto slash = path.find_last_of(L'\\');
  if (slash != std::wstring::npos) path.resize(slash);
  return std::u16string(utf16(path.c_str()));
}

void endProcess() { ::ExitProcess(0); }

win::HICON loadProgramIcon() {
  return static_cast<HICON>(::LoadImageW(programInstance(), MAKEINTRESOURCEW(1), IMAGE_ICON,
                                         ::GetSystemMetrics(SM_CXSMICON), ::GetSystemMetrics(SM_CYSMICON), 0));
}

void destroyIcon(win::HICON icon) { ::DestroyIcon(icon); }

ApplicationWindow::ApplicationWindow(std::u16string_view title) {
  const std::wstring className(kApplicationWindowClass, kApplicationWindowClass + sizeof kApplicationWindowClass - 1);
  registerClass(className.c_str(), applicationWindowProc);
  const std::u16string caption(title);
  handle_ = createHidden(className.c_str(), wide(caption.c_str()), nullptr);
}

ApplicationWindow::~ApplicationWindow() {
  if (handle_ != nullptr) ::DestroyWindow(handle_);
}

std::u16string ApplicationWindow::title() const {
  const int length = ::GetWindowTextLengthW(handle_);
  if (length <= 0) return {};
  std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
  const int got = ::GetWindowTextW(handle_, text.data(), length + 1);
  text.resize(got > 0 ? static_cast<std::size_t>(got) : 0);
  return std::u16string(utf16(text.c_str()), text.size());
}

void ApplicationWindow::setTitle(std::u16string_view title) {
  const std::u16string caption(title);
  ::SetWindowTextW(handle_, wide(caption.c_str()));
}

MessageWindow::MessageWindow(MessageHandler handler)
    : handler_(std::make_unique<MessageHandler>(std::move(handler))) {
  registerClass(kMessageWindowClass, messageWindowProc);
  handle_ = createHidden(kMessageWindowClass, L"", handler_.get());
}

MessageWindow::~MessageWindow() {
  if (handle_ != nullptr) ::DestroyWindow(handle_);
}

void runMessageLoop() {
  MSG msg;
  while (::GetMessageW(&msg, nullptr, 0, 0) > 0) {
    ::TranslateMessage(&msg);
    ::DispatchMessageW(&msg);
  }
}

void quitMessageLoop() { ::PostQuitMessage(0); }

void processPendingMessages() {
  MSG msg;
  while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) {
      // Leave the request for the message loop.
      ::PostQuitMessage(static_cast<int>(msg.wParam));
      break;
    }
    ::TranslateMessage(&msg);
    ::DispatchMessageW(&msg);
  }
}

}  // namespace platform
