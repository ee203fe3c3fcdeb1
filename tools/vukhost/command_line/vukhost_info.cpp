// vukhost info FILE.vuk
#include <cstdio>

#include "chunk_report.h"
#include "commands.h"
#include "input_file.h"

CommandResult infoCommand(const CommandLine& line, std::FILE* text) {
  const std::string& file = line.files.front();
  CommandResult result;
  const std::string unreadable = unreadableInput(file);
  if (!unreadable.empty()) return result.fail(exitUnreadable, unreadable);
  const ChunkReport report = chunkReport(file);
  printChunkReport(report, text);
  result.fields = chunkReportJson(report);
  if (!report.accepted) result.fail(exitRefused, file + ": " + report.verdict);
  return result;
}
