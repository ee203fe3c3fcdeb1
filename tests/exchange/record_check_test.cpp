#include "record_check.h"

#include <gtest/gtest.h>

#include "record_fixtures.h"

namespace {

using vuk::hostTriangleCount;
bool recordShapeIsValid(const VukMesh& record) { return vuk::checkRecordShape(record, nullptr); }
bool arrayLengthsAgree(const VukMesh& record) { return vuk::checkArrayLengths(record, nullptr); }

// An array of `length` zero elements.
template <typename T>
RecordArray<T> arrayOf(std::size_t length) {
  return RecordArray<T>::make(length);
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

TEST(ArrayLengths, EveryPresentArrayMustMatchItsCount) {
  VukMesh record;
  fourVertices(record);
  setFaces(record, {0, 1, 2, 3});
  setUvs(record, {0, 0, 1, 0, 1, 1, 0, 1});
  record.vertexColors = fixtures::copyArray<std::uint32_t>({1, 2, 3, 4});
  record.polygroups = fixtures::copyArray<std::int16_t>({5});
  record.faceCreaseFlags = fixtures::copyArray<std::uint8_t>({3});
  EXPECT_TRUE(arrayLengthsAgree(record));

  // Each array one element short and one long in turn, the others as they should be.
  const auto expectRefused = [&record](auto VukMesh::*field, std::size_t right) {
    using Array = std::remove_reference_t<decltype(record.*field)>;
    Array kept = std::move(record.*field);
    for (const std::size_t length : {right - 1, right + 1}) {
      record.*field = Array::make(length);
      EXPECT_FALSE(arrayLengthsAgree(record)) << length;
    }
    record.*field = std::move(kept);
  };
  expectRefused(&VukMesh::vertices, 12);
  expectRefused(&VukMesh::vertexColors, 4);
  expectRefused(&VukMesh::faces, 4);
  expectRefused(&VukMesh::uvs, 8);
  expectRefused(&VukMesh::polygroups, 1);
  expectRefused(&VukMesh::faceCreaseFlags, 1);
  EXPECT_TRUE(arrayLengthsAgree(record));
}

TEST(ArrayLengths, AbsentArraysAndLayoutsDecideWhatIsExpected) {
  VukMesh record;
  fourVertices(record);
  setFaces(record, {0, 1, 2, 0, 2, 3}, 20003);
  setUvs(record, {0, 0, 1, 0, 1, 1, 0, 0, 1, 1, 0, 1}, 25002);
  EXPECT_TRUE(arrayLengthsAgree(record));
  record.uvs = arrayOf<float>(16);  // eight floats a face under a six-float layout
  EXPECT_FALSE(arrayLengthsAgree(record));
}

TEST(ArrayLengths, ArraysWithoutFacesDisagree) {
  VukMesh record;
  fourVertices(record);
  record.polygroups = fixtures::copyArray<std::int16_t>({1, 2});
  EXPECT_FALSE(arrayLengthsAgree(record));
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
  record.uvs = arrayOf<float>(16);
  std::string reason;
  EXPECT_FALSE(vuk::checkRecord(record, &reason));
  EXPECT_EQ(reason, "chunk 35001 (vertexColors) holds 1 colour; vertexCount 4 needs 4");
  record.vertexColors = arrayOf<std::uint32_t>(4);
  EXPECT_FALSE(vuk::checkRecord(record, &reason));
  EXPECT_EQ(reason, "chunk 25001 (uvs (4 corners)) holds 16 floats; faceCount 1 needs 8");
  record.uvs = arrayOf<float>(8);
  EXPECT_TRUE(vuk::checkRecord(record, &reason));
}

TEST(RecordCheckReason, LengthsAreCheckedBeforeAnyIndexIsRead) {
  VukMesh record;
  fourVertices(record);
  setFaces(record, {0, 1, 2, 3});
  record.faceCount = 1000;  // one face in the array: reading face 1 would leave it
  std::string reason;
  EXPECT_FALSE(vuk::checkRecord(record, &reason));
  EXPECT_EQ(reason, "chunk 20001 (faces) holds 4 indices; faceCount 1000 needs 4000");
}

}  // namespace
