#include "import_name.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(ImportName, LeafLessItsLastFourCharacters) {
  EXPECT_EQ(importNameOfLeaf(L"Head.vuk"), L"Head");
  EXPECT_EQ(importNameOfLeaf(L"Head.abcd"), L"Head.");
  EXPECT_EQ(importNameOfLeaf(L"a.vuk"), L"a");
  EXPECT_EQ(importNameOfLeaf(L"\u00e9t\u00e9.vuk"), L"\u00e9t\u00e9");
}

TEST(ImportName, ShortLeafIsKeptWhole) {
  EXPECT_EQ(importNameOfLeaf(L".vuk"), L".vuk");
  EXPECT_EQ(importNameOfLeaf(L"abc"), L"abc");
  EXPECT_EQ(importNameOfLeaf(L""), L"");
}

TEST(ImportName, FoldersAreStripped) {
  EXPECT_EQ(importNameOf(L"C:\\models\\Sphere.vuk"), L"Sphere");
  EXPECT_EQ(importNameOf(L"/home/artist/sculpts/Sphere.vuk"), L"Sphere");
  EXPECT_EQ(importNameOf(L"Sphere.vuk"), L"Sphere");
  EXPECT_EQ(importNameOf(L"D:/x.y/abc"), L"abc");
}

}  // namespace
