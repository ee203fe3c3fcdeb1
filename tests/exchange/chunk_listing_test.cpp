#include <gtest/gtest.h>

#include <set>

#include "chunk_listing.h"
#include "chunk_tags.h"
#include "vuk_file.h"
#include "vuk_test_files.h"

namespace {

using vuktest::ByteBuilder;
using vuktest::Bytes;

TEST(ChunkTags, TableIsOrderedAndItsElementSizesFitTheRecord) {
  std::set<std::int32_t> tags;
  std::int32_t previous = -1;
  for (const vuk::ChunkTag* entry = vuk::chunkTagsBegin(); entry != vuk::chunkTagsEnd(); ++entry) {
    EXPECT_GT(entry->tag, previous);
    previous = entry->tag;
    tags.insert(entry->tag);
  }
  EXPECT_EQ(tags.size(), 19u);
  EXPECT_EQ(vuk::findChunkTag(10001).elementSize, 3 * sizeof(float));
  EXPECT_EQ(vuk::findChunkTag(20001).elementSize, 4 * sizeof(std::int32_t));
  EXPECT_EQ(vuk::findChunkTag(20003).elementSize, 3 * sizeof(std::int32_t));
  EXPECT_EQ(vuk::findChunkTag(25001).elementSize, 8 * sizeof(float));
  EXPECT_EQ(vuk::findChunkTag(25002).elementSize, 6 * sizeof(float));
  EXPECT_EQ(vuk::findChunkTag(30002).elementSize, sizeof(std::uint16_t));
  EXPECT_EQ(vuk::findChunkTag(40001).elementSize, sizeof(std::int16_t));
  EXPECT_EQ(vuk::findChunkTag(10002).kind, vuk::ChunkKind::Skipped);
  EXPECT_EQ(vuk::findChunkTag(-1).kind, vuk::ChunkKind::Unknown);
  EXPECT_STREQ(vuk::findChunkTag(12345).name, "unknown");
}

TEST(ChunkListing, ListsEveryChunkOfASoundFile) {
  const Bytes file = ByteBuilder()
                         .fileHeader()
                         .textChunk(1, "Head")
                         .chunk(10001, 28, 1).zeros(12)
                         .chunk(30001, 17, 1).zeros(1)
                         .endChunk()
                         .bytes();
  std::string verdict = "stale";
  const auto chunks = vuk::listChunks(file.data(), file.size(), &verdict);
  EXPECT_EQ(verdict, "");
  ASSERT_EQ(chunks.size(), 4u);
  EXPECT_EQ(chunks[0].offset, 32);
  EXPECT_STREQ(chunks[0].name, "objectName");
  EXPECT_EQ(chunks[1].offset, 56);
  EXPECT_EQ(chunks[1].count, 1);
  EXPECT_EQ(chunks[2].offset, 84);
  EXPECT_EQ(chunks[2].size, 17);
  EXPECT_EQ(chunks[3].offset, 101);
  EXPECT_EQ(chunks[3].tag, 0);
}

TEST(ChunkListing, StopsAtTheRefusedChunkAndSaysWhy) {
  Bytes file = ByteBuilder().fileHeader().chunk(777, 16, 0).chunk(40002, 16, 5).endChunk().bytes();
  std::string verdict;
  auto chunks = vuk::listChunks(file.data(), file.size(), &verdict);
  ASSERT_EQ(chunks.size(), 2u);
  EXPECT_EQ(chunks[1].tag, 40002);
  EXPECT_EQ(verdict, "chunk 40002 at offset 48: size 16 holds 0 payload bytes, its count of 5 needs 5");

  file.resize(file.size() - 4);
  vuk::listChunks(file.data(), file.size(), &verdict);
  file = ByteBuilder().fileHeader().chunk(777, 16, 0).zeros(5).bytes();
  chunks = vuk::listChunks(file.data(), file.size(), &verdict);
  EXPECT_EQ(chunks.size(), 1u);
  EXPECT_EQ(verdict, "offset 48: 5 bytes left, too few for a chunk header");
  file.resize(48);
  vuk::listChunks(file.data(), file.size(), &verdict);
  EXPECT_EQ(verdict, "offset 48: no end chunk");
  file = ByteBuilder().fileHeader("Vuka").bytes();
  EXPECT_TRUE(vuk::listChunks(file.data(), file.size(), &verdict).empty());
  EXPECT_EQ(verdict, "file header: the file does not begin with the magic Vukb");
  file.resize(10);
  vuk::listChunks(file.data(), file.size(), &verdict);
  EXPECT_EQ(verdict, "file header: the file holds 10 bytes, fewer than 32");
  EXPECT_TRUE(vuk::listChunks("/nonexistent/x.vuk", &verdict).empty());
  EXPECT_EQ(verdict, "cannot open /nonexistent/x.vuk");
}

// The fuzzer's seed files: valid_* read whole, broken_* are refused, both without harm.
TEST(ChunkListing, SeedCorpusFilesReadAsTheirNamesSay) {
  const std::filesystem::path folder = std::filesystem::path(VUK_SOURCE_DIR) / "fuzz/corpus/reader";
  int valid = 0;
  int broken = 0;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    const std::string name = entry.path().filename().string();
    const std::string path = entry.path().string();
    VukMesh mesh;
    std::string verdict;
    const int result = vuk::readVukFile(mesh, path.c_str(), &verdict);
    vuk::listChunks(path.c_str(), &verdict);
    if (name.rfind("valid_", 0) == 0) {
      EXPECT_EQ(result, 1) << name << ": " << verdict;
      EXPECT_EQ(verdict, "") << name;
      ++valid;
    } else if (name.rfind("broken_", 0) == 0) {
      EXPECT_EQ(result, 0) << name;
      EXPECT_NE(verdict, "") << name;
      ++broken;
    }
  }
  EXPECT_GE(valid, 2);
  EXPECT_GE(broken, 4);
}

}  // namespace
