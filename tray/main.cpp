// HXTray: the windowless tray program's entry point.
#include "mod_main.h"
#include "program_info.h"

int main() {
  try {
    platform::ApplicationWindow application(tray::kApplicationTitle);
    tray::mod_main::RunningTray running = tray::mod_main::Main(application);
    if (running.form && running.form->IsLoaded()) platform::runMessageLoop();
  } catch (...) {
    // Nothing is reported: the program has no exit codes.
  }
  return 0;
}
