#include <gtest/gtest.h>

#include <climits>
#include <utility>

#include "vuk_file.h"
#include "vuk_mesh.h"
#include "vuk_test_files.h"

namespace {

using vuktest::ByteBuilder;
using vuktest::Bytes;
using vuktest::TempFolder;

Bytes writeRecord(const VukMesh& mesh, const TempFolder& folder) {
  const std::string path = folder.file("out.vuk");
  EXPECT_EQ(mesh.Write(path.c_str()), 1);
  return vuktest::readFile(path);
}

Bytes nameOnlyFile(const std::string& name) {
  return ByteBuilder()
      .fileHeader()
      .textChunk(1, name)
      .chunk(5001, 20, 1)
      .u32(0)
      .chunk(10001, 16, 0)
      .chunk(20001, 16, 0)
      .endChunk()
      .bytes();
}

TEST(VukWriter, NameOnlyRecordIsWrittenByteForByte) {
  TempFolder folder;
  for (const std::string name : {"Arm", "Head", "", "Torso"}) {
    VukMesh mesh;
    mesh.objectName = vuktest::copyText(name);
    mesh.faceChunkTag = 20001;
    EXPECT_EQ(writeRecord(mesh, folder), nameOnlyFile(name)) << "name \"" << name << "\"";
  }
}

TEST(VukWriter, TextChunksAreFilledToFourBytes) {
  TempFolder folder;
  VukMesh mesh;
  mesh.faceChunkTag = 20001;
  mesh.objectName = vuktest::copyText("Arm");
  Bytes three = writeRecord(mesh, folder);
  // Header at 32: tag 1, size 20, count 1, extra 0, then "Arm" and its zero, no fill.
  EXPECT_EQ(Bytes(three.begin() + 32, three.begin() + 52),
            ByteBuilder().chunk(1, 20, 1).raw("Arm").zeros(1).bytes());
  mesh.Clear();
  mesh.faceChunkTag = 20001;
  mesh.objectName = vuktest::copyText("Head");
  Bytes four = writeRecord(mesh, folder);
  EXPECT_EQ(Bytes(four.begin() + 32, four.begin() + 56),
            ByteBuilder().chunk(1, 24, 1).raw("Head").zeros(4).bytes());
}

// Walks the written file's chunk headers: (tag, size, count, extra) each.
struct Seen {
  std::int32_t tag, size, count;
  std::uint32_t extra;
};

std::vector<Seen> chunkHeaders(const Bytes& file) {
  std::vector<Seen> seen;
  std::size_t offset = 32;
  while (offset + 16 <= file.size()) {
    Seen header;
    std::memcpy(&header, file.data() + offset, 16);
    seen.push_back(header);
    if (header.tag == 0 || header.size < 16) break;
    offset += static_cast<std::size_t>(header.size);
  }
  EXPECT_EQ(offset + 16, file.size()) << "the end chunk closes the file";
  return seen;
}

TEST(VukWriter, FullRecordChunksComeInFixedOrderWithCreasesLast) {
  TempFolder folder;
  VukMesh mesh;
  vuktest::fillRecord(mesh);
  const std::vector<Seen> seen = chunkHeaders(writeRecord(mesh, folder));
  const std::vector<std::int32_t> order = {1,     2,     5001,  10001, 20001, 25001, 30002,
                                           35001, 40001, 45001, 50001, 55001, 40002, 0};
  ASSERT_EQ(seen.size(), order.size());
  for (std::size_t i = 0; i < order.size(); ++i) EXPECT_EQ(seen[i].tag, order[i]) << i;

  EXPECT_EQ(seen[4].size, 16 + 2 * 16);  // faces
  EXPECT_EQ(seen[5].size, 16 + 2 * 32);  // uvs
  EXPECT_EQ(seen[6].count, 4);           // vertex mask counts vertices
  EXPECT_EQ(seen[12].count, 2);          // crease flags count faces
  EXPECT_EQ(seen[11].extra, 0x3F400000u) << "55001 carries the bits of 0.75";
  for (std::size_t i = 0; i < seen.size(); ++i) {
    if (seen[i].tag != 55001) {
      EXPECT_EQ(seen[i].extra, 0u) << seen[i].tag;
    }
  }
  EXPECT_EQ(seen.back().size, 0) << "the end chunk has size 0";
  EXPECT_EQ(seen.back().count, 0);
}

TEST(VukWriter, AmountTravelsOnlyWithTheDisplacementPath) {
  TempFolder folder;
  VukMesh mesh;
  mesh.faceChunkTag = 20003;
  mesh.displacementAmount = 3.0f;
  for (const Seen& header : chunkHeaders(writeRecord(mesh, folder))) {
    EXPECT_EQ(header.extra, 0u);
    EXPECT_NE(header.tag, 55001);
  }
}

TEST(VukWriter, HeaderTextIsCutToTwentySevenCharacters) {
  TempFolder folder;
  const std::string path = folder.file("long.vuk");
  {
    vuk::VukFile file = vuk::OpenForWrite(path.c_str(), "0123456789012345678901234567890123");
    ASSERT_TRUE(file);
  }
  const Bytes bytes = vuktest::readFile(path);
  ASSERT_EQ(bytes.size(), 32u);
  EXPECT_EQ(std::string(bytes.begin() + 4, bytes.begin() + 31), "012345678901234567890123456");
  EXPECT_EQ(bytes[31], 0);
}

// The writer refuses what it cannot store faithfully instead of writing a wrapped size, a null
// payload or a face chunk under a tag the reader would misread.
TEST(VukWriter, RefusesRecordsTheFormatCannotHold) {
  TempFolder folder;
  const std::string path = folder.file("refused.vuk");
  std::vector<std::pair<const char*, void (*)(VukMesh&)>> cases = {
      {"no face layout", [](VukMesh& m) { m.faceChunkTag = 0; }},
      {"unknown face layout", [](VukMesh& m) { m.faceChunkTag = 25001; }},
      {"unknown uv layout", [](VukMesh& m) { m.uvChunkTag = 0; }},
      {"negative vertex count", [](VukMesh& m) { m.vertexCount = -1; }},
      {"vertices missing", [](VukMesh& m) { m.vertices.reset(); }},
      {"vertices short of their count", [](VukMesh& m) { m.vertices = RecordArray<float>::make(11); }},
      {"colours short of their count", [](VukMesh& m) { m.vertexColors = RecordArray<std::uint32_t>::make(3); }},
      {"uvs short of their count", [](VukMesh& m) { m.uvs = RecordArray<float>::make(15); }},
      {"faces beyond 2 GiB", [](VukMesh& m) { m.faceCount = INT32_MAX / 16; }},
      {"vertices beyond 2 GiB", [](VukMesh& m) { m.vertexCount = 200000000; }},
  };
  for (const auto& [what, spoil] : cases) {
    VukMesh mesh;
    vuktest::fillRecord(mesh);
    spoil(mesh);
    EXPECT_EQ(mesh.Write(path.c_str()), 0) << what;
    EXPECT_TRUE(folder.names().empty()) << what << ": nothing is left behind";
  }
}

TEST(VukWriter, ChunkStepRefusesWhatItCannotLayOut) {
  TempFolder folder;
  vuk::VukFile file = vuk::OpenForWrite(folder.file("steps.vuk").c_str(), "t");
  ASSERT_TRUE(file);
  const float value = 1.0f;
  EXPECT_FALSE(vuk::WriteChunk(file.get(), 10001, -1, &value, 0));
  EXPECT_FALSE(vuk::WriteChunk(file.get(), 10001, 1, nullptr, 0));
  EXPECT_FALSE(vuk::WriteChunk(file.get(), 1, 1, nullptr, 0));
  EXPECT_FALSE(vuk::WriteChunk(file.get(), 35001, INT32_MAX / 4, &value, 0));
  EXPECT_FALSE(vuk::WriteChunk(file.get(), 40002, INT32_MAX - 15, &value, 0));
  EXPECT_FALSE(vuk::WriteChunk(nullptr, 0, 0, nullptr, 0));
}

TEST(VukWriter, FailedWriteLeavesThePreviousFileAsItWas) {
  TempFolder folder;
  const std::string path = folder.file("artist.vuk");
  const Bytes previous = ByteBuilder().fileHeader().raw("earlier work").bytes();
  vuktest::writeFile(path, previous);

  VukMesh mesh;
  vuktest::fillRecord(mesh);
  mesh.faceCount = INT32_MAX / 8;  // name, flags and vertices are written before the faces fail
  EXPECT_EQ(mesh.Write(path.c_str()), 0);
  EXPECT_EQ(vuktest::readFile(path), previous);
  EXPECT_EQ(folder.names(), std::vector<std::string>{"artist.vuk"});
}

TEST(VukWriter, WriteIntoMissingFolderFails) {
  TempFolder folder;
  VukMesh mesh;
  vuktest::fillRecord(mesh);
  EXPECT_EQ(mesh.Write(folder.file("missing/out.vuk").c_str()), 0);
  EXPECT_EQ(mesh.Write(nullptr), 0);
  EXPECT_TRUE(folder.names().empty());
}

TEST(VukWriter, SuccessfulWriteReplacesTheTargetAndSidestepsStaleTemporaries) {
  TempFolder folder;
  const std::string path = folder.file("scene.vuk");
  vuktest::writeFile(path, Bytes(5000, 0xAB));
  const Bytes stale = {1, 2, 3};
  vuktest::writeFile(path + ".tmp", stale);  // left by someone else; must not be touched

  VukMesh mesh;
  mesh.objectName = vuktest::copyText("Arm");
  mesh.faceChunkTag = 20001;
  ASSERT_EQ(mesh.Write(path.c_str()), 1);
  EXPECT_EQ(vuktest::readFile(path), nameOnlyFile("Arm"));
  EXPECT_EQ(vuktest::readFile(path + ".tmp"), stale);
  EXPECT_EQ(folder.names().size(), 2u);
}

}  // namespace
