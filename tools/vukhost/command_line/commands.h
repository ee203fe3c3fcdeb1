#pragma once
// vukhost's commands. Each writes its text to `text` (stdout, or nowhere under --json) and
// answers how it ended; main reports the failure and prints the JSON document.
#include <cstdio>

#include "command_line.h"
#include "command_result.h"

CommandResult importCommand(const CommandLine& line, std::FILE* text);
CommandResult exportCommand(const CommandLine& line, std::FILE* text);
CommandResult infoCommand(const CommandLine& line, std::FILE* text);
CommandResult renderCommand(const CommandLine& line, std::FILE* text);
CommandResult demoCommand(const CommandLine& line, std::FILE* text);

struct ImportReport;
enum class CaptureDetail;

// Imports `file` through the importer module into `report`. False when the module did not run
// (an input that cannot be read, a module that cannot be run); true when it did, with `result`
// failed when it answered 0 and `report.refusal` holding the module's reason.
bool importForCommand(const CommandLine& line, const std::string& file, CaptureDetail detail, ImportReport& report,
                      CommandResult& result);
