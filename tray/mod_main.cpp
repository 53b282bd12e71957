#include "mod_main.h"

#include "platform/files.h"
#include "platform/sysinfo.h"
#include "platform/text.h"
#include "program_info.h"
#include "text_rules.h"

namespace tray::mod_main {

namespace {
std::u16string& runArguments() {
  static std::u16string text;
  return text;
}

// Class names of the main windows that earlier builds of the runtime created.
constexpr const char* kMainWindowClasses[] = {"ThunderRTMain", "ThunderRT5Main", platform::kApplicationWindowClass};
}  // namespace

const std::u16string& RunArguments() { return runArguments(); }

std::u16string RunArgumentsOf(std::u16string_view commandLine) {
  return UpperCase(TrimSpaces(commandLine)).substr(0, 3);
}

void GetWindowsVersion(std::int32_t& major, std::int32_t& minor, std::int32_t& buildLow, std::int32_t& buildHigh,
                       bool& isNT) {
  const win::DWORD version = win::GetVersion();
  major = static_cast<std::int32_t>(version & 0xFF);
  minor = static_cast<std::int32_t>((version >> 8) & 0xFF);
  buildLow = static_cast<std::int32_t>((version >> 16) & 0xFF);
  buildHigh = static_cast<std::int32_t>((version >> 24) & 0x7F);
  if (version & 0x80000000u) buildHigh += 128;
  isNT = (version & 0x80000000u) == 0;
}

void ActivatePrevInstance(platform::ApplicationWindow& application) {
  const std::string title = platform::toAnsi(application.title());
  // Our own main window must not be the one found.
  application.setTitle(kUnwantedInstanceTitle);

  win::HWND previous = nullptr;
  for (const char* windowClass : kMainWindowClasses) {
    previous = win::FindWindowA(windowClass, title.c_str());
    if (previous != nullptr) break;
  }
  if (previous == nullptr) return;

  // The main window is hidden; the one above it is what the user sees of that instance.
  const win::HWND above = win::GetWindow(previous, win::GW_HWNDPREV);
  win::OpenIcon(above);
  win::SetForegroundWindow(above);
  platform::endProcess();
}

RunningTray Main(platform::ApplicationWindow& application) {
  RunningTray running;
  const std::u16string commandLine = platform::commandLine();

  running.instanceMutex.reset(win::CreateMutexA(nullptr, 0, kMutexName));
  const win::DWORD mutexError = win::GetLastError();
  // A mutex that we may not open (an instance started with other rights holds it) tells of a
  // running instance just as much as one that we opened.
  const bool previousInstance =
      running.instanceMutex ? mutexError == static_cast<win::DWORD>(win::ERROR_ALREADY_EXISTS)
                            : mutexError == static_cast<win::DWORD>(win::ERROR_ACCESS_DENIED);
  if (previousInstance) ActivatePrevInstance(application);

  runArguments() = RunArgumentsOf(commandLine);

  running.form = std::make_unique<frmHXTray>();
  running.form->Load();
  return running;
}

}  // namespace tray::mod_main
