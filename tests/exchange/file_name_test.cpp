#include "file_name.h"

#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include "temp_folder.h"

namespace {

TEST(FileName, WideNamesBecomeUtf8WithoutLoss) {
  EXPECT_EQ(vuk::fileNameOf(L"/m/caf\u00E9/\u00C6r\u00F8.vuk"), std::string("/m/caf\xC3\xA9/\xC3\x86r\xC3\xB8.vuk"));
  EXPECT_EQ(vuk::fileNameOf(L"\u041C\u0438\u0440 \u20AC \U0001F600"),
            std::string("\xD0\x9C\xD0\xB8\xD1\x80 \xE2\x82\xAC \xF0\x9F\x98\x80"));
  const wchar_t lone[] = {L'a', static_cast<wchar_t>(0xDC00), L'\0'};
  EXPECT_FALSE(vuk::fileNameOf(lone).has_value());
  EXPECT_FALSE(vuk::fileNameOf(nullptr).has_value());
}

TEST(FileName, Utf8BecomesTheSameWideTextAgainAndMalformedBytesBecomeReplacements) {
  for (const wchar_t* wide : {L"/m/caf\u00E9/\u00C6r\u00F8.vuk", L"\u041C\u0438\u0440 \u20AC \U0001F600", L""}) {
    EXPECT_EQ(vuk::wideTextOf(*vuk::fileNameOf(wide)), std::wstring(wide));
  }
  // A lone continuation byte, a sequence cut short, an overlong form, a surrogate, a code above
  // U+10FFFF: every byte of them that begins no character is one U+FFFD.
  EXPECT_EQ(vuk::wideTextOf("a\x80" "b"), L"a\uFFFDb");
  EXPECT_EQ(vuk::wideTextOf("a\xE2\x82"), L"a\uFFFD\uFFFD");
  EXPECT_EQ(vuk::wideTextOf("\xC0\xAF" "c"), L"\uFFFD\uFFFD" L"c");
  EXPECT_EQ(vuk::wideTextOf("\xED\xA0\x80"), L"\uFFFD\uFFFD\uFFFD");
  EXPECT_EQ(vuk::wideTextOf("\xF4\x90\x80\x80" "d"), L"\uFFFD\uFFFD\uFFFD\uFFFD" L"d");
  EXPECT_EQ(vuk::wideTextOf("\xE2\x82" "e"), L"\uFFFD\uFFFD" L"e");
}

TEST(FileName, OpensAndRemovesTheFileThatTheNameGives) {
  vuktest::TempFolder folder;
  const std::string name = *vuk::fileNameOf((folder.path().wstring() + L"/na\u00EFve \u20AC \u0153.vuk").c_str());
  std::FILE* file = vuk::openFile(name, "wb");
  ASSERT_NE(file, nullptr);
  std::fputs("bytes", file);
  std::fclose(file);
  EXPECT_EQ(folder.names(), std::vector<std::string>{"na\xC3\xAFve \xE2\x82\xAC \xC5\x93.vuk"});
  EXPECT_TRUE(vuk::removeFile(name));
  EXPECT_TRUE(folder.names().empty());
}

}  // namespace
