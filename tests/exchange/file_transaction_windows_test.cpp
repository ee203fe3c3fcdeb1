// The file transaction on Windows: replacing with write-through, and targets that cannot be
// replaced refused before any is touched, with the system's own words for why.
#include "file_transaction.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "staged_files.h"
#include "temp_folder.h"

namespace {

using vuktest::TempFolder;

using vuktest::get;
using vuktest::put;
using vuktest::stageAll;

// Another program holding a file open, sharing reading only (or, when it lets others delete the
// file too, sharing everything): the file cannot be replaced.
class HeldOpen {
 public:
  explicit HeldOpen(const std::string& path, DWORD sharing = FILE_SHARE_READ)
      : handle_(CreateFileA(path.c_str(), GENERIC_READ, sharing, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr)) {}
  ~HeldOpen() { CloseHandle(handle_); }
  HeldOpen(const HeldOpen&) = delete;
  HeldOpen& operator=(const HeldOpen&) = delete;
  bool held() const { return handle_ != INVALID_HANDLE_VALUE; }

 private:
  HANDLE handle_;
};

}  // namespace

TEST(FileTransactionWindows, CommitReplacesOldAndNewTargetsLeavingNoTemporary) {
  TempFolder folder;
  put(folder.file("a.tif"), "old a");
  const std::string longLeaf(251, 'n');  // with ".vuk", the longest name a folder allows
  vuk::FileTransaction transaction;
  ASSERT_TRUE(stageAll(transaction, {folder.file("a.tif"), folder.file("b.tif"), folder.file(longLeaf + ".vuk")},
                       "new"));
  EXPECT_EQ(get(folder.file("a.tif")), "old a");
  ASSERT_TRUE(transaction.commit()) << transaction.failure();
  EXPECT_EQ(get(folder.file("a.tif")), "new for a.tif");
  EXPECT_EQ(get(folder.file("b.tif")), "new for b.tif");
  EXPECT_EQ(get(folder.file(longLeaf + ".vuk")), "new for " + longLeaf + ".vuk");
  EXPECT_EQ(folder.names().size(), 3u);
}

TEST(FileTransactionWindows, TargetHeldOpenOrReadOnlyIsRefusedBeforeAnyIsReplaced) {
  TempFolder folder;
  put(folder.file("a.tif"), "old a");
  put(folder.file("c.vuk"), "old c");
  {
    vuk::FileTransaction transaction;
    ASSERT_TRUE(stageAll(transaction, {folder.file("a.tif"), folder.file("c.vuk")}, "new"));
    const HeldOpen reader(folder.file("c.vuk"));
    ASSERT_TRUE(reader.held());
    EXPECT_FALSE(transaction.commit());
    EXPECT_NE(transaction.failure().find("c.vuk: it is open in another program: "), std::string::npos)
        << transaction.failure();
    EXPECT_NE(transaction.failure().find("(system error "), std::string::npos) << transaction.failure();
  }
  ASSERT_TRUE(SetFileAttributesA(folder.file("c.vuk").c_str(), FILE_ATTRIBUTE_READONLY));
  {
    vuk::FileTransaction transaction;
    ASSERT_TRUE(stageAll(transaction, {folder.file("a.tif"), folder.file("c.vuk")}, "new"));
    EXPECT_FALSE(transaction.commit());
    EXPECT_NE(transaction.failure().find("c.vuk: it is read-only"), std::string::npos) << transaction.failure();
  }
  SetFileAttributesA(folder.file("c.vuk").c_str(), FILE_ATTRIBUTE_NORMAL);
  EXPECT_EQ(get(folder.file("a.tif")), "old a");
  EXPECT_EQ(get(folder.file("c.vuk")), "old c");
  EXPECT_EQ(folder.names().size(), 2u);  // no temporary or backup left
}

TEST(FileTransactionWindows, FolderAsTargetFailsCleanly) {
  TempFolder folder;
  put(folder.file("a.tif"), "old a");
  std::filesystem::create_directory(folder.file("c.vuk"));
  vuk::FileTransaction transaction;
  ASSERT_TRUE(stageAll(transaction, {folder.file("a.tif"), folder.file("c.vuk")}, "new"));
  EXPECT_FALSE(transaction.commit());
  EXPECT_NE(transaction.failure().find("it is a folder"), std::string::npos) << transaction.failure();
  EXPECT_EQ(get(folder.file("a.tif")), "old a");
  EXPECT_EQ(folder.names().size(), 2u);
}

// A program that holds a target open but lets others delete it passes the check before the
// renames; the rename over it then fails, after the earlier target was replaced, which must get
// its old contents back.
TEST(FileTransactionWindows, RenameFailingAfterAnEarlierOnePutsTheEarlierFileBack) {
  TempFolder folder;
  put(folder.file("a.tif"), "old a");
  put(folder.file("c.vuk"), "old c");
  {
    vuk::FileTransaction transaction;
    ASSERT_TRUE(stageAll(transaction, {folder.file("a.tif"), folder.file("c.vuk")}, "new"));
    const HeldOpen reader(folder.file("c.vuk"), FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE);
    ASSERT_TRUE(reader.held());
    EXPECT_FALSE(transaction.commit());
    EXPECT_NE(transaction.failure().find("cannot replace " + folder.file("c.vuk") + ": "), std::string::npos)
        << transaction.failure();
  }
  EXPECT_EQ(get(folder.file("a.tif")), "old a");
  EXPECT_EQ(get(folder.file("c.vuk")), "old c");
  EXPECT_EQ(folder.names().size(), 2u);  // no temporary or backup left
}
