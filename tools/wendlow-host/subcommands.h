// The host's subcommands: one table, one file per command (cmd_<name>.cpp).
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "host_options.h"
#include "text_rows.h"
#include "wendlow_library.h"

// The answers of query and wildcard across a machine's scopes (--users): each question is
// answered yes when any scope has it.
struct ScopeAnswers {
  std::u16string scope;                            // the scope being asked now, as named in the answers
  std::vector<std::vector<std::u16string>> found;  // per question, the scopes that have it
  std::size_t scopes = 0;                          // how many were asked
};

struct HostContext {
  const HostOptions& options;
  const WendlowExports& library;
  // The cells that lead each row: the machine's name as given when several are inspected,
  // then with --users the user (empty for the machine's own entries) and its identifier.
  const std::vector<std::u16string>& leading;
  TextRows& rows;  // a listing can run to megabytes: collected as cells, rendered once
  std::ostream& err;
  // With --users, query and wildcard answer into this instead of adding rows.
  ScopeAnswers* answers = nullptr;
};

struct Subcommand {
  const char* name;
  const char* argumentsHelp;  // e.g. "NAME"; empty when the command takes none
  const char* summary;
  // Runs on the machine the library sees now, appending its rows; the exit status for
  // this machine (kExitUsage for a command line that no machine can serve).
  int (*run)(const HostContext& context);
  // The rows' columns (without the leading Machine).
  const std::vector<std::u16string>& (*columns)();
  // The rows as text; `header` starts with "Machine" when several machines were inspected.
  std::string (*renderText)(const std::vector<std::u16string>& header, const TextRows& rows);
};

inline constexpr char16_t kMachineColumn[] = u"Machine";
inline constexpr char16_t kUserColumn[] = u"User";
inline constexpr char16_t kSidColumn[] = u"Sid";

const std::vector<Subcommand>& subcommands();
// Null when there is no such command.
const Subcommand* findSubcommand(const std::string& name);

// Commands.
int runList(const HostContext& context);
const std::vector<std::u16string>& listColumns();
// query, wildcard, save and refresh, in the order given on the command line.
int runSession(const HostContext& context);
const std::vector<std::u16string>& sessionColumns();
std::string renderSession(const std::vector<std::u16string>& header, const TextRows& rows);
// With --users: the steps a session across scopes can take; false with why not.
bool sessionAcrossScopes(const HostOptions& options, std::string& error);
// The rows answering each question across the scopes asked, led by `leading`; the status.
int answerAcrossScopes(const HostOptions& options, const ScopeAnswers& answers,
                       const std::vector<std::u16string>& leading, TextRows& rows);
