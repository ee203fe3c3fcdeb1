#pragma once
// vukhost's commands. Each answers the program's exit status.
#include "command_line.h"

enum ExitStatus {
  exitSuccess = 0,    // the module answered 1 (info: the file is accepted)
  exitRefused = 1,    // the module answered 0 (info: the file is refused)
  exitUsage = 2,      // the command line is wrong
  exitHostError = 3,  // the host could not run it: module, input or output problem
};

int importCommand(const CommandLine& line);
int exportCommand(const CommandLine& line);
int infoCommand(const CommandLine& line);
int renderCommand(const CommandLine& line);
int demoCommand(const CommandLine& line);

struct ImportReport;
enum class CaptureDetail;

// Imports `file` through the importer module into `report`, with the reason of a refusal filled
// in. Answers exitSuccess, exitRefused, or exitHostError after reporting why the host could not
// run the module.
int importForCommand(const CommandLine& line, const std::string& file, CaptureDetail detail, ImportReport& report);

// Prints "vukhost: <text>" on stderr as one line.
void reportError(const std::string& text);
