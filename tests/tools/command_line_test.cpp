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
      {{"info", "a.vuk", "--json"}, "--json and --obj go with import only"},
      {{"export", "a.obj", "b.vuk", "--obj", "c.obj"}, "--json and --obj go with import only"},
  };
  for (const auto& [arguments, error] : cases) {
    const CommandLine line = parse(arguments);
    EXPECT_EQ(line.error, error);
    EXPECT_EQ(line.command, HostCommand::None);
  }
}

}  // namespace
