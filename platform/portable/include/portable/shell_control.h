// Test controls of the portable shell: every Shell_NotifyIcon and ShellExecuteA call is
// recorded with the whole record as it was sent. Only tests include this.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/shell.h"

namespace portable::shell {

struct NotifyCall {
  win::DWORD message;  // NIM_ADD, NIM_MODIFY, ...
  bool wide;           // Shell_NotifyIconW (then `w` holds the record) or Shell_NotifyIconA (`a`)
  win::NOTIFYICONDATAW w;
  win::NOTIFYICONDATAA a;
};

struct ExecuteCall {
  win::HWND hwnd;
  std::optional<std::string> operation;  // nullopt for a null pointer
  std::optional<std::string> file;
  std::optional<std::string> parameters;
  std::optional<std::string> directory;
  int showCommand;
};

const std::vector<NotifyCall>& notifyCalls();
const std::vector<ExecuteCall>& executeCalls();

// Icons the stand-in shell shows, by (window, id): added and not yet deleted.
std::size_t visibleIconCount();

// Clears the records and the shown icons; the notification area exists.
void reset();

// Takes the notification area away (its icons go with it: the shell ended) or brings it
// back empty. While it is away every Shell_NotifyIcon call is recorded and fails.
void setNotificationArea(bool present);

}  // namespace portable::shell
