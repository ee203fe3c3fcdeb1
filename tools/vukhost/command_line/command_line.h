#pragma once
// What the user asked vukhost to do, read from its arguments. A usage error still says whether
// --json was asked for, so that the error goes out as JSON too.
#include <string>
#include <vector>

enum class HostCommand { None, Help, Version, Import, Export, Info, Render, Demo };

struct CommandLine {
  HostCommand command = HostCommand::None;
  std::vector<std::string> files;  // the command's file operands, in order
  bool json = false;               // print the result or the failure as one JSON document
  std::string objPath;             // import: also write the imported mesh as an OBJ file
  int size = 0;                    // render: the side of each panel in pixels; 0 for the default
  std::string pluginDir;           // where the modules are; empty: beside vukhost
  std::string error;               // a usage error, one line; empty when the line is good
};

CommandLine parseCommandLine(const std::vector<std::string>& arguments);

// The usage text printed for --help, with the table of exit statuses.
const char* usageText();
// The line printed for --version.
const char* versionText();
// The command's word ("import", ...), or null for none; --help and --version give "help" and "version".
const char* commandWord(HostCommand command);
