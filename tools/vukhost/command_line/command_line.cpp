#include "command_line.h"

#include <cstddef>

namespace {

struct CommandShape {
  const char* word;
  HostCommand command;
  std::size_t minFiles;
  std::size_t maxFiles;
  const char* operands;
};

const CommandShape commandShapes[] = {
    {"import", HostCommand::Import, 1, 1, "FILE.vuk"},
    {"export", HostCommand::Export, 2, 2, "IN.obj OUT.vuk"},
    {"info", HostCommand::Info, 1, 1, "FILE.vuk"},
    {"render", HostCommand::Render, 2, 2, "FILE.vuk OUT.png"},
    {"demo", HostCommand::Demo, 0, 1, "[DIR]"},
};

const CommandShape* findShape(const std::string& word) {
  for (const CommandShape& shape : commandShapes) {
    if (word == shape.word) return &shape;
  }
  return nullptr;
}

// A usage error keeps what was read so far: the command and whether --json was asked for.
CommandLine usageError(CommandLine line, std::string text) {
  line.error = std::move(text);
  return line;
}

bool asksForJson(const std::vector<std::string>& arguments) {
  for (const std::string& argument : arguments) {
    if (argument == "--") return false;
    if (argument == "--json") return true;
  }
  return false;
}

// Reads the value of an option that takes one ("--obj OUT.obj" or "--obj=OUT.obj").
bool takeValue(const std::vector<std::string>& arguments, std::size_t& index, const std::string& name,
               std::string& value, std::string& error) {
  const std::string& argument = arguments[index];
  if (argument.size() > name.size() && argument.compare(0, name.size() + 1, name + "=") == 0) {
    value = argument.substr(name.size() + 1);
  } else if (index + 1 < arguments.size()) {
    value = arguments[++index];
  } else {
    error = name + " needs a value";
    return false;
  }
  if (value.empty()) {
    error = name + " needs a value";
    return false;
  }
  return true;
}

// The panel side of `render`: a whole number of pixels within what a picture can sensibly hold.
bool takeSize(const std::vector<std::string>& arguments, std::size_t& index, int& size, std::string& error) {
  std::string value;
  if (!takeValue(arguments, index, "--size", value, error)) return false;
  const int smallest = 64, largest = 8192;
  int number = 0;
  for (char c : value) {
    if (c < '0' || c > '9' || number > largest) {
      number = -1;
      break;
    }
    number = 10 * number + (c - '0');
  }
  if (number < smallest || number > largest) {
    error = "--size takes a number of pixels from " + std::to_string(smallest) + " to " + std::to_string(largest);
    return false;
  }
  size = number;
  return true;
}

bool isOption(const std::string& argument, const char* name) {
  const std::string text(name);
  return argument == text || argument.compare(0, text.size() + 1, text + "=") == 0;
}

}  // namespace

CommandLine parseCommandLine(const std::vector<std::string>& arguments) {
  CommandLine line;
  line.json = asksForJson(arguments);
  const CommandShape* shape = nullptr;
  bool operandsOnly = false;
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    const std::string& argument = arguments[i];
    if (!operandsOnly && argument == "--") {
      operandsOnly = true;
    } else if (!operandsOnly && (argument == "--help" || argument == "-h")) {
      line.command = HostCommand::Help;
      return line;
    } else if (!operandsOnly && argument == "--version") {
      line.command = HostCommand::Version;
      return line;
    } else if (!operandsOnly && isOption(argument, "--plugins")) {
      if (!takeValue(arguments, i, "--plugins", line.pluginDir, line.error)) return usageError(line, line.error);
    } else if (!operandsOnly && isOption(argument, "--obj")) {
      if (!takeValue(arguments, i, "--obj", line.objPath, line.error)) return usageError(line, line.error);
    } else if (!operandsOnly && isOption(argument, "--size")) {
      if (!takeSize(arguments, i, line.size, line.error)) return usageError(line, line.error);
    } else if (!operandsOnly && argument == "--json") {
      line.json = true;
    } else if (!operandsOnly && argument.size() > 1 && argument[0] == '-') {
      return usageError(line, "unknown option " + argument);
    } else if (shape == nullptr) {
      shape = findShape(argument);
      if (shape == nullptr) return usageError(line, "unknown command " + argument);
      line.command = shape->command;
    } else {
      line.files.push_back(argument);
    }
  }
  if (shape == nullptr) return usageError(line, "no command given");
  if (line.files.size() < shape->minFiles || line.files.size() > shape->maxFiles) {
    return usageError(line, std::string(shape->word) + " takes " + shape->operands);
  }
  if (line.command != HostCommand::Import && !line.objPath.empty()) return usageError(line, "--obj goes with import only");
  if (line.command != HostCommand::Render && line.size != 0) return usageError(line, "--size goes with render only");
  return line;
}

const char* usageText() {
  return "usage: vukhost [--plugins DIR] [--json] COMMAND ...\n"
         "  vukhost import FILE.vuk [--obj OUT.obj]     import through the importer module\n"
         "  vukhost export IN.obj OUT.vuk               export an OBJ through the exporter module\n"
         "  vukhost info FILE.vuk                       list the file's chunks and say whether it reads\n"
         "  vukhost render FILE.vuk OUT.png [--size N]  import and draw the mesh and its UV layout\n"
         "  vukhost demo [DIR]                          export, list, import and draw a sample scene\n"
         "  vukhost --help | --version\n"
         "The modules are looked for beside vukhost unless --plugins DIR names their folder.\n"
         "--json prints one JSON document on stdout: the result, or the failure and its reason.\n"
         "A failure is one line on stderr starting with \"vukhost: \".\n"
         "Exit status, for every command, whether vukhost or a module finds it out:\n"
         "  0  done (info: the importer accepts the file)\n"
         "  1  the module refused its input or failed at its work (info: the importer would refuse the file)\n"
         "  2  the command line is wrong\n"
         "  3  an input cannot be read: missing, a folder, not a readable OBJ\n"
         "  4  an output cannot be written: its folder missing, its name a folder, disk full\n"
         "  5  a module cannot be run: missing or not a plug-in; or vukhost itself stopped\n";
}

const char* versionText() { return "vukhost 1.0 (Vuk bridge modules VukMax2018Exporter.dle and VukMax2018Importer.dli)"; }

const char* commandWord(HostCommand command) {
  switch (command) {
    case HostCommand::None: return nullptr;
    case HostCommand::Help: return "help";
    case HostCommand::Version: return "version";
    default: break;
  }
  for (const CommandShape& shape : commandShapes) {
    if (shape.command == command) return shape.word;
  }
  return nullptr;
}
