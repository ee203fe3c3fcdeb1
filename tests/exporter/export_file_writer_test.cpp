// The streamed export file against the record's own writer, byte for byte: sample scenes, a random
// mesh with every optional array and without each, and every buffer size that moves the places
// where a walk's parts end.
#include "export_file_writer.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "export_scenes.h"
#include "reference_export.h"
#include "temp_folder.h"

namespace {

std::vector<char> bytesOf(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<char>(std::istreambuf_iterator<char>(in), {});
}

class ExportFileWriter : public ::testing::Test {
 protected:
  std::vector<char> referenceBytes(const ExportGeometry& geometry, const VukMesh& texts) {
    const std::string path = folder_.file("reference.vuk");
    EXPECT_TRUE(reference::writeReferenceFile(geometry, texts, path));
    return bytesOf(path);
  }
  void expectStreamedBytes(const ExportGeometry& geometry, const VukMesh& texts, const std::vector<char>& expected,
                           std::size_t bufferBytes = kExportBufferBytes) {
    // A new name each time: truncating a file just written would wait for it to reach the disk.
    const std::string path = folder_.file("streamed" + std::to_string(serial_++) + ".vuk");
    ASSERT_TRUE(writeExportFile(geometry, texts, path.c_str(), bufferBytes));
    const std::vector<char> streamed = bytesOf(path);
    std::remove(path.c_str());
    ASSERT_EQ(streamed.size(), expected.size()) << "buffer of " << bufferBytes << " bytes";
    EXPECT_TRUE(streamed == expected) << "buffer of " << bufferBytes << " bytes";
  }
  // Both files for the same geometry and texts.
  void expectSameBytes(const ExportGeometry& geometry, const VukMesh& texts) {
    expectStreamedBytes(geometry, texts, referenceBytes(geometry, texts));
  }
  vuktest::TempFolder folder_;
  int serial_ = 0;
};

// Deterministic numbers, the same on every platform.
class Numbers {
 public:
  std::uint32_t next() {
    state_ = state_ * 6364136223846793005ull + 1442695040888963407ull;
    return static_cast<std::uint32_t>(state_ >> 33);
  }
  int below(int n) { return static_cast<int>(next() % static_cast<std::uint32_t>(n)); }
  float unit() { return static_cast<float>(next() % 100000) / 99999.0f; }

 private:
  std::uint64_t state_ = 0x2545F4914F6CDD1Dull;
};

enum Optional { kColours = 1, kUvs = 2, kCrease = 4, kAll = 7 };

// Triangles, quads, pentagons and hexagons over random vertices; the map channels that `arrays`
// asks for, channel 0 with fewer map vertices than the mesh and channel 1 with fewer map faces,
// some of them naming map vertices that do not exist; crease values around one half.
void buildRandomMesh(MNMesh& poly, int arrays) {
  Numbers numbers;
  const int vertices = 41, faces = 29;
  poly.setNumVerts(vertices);
  for (int i = 0; i < vertices; ++i) poly.v[i].p = Point3(numbers.unit() * 9 - 4, numbers.unit() * 5, numbers.unit() - 7);
  poly.setNumFaces(faces);
  for (int f = 0; f < faces; ++f) {
    const int degree = 3 + numbers.below(4);
    poly.f[f].SetDeg(degree);
    for (int k = 0; k < degree; ++k) poly.f[f].vtx[k] = (f + 5 * k) % vertices;
  }
  poly.FillInMesh();
  poly.SetMapNum(2);
  if (arrays & kColours) {
    MNMap* colours = poly.M(0);
    colours->setNumVerts(vertices - 6);
    for (int i = 0; i < vertices - 6; ++i) colours->v[i] = Point3(numbers.unit() * 1.2f - 0.1f, numbers.unit(), numbers.unit());
  }
  if (arrays & kUvs) {
    MNMap* uvs = poly.M(1);
    uvs->setNumVerts(23);
    for (int i = 0; i < 23; ++i) uvs->v[i] = Point3(numbers.unit(), numbers.unit(), 0.5f);
    uvs->setNumFaces(faces - 3);
    for (int f = 0; f < faces - 3; ++f) {
      const int degree = poly.f[f].deg;
      uvs->f[f].SetSize(degree);
      for (int k = 0; k < degree; ++k) uvs->f[f].tv[k] = numbers.below(26) - 1;  // -1 and 23..24 name nothing
    }
  }
  if (arrays & kCrease) {
    poly.setEDataSupport(EDATA_CREASE);
    for (int e = 0; e < poly.nume; ++e) poly.edgeFloat(EDATA_CREASE)[e] = 0.4f + 0.05f * numbers.below(5);
  }
}

VukMesh textsOf(const char* name) {
  VukMesh texts;
  texts.objectName = recordText(name);
  texts.texturePath = recordText("C:\\maps\\rock_TXTR.tif");
  texts.displacementMapPath = recordText("C:\\maps\\rock_DM.tif");
  texts.displacementAmount = 0.375f;
  return texts;
}

TEST_F(ExportFileWriter, BoxSceneMatchesTheRecordWriter) {
  PolyObject* box = newBoxObject(L"Box001");
  const ExportGeometry geometry = exportGeometryOf(box->GetMesh(), Matrix3(TRUE));
  expectSameBytes(geometry, textsOf("Box001"));
  VukMesh nameOnly;
  nameOnly.objectName = recordText("Box");
  expectSameBytes(geometry, nameOnly);
}

TEST_F(ExportFileWriter, RandomMeshWithEveryOptionalArrayAndWithoutEach) {
  for (const int arrays : {int{kAll}, kAll & ~kColours, kAll & ~kUvs, kAll & ~kCrease, 0}) {
    SCOPED_TRACE(arrays);
    MNMesh poly;
    buildRandomMesh(poly, arrays);
    Matrix3 transform(TRUE);
    transform.RotateX(0.3f);
    transform.SetTrans(Point3(1.5f, -2.0f, 0.25f));
    const ExportGeometry geometry = exportGeometryOf(poly, transform);
    ASSERT_GT(geometry.faceCount, 29);  // the large faces were split
    EXPECT_EQ(geometry.colours != nullptr, (arrays & kColours) != 0);
    EXPECT_EQ(geometry.uvs != nullptr, (arrays & kUvs) != 0);
    EXPECT_EQ(geometry.crease != nullptr, (arrays & kCrease) != 0);
    expectSameBytes(geometry, textsOf("Rock"));
  }
}

// From one element a walk up to more than the whole mesh, so that every walk's parts end at every
// vertex and every face, the last walk short or full.
TEST_F(ExportFileWriter, EveryBufferSizeGivesTheSameBytes) {
  MNMesh poly;
  buildRandomMesh(poly, kAll);
  const ExportGeometry geometry = exportGeometryOf(poly, Matrix3(TRUE));
  const VukMesh texts = textsOf("Rock");
  const std::vector<char> expected = referenceBytes(geometry, texts);
  for (std::size_t bytes = 0; bytes <= 49 * 80; bytes += 7) expectStreamedBytes(geometry, texts, expected, bytes);
}

TEST_F(ExportFileWriter, MeshWithoutFacesKeepsItsEmptyChunks) {
  MNMesh poly;
  poly.setNumVerts(3);
  for (int i = 0; i < 3; ++i) poly.v[i].p = Point3(float(i), 1.0f, 2.0f);
  poly.SetMapNum(2);
  poly.M(1)->setNumVerts(1);
  poly.M(1)->setNumFaces(1);  // map faces without mesh faces: an empty texture chunk, as before
  poly.M(1)->f[0].SetSize(3);
  poly.setEDataSupport(EDATA_CREASE);
  expectSameBytes(exportGeometryOf(poly, Matrix3(TRUE)), textsOf("Points"));
}

TEST_F(ExportFileWriter, UnwritablePathFails) {
  MNMesh poly;
  buildRandomMesh(poly, kAll);
  const std::string path = folder_.file("missing/folder/out.vuk");
  EXPECT_FALSE(writeExportFile(exportGeometryOf(poly, Matrix3(TRUE)), textsOf("Rock"), path.c_str()));
}

}  // namespace
