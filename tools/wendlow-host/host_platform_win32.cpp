// Windows: the library reads the machine's own registry; there is nothing to load. The
// command line is taken in its wide form, and a console is written in wide characters:
// the ANSI forms would lose every name outside the code page.
#include <algorithm>
#include <cstdio>
#include <memory>

#include "host_platform.h"
#include "platform/text.h"

#include <windows.h>
#include <shellapi.h>

namespace {

struct LocalMemoryFree {
  void operator()(void* memory) const { ::LocalFree(memory); }
};

void writeTo(DWORD which, std::FILE* stream, const std::string& utf8) {
  HANDLE handle = ::GetStdHandle(which);
  DWORD mode = 0;
  if (handle == nullptr || handle == INVALID_HANDLE_VALUE || !::GetConsoleMode(handle, &mode)) {
    // Redirected: the UTF-8 bytes themselves.
    std::fwrite(utf8.data(), 1, utf8.size(), stream);
    std::fflush(stream);
    return;
  }
  const std::u16string text = platform::fromUtf8(utf8);
  constexpr std::size_t kPiece = 8192;  // consoles take a bounded amount per call
  for (std::size_t at = 0; at < text.size();) {
    std::size_t count = std::min(kPiece, text.size() - at);
    // A surrogate pair stays in one piece.
    if (count > 1 && at + count < text.size() && text[at + count - 1] >= 0xD800 && text[at + count - 1] <= 0xDBFF) {
      --count;
    }
    DWORD written = 0;
    if (!::WriteConsoleW(handle, reinterpret_cast<const wchar_t*>(text.data() + at), static_cast<DWORD>(count),
                         &written, nullptr) ||
        written == 0) {
      return;
    }
    at += written;
  }
}

}  // namespace

std::vector<std::string> commandLineWords(int, char**) {
  int count = 0;
  std::unique_ptr<LPWSTR, LocalMemoryFree> arguments(::CommandLineToArgvW(::GetCommandLineW(), &count));
  std::vector<std::string> words;
  for (int i = 1; arguments && i < count; ++i) {
    words.push_back(platform::toUtf8(reinterpret_cast<const char16_t*>(arguments.get()[i])));
  }
  return words;
}

int chooseMachines(const HostOptions& options, std::vector<std::string>& machines, std::string& error) {
  if (!options.registries.empty()) {
    error = "--registry is not available on Windows: the detector reads this machine's registry";
    return kExitUsage;
  }
  if (options.users) {
    error = "--users is not available on Windows: the detector reads this machine's registrations";
    return kExitUsage;
  }
  machines.assign(1, std::string());
  return kExitSuccess;
}

bool useMachine(const std::string&, bool, std::vector<std::string>&, std::string&, std::string&) { return true; }

std::vector<HostUser> machineUsers(const std::string&, std::vector<std::string>&, std::vector<std::string>&) {
  return {};
}

bool useUser(const HostUser&, std::vector<std::string>&, std::string&) { return false; }

bool registryFailed(std::string&) { return false; }

void writeStandardOutput(const std::string& utf8) { writeTo(STD_OUTPUT_HANDLE, stdout, utf8); }
void writeStandardError(const std::string& utf8) { writeTo(STD_ERROR_HANDLE, stderr, utf8); }
