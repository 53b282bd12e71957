// query, wildcard, save, refresh: steps on one detector, run in the order given, so that
// "query editor.exe save" records a name and writes it into the cache. The report starts
// with the way the detector was filled: from the cache (mode 2 kept) or by a full scan.
// The exit status answers the questions: 0 when every query and wildcard found what it
// asked for, 1 when one did not, 2 when a step failed.
#include <string>
#include <vector>

#include "host_options.h"
#include "platform/text.h"
#include "subcommands.h"

namespace {

struct Step {
  std::string command;
  std::string argument;  // query and wildcard only
};

// Each command with the number of arguments it takes.
int argumentCount(const std::string& command) {
  if (command == "query" || command == "wildcard") return 1;
  if (command == "save" || command == "refresh") return 0;
  return -1;
}

bool parseSteps(const HostOptions& options, std::vector<Step>& steps, std::string& error) {
  std::vector<std::string> words = {options.subcommand};
  words.insert(words.end(), options.arguments.begin(), options.arguments.end());
  for (std::size_t i = 0; i < words.size(); ++i) {
    Step step{words[i], {}};
    const int count = argumentCount(step.command);
    if (count < 0) {
      error = "unknown step " + step.command + " (query NAME, wildcard PATTERN, save, refresh)";
      return false;
    }
    if (count == 1) {
      if (i + 1 >= words.size()) {
        error = step.command + " needs an argument";
        return false;
      }
      step.argument = words[++i];
    }
    steps.push_back(std::move(step));
  }
  return true;
}

std::string startPath(const WendlowExports& e, WendlowHandle handle) {
  const std::int32_t mode = e.getDetectorMode(handle);
  return (mode == kModeCached ? "cache" : "scan") + std::string(" (mode ") + std::to_string(mode) + ")";
}

}  // namespace

const std::vector<std::u16string>& sessionColumns() {
  static const std::vector<std::u16string> columns = {u"step", u"argument", u"result"};
  return columns;
}

// "step argument: result" per row, after "machine: " when the rows carry one.
std::string renderSession(const std::vector<std::u16string>& header, const TextRows& rows) {
  const std::size_t first = header.size() - sessionColumns().size();
  std::string out;
  for (std::size_t r = 0; r < rows.size(); ++r) {
    if (first) out += platform::toUtf8(rows.cell(r, 0)) + ": ";
    out += platform::toUtf8(rows.cell(r, first));
    if (!rows.cell(r, first + 1).empty()) out += " " + platform::toUtf8(rows.cell(r, first + 1));
    out += ": " + platform::toUtf8(rows.cell(r, first + 2)) + "\n";
  }
  return out;
}

int runSession(const HostContext& context) {
  std::vector<Step> steps;
  std::string error;
  if (!parseSteps(context.options, steps, error)) {
    context.err << "wendlow-host: " << error << "\n";
    return kExitUsage;
  }
  const HostOptions& options = context.options;
  DetectorSession session(context.library, options.mode, options.cachePath ? &*options.cachePath : nullptr);
  if (session.handle() == nullptr) {
    context.err << "wendlow-host: the detector could not be created\n";
    return kExitError;
  }
  const WendlowExports& e = context.library;
  const WendlowHandle h = session.handle();

  auto addRow = [&context](std::u16string_view step, std::u16string_view argument, const std::string& result) {
    if (context.answers != nullptr) return;  // answered across the scopes at the end
    context.rows.addRow();
    for (const std::u16string& cell : context.leading) context.rows.addCell(cell);
    context.rows.addCell(step);
    context.rows.addCell(argument);
    context.rows.addCell(platform::fromUtf8(result));
  };
  addRow(u"start", u"", startPath(e, h));
  bool allFound = true;
  bool failed = false;
  std::size_t question = 0;
  if (context.answers != nullptr) ++context.answers->scopes;
  for (const Step& step : steps) {
    const std::u16string argument = platform::fromUtf8(step.argument);
    const char16_t* text = argument.c_str();
    std::string result;
    if (step.command == "query" || step.command == "wildcard") {
      const bool fromCache = e.getDetectorMode(h) == kModeCached;
      const WendlowBool16 found = step.command == "query" ? e.isInstalled(h, &text) : e.isInstalledWildCard(h, &text);
      result = std::string(found != 0 ? "installed" : "not installed") +
               (fromCache ? " (cache)" : " (entries)");
      if (found == 0) allFound = false;
      if (ScopeAnswers* answers = context.answers) {
        if (answers->found.size() <= question) answers->found.resize(question + 1);
        if (found != 0) answers->found[question].push_back(answers->scope);
      }
      ++question;
    } else if (step.command == "save") {
      const std::int32_t saved = e.SaveDetectorCache(h);
      result = saved == 1 ? "saved" : "cannot open the cache file (" + std::to_string(saved) + ")";
      if (saved != 1) failed = true;
    } else {
      e.RefreshCache(h);
      result = "rescanned (mode " + std::to_string(e.getDetectorMode(h)) + ")";
    }
    addRow(platform::fromUtf8(step.command), argument, result);
  }
  return failed ? kExitError : allFound ? kExitSuccess : kExitNotInstalled;
}

bool sessionAcrossScopes(const HostOptions& options, std::string& error) {
  std::vector<Step> steps;
  if (!parseSteps(options, steps, error)) return false;
  for (const Step& step : steps) {
    if (step.command != "query" && step.command != "wildcard") {
      error = "--users answers query and wildcard only, not " + step.command;
      return false;
    }
  }
  if (options.cachePath || options.mode != 1) {
    error = "--users answers from each scope's registry: it takes no --cache or --mode";
    return false;
  }
  return true;
}

int answerAcrossScopes(const HostOptions& options, const ScopeAnswers& answers,
                       const std::vector<std::u16string>& leading, TextRows& rows) {
  std::vector<Step> steps;
  std::string error;
  parseSteps(options, steps, error);
  auto addRow = [&](std::u16string_view step, std::u16string_view argument, std::u16string_view result) {
    rows.addRow();
    for (const std::u16string& cell : leading) rows.addCell(cell);
    rows.addCell(step);
    rows.addCell(argument);
    rows.addCell(result);
  };
  addRow(u"start", u"", u"scan (mode 1) of " + platform::fromUtf8(std::to_string(answers.scopes)) +
                           (answers.scopes == 1 ? u" scope" : u" scopes"));
  bool allFound = true;
  for (std::size_t i = 0; i < steps.size(); ++i) {
    const std::vector<std::u16string> none;
    const std::vector<std::u16string>& found = i < answers.found.size() ? answers.found[i] : none;
    std::u16string result = found.empty() ? u"not installed" : u"installed (";
    for (std::size_t f = 0; f < found.size(); ++f) result += (f ? u", " : u"") + found[f];
    if (!found.empty()) result += u")";
    if (found.empty()) allFound = false;
    addRow(platform::fromUtf8(steps[i].command), platform::fromUtf8(steps[i].argument), result);
  }
  return allFound ? kExitSuccess : kExitNotInstalled;
}
