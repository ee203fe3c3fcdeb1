// vukhost: plays the host for the Vuk plug-in modules on the command line.
#include <cstdio>
#include <exception>
#include <string>
#include <vector>

#include "command_line.h"
#include "commands.h"
#include "wide_text.h"

namespace {

CommandResult dispatch(const CommandLine& line, std::FILE* text) {
  switch (line.command) {
    case HostCommand::Import: return importCommand(line, text);
    case HostCommand::Export: return exportCommand(line, text);
    case HostCommand::Info: return infoCommand(line, text);
    case HostCommand::Render: return renderCommand(line, text);
    case HostCommand::Demo: return demoCommand(line, text);
    case HostCommand::Help: std::fputs(usageText(), text); return CommandResult();
    case HostCommand::Version: {
      std::fprintf(text, "%s\n", versionText());
      CommandResult result;
      result.fields["version"] = versionText();
      return result;
    }
    case HostCommand::None: break;
  }
  return CommandResult().fail(exitUsage, "no command given");
}

CommandResult run(const CommandLine& line, std::FILE* text) {
  try {
    return dispatch(line, text);
  } catch (const std::exception& e) {
    return CommandResult().fail(exitNoModule, std::string("stopped: ") + e.what());
  } catch (...) {
    return CommandResult().fail(exitNoModule, "stopped by an unexpected error");
  }
}

}  // namespace

int main(int argc, char** argv) {
  useUserLocale();
  const CommandLine line = parseCommandLine(std::vector<std::string>(argv + 1, argv + argc));
  if (!line.error.empty()) {
    return finishCommand(CommandResult().fail(exitUsage, line.error + " (vukhost --help shows the usage)"),
                         commandWord(line.command), line.json);
  }
  return finishCommand(run(line, textOutput(line.json)), commandWord(line.command), line.json);
}
