#include "file_transaction.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <string>

#include "record_arrays.h"
#include "file_size_limit.h"
#include "staged_files.h"
#include "temp_folder.h"
#include "vuk_file.h"

namespace {

using vuktest::TempFolder;

using vuktest::get;
using vuktest::put;
using vuktest::stageAll;

int modeOf(const std::string& path) {
  struct stat status {};
  ::stat(path.c_str(), &status);
  return static_cast<int>(status.st_mode & 07777);
}

// Root passes every permission check, so the folder tests drop to an ordinary user meanwhile.
struct OrdinaryUser {
  const bool wasRoot = ::geteuid() == 0;
  OrdinaryUser() {
    if (wasRoot && ::seteuid(65534) != 0) ADD_FAILURE() << "cannot leave root";
  }
  ~OrdinaryUser() {
    if (wasRoot && ::seteuid(0) != 0) std::abort();
  }
};

}  // namespace

TEST(FileTransaction, CommitReplacesEveryTargetKeepingModesAndFollowingLinks) {
  TempFolder folder;
  put(folder.file("a.tif"), "old a");
  ::chmod(folder.file("a.tif").c_str(), 0600);
  put(folder.file("real.vuk"), "old vuk");
  std::filesystem::create_symlink("real.vuk", folder.file("link.vuk"));
  const std::string longLeaf(251, 'n');  // with ".vuk", the longest name a folder allows

  vuk::FileTransaction transaction;
  ASSERT_TRUE(stageAll(transaction, {folder.file("a.tif"), folder.file("b.tif"), folder.file("link.vuk"),
                                     folder.file(longLeaf + ".vuk")}, "new"));
  EXPECT_EQ(get(folder.file("a.tif")), "old a");  // nothing is replaced before commit
  ASSERT_TRUE(transaction.commit()) << transaction.failure();

  EXPECT_EQ(get(folder.file("a.tif")), "new for a.tif");
  EXPECT_EQ(modeOf(folder.file("a.tif")), 0600);
  EXPECT_EQ(get(folder.file("b.tif")), "new for b.tif");
  EXPECT_TRUE(std::filesystem::is_symlink(folder.file("link.vuk")));
  EXPECT_EQ(get(folder.file("real.vuk")), "new for link.vuk");
  EXPECT_EQ(get(folder.file(longLeaf + ".vuk")), "new for " + longLeaf + ".vuk");
  EXPECT_EQ(folder.names().size(), 5u);  // no temporary or backup left
}

TEST(FileTransaction, FailureLeavesEveryTargetAsItWasAndNoTemporary) {
  TempFolder folder;
  put(folder.file("a.tif"), "old a");
  put(folder.file("b.tif"), "old b");

  {  // a target that cannot be replaced: a folder stands there
    std::filesystem::create_directory(folder.file("c.vuk"));
    vuk::FileTransaction transaction;
    ASSERT_TRUE(stageAll(transaction, {folder.file("a.tif"), folder.file("b.tif"), folder.file("c.vuk")}, "new"));
    EXPECT_FALSE(transaction.commit());
    EXPECT_NE(transaction.failure().find("c.vuk"), std::string::npos);
    std::filesystem::remove(folder.file("c.vuk"));
  }
  {  // abandoned before commit, as when a later file could not be written
    vuk::FileTransaction transaction;
    ASSERT_TRUE(stageAll(transaction, {folder.file("a.tif"), folder.file("b.tif")}, "new"));
  }
  EXPECT_EQ(get(folder.file("a.tif")), "old a");
  EXPECT_EQ(get(folder.file("b.tif")), "old b");
  EXPECT_EQ(folder.names().size(), 2u);
}

TEST(FileTransaction, ReadOnlyFolderRefusesTheFirstTemporary) {
  TempFolder folder;
  put(folder.file("a.tif"), "old a");
  ::chmod(folder.path().c_str(), 0555);
  {
    const OrdinaryUser user;
    vuk::FileTransaction transaction;
    EXPECT_FALSE(transaction.stage(folder.file("a.tif")));
    EXPECT_NE(transaction.failure().find("cannot create"), std::string::npos);
  }
  ::chmod(folder.path().c_str(), 0755);
  EXPECT_EQ(get(folder.file("a.tif")), "old a");
  EXPECT_EQ(folder.names().size(), 1u);
}

TEST(FileTransaction, RenameFailingAfterAnEarlierOnePutsTheEarlierFileBack) {
  TempFolder folder;
  const std::string first = folder.file("maps"), second = folder.file("mesh");
  std::filesystem::create_directory(first);
  std::filesystem::create_directory(second);
  put(first + "/a.tif", "old a");
  put(second + "/b.vuk", "old b");
  if (::geteuid() == 0) {  // the folders must be the ordinary user's own
    for (const std::string& path : {first, first + "/a.tif", second, second + "/b.vuk"})
      ASSERT_EQ(::chown(path.c_str(), 65534, 65534), 0);
  }
  {
    const OrdinaryUser user;
    vuk::FileTransaction transaction;
    ASSERT_TRUE(stageAll(transaction, {first + "/a.tif", second + "/b.vuk"}, "new"));
    // The second folder turns read-only between staging and commit: a.tif is renamed first,
    // then b.vuk cannot be, and a.tif must get its old contents back.
    ::chmod(second.c_str(), 0555);
    EXPECT_FALSE(transaction.commit());
    EXPECT_NE(transaction.failure().find("b.vuk"), std::string::npos) << transaction.failure();
    ::chmod(second.c_str(), 0755);
  }
  EXPECT_EQ(get(first + "/a.tif"), "old a");
  EXPECT_EQ(get(second + "/b.vuk"), "old b");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(first), {}), 1);
}

TEST(FileTransaction, TemporariesOfAKilledWriteNeverBlockTheNextOne) {
  TempFolder folder;
  put(folder.file("a.vuk"), "old a");
  const pid_t child = ::fork();
  if (child == 0) {  // stages, writes half a file and dies before committing
    vuk::FileTransaction transaction;
    const std::optional<std::string> temporary = transaction.stage(folder.file("a.vuk"));
    if (temporary) put(*temporary, "half");
    ::kill(::getpid(), SIGKILL);
  }
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  ASSERT_EQ(folder.names().size(), 2u);  // the dead write's temporary stayed
  // Stale names of every kind: files, a dangling link, a folder.
  for (int i = 0; i < 50; ++i) put(vuk::temporaryNameIn(folder.path().string(), i), "stale");
  std::filesystem::create_symlink("nowhere", vuk::temporaryNameIn(folder.path().string(), 50));
  std::filesystem::create_directory(vuk::temporaryNameIn(folder.path().string(), 51));

  vuk::FileTransaction transaction;
  ASSERT_TRUE(stageAll(transaction, {folder.file("a.vuk")}, "new"));
  ASSERT_TRUE(transaction.commit());
  EXPECT_EQ(get(folder.file("a.vuk")), "new for a.vuk");
  EXPECT_EQ(folder.names().size(), 2u + 52u);
}

TEST(FileTransaction, FullFileSystemFailsTheWriteAndKeepsTheOldFile) {
  TempFolder folder;
  const std::string path = folder.file("big.vuk");
  put(path, "old file");
  VukMesh mesh;
  mesh.faceChunkTag = 20001;
  mesh.objectName = vuktest::copyText(std::string(200000, 'x'));
  // The file size limit of the process stands in for a full disk: writes past it fail.
  {
    const vuktest::FileSizeLimit full(65536);
    EXPECT_EQ(mesh.Write(path.c_str()), 0);
  }
  EXPECT_EQ(get(path), "old file");
  EXPECT_EQ(folder.names().size(), 1u);
}
