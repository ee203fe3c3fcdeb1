#include "texture_keys.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

TEST(TextureKeyPart, TruncatesTheDoubleProductTowardZero) {
  EXPECT_EQ(textureKeyPart(0.5f), 500000);
  EXPECT_EQ(textureKeyPart(0.25f), 250000);
  EXPECT_EQ(textureKeyPart(0.5000004f), 500000);
  EXPECT_EQ(textureKeyPart(0.0000005f), 0);
  EXPECT_EQ(textureKeyPart(-0.0000005f), 0);
  EXPECT_EQ(textureKeyPart(-0.25f), -250000);
  EXPECT_EQ(textureKeyPart(-1.0000009f), -1000000);
  // 1e-6f is a little below one millionth: the product in double stays below 1 (in single
  // precision it would round up to 1).
  EXPECT_EQ(textureKeyPart(1e-6f), 0);
}

TEST(TextureKeyPart, OutOfRangeAndNaNGiveTheLowestKey) {
  EXPECT_EQ(textureKeyPart(2147.483642578125f), 2147483642);   // the last float in range
  EXPECT_EQ(textureKeyPart(2147.48388671875f), INT32_MIN);     // the next one
  EXPECT_EQ(textureKeyPart(-2147.483642578125f), -2147483642);
  EXPECT_EQ(textureKeyPart(-2147.48388671875f), INT32_MIN);
  EXPECT_EQ(textureKeyPart(1.0e9f), INT32_MIN);
  EXPECT_EQ(textureKeyPart(std::numeric_limits<float>::infinity()), INT32_MIN);
  EXPECT_EQ(textureKeyPart(-std::numeric_limits<float>::infinity()), INT32_MIN);
  EXPECT_EQ(textureKeyPart(std::nanf("")), INT32_MIN);
}

TEST(TextureKey, BothHalvesMatter) {
  EXPECT_EQ(textureKey(0.5f, 0.25f), textureKey(0.5000004f, 0.25f));
  EXPECT_NE(textureKey(0.5f, 0.25f), textureKey(0.25f, 0.5f));
  EXPECT_NE(textureKey(0.0f, -1e-6f * 2), textureKey(0.0f, 0.0f));
  EXPECT_EQ(textureKey(std::nanf(""), 0.0f), textureKey(5000.0f, 0.0f));
}

TEST(TextureVertexTable, NumbersByFirstAppearanceAndKeepsTheFirstCoordinates) {
  TextureVertexTable table(4, 3);
  EXPECT_EQ(table.indexFor(0, 0.5f, 0.25f), 0);
  EXPECT_EQ(table.indexFor(1, 1.0f, 0.0f), 1);
  EXPECT_EQ(table.indexFor(0, 0.5000004f, 0.25f), 0);  // the same key at the same vertex
  EXPECT_EQ(table.indexFor(2, 0.5000004f, 0.25f), 0);  // and at another vertex
  EXPECT_EQ(table.indexFor(0, 0.0f, 0.0f), 2);         // a seam: a new key at a known vertex
  EXPECT_EQ(table.indexFor(0, 1.0f, 0.0f), 1);
  EXPECT_EQ(table.indexFor(0, 0.0f, 0.0f), 2);
  EXPECT_EQ(table.indexFor(1, 0.5f, 0.25f), 0);
  ASSERT_EQ(table.vertices().size(), 3u);
  EXPECT_EQ(table.vertices()[0].u, 0.5f);
  EXPECT_EQ(table.vertices()[0].v, 0.25f);
  EXPECT_EQ(table.vertices()[2].u, 0.0f);
}

// Keys met again in other orders and at other mesh vertices, in a table that starts small: the
// vertex of a key's first appearance answers every later corner with that key.
TEST(TextureVertexTable, KeysMetAgainFarApartKeepTheirVertices) {
  constexpr int kKeys = 100000;
  constexpr int kMeshVertices = 997;
  TextureVertexTable table(16, kMeshVertices);
  const auto coordinate = [](int i) { return static_cast<float>(i) * 1e-5f; };
  const auto indexOf = [&](int i, int vertex) {
    return table.indexFor(vertex % kMeshVertices, coordinate(i), coordinate(i % 7));
  };
  for (int i = 0; i < kKeys; ++i) ASSERT_EQ(indexOf(i, i), i);
  for (int i = kKeys - 1; i >= 0; i -= 3) ASSERT_EQ(indexOf(i, i / 3), i);
  for (int i = 0; i < kKeys; i += 5) {
    ASSERT_EQ(indexOf(i, i), i);
    ASSERT_EQ(indexOf(kKeys - 1 - i, i), kKeys - 1 - i);
  }
  EXPECT_EQ(table.vertices().size(), static_cast<std::size_t>(kKeys));
  EXPECT_EQ(table.indexFor(0, coordinate(kKeys), 0.5f), kKeys);
}

}  // namespace
