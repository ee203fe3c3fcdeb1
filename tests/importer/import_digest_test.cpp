// The whole import of a 100k-quad torus sculpt, compared with digests of what the import produced
// when this test was written: the host mesh arrays, the crease list and group table, every script
// text, and the host calls in order. Any change to the builder's or the scripts' speed or memory
// use must leave all four untouched; a change that is meant to alter the output must say so by
// updating the digest it changes.
#include <gtest/gtest.h>

#include <algorithm>
#include <cinttypes>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "import_command.h"
#include "mesh_builder.h"
#include "standin/scene.h"
#include "temp_folder.h"
#include "torus_sculpt.h"

namespace {

// FNV-1a, 64 bits.
class Digest {
 public:
  void bytes(const void* data, std::size_t size) {
    const auto* p = static_cast<const unsigned char*>(data);
    for (std::size_t i = 0; i < size; ++i) {
      value_ ^= p[i];
      value_ *= 0x100000001b3ull;
    }
  }
  template <typename T>
  void value(const T& v) {
    bytes(&v, sizeof v);
  }
  void text(const std::wstring& s) {
    value(s.size());
    for (const wchar_t c : s) value(static_cast<std::uint32_t>(c));
  }
  std::uint64_t result() const { return value_; }

 private:
  std::uint64_t value_ = 0xcbf29ce484222325ull;
};

std::string hex(std::uint64_t v) {
  char text[24];
  std::snprintf(text, sizeof text, "0x%016" PRIx64, v);
  return text;
}

std::uint64_t meshDigest(Mesh& mesh) {
  Digest d;
  d.value(mesh.numVerts);
  d.value(mesh.numFaces);
  d.value(mesh.numTVerts);
  d.value(mesh.numCVerts);
  for (int i = 0; i < mesh.numVerts; ++i) {
    d.value(mesh.verts[i].x), d.value(mesh.verts[i].y), d.value(mesh.verts[i].z);
  }
  for (int t = 0; t < mesh.numFaces; ++t) {
    Face& f = mesh.faces[t];
    for (int k = 0; k < 3; ++k) d.value(f.getVert(k));
    d.value(f.getSmGroup());
    d.value(f.flags);  // edge visibility and material id
  }
  for (int i = 0; i < mesh.numTVerts; ++i) {
    d.value(mesh.tVerts[i].x), d.value(mesh.tVerts[i].y), d.value(mesh.tVerts[i].z);
  }
  const bool textured = mesh.tvFace != nullptr, coloured = mesh.vcFace != nullptr;
  d.value(textured);
  d.value(coloured);
  for (int t = 0; textured && t < mesh.numFaces; ++t) {
    for (int k = 0; k < 3; ++k) d.value(mesh.tvFace[t].getTVert(k));
  }
  for (int i = 0; i < mesh.numCVerts; ++i) {
    d.value(mesh.vertCol[i].x), d.value(mesh.vertCol[i].y), d.value(mesh.vertCol[i].z);
  }
  for (int t = 0; coloured && t < mesh.numFaces; ++t) {
    for (int k = 0; k < 3; ++k) d.value(mesh.vcFace[t].getTVert(k));
  }
  return d.result();
}

std::uint64_t textsDigest(const std::vector<std::wstring>& texts) {
  Digest d;
  d.value(texts.size());
  for (const std::wstring& text : texts) d.text(text);
  return d.result();
}

// The crease list as built, and the group table walked in increasing order of key.
std::uint64_t containersDigest(const std::vector<std::int32_t>& creases,
                               const GroupFaceTable& groups) {
  Digest d;
  d.value(creases.size());
  for (const std::int32_t e : creases) d.value(e);
  std::vector<std::int32_t> keys;
  for (const auto& entry : groups) keys.push_back(entry.first);
  std::sort(keys.begin(), keys.end());
  d.value(keys.size());
  for (const std::int32_t key : keys) {
    const std::vector<std::int32_t>& triangles = groups.at(key);
    d.value(key);
    d.value(triangles.size());
    for (const std::int32_t t : triangles) d.value(t);
  }
  return d.result();
}

class ImportDigest : public ::testing::Test {
 protected:
  void SetUp() override {
    standin::resetScene();
    vuktest::fillTorusSculpt(record_, vuktest::TorusSize{250, 400});
    ASSERT_EQ(record_.Write(folder_.file("Torus.vuk").c_str()), 1);
  }
  void TearDown() override { standin::resetScene(); }

  VukMesh record_;
  vuktest::TempFolder folder_;
};

TEST_F(ImportDigest, HostMeshScriptsAndCallsMatchTheRecordedOutput) {
  const std::wstring name = folder_.wideFile("Torus.vuk");
  ASSERT_EQ(runImport(name.c_str(), standin::importInterface(), standin::coreInterface()), 1);
  ASSERT_EQ(standin::sceneNodes().size(), 1u);
  Object* object = standin::sceneNodes()[0]->GetObjectRef();
  ASSERT_EQ(object->ClassID(), triObjectClassID);
  Mesh& mesh = static_cast<TriObject*>(object)->mesh;
  ASSERT_EQ(mesh.numFaces, 200000);

  EXPECT_EQ(hex(meshDigest(mesh)), "0xe7ed57aa756cfb15") << "host mesh arrays";
  EXPECT_EQ(hex(textsDigest(standin::scriptLog())), "0xfe281b0d06f9f029") << "script texts";
  EXPECT_EQ(hex(textsDigest(standin::journal())), "0x6f64142b0b21dc04") << "host calls";
}

TEST_F(ImportDigest, CreaseListAndGroupTableMatchTheRecordedOutput) {
  Mesh mesh;
  std::vector<std::int32_t> creases;
  GroupFaceTable groups;
  ASSERT_EQ(buildHostMesh(record_, mesh, creases, groups), 1);
  EXPECT_EQ(creases.size(), 400u);
  EXPECT_EQ(groups.size(), 8u);
  EXPECT_EQ(hex(containersDigest(creases, groups)), "0x51b3d28a6cceb9a2");
}

}  // namespace
