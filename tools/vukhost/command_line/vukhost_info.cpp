// vukhost info FILE.vuk
#include <cstdio>

#include "chunk_report.h"
#include "commands.h"

int infoCommand(const CommandLine& line) {
  const bool accepted = printChunkListing(line.files.front(), stdout);
  return accepted ? exitSuccess : exitRefused;
}
