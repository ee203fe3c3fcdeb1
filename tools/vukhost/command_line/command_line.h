#pragma once
// What the user asked vukhost to do, read from its arguments.
#include <string>
#include <vector>

enum class HostCommand { None, Help, Import, Export, Info, Render, Demo };

struct CommandLine {
  HostCommand command = HostCommand::None;
  std::vector<std::string> files;  // the command's file operands, in order
  bool json = false;               // import: print the report as one JSON document
  std::string objPath;             // import: also write the imported mesh as an OBJ file
  int size = 0;                    // render: the side of each panel in pixels; 0 for the default
  std::string pluginDir;           // where the modules are; empty: beside vukhost
  std::string error;               // a usage error, one line; empty when the line is good
};

CommandLine parseCommandLine(const std::vector<std::string>& arguments);

// The usage text printed for --help.
const char* usageText();
