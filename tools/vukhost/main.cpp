// vukhost: plays the host for the Vuk plug-in modules on the command line.
#include <cstdio>
#include <exception>
#include <string>
#include <vector>

#include "command_line.h"
#include "commands.h"
#include "wide_text.h"

void reportError(const std::string& text) {
  std::string line = text;
  for (char& c : line) {
    if (c == '\n' || c == '\r') c = ' ';
  }
  std::fflush(stdout);
  std::fprintf(stderr, "vukhost: %s\n", line.c_str());
}

namespace {

int dispatch(const CommandLine& line) {
  switch (line.command) {
    case HostCommand::Import: return importCommand(line);
    case HostCommand::Export: return exportCommand(line);
    case HostCommand::Info: return infoCommand(line);
    case HostCommand::Render: return renderCommand(line);
    case HostCommand::Demo: return demoCommand(line);
    case HostCommand::Help: std::fputs(usageText(), stdout); return exitSuccess;
    case HostCommand::None: break;
  }
  return exitUsage;
}

}  // namespace

int main(int argc, char** argv) {
  useUserLocale();
  const CommandLine line = parseCommandLine(std::vector<std::string>(argv + 1, argv + argc));
  if (!line.error.empty()) {
    reportError(line.error + " (vukhost --help shows the usage)");
    return exitUsage;
  }
  try {
    return dispatch(line);
  } catch (const std::exception& e) {
    reportError(std::string("stopped: ") + e.what());
  } catch (...) {
    reportError("stopped by an unexpected error");
  }
  return exitHostError;
}
