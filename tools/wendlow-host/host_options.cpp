#include "host_options.h"

#include <cerrno>
#include <climits>
#include <cstdlib>

#include "platform/text.h"
#include "subcommands.h"

namespace {

bool parseMode(const std::string& text, std::int32_t& mode) {
  if (text.empty()) return false;
  errno = 0;
  char* end = nullptr;
  long value = std::strtol(text.c_str(), &end, 10);
  if (errno != 0 || *end != '\0' || value < INT32_MIN || value > INT32_MAX) return false;
  mode = static_cast<std::int32_t>(value);
  return true;
}

}  // namespace

bool parseHostOptions(const std::vector<std::string>& words, HostOptions& options, std::string& error) {
  for (std::size_t i = 0; i < words.size(); ++i) {
    const std::string& word = words[i];
    auto value = [&](std::string& out) {
      if (i + 1 >= words.size()) {
        error = word + " needs a value";
        return false;
      }
      out = words[++i];
      return true;
    };
    std::string text;
    if (word == "--json") {
      options.json = true;
    } else if (word == "--help" || word == "-h") {
      options.help = true;
    } else if (word == "--mode") {
      if (!value(text)) return false;
      if (!parseMode(text, options.mode)) {
        error = "--mode needs a whole number, not \"" + text + "\"";
        return false;
      }
    } else if (word == "--cache") {
      if (!value(text)) return false;
      options.cachePath = platform::fromUtf8(text);
    } else if (word == "--registry") {
      if (!value(text)) return false;
      options.registries.push_back(text);
    } else if (word == "--users") {
      options.users = true;
    } else if (word == "--quiet" || word == "-q") {
      options.quiet = true;
    } else if (word.size() > 1 && word[0] == '-') {
      error = "unknown option " + word;
      return false;
    } else if (options.subcommand.empty()) {
      options.subcommand = word;
    } else {
      options.arguments.push_back(word);
    }
  }
  return true;
}

std::string hostUsage() {
  std::string usage =
      "usage: wendlow-host [options] <command> [arguments]\n"
      "\n"
      "commands:\n";
  for (const Subcommand& command : subcommands()) {
    std::string name = command.name;
    if (command.argumentsHelp[0] != '\0') name += std::string(" ") + command.argumentsHelp;
    usage += "  " + name + std::string(name.size() < 22 ? 22 - name.size() : 1, ' ') + command.summary + "\n";
  }
  usage +=
      "\n"
      "options:\n"
      "  --mode N              detector mode passed to InitDetector (default 1: full scan)\n"
      "  --cache PATH          cache database file (default: the library's Cache.db)\n"
      "  --registry PATH       a machine to inspect (Linux only); may be given more than\n"
      "                        once. PATH is a registry export (.reg), an offline\n"
      "                        SOFTWARE hive (standing for HKLM\\SOFTWARE), a Wine\n"
      "                        prefix's system.reg, or a folder holding one: a Wine\n"
      "                        prefix, a config folder, a Windows folder, or a volume\n"
      "                        or folder holding Windows (Windows or WINNT, then\n"
      "                        System32/config/SOFTWARE, names in any case). Told apart\n"
      "                        by their contents; only ever read. Several machines:\n"
      "                        list gains a first column Machine, query and wildcard\n"
      "                        answer per machine. Default in a build tree: the sample\n"
      "                        machine beside the program\n"
      "  --users               each user's own entries too (HKEY_CURRENT_USER), besides\n"
      "                        the machine's (Linux only): the profiles a folder holding\n"
      "                        Windows lists (each NTUSER.DAT, found below the folder),\n"
      "                        a Wine prefix's user (user.reg), or a user's hive given\n"
      "                        alone. list gains the column User (the profile's folder,\n"
      "                        empty for the machine's entries; JSON adds Sid); query\n"
      "                        and wildcard answer yes when any scope has it, and name\n"
      "                        the scopes. A profile that cannot be read is named on\n"
      "                        standard error and skipped (exit status 2)\n"
      "  --quiet, -q           do not say which file was found in a folder\n"
      "  --json                JSON instead of a table (UTF-8)\n"
      "\n"
      "exit status:\n"
      "  0   done; for query and wildcard: everything asked about is installed (on every\n"
      "      machine)\n"
      "  1   query or wildcard: something asked about is not installed (on some machine)\n"
      "  2   error: a machine's registry is missing, unreadable or malformed (the others\n"
      "      are still answered), the library cannot be loaded, or a step failed (the\n"
      "      cache file cannot be opened)\n"
      "  64  the command line is wrong\n";
  return usage;
}
