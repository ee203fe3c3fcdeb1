#include "import_name.h"

#include <gtest/gtest.h>

#include <clocale>
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

// Restores the C library's locale when a test leaves.
class LocaleGuard {
 public:
  LocaleGuard() : saved_(std::setlocale(LC_ALL, nullptr)) {}
  ~LocaleGuard() { std::setlocale(LC_ALL, saved_.c_str()); }

 private:
  std::string saved_;
};

TEST(NarrowFileName, AsciiConvertsInTheCLocale) {
  LocaleGuard guard;
  std::setlocale(LC_ALL, "C");
  EXPECT_EQ(narrowFileName(L"/tmp/Head.vuk"), std::optional<std::string>("/tmp/Head.vuk"));
  EXPECT_EQ(narrowFileName(L""), std::optional<std::string>(""));
}

TEST(NarrowFileName, UnconvertibleNameGivesNothing) {
  LocaleGuard guard;
  std::setlocale(LC_ALL, "C");
  EXPECT_FALSE(narrowFileName(L"/tmp/\u4e2d.vuk").has_value());
}

TEST(NarrowFileName, MultibyteNameIsSizedByItsEncoding) {
  LocaleGuard guard;
  ASSERT_NE(std::setlocale(LC_ALL, "C.UTF-8"), nullptr);
  // Every character takes three bytes: one byte per wide character would not hold them.
  const std::wstring wide(200, L'\u4e2d');
  const std::optional<std::string> narrow = narrowFileName(wide.c_str());
  ASSERT_TRUE(narrow.has_value());
  ASSERT_EQ(narrow->size(), 600u);
  EXPECT_EQ(narrow->substr(0, 3), "\xe4\xb8\xad");
  EXPECT_EQ(narrow->substr(597), "\xe4\xb8\xad");
}

}  // namespace
