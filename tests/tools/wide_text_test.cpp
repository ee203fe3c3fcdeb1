#include "wide_text.h"

#include <gtest/gtest.h>

#include <clocale>

namespace {

TEST(WideText, Utf8RoundTripsEveryPlane) {
  const std::wstring text = L"Kopf \u00e9\u20ac \U0001F600 end";
  const std::string utf8 = toUtf8(text);
  EXPECT_EQ(utf8, "Kopf \xC3\xA9\xE2\x82\xAC \xF0\x9F\x98\x80 end");
  EXPECT_EQ(fromUtf8(utf8), text);
  EXPECT_EQ(toUtf8(static_cast<const wchar_t*>(nullptr)), "");
}

TEST(WideText, MalformedUtf8BecomesReplacementCharacters) {
  EXPECT_EQ(fromUtf8("a\xFF" "b"), L"a\uFFFDb");
  EXPECT_EQ(fromUtf8("\xC3"), L"\uFFFD") << "a sequence cut short at the end";
  EXPECT_EQ(fromUtf8("\xC0\xAF"), L"\uFFFD\uFFFD") << "an overlong form";
  EXPECT_EQ(fromUtf8("\xED\xA0\x80"), L"\uFFFD\uFFFD\uFFFD") << "a surrogate";
  EXPECT_EQ(toUtf8(std::wstring(1, static_cast<wchar_t>(0xD800))), "\xEF\xBF\xBD");
}

TEST(WideText, UserLocaleConvertsNonAsciiArguments) {
  useUserLocale();
  const std::string chosen = std::setlocale(LC_CTYPE, nullptr);
  EXPECT_NE(chosen, "C") << "the plain C locale is replaced by a UTF-8 one";
  if (chosen.find("UTF-8") == std::string::npos && chosen.find("utf8") == std::string::npos) GTEST_SKIP();
  const auto wide = widenArgument("/tmp/K\xC3\xB6pfe.vuk");
  ASSERT_TRUE(wide.has_value());
  EXPECT_EQ(*wide, L"/tmp/K\u00f6pfe.vuk");
  EXPECT_FALSE(widenArgument("bad \xFF byte").has_value());
  std::setlocale(LC_ALL, "C");
}

}  // namespace

namespace {

TEST(WideText, PrintableShowsControlCharactersAsEscapes) {
  EXPECT_EQ(printable("C:\\maps\\K\xC3\xB6pfe.tif"), "C:\\maps\\K\xC3\xB6pfe.tif");
  EXPECT_EQ(printable("a\x1B[2Jb\x7F\n"), "a\\x1B[2Jb\\x7F\\x0A");
  EXPECT_EQ(printable("x\xC2\x9B" "1m"), "x\\x9B1m") << "the one-character control sequence introducer";
  EXPECT_EQ(printable("\xC2\xA0"), "\xC2\xA0") << "a no-break space stays";
}

}  // namespace
