// The host's strings in the ANSI code page, and paths.
#include <gtest/gtest.h>

#include <string>

#include <Path.h>
#include <strclass.h>

namespace {

std::wstring fromAcp(const char* text, size_t length = (size_t)-1) { return WStr::FromACP(text, length).data(); }

TEST(WStrFromACP, DecodesTheWindows1252HighHalf) {
  EXPECT_EQ(fromAcp("\x80"), L"\u20AC");
  EXPECT_EQ(fromAcp("caf\xE9"), L"caf\u00E9");
  EXPECT_EQ(fromAcp("\x9F\xA0\xFF"), L"\u0178\u00A0\u00FF");
  EXPECT_EQ(fromAcp("\x91quoted\x92 \x96 \x85"), L"\u2018quoted\u2019 \u2013 \u2026");
  // The five bytes the code page leaves undefined keep their number.
  EXPECT_EQ(fromAcp("\x81\x8D\x8F\x90\x9D"), L"\u0081\u008D\u008F\u0090\u009D");
}

TEST(WStrFromACP, TakesTheGivenLengthOrUpToTheZero) {
  EXPECT_EQ(fromAcp("abcdef", 3), L"abc");
  EXPECT_EQ(fromAcp("abcdef", 0), L"");
  const WStr embedded = WStr::FromACP("a\0\xE9", 3);
  EXPECT_EQ(embedded.data()[0], L'a');
  EXPECT_EQ(embedded.data()[1], L'\0');
  EXPECT_EQ(embedded.data()[2], L'\u00E9');
  EXPECT_EQ(fromAcp("ab\0cd"), L"ab");
  EXPECT_EQ(fromAcp(nullptr), L"");
  EXPECT_EQ(fromAcp(nullptr, 4), L"");
}

TEST(WStrToCStr, EveryByteRoundTripsAndForeignCharactersBecomeQuestionMarks) {
  std::string all;
  for (int byte = 1; byte < 256; ++byte) all += static_cast<char>(byte);
  EXPECT_EQ(std::string(WStr::FromACP(all.c_str()).ToCStr().data()), all);
  EXPECT_STREQ(WStr(L"x\u4E2Dy\u0080\U0001F600").ToCStr().data(), "x?y??");
  EXPECT_EQ(std::wstring(WStr::FromCStr(CStr("1,2,\x80")).data()), L"1,2,\u20AC");
}

TEST(WStr, CopiesAndNullTexts) {
  WStr original(L"Head");
  WStr copy(original);
  original = WStr(L"Other");
  EXPECT_EQ(std::wstring(copy.data()), L"Head");
  EXPECT_EQ(std::wstring(static_cast<const wchar_t*>(original)), L"Other");
  EXPECT_EQ(std::wstring(WStr(nullptr).data()), L"");
  EXPECT_STREQ(CStr(nullptr).data(), "");
}

std::wstring leafOf(const wchar_t* path) {
  MaxSDK::Util::Path p(path);
  p.StripToLeaf();
  return p.GetString().data();
}

std::wstring parentOf(const wchar_t* path) {
  MaxSDK::Util::Path p(path);
  return p.RemoveLeaf().GetCStr();
}

TEST(Path, StripToLeafKeepsWhatFollowsTheLastSeparator) {
  EXPECT_EQ(leafOf(L"C:\\Models\\Head.vuk"), L"Head.vuk");
  EXPECT_EQ(leafOf(L"/tmp/models/Head.vuk"), L"Head.vuk");
  EXPECT_EQ(leafOf(L"C:\\a/b\\c d.vuk"), L"c d.vuk");
  EXPECT_EQ(leafOf(L"C:/a\\b/Sphere.vuk"), L"Sphere.vuk");
  EXPECT_EQ(leafOf(L"Head.vuk"), L"Head.vuk");
  EXPECT_EQ(leafOf(L"C:\\Models\\"), L"");
  EXPECT_EQ(leafOf(L""), L"");
  EXPECT_EQ(leafOf(nullptr), L"");
}

TEST(Path, RemoveLeafKeepsTheFolderAndRoots) {
  EXPECT_EQ(parentOf(L"C:\\Models\\Head.vuk"), L"C:\\Models");
  EXPECT_EQ(parentOf(L"/tmp/Head.vuk"), L"/tmp");
  EXPECT_EQ(parentOf(L"C:\\Head.vuk"), L"C:\\");
  EXPECT_EQ(parentOf(L"/Head.vuk"), L"/");
  EXPECT_EQ(parentOf(L"Head.vuk"), L"");
}

TEST(Path, ConstructsFromWStrAndCopies) {
  MaxSDK::Util::Path original(WStr(L"C:\\x\\y.tif"));
  MaxSDK::Util::Path copy(original);
  original.StripToLeaf();
  EXPECT_EQ(std::wstring(copy.GetCStr()), L"C:\\x\\y.tif");
  EXPECT_EQ(std::wstring(original.GetCStr()), L"y.tif");
  EXPECT_EQ(std::wstring(MaxSDK::Util::Path().GetCStr()), L"");
}

}  // namespace
