#pragma once
// How every command ends: one exit status from one table, the reason of a failure, warnings, and
// the result's fields for --json.
#include <nlohmann/json.hpp>

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

class JsonWriter;

// The exit statuses of every command, whether vukhost or a module finds the failure out.
enum ExitStatus {
  exitSuccess = 0,     // done (info: the importer accepts the file)
  exitRefused = 1,     // the module refused its input or failed at its work (info: the importer would refuse the file)
  exitUsage = 2,       // the command line is wrong
  exitUnreadable = 3,  // an input cannot be read: missing, not a file, not a readable OBJ
  exitUnwritable = 4,  // an output cannot be written: its folder missing, its name a folder, disk full
  exitNoModule = 5,    // a module cannot be run (missing, not a plug-in) or answered 0 without a reason; or vukhost itself stopped
};

// The word --json gives for a status: "refused", "usage", "input", "output", "module"; null for
// success.
const char* failureKind(ExitStatus status);

struct CommandResult {
  ExitStatus status = exitSuccess;
  std::string reason;                 // one line, why the command failed; empty on success
  std::vector<std::string> warnings;  // one line each, what was done but not as asked
  nlohmann::json fields = nlohmann::json::object();  // the command's own keys for --json
  // Keys too big to hold as a tree (the import's mesh arrays), written after `fields`.
  std::function<void(JsonWriter&)> streamedFields;

  // Sets the status and reason; answers *this, so that a command can `return result.fail(...)`.
  CommandResult& fail(ExitStatus failure, std::string why);
  bool failed() const { return status != exitSuccess; }
};

// Ends a command: each warning and the failure as one "vukhost: " line on stderr, and with
// `json` the one document on stdout: "command", "status", "failure" ({"kind", "reason"} or null),
// "warnings", then the command's keys. Answers the exit status.
int finishCommand(const CommandResult& result, const char* command, bool json);

// Where a command's text goes: stdout, or nowhere when the result goes out as JSON.
std::FILE* textOutput(bool json);
