#include "text_conversion.h"

#include <gtest/gtest.h>

#include <clocale>
#include <string>

namespace {

// Switches the C locale for one test and back.
class LocaleScope {
public:
  explicit LocaleScope(const char* name) : saved_(std::setlocale(LC_ALL, nullptr)) {
    active_ = std::setlocale(LC_ALL, name) != nullptr;
  }
  ~LocaleScope() { std::setlocale(LC_ALL, saved_.c_str()); }
  bool active() const { return active_; }

private:
  std::string saved_;
  bool active_ = false;
};

#define NEED_UTF8(scope)                                                \
  LocaleScope scope("C.UTF-8");                                         \
  if (!scope.active()) GTEST_SKIP() << "no UTF-8 locale on this machine"

}  // namespace

TEST(TextConversion, WholeTextKeepsItsRealLength) {
  EXPECT_EQ(toNarrowText(L"C:\\Models\\Head.vuk"), std::string("C:\\Models\\Head.vuk"));
  EXPECT_EQ(toNarrowText(L""), std::string());
  EXPECT_EQ(toNarrowText(nullptr), std::string());
  const std::wstring longPath(2000, L'p');
  EXPECT_EQ(toNarrowText(longPath.c_str()), std::string(2000, 'p'));
}

TEST(TextConversion, MultibyteTextIsConvertedWithEveryByte) {
  NEED_UTF8(utf8);
  // 600 characters of two bytes each: far beyond any fixed 512-byte buffer.
  const std::wstring wide(600, L'\u00FC');
  const std::optional<std::string> narrow = toNarrowText(wide.c_str());
  ASSERT_TRUE(narrow.has_value());
  EXPECT_EQ(narrow->size(), 1200u);
  EXPECT_EQ(narrow->substr(0, 2), "\xC3\xBC");
}

TEST(TextConversion, TextWithoutAnEightBitFormIsRefused) {
  LocaleScope plain("C");
  EXPECT_FALSE(toNarrowText(L"Kopf\u6A21.vuk").has_value());
}

TEST(TextConversion, CutTextStopsAtTheLimitOnACharacterBoundary) {
  const std::wstring ascii(600, L'n');
  EXPECT_EQ(toNarrowTextCut(ascii.c_str(), 511), std::string(511, 'n'));
  EXPECT_EQ(toNarrowTextCut(L"Box001", 511), "Box001");
  EXPECT_EQ(toNarrowTextCut(nullptr, 511), "");
  NEED_UTF8(utf8);
  const std::wstring wide(300, L'\u00FC');
  const std::string cut = toNarrowTextCut(wide.c_str(), 511);
  EXPECT_EQ(cut.size(), 510u);  // 511 would split the 256th character
  EXPECT_EQ(toNarrowTextCut(L"ab\u6A21", 4), "ab");
}

TEST(TextConversion, CutTextStopsBeforeAnUnconvertibleCharacter) {
  LocaleScope plain("C");
  EXPECT_EQ(toNarrowTextCut(L"Head\u6A21Neck", 511), "Head");
}

TEST(TextConversion, LastCharactersAreWholeCharacters) {
  EXPECT_EQ(withoutLastCharacters("C:\\Models\\Head.vuk", 4), "C:\\Models\\Head");
  EXPECT_EQ(withoutLastCharacters("a.b", 4), "a.b");
  EXPECT_EQ(withoutLastCharacters("abcd", 4), "");
  EXPECT_EQ(withoutLastCharacters("", 4), "");
  EXPECT_EQ(withoutLastCharacters("/tmp/x.tiff", 4), "/tmp/x.");
  NEED_UTF8(utf8);
  // Five characters of which four take three bytes: cutting bytes would split a character.
  EXPECT_EQ(withoutLastCharacters("x\u6A21\u578B\u6587\u4EF6", 4), "x");
  EXPECT_EQ(withoutLastCharacters("\u6A21\u578B", 4), "\u6A21\u578B");
  EXPECT_EQ(withoutLastCharacters("/m/K\u00F6pf.vuk", 4), "/m/K\u00F6pf");
}
