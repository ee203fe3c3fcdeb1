// A failure of each kind through vukhost's commands and the built modules, in this process so that
// the host's log can be read: the module's reason reaches the log once, as an error entry that
// asks for no dialog, no message box appears, and the command's reason is the logged one word for
// word.
#include <gtest/gtest.h>
#include <log.h>
#include <standin/scene.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <string>

#include "commands.h"
#include "file_size_limit.h"
#include "temp_folder.h"
#include "wide_text.h"

namespace {

class ModuleReasons : public ::testing::Test {
 protected:
  void SetUp() override {
    std::ofstream(folder.path() / "box.obj") << "v 0 0 0\nv 1 0 0\nv 1 1 0\nv 0 1 0\nf 1 2 3 4\n";
  }
  void TearDown() override { standin::resetScene(); }

  CommandResult run(HostCommand command, std::vector<std::string> files) const {
    CommandLine line;
    line.command = command;
    line.files = std::move(files);
    line.pluginDir = VUK_PLUGIN_DIR;
    return command == HostCommand::Export ? exportCommand(line, textOutput(true)) : importCommand(line, textOutput(true));
  }

  // The command failed with `status`, the module logged exactly one error, and the command's
  // reason is `before` (the file's name, unless the entry names it), then that entry as it stands.
  static void expectLoggedOnce(const CommandResult& result, ExitStatus status, const std::string& before) {
    EXPECT_EQ(result.status, status) << result.reason;
    const auto& log = standin::logEntries();
    ASSERT_EQ(log.size(), 1u) << result.reason;
    EXPECT_EQ(log[0].type, static_cast<DWORD>(SYSLOG_ERROR));
    EXPECT_EQ(log[0].dialogue, NO_DIALOG);
    EXPECT_TRUE(standin::messageBoxLog().empty());
    EXPECT_EQ(result.reason, before + toUtf8(log[0].text));
  }

  vuktest::TempFolder folder;
};

TEST_F(ModuleReasons, UnreadableMap) {
  std::ofstream(folder.path() / "skin.mtl") << "newmtl skin\nmap_Kd skin.png\n";
  std::ofstream(folder.path() / "skin.png") << "\x89PNG\r\n\x1A\n and nothing after the signature";
  std::ofstream(folder.path() / "skinned.obj") << "mtllib skin.mtl\nusemtl skin\nv 0 0 0\nv 1 0 0\nv 0 1 0\nf 1 2 3\n";
  const std::string vuk = folder.file("skinned.vuk");
  const CommandResult result = run(HostCommand::Export, {folder.file("skinned.obj"), vuk});
  expectLoggedOnce(result, exitRefused, vuk + ": ");
  EXPECT_NE(result.reason.find("the diffuse map " + folder.file("skin.png") + " cannot be re-saved as "),
            std::string::npos)
      << result.reason;
}

TEST_F(ModuleReasons, FullDisk) {
  const std::string vuk = folder.file("box.vuk");
  CommandResult result;
  {
    const vuktest::FileSizeLimit full(40);
    result = run(HostCommand::Export, {folder.file("box.obj"), vuk});
  }
  expectLoggedOnce(result, exitUnwritable, "");  // the reason names the file itself
  EXPECT_EQ(result.reason.rfind("cannot write " + vuk + ": a write failed: File too large", 0), 0u)
      << result.reason;
}

TEST_F(ModuleReasons, UnwritableFolder) {
  const std::string locked = folder.file("locked");
  ::mkdir(locked.c_str(), 0555);
  const std::string vuk = locked + "/box.vuk";
  const bool root = ::geteuid() == 0;
  if (root && ::seteuid(65534) != 0) FAIL() << "cannot leave root";
  const CommandResult result = run(HostCommand::Export, {folder.file("box.obj"), vuk});
  if (root && ::seteuid(0) != 0) std::abort();
  expectLoggedOnce(result, exitUnwritable, "");
  EXPECT_EQ(result.reason.rfind("cannot create a file beside " + vuk + ": Permission denied", 0), 0u)
      << result.reason;
}

TEST_F(ModuleReasons, RefusedFile) {
  const std::string vuk = folder.file("short.vuk");
  std::ofstream(vuk, std::ios::binary) << std::string("Vukb", 4) << std::string(10, '\0');
  const CommandResult result = run(HostCommand::Import, {vuk});
  // The importer names the file it was handed before its reason, so its entry is vukhost's line.
  expectLoggedOnce(result, exitRefused, "");
  EXPECT_EQ(result.reason, vuk + ": file header: the file holds 14 bytes, fewer than 32");
}

}  // namespace
