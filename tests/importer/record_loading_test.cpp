#include "record_loading.h"

#include <gtest/gtest.h>

#include "record_check.h"
#include "record_fixtures.h"
#include "temp_folder.h"

namespace {

using fixtures::ChunkFile;

class RecordLoading : public ::testing::Test {
 protected:
  std::string path(const std::string& name) const { return folder_.file(name); }
  vuktest::TempFolder folder_;
};

TEST_F(RecordLoading, WrittenRecordComesBackWithMatchingCounts) {
  VukMesh written;
  fixtures::unitQuad(written);
  fixtures::setUvs(written, {0, 0, 1, 0, 1, 1, 0, 1});
  written.vertexColors = fixtures::copyArray<std::uint32_t>({1, 2, 3, 4});
  written.polygroups = fixtures::copyArray<std::int16_t>({7});
  written.faceCreaseFlags = fixtures::copyArray<std::uint8_t>({0xFF});
  ASSERT_EQ(written.Write(path("quad.vuk").c_str()), 1);

  VukMesh record;
  RecordArrayCounts counts;
  ASSERT_TRUE(loadRecord(path("quad.vuk").c_str(), record, counts));
  EXPECT_EQ(record.vertexCount, 4);
  EXPECT_EQ(record.faceCount, 1);
  EXPECT_EQ(counts.vertices, 12);
  EXPECT_EQ(counts.faces, 4);
  EXPECT_EQ(counts.uvs, 8);
  EXPECT_EQ(counts.vertexColors, 4);
  EXPECT_EQ(counts.polygroups, 1);
  EXPECT_EQ(counts.faceCreaseFlags, 1);
  EXPECT_TRUE(vuk::checkArrayLengths(record, counts, nullptr));
}

TEST_F(RecordLoading, CountsComeFromTheChunksNotFromTheRecord) {
  ChunkFile()
      .array<float>(10001, 1, {0, 0, 0})
      .array<std::uint32_t>(35001, 3, {1, 2, 3})
      .save(path("colours.vuk"));
  VukMesh record;
  RecordArrayCounts counts;
  ASSERT_TRUE(loadRecord(path("colours.vuk").c_str(), record, counts));
  EXPECT_EQ(record.vertexCount, 1);
  EXPECT_EQ(counts.vertexColors, 3);
  EXPECT_FALSE(vuk::checkArrayLengths(record, counts, nullptr));
}

TEST_F(RecordLoading, EmptyChunkLeavesTheEarlierArrayAndItsCount) {
  ChunkFile()
      .array<float>(10001, 1, {0, 0, 0})
      .array<std::int32_t>(20003, 2, {0, 0, 0, 0, 0, 0})
      .array<std::int32_t>(20001, 0, {})
      .save(path("faces.vuk"));
  VukMesh record;
  RecordArrayCounts counts;
  ASSERT_TRUE(loadRecord(path("faces.vuk").c_str(), record, counts));
  EXPECT_EQ(record.faceCount, 0);
  EXPECT_NE(record.faces, nullptr);
  EXPECT_EQ(counts.faces, 6);
  EXPECT_FALSE(vuk::checkArrayLengths(record, counts, nullptr));
}

TEST_F(RecordLoading, UnreadableFilesAnswerFalse) {
  VukMesh record;
  RecordArrayCounts counts;
  EXPECT_FALSE(loadRecord(path("missing.vuk").c_str(), record, counts));
  ChunkFile().array<float>(10001, 1, {0, 0, 0}).save(path("no_end.vuk"), false);
  EXPECT_FALSE(loadRecord(path("no_end.vuk").c_str(), record, counts));
  std::ofstream(path("empty.vuk"), std::ios::binary).flush();
  EXPECT_FALSE(loadRecord(path("empty.vuk").c_str(), record, counts));
  ChunkFile().array<float>(10001, 1000, {0, 0, 0}).save(path("short.vuk"));
  EXPECT_FALSE(loadRecord(path("short.vuk").c_str(), record, counts));
}

}  // namespace
