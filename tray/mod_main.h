// Start-up of the tray program: one instance, the command-line argument, the form.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "platform/user.h"
#include "tray_form.h"

namespace tray::mod_main {

// The first three characters of the command line, trimmed and upper-cased; set by Main.
const std::u16string& RunArguments();
// What Main keeps of a command line.
std::u16string RunArgumentsOf(std::u16string_view commandLine);

// The parts of the platform's version word: major, minor, the build in two bytes (the high
// one with 128 added when bit 31 is set) and whether bit 31 is clear (the NT family).
void GetWindowsVersion(std::int32_t& major, std::int32_t& minor, std::int32_t& buildLow, std::int32_t& buildHigh,
                       bool& isNT);

// What a started tray holds for the rest of its life.
struct RunningTray {
  platform::unique_handle instanceMutex;
  std::unique_ptr<frmHXTray> form;
};

// Marks the running tray, hands over to a previous instance (then the process ends), keeps
// the argument and loads the form. The caller runs the message loop while the form is loaded.
RunningTray Main(platform::ApplicationWindow& application);

// When another instance's main window is found, brings the window above it forward and ends
// the process; otherwise returns with this instance renamed "unwanted instance".
void ActivatePrevInstance(platform::ApplicationWindow& application);

}  // namespace tray::mod_main
