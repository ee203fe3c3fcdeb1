#include <gtest/gtest.h>

#include <climits>
#include <memory>

#include "vuk_file.h"
#include "vuk_mesh.h"
#include "vuk_test_files.h"

namespace {

using vuktest::ByteBuilder;
using vuktest::Bytes;
using vuktest::TempFolder;

// Reads the bytes from memory held in an allocation of exactly their size, so that the address
// sanitizer sees any read past them.
int readFromMemory(const Bytes& bytes, VukMesh& mesh, std::string* verdict = nullptr) {
  std::unique_ptr<unsigned char[]> exact(new unsigned char[bytes.size() + (bytes.empty() ? 1 : 0)]);
  std::copy(bytes.begin(), bytes.end(), exact.get());
  return vuk::readVukBytes(mesh, exact.get(), bytes.size(), verdict);
}

int readFromFile(const Bytes& bytes, VukMesh& mesh) {
  TempFolder folder;
  const std::string path = folder.file("in.vuk");
  vuktest::writeFile(path, bytes);
  return mesh.Read(path.c_str());
}

void expectText(const char* actual, const char* expected) {
  if (expected == nullptr) {
    EXPECT_EQ(actual, nullptr);
  } else {
    ASSERT_NE(actual, nullptr) << expected;
    EXPECT_STREQ(actual, expected);
  }
}
void expectText(const RecordText& actual, const char* expected) { expectText(actual.data(), expected); }
void expectText(const RecordText& actual, const RecordText& expected) {
  expectText(actual.data(), expected.data());
}

// Reads the bytes both from a file and from memory; both must agree. Answers the result and
// leaves the file's record in `mesh`.
int readBoth(const Bytes& bytes, VukMesh& mesh, std::string* verdict = nullptr) {
  VukMesh fromMemory;
  const int memoryResult = readFromMemory(bytes, fromMemory, verdict);
  const int fileResult = readFromFile(bytes, mesh);
  EXPECT_EQ(fileResult, memoryResult);
  EXPECT_EQ(fromMemory.vertexCount, mesh.vertexCount);
  EXPECT_EQ(fromMemory.faceCount, mesh.faceCount);
  expectText(fromMemory.objectName, mesh.objectName);
  return fileResult;
}

// The array's values; its length must be `count`.
template <typename T>
std::vector<T> values(const RecordArray<T>& array, std::size_t count) {
  EXPECT_EQ(array.size(), array ? count : 0);
  return std::vector<T>(array.begin(), array.end());
}

TEST(VukReader, TakesEveryTagOfTheTableAndPassesOverTheOthers) {
  const Bytes file = ByteBuilder()
                         .fileHeader()
                         .textChunk(1, "Head")
                         .textChunk(2, "second")
                         .chunk(5001, 20, 1).u32(0xA0B0C0D0)
                         .chunk(10001, 16 + 24, 2).f32(1).f32(2).f32(3).f32(4).f32(5).f32(6)
                         .chunk(10002, 16 + 24, 1).zeros(24)
                         .chunk(20003, 16 + 12, 1).i32(0).i32(1).i32(0)
                         .chunk(25002, 16 + 24, 1).f32(0.5f).zeros(20)
                         .chunk(30001, 16 + 3, 3).raw("xyz")
                         .chunk(30002, 16 + 4, 2).u16(7).u16(0xFFFF)
                         .chunk(35001, 16 + 8, 2).u32(0x00FF8000).u32(0x01020304)
                         .chunk(40001, 16 + 2, 1).u16(0xFFFE)
                         .chunk(40002, 16 + 1, 1).raw("\x03")
                         .textChunk(45001, "t.tif")
                         .textChunk(50001, "n.tif")
                         .chunk(777, 24, 99).zeros(8)
                         .chunk(-5, 20, -1).zeros(4)
                         .textChunk(55001, "d.tif", 0x40200000)  // 2.5
                         .endChunk()
                         .bytes();
  VukMesh mesh;
  ASSERT_EQ(readBoth(file, mesh), 1);
  expectText(mesh.objectName, "Head");
  expectText(mesh.secondaryName, "second");
  expectText(mesh.texturePath, "t.tif");
  expectText(mesh.normalMapPath, "n.tif");
  expectText(mesh.displacementMapPath, "d.tif");
  EXPECT_EQ(mesh.displacementAmount, 2.5f);
  EXPECT_EQ(mesh.formatFlags, 0xA0B0C0D0u);
  EXPECT_EQ(mesh.vertexCount, 2);
  EXPECT_EQ(values(mesh.vertices, 6), (std::vector<float>{1, 2, 3, 4, 5, 6}));
  EXPECT_EQ(mesh.faceCount, 1);
  EXPECT_EQ(mesh.faceChunkTag, 20003);
  EXPECT_EQ(values(mesh.faces, 3), (std::vector<std::int32_t>{0, 1, 0}));
  EXPECT_EQ(mesh.uvChunkTag, 25002);
  EXPECT_EQ(values(mesh.uvs, 6), (std::vector<float>{0.5f, 0, 0, 0, 0, 0}));
  EXPECT_EQ(values(mesh.vertexMask, 2), (std::vector<std::uint16_t>{7, 0xFFFF}));
  EXPECT_EQ(values(mesh.vertexColors, 2), (std::vector<std::uint32_t>{0x00FF8000, 0x01020304}));
  EXPECT_EQ(values(mesh.polygroups, 1), (std::vector<std::int16_t>{-2}));
  EXPECT_EQ(values(mesh.faceCreaseFlags, 1), (std::vector<std::uint8_t>{3}));
}

TEST(VukReader, QuadLayoutsKeepTheirTags) {
  const Bytes file = ByteBuilder()
                         .fileHeader()
                         .chunk(20002, 16 + 16, 1).i32(0).i32(1).i32(2).i32(3)
                         .chunk(25001, 16 + 32, 1).zeros(28).f32(9)
                         .endChunk()
                         .bytes();
  VukMesh mesh;
  ASSERT_EQ(readBoth(file, mesh), 1);
  EXPECT_EQ(mesh.faceChunkTag, 20002);
  EXPECT_EQ(values(mesh.faces, 4), (std::vector<std::int32_t>{0, 1, 2, 3}));
  EXPECT_EQ(mesh.uvChunkTag, 25001);
  EXPECT_EQ(mesh.uvs[7], 9.0f);
}

TEST(VukReader, MagicIgnoresCaseAndStopsAtAZeroByte) {
  const std::vector<std::pair<std::string, int>> cases = {
      {"Vukb", 1},  {"vukb", 1},  {"VUKB", 1},  {"vUkB", 1},  {std::string("\0xyz", 4), 1},
      {std::string("Vu\0z", 4), 1}, {"Vuka", 0}, {"Xukb", 0}, {"Vuk\xe2", 0}, {"Vukbb", 1}};
  for (const auto& [magic, expected] : cases) {
    Bytes file = ByteBuilder().raw(magic.substr(0, 4)).zeros(28).endChunk().bytes();
    VukMesh mesh;
    EXPECT_EQ(readBoth(file, mesh), expected) << "magic " << magic;
  }
}

TEST(VukReader, ShortFilesAreRefused) {
  const Bytes whole = ByteBuilder().fileHeader().endChunk().bytes();
  for (std::size_t length : {0, 1, 4, 31, 32, 33, 47}) {
    VukMesh mesh;
    EXPECT_EQ(readBoth(Bytes(whole.begin(), whole.begin() + length), mesh), 0) << length;
  }
  VukMesh mesh;
  EXPECT_EQ(readBoth(whole, mesh), 1);
  TempFolder folder;
  EXPECT_EQ(mesh.Read(folder.file("absent.vuk").c_str()), 0);
  EXPECT_EQ(mesh.Read(nullptr), 0);
  // A folder opens for reading on POSIX systems; it must not be measured and read as a file.
  std::string verdict;
  EXPECT_FALSE(vuk::OpenForRead(folder.path().string().c_str(), &verdict));
  EXPECT_EQ(verdict, "cannot open " + folder.path().string() + ": it is a folder, not a file");
  EXPECT_EQ(mesh.Read(folder.path().string().c_str()), 0);
}

Bytes fullFile() {
  TempFolder folder;
  VukMesh mesh;
  vuktest::fillRecord(mesh);
  const std::string path = folder.file("full.vuk");
  EXPECT_EQ(mesh.Write(path.c_str()), 1);
  return vuktest::readFile(path);
}

TEST(VukReader, EveryPrefixOfAFullFileFailsCleanlyAndKeepsWhatWasRead) {
  const Bytes whole = fullFile();
  for (std::size_t length = 0; length < whole.size(); ++length) {
    const Bytes prefix(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(length));
    VukMesh mesh;
    ASSERT_EQ(readFromMemory(prefix, mesh), 0) << length;
    ASSERT_EQ(readFromFile(prefix, mesh), 0) << length;
    if (length >= 56) expectText(mesh.objectName, "Head");  // chunk 1 ends at byte 56
  }
}

TEST(VukReader, FullRecordSurvivesARoundTrip) {
  TempFolder folder;
  VukMesh written;
  vuktest::fillRecord(written);
  const std::string first = folder.file("first.vuk");
  const std::string second = folder.file("second.vuk");
  ASSERT_EQ(written.Write(first.c_str()), 1);
  VukMesh read;
  ASSERT_EQ(read.Read(first.c_str()), 1);

  expectText(read.objectName, written.objectName);
  expectText(read.secondaryName, "");
  expectText(read.texturePath, written.texturePath);
  expectText(read.normalMapPath, written.normalMapPath);
  expectText(read.displacementMapPath, written.displacementMapPath);
  EXPECT_EQ(read.displacementAmount, 0.75f);
  EXPECT_EQ(read.formatFlags, written.formatFlags);
  EXPECT_EQ(read.vertexCount, 4);
  EXPECT_EQ(read.faceCount, 2);
  EXPECT_EQ(read.faceChunkTag, 20001);
  EXPECT_EQ(read.uvChunkTag, 25001);
  EXPECT_EQ(values(read.vertices, 12), values(written.vertices, 12));
  EXPECT_EQ(values(read.faces, 8), values(written.faces, 8));
  EXPECT_EQ(values(read.uvs, 16), values(written.uvs, 16));
  EXPECT_EQ(values(read.vertexMask, 4), values(written.vertexMask, 4));
  EXPECT_EQ(values(read.vertexColors, 4), values(written.vertexColors, 4));
  EXPECT_EQ(values(read.polygroups, 2), values(written.polygroups, 2));
  EXPECT_EQ(values(read.faceCreaseFlags, 2), values(written.faceCreaseFlags, 2));

  ASSERT_EQ(read.Write(second.c_str()), 1);
  EXPECT_EQ(vuktest::readFile(second), vuktest::readFile(first));
}

TEST(VukReader, ReadEmptiesTheRecordFirst) {
  VukMesh mesh;
  vuktest::fillRecord(mesh);
  const Bytes file = ByteBuilder().fileHeader().textChunk(1, "Arm").endChunk().bytes();
  ASSERT_EQ(readFromMemory(file, mesh), 1);
  expectText(mesh.objectName, "Arm");
  EXPECT_EQ(mesh.vertices, nullptr);
  EXPECT_EQ(mesh.faceCount, 0);
  EXPECT_EQ(mesh.displacementAmount, 1.0f);
  vuktest::fillRecord(mesh);
  EXPECT_EQ(readFromMemory(Bytes(), mesh), 0);
  EXPECT_EQ(mesh.objectName, nullptr);
}

TEST(VukReader, RepeatedChunksReplaceWhatTheEarlierOnesSet) {
  const Bytes file = ByteBuilder()
                         .fileHeader()
                         .textChunk(1, "first")
                         .chunk(10001, 16 + 12, 1).f32(1).f32(1).f32(1)
                         .textChunk(1, "second")
                         .chunk(10001, 16 + 24, 2).f32(2).zeros(20)
                         .chunk(1, 16, 1)         // empty: the name stays
                         .chunk(35001, 16, 0)     // empty: nothing to release or keep
                         .endChunk()
                         .bytes();
  VukMesh mesh;
  ASSERT_EQ(readBoth(file, mesh), 1);  // the leak checker sees a replaced block not released
  expectText(mesh.objectName, "second");
  EXPECT_EQ(mesh.vertexCount, 2);
  EXPECT_EQ(mesh.vertices[0], 2.0f);
  EXPECT_EQ(mesh.vertexColors, nullptr);
}

TEST(VukReader, ReportsWhatEachArrayReceived) {
  const Bytes file = ByteBuilder()
                         .fileHeader()
                         .chunk(10001, 16 + 24, 2).zeros(24)
                         .chunk(20003, 16 + 12, 1).i32(0).i32(1).i32(1)
                         .chunk(25002, 16 + 24, 1).zeros(24)
                         .chunk(35001, 16 + 12, 3).zeros(12)
                         .chunk(40001, 16 + 4, 2).zeros(4)
                         .chunk(40002, 16 + 4, 1).zeros(4)  // surplus size is not counted
                         .chunk(30002, 16 + 2, 1).zeros(2)
                         .chunk(35001, 16, 0)  // empty: the colours read before stay
                         .endChunk()
                         .bytes();
  for (const bool fromFile : {false, true}) {
    VukMesh mesh;
    mesh.uvs = RecordArray<float>::make(99);  // whatever was there before is replaced
    int result = 0;
    if (fromFile) {
      TempFolder folder;
      vuktest::writeFile(folder.file("in.vuk"), file);
      result = vuk::readVukFile(mesh, folder.file("in.vuk").c_str(), nullptr);
    } else {
      result = vuk::readVukBytes(mesh, file.data(), file.size(), nullptr);
    }
    ASSERT_EQ(result, 1);
    EXPECT_EQ(mesh.vertices.size(), 6u);
    EXPECT_EQ(mesh.faces.size(), 3u);
    EXPECT_EQ(mesh.uvs.size(), 6u);
    EXPECT_EQ(mesh.vertexColors.size(), 3u);
    EXPECT_EQ(mesh.polygroups.size(), 2u);
    EXPECT_EQ(mesh.faceCreaseFlags.size(), 1u);
    EXPECT_EQ(mesh.vertexMask.size(), 1u);
  }
}

// ---- Hostile sizes and counts: each refused cleanly or passed over, never read past ----

Bytes withChunks(const ByteBuilder& chunks) {
  Bytes file = ByteBuilder().fileHeader().bytes();
  file.insert(file.end(), chunks.bytes().begin(), chunks.bytes().end());
  return file;
}

TEST(VukReaderHostile, SizeBelowSixteenIsRefused) {
  for (std::int32_t tag : {777, 1, 10001, 10002}) {
    VukMesh mesh;
    std::string verdict;
    EXPECT_EQ(readBoth(withChunks(ByteBuilder().chunk(tag, 0, 0).endChunk()), mesh, &verdict), 0);
    EXPECT_EQ(verdict, "chunk " + std::to_string(tag) + " at offset 32: size 0 is below 16");
  }
  VukMesh mesh;
  EXPECT_EQ(readBoth(withChunks(ByteBuilder().chunk(1, 8, 1).endChunk()), mesh), 0);
  EXPECT_EQ(readBoth(withChunks(ByteBuilder().chunk(1, -4, 1).endChunk()), mesh), 0);
}

TEST(VukReaderHostile, NegativeCountIsRefused) {
  for (std::int32_t tag : {10001, 20001, 25002, 30002, 35001, 40001, 40002, 5001, 45001}) {
    VukMesh mesh;
    std::string verdict;
    const Bytes file = withChunks(ByteBuilder().chunk(tag, 20, -1).zeros(4).endChunk());
    EXPECT_EQ(readBoth(file, mesh, &verdict), 0) << tag;
    EXPECT_EQ(verdict, "chunk " + std::to_string(tag) + " at offset 32: negative count -1");
  }
}

TEST(VukReaderHostile, CountBeyondTheFileIsRefusedBeforeAllocating) {
  const Bytes file = ByteBuilder()
                         .fileHeader()
                         .textChunk(1, "Head")
                         .textChunk(2, "Arm")
                         .chunk(5001, 20, 1).u32(0)
                         .chunk(10001, 16, 0)
                         .chunk(20001, 16, 250000001)
                         .zeros(80)
                         .endChunk()
                         .bytes();
  VukMesh mesh;
  std::string verdict;
  EXPECT_EQ(readBoth(file, mesh, &verdict), 0);
  EXPECT_EQ(verdict, "chunk 20001 at offset 112: payload of 4000000016 bytes exceeds the 96 bytes left");
  expectText(mesh.objectName, "Head");
  EXPECT_EQ(mesh.faces, nullptr);
  EXPECT_EQ(mesh.faceCount, 0);
  // The largest counts, for every array tag.
  for (std::int32_t tag : {10001, 20002, 20003, 25001, 25002, 30002, 35001, 40001, 40002}) {
    EXPECT_EQ(readBoth(withChunks(ByteBuilder().chunk(tag, 16, INT32_MAX).endChunk()), mesh), 0);
  }
}

TEST(VukReaderHostile, PayloadSizeBeyondTheFileIsRefused) {
  VukMesh mesh;
  std::string verdict;
  EXPECT_EQ(readBoth(withChunks(ByteBuilder().chunk(777, INT32_MAX, 0).endChunk()), mesh, &verdict), 0);
  EXPECT_EQ(verdict, "chunk 777 at offset 32: payload of 2147483631 bytes exceeds the 16 bytes left");
  EXPECT_EQ(readBoth(withChunks(ByteBuilder().chunk(45001, 1000, 1).raw("abc")), mesh), 0);
}

TEST(VukReaderHostile, SizeSmallerThanItsCountImpliesIsRefused) {
  const Bytes file =
      withChunks(ByteBuilder().chunk(10001, 16 + 12, 2).zeros(24).textChunk(1, "x").endChunk());
  VukMesh mesh;
  std::string verdict;
  EXPECT_EQ(readBoth(file, mesh, &verdict), 0);
  EXPECT_EQ(verdict, "chunk 10001 at offset 32: size 28 holds 12 payload bytes, its count of 2 needs 24");
  EXPECT_EQ(mesh.vertices, nullptr);
  EXPECT_EQ(mesh.vertexCount, 0);
}

TEST(VukReaderHostile, SurplusSizeIsPassedOver) {
  const Bytes file = withChunks(
      ByteBuilder().chunk(35001, 16 + 8 + 4, 2).u32(5).u32(6).u32(0xDEAD).textChunk(1, "n").endChunk());
  VukMesh mesh;
  ASSERT_EQ(readBoth(file, mesh), 1);
  EXPECT_EQ(values(mesh.vertexColors, 2), (std::vector<std::uint32_t>{5, 6}));
  expectText(mesh.objectName, "n");
}

TEST(VukReaderHostile, ZeroCountWithLargerSizeIsPassedOverBySize) {
  const Bytes file =
      withChunks(ByteBuilder().chunk(40001, 24, 0).zeros(8).textChunk(1, "after").endChunk());
  VukMesh mesh;
  ASSERT_EQ(readBoth(file, mesh), 1);
  EXPECT_EQ(mesh.polygroups, nullptr);
  expectText(mesh.objectName, "after");
}

TEST(VukReaderHostile, TextWithoutZeroIsStoredTerminated) {
  VukMesh mesh;
  ASSERT_EQ(readBoth(withChunks(ByteBuilder().chunk(1, 20, 1).raw("ABCD").endChunk()), mesh), 1);
  expectText(mesh.objectName, "ABCD");
  ASSERT_EQ(readBoth(withChunks(ByteBuilder().chunk(50001, 17, 1).raw("X").endChunk()), mesh), 1);
  expectText(mesh.normalMapPath, "X");
}

TEST(VukReaderHostile, FormatFlagsTakeFourBytesWhateverTheSize) {
  VukMesh mesh;
  const Bytes wide =
      withChunks(ByteBuilder().chunk(5001, 24, 7).u32(0x11223344).u32(0x55667788).endChunk());
  ASSERT_EQ(readBoth(wide, mesh), 1);
  EXPECT_EQ(mesh.formatFlags, 0x11223344u);
  std::string verdict;
  const Bytes narrow = withChunks(ByteBuilder().chunk(5001, 16, 1).endChunk().zeros(4));
  EXPECT_EQ(readBoth(narrow, mesh, &verdict), 0);
  EXPECT_EQ(verdict, "chunk 5001 at offset 32: size 16 holds 0 payload bytes, its count of 1 needs 4");
}

TEST(VukReaderHostile, EmptyDisplacementChunkSetsOnlyTheAmount) {
  VukMesh mesh;
  ASSERT_EQ(readBoth(withChunks(ByteBuilder().chunk(55001, 16, 1, 0x40000000).endChunk()), mesh), 1);
  EXPECT_EQ(mesh.displacementAmount, 2.0f);
  EXPECT_EQ(mesh.displacementMapPath, nullptr);
}

TEST(VukReaderHostile, FilesOfTwoGiBOrMoreAreRefused) {
  TempFolder folder;
  const std::string path = folder.file("huge.vuk");
  vuktest::writeFile(path, ByteBuilder().fileHeader().endChunk().bytes());
  VukMesh mesh;
  ASSERT_EQ(mesh.Read(path.c_str()), 1);
  std::filesystem::resize_file(path, std::uintmax_t{1} << 31);  // sparse: costs no disk
  std::string verdict;
  EXPECT_EQ(vuk::readVukFile(mesh, path.c_str(), &verdict), 0);
  EXPECT_EQ(verdict, "file of 2147483648 bytes: a Vuk file stays below 2 GiB");
  std::filesystem::resize_file(path, (std::uintmax_t{1} << 31) - 1);
  EXPECT_EQ(mesh.Read(path.c_str()), 1) << "one byte less is still read";
}

}  // namespace
