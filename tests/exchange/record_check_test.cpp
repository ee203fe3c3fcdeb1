#include "record_check.h"

#include <gtest/gtest.h>

#include "record_fixtures.h"

namespace {

using vuk::hostTriangleCount;
using RecordArrayCounts = vuk::VukArrayLengths;

bool recordShapeIsValid(const VukMesh& record) { return vuk::checkRecordShape(record, nullptr); }
bool arrayCountsAgree(const VukMesh& record, const RecordArrayCounts& counts) {
  return vuk::checkArrayLengths(record, counts, nullptr);
}

using fixtures::setFaces;
using fixtures::setUvs;
using fixtures::setVertices;

void fourVertices(VukMesh& record) { setVertices(record, {0, 0, 0, 1, 0, 0, 1, 0, 1, 0, 0, 1}); }

TEST(RecordShape, AcceptsTrianglesQuadsAndEmptyRecords) {
  VukMesh record;
  EXPECT_TRUE(recordShapeIsValid(record));
  fourVertices(record);
  EXPECT_TRUE(recordShapeIsValid(record));
  setFaces(record, {0, 1, 2, 3, 0, 2, 3, -1});
  EXPECT_TRUE(recordShapeIsValid(record));
  EXPECT_EQ(hostTriangleCount(record), 3);
  setFaces(record, {0, 1, 2, 3, 2, 1}, 20003);
  EXPECT_TRUE(recordShapeIsValid(record));
  EXPECT_EQ(hostTriangleCount(record), 2);
  record.faceCount = -5;  // no faces at all
  EXPECT_TRUE(recordShapeIsValid(record));
  EXPECT_EQ(hostTriangleCount(record), 0);
}

TEST(RecordShape, RefusesIndicesOutsideTheVertices) {
  VukMesh record;
  fourVertices(record);
  setFaces(record, {0, 1, 4, -1});
  EXPECT_FALSE(recordShapeIsValid(record));
  setFaces(record, {0, 1, 2, 4});
  EXPECT_FALSE(recordShapeIsValid(record));
  setFaces(record, {-1, 1, 2, 3});
  EXPECT_FALSE(recordShapeIsValid(record));
  setFaces(record, {0, 1, 2, -2});
  EXPECT_FALSE(recordShapeIsValid(record));
  setFaces(record, {0, 1, 2, INT32_MIN});
  EXPECT_FALSE(recordShapeIsValid(record));
  setFaces(record, {0, 1, 2, 0, 1, -1}, 20003);
  EXPECT_FALSE(recordShapeIsValid(record));
  setFaces(record, {0, 1, 2, 3, 0, 1, 2, 3}, 20002);
  EXPECT_TRUE(recordShapeIsValid(record));
}

TEST(RecordShape, RefusesMissingArraysAndUnknownLayouts) {
  VukMesh record;
  fourVertices(record);
  setFaces(record, {0, 1, 2, 3});
  record.faceChunkTag = 20004;
  EXPECT_FALSE(recordShapeIsValid(record));
  record.faceChunkTag = 20001;
  setUvs(record, {0, 0, 1, 0, 1, 1, 0, 1}, 25003);
  EXPECT_FALSE(recordShapeIsValid(record));
  record.uvChunkTag = 25001;
  EXPECT_TRUE(recordShapeIsValid(record));
  record.vertexCount = -1;
  EXPECT_FALSE(recordShapeIsValid(record));

  VukMesh noVertices;
  noVertices.vertexCount = 3;
  EXPECT_FALSE(recordShapeIsValid(noVertices));
  VukMesh noFaces;
  fourVertices(noFaces);
  noFaces.faceCount = 1;
  noFaces.faceChunkTag = 20001;
  EXPECT_FALSE(recordShapeIsValid(noFaces));
}

TEST(RecordShape, ThreeCornerTextureGroupsOnlyWithTriangles) {
  VukMesh record;
  fourVertices(record);
  setFaces(record, {0, 1, 2, -1, 0, 2, 3, -1});
  setUvs(record, {0, 0, 1, 0, 1, 1, 0, 0, 1, 1, 0, 1}, 25002);
  EXPECT_TRUE(recordShapeIsValid(record));
  setFaces(record, {0, 1, 2, -1, 0, 1, 2, 3});
  EXPECT_FALSE(recordShapeIsValid(record));
}

RecordArrayCounts countsOf(const VukMesh& record) {
  RecordArrayCounts counts;
  counts.vertices = std::int64_t{record.vertexCount} * 3;
  counts.vertexColors = record.vertexCount;
  counts.faces = std::int64_t{record.faceCount} * (record.faceChunkTag == 20003 ? 3 : 4);
  counts.uvs = std::int64_t{record.faceCount} * (record.uvChunkTag == 25002 ? 6 : 8);
  counts.polygroups = record.faceCount;
  counts.faceCreaseFlags = record.faceCount;
  return counts;
}

TEST(ArrayCounts, EveryPresentArrayMustMatchItsCount) {
  VukMesh record;
  fourVertices(record);
  setFaces(record, {0, 1, 2, 3});
  setUvs(record, {0, 0, 1, 0, 1, 1, 0, 1});
  record.vertexColors = fixtures::copyArray<std::uint32_t>({1, 2, 3, 4});
  record.polygroups = fixtures::copyArray<std::int16_t>({5});
  record.faceCreaseFlags = fixtures::copyArray<std::uint8_t>({3});
  const RecordArrayCounts good = countsOf(record);
  EXPECT_TRUE(arrayCountsAgree(record, good));

  std::int64_t RecordArrayCounts::*const fields[] = {
      &RecordArrayCounts::vertices, &RecordArrayCounts::vertexColors, &RecordArrayCounts::faces,
      &RecordArrayCounts::uvs, &RecordArrayCounts::polygroups, &RecordArrayCounts::faceCreaseFlags};
  for (auto field : fields) {
    RecordArrayCounts bad = good;
    bad.*field -= 1;
    EXPECT_FALSE(arrayCountsAgree(record, bad));
    bad.*field += 2;
    EXPECT_FALSE(arrayCountsAgree(record, bad));
  }
}

TEST(ArrayCounts, AbsentArraysAndLayoutsDecideWhatIsExpected) {
  VukMesh record;
  fourVertices(record);
  setFaces(record, {0, 1, 2, 0, 2, 3}, 20003);
  setUvs(record, {0, 0, 1, 0, 1, 1, 0, 0, 1, 1, 0, 1}, 25002);
  RecordArrayCounts counts = countsOf(record);
  EXPECT_EQ(counts.faces, 6);
  EXPECT_EQ(counts.uvs, 12);
  EXPECT_TRUE(arrayCountsAgree(record, counts));
  counts.vertexColors = 99;  // no colours in the record: their count is not looked at
  counts.polygroups = 99;
  EXPECT_TRUE(arrayCountsAgree(record, counts));
  counts.uvs = 16;  // eight floats a face under a six-float layout
  EXPECT_FALSE(arrayCountsAgree(record, counts));
}

TEST(ArrayCounts, ArraysWithoutFacesDisagree) {
  VukMesh record;
  fourVertices(record);
  record.polygroups = fixtures::copyArray<std::int16_t>({1, 2});
  RecordArrayCounts counts = countsOf(record);
  counts.polygroups = 2;
  EXPECT_FALSE(arrayCountsAgree(record, counts));
}

// The reason names the array or face, the corner and the numbers, so that a person can find
// the fault in the file.
std::string shapeReason(const VukMesh& record) {
  std::string reason;
  EXPECT_FALSE(vuk::checkRecordShape(record, &reason));
  return reason;
}

TEST(RecordCheckReason, NamesFaceCornerAndNumbers) {
  VukMesh record;
  setVertices(record, {0, 0, 0, 1, 0, 0, 1, 1, 0});
  setFaces(record, {0, 1, 7, -1});
  EXPECT_EQ(shapeReason(record), "face 0 corner 2 names vertex 7; the file has 3 vertices");
  setFaces(record, {0, 1, 2, -1, 0, 1, 2, -2});
  EXPECT_EQ(shapeReason(record), "face 1 corner 3 names vertex -2; the file has 3 vertices");
  setFaces(record, {0, 1, 2, -1, 0, 1, 2, 0});
  setUvs(record, {0, 0, 1, 0, 1, 1, 0, 0, 1, 1, 0, 1}, 25002);
  EXPECT_EQ(shapeReason(record), "face 1 is a quad but chunk 25002 (uvs) holds 3 corners a face");
  record.vertexCount = -1;
  EXPECT_EQ(shapeReason(record), "vertexCount is -1; it cannot be negative");
}

TEST(RecordCheckReason, NamesTheChunkWhoseLengthDisagrees) {
  VukMesh record;
  fourVertices(record);
  setFaces(record, {0, 1, 2, 3});
  record.vertexColors = fixtures::copyArray<std::uint32_t>({1});
  setUvs(record, {0, 0, 1, 0, 1, 1, 0, 1});
  RecordArrayCounts counts = countsOf(record);
  counts.vertexColors = 1;
  std::string reason;
  EXPECT_FALSE(vuk::checkRecord(record, counts, &reason));
  EXPECT_EQ(reason, "chunk 35001 (vertexColors) holds 1 colour; vertexCount 4 needs 4");
  counts.vertexColors = 4;
  counts.uvs = 16;
  EXPECT_FALSE(vuk::checkRecord(record, counts, &reason));
  EXPECT_EQ(reason, "chunk 25001 (uvs (4 corners)) holds 16 floats; faceCount 1 needs 8");
  counts.uvs = 8;
  EXPECT_TRUE(vuk::checkRecord(record, counts, &reason));
}

TEST(RecordCheckReason, LengthsAreCheckedBeforeAnyIndexIsRead) {
  VukMesh record;
  fourVertices(record);
  setFaces(record, {0, 1, 2, 3});
  record.faceCount = 1000;  // one face in the array: reading face 1 would leave it
  RecordArrayCounts counts = countsOf(record);
  counts.faces = 4;
  std::string reason;
  EXPECT_FALSE(vuk::checkRecord(record, counts, &reason));
  EXPECT_EQ(reason, "chunk 20001 (faces) holds 4 indices; faceCount 1000 needs 4000");
}

}  // namespace
