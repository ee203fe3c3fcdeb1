#include "command_line.h"

#include <gtest/gtest.h>

namespace {

CommandLine parse(std::vector<std::string> arguments) { return parseCommandLine(arguments); }

TEST(CommandLine, ReadsEachCommandWithItsOperandsAndOptions) {
  CommandLine line = parse({"import", "a.vuk", "--json", "--obj", "out.obj", "--plugins", "dir"});
  EXPECT_TRUE(line.error.empty()) << line.error;
  EXPECT_EQ(line.command, HostCommand::Import);
  EXPECT_EQ(line.files, std::vector<std::string>{"a.vuk"});
  EXPECT_TRUE(line.json);
  EXPECT_EQ(line.objPath, "out.obj");
  EXPECT_EQ(line.pluginDir, "dir");

  line = parse({"--plugins=p", "export", "in.obj", "out.vuk"});
  EXPECT_EQ(line.command, HostCommand::Export);
  EXPECT_EQ(line.files, (std::vector<std::string>{"in.obj", "out.vuk"}));
  EXPECT_EQ(line.pluginDir, "p");

  EXPECT_EQ(parse({"info", "f.vuk"}).command, HostCommand::Info);
  EXPECT_EQ(parse({"demo"}).command, HostCommand::Demo);
  EXPECT_EQ(parse({"demo", "folder"}).files, std::vector<std::string>{"folder"});
  EXPECT_EQ(parse({"import", "--obj=x.obj", "f.vuk"}).objPath, "x.obj");
  EXPECT_EQ(parse({"--help"}).command, HostCommand::Help);
  EXPECT_EQ(parse({"import", "-h"}).command, HostCommand::Help);
  EXPECT_EQ(parse({"--version"}).command, HostCommand::Version);
  for (const char* command : {"info", "export", "render", "demo"}) {
    std::vector<std::string> arguments{command, "--json", "a", "b"};
    if (std::string(command) == "info") arguments.pop_back();
    if (std::string(command) == "demo") arguments.pop_back();
    EXPECT_TRUE(parse(arguments).json) << command << " takes --json like every command";
  }
}

TEST(CommandLine, OperandsAfterDoubleDashMayLookLikeOptions) {
  const CommandLine line = parse({"import", "--", "--json"});
  EXPECT_TRUE(line.error.empty()) << line.error;
  EXPECT_EQ(line.files, std::vector<std::string>{"--json"});
  EXPECT_FALSE(line.json);
}

TEST(CommandLine, UsageErrorsSayWhatIsWrong) {
  const std::pair<std::vector<std::string>, std::string> cases[] = {
      {{}, "no command given"},
      {{"frobnicate"}, "unknown command frobnicate"},
      {{"import"}, "import takes FILE.vuk"},
      {{"import", "a.vuk", "b.vuk"}, "import takes FILE.vuk"},
      {{"export", "in.obj"}, "export takes IN.obj OUT.vuk"},
      {{"info"}, "info takes FILE.vuk"},
      {{"demo", "a", "b"}, "demo takes [DIR]"},
      {{"import", "a.vuk", "--obj"}, "--obj needs a value"},
      {{"import", "a.vuk", "--obj="}, "--obj needs a value"},
      {{"--plugins"}, "--plugins needs a value"},
      {{"import", "a.vuk", "--verbose"}, "unknown option --verbose"},
      {{"export", "a.obj", "b.vuk", "--obj", "c.obj"}, "--obj goes with import only"},
      {{"info", "a.vuk", "--size", "100"}, "--size goes with render only"},
  };
  for (const auto& [arguments, error] : cases) EXPECT_EQ(parse(arguments).error, error);
  EXPECT_TRUE(parse({"--json", "frobnicate"}).json) << "a usage error still goes out as JSON when asked";
}

}  // namespace
