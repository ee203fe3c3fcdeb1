// The system's ANSI code page behind the Windows conversion calls and WStr, and the host's log.
#include <gtest/gtest.h>

#include <string>

#include <maxapi.h>
#include <standin/scene.h>
#include <strclass.h>
#include <windows.h>

namespace {

// Sets the code page for one test and puts Windows-1252 back afterwards.
struct CodePage {
  explicit CodePage(UINT codePage) { standin::setAnsiCodePage(codePage); }
  ~CodePage() { standin::setAnsiCodePage(1252); }
};

// WideCharToMultiByte of the whole text with the flags and default-character arguments a caller
// that wants to know about lost characters passes; "<failed N>" with the error when it fails.
std::string narrowed(const wchar_t* text, DWORD flags, BOOL* usedDefault) {
  const int size = WideCharToMultiByte(CP_ACP, flags, text, -1, nullptr, 0, nullptr, usedDefault);
  if (size == 0) return "<failed " + std::to_string(GetLastError()) + ">";
  std::string bytes(static_cast<std::size_t>(size), '\0');
  if (WideCharToMultiByte(CP_ACP, flags, text, -1, bytes.data(), size, nullptr, usedDefault) != size) return "<short>";
  bytes.pop_back();  // the terminating zero that -1 asked for
  return bytes;
}

TEST(CodePage, Windows1252MarksEveryCharacterItLacks) {
  BOOL used = TRUE;
  EXPECT_EQ(narrowed(L"na\u00EFve \u20AC \u0153", WC_NO_BEST_FIT_CHARS, &used), "na\xEFve \x80 \x9C");
  EXPECT_FALSE(used);
  EXPECT_EQ(narrowed(L"\u041C\u043E\u0434\u0435\u043B\u0438", WC_NO_BEST_FIT_CHARS, &used), "??????");
  EXPECT_TRUE(used);
  EXPECT_EQ(narrowed(L"x", WC_ERR_INVALID_CHARS, nullptr), "<failed 1004>");
  char small[2];
  EXPECT_EQ(WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, L"abc", 3, small, 2, nullptr, nullptr), 0);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
}

TEST(CodePage, Utf8RefusesDefaultCharactersAndCanRefuseLoneSurrogates) {
  const CodePage utf8(CP_UTF8);
  EXPECT_EQ(GetACP(), 65001u);
  BOOL used = FALSE;
  EXPECT_EQ(narrowed(L"\u041C\u043E", 0, &used), "<failed 87>");
  EXPECT_EQ(narrowed(L"\u041C\u043E", WC_NO_BEST_FIT_CHARS, nullptr), "<failed 1004>");
  EXPECT_EQ(narrowed(L"\u041C\u043E", WC_ERR_INVALID_CHARS, nullptr), "\xD0\x9C\xD0\xBE");
  const wchar_t lone[] = {L'a', static_cast<wchar_t>(0xD800), L'\0'};
  EXPECT_EQ(narrowed(lone, WC_ERR_INVALID_CHARS, nullptr), "<failed 1113>");
  EXPECT_EQ(narrowed(lone, 0, nullptr), "a\xEF\xBF\xBD");
}

TEST(CodePage, MultiByteToWideCharAndWStrFollowTheSetting) {
  wchar_t wide[8] = {};
  EXPECT_EQ(MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, "\xC6r\xF8", 3, wide, 8), 3);
  EXPECT_EQ(std::wstring(wide, 3), L"\u00C6r\u00F8");
  EXPECT_EQ(std::wstring(WStr::FromACP("\xC3\xA9").data()), L"\u00C3\u00A9");
  {
    const CodePage utf8(CP_UTF8);
    EXPECT_EQ(std::wstring(WStr::FromACP("\xC3\xA9").data()), L"\u00E9");
    EXPECT_STREQ(WStr(L"\u00E9\u0416").ToCStr().data(), "\xC3\xA9\xD0\x96");
    EXPECT_EQ(MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, "\xC3(", 2, wide, 8), 0);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NO_UNICODE_TRANSLATION));
    EXPECT_EQ(MultiByteToWideChar(CP_ACP, 0, "\xC3(", 2, wide, 8), 2);
    EXPECT_EQ(std::wstring(wide, 2), L"\uFFFD(");
  }
  EXPECT_STREQ(WStr(L"\u00E9\u0416").ToCStr().data(), "\xE9?");
  EXPECT_THROW(standin::setAnsiCodePage(932), std::invalid_argument);
}

TEST(HostLog, KeepsEveryEntryWithTheHostRuntimesFormatRules) {
  standin::resetScene();
  LogSys* log = GetCOREInterface()->Log();
  ASSERT_NE(log, nullptr);
  log->LogEntry(SYSLOG_ERROR, NO_DIALOG, L"Vuk", L"%s: %d maps; %hs", L"C:\\caf\u00E9.vuk", 3, "narrow");
  log->LogEntry(SYSLOG_WARN, DISPLAY_DIALOG, nullptr, L"100%% %ls", L"done");
  const auto& entries = standin::logEntries();
  ASSERT_EQ(entries.size(), 2u);
  EXPECT_EQ(entries[0].type, static_cast<DWORD>(SYSLOG_ERROR));
  EXPECT_EQ(entries[0].dialogue, NO_DIALOG);
  EXPECT_EQ(entries[0].title, L"Vuk");
  EXPECT_EQ(entries[0].text, L"C:\\caf\u00E9.vuk: 3 maps; narrow");
  EXPECT_EQ(entries[1].dialogue, DISPLAY_DIALOG);
  EXPECT_EQ(entries[1].title, L"");
  EXPECT_EQ(entries[1].text, L"100% done");
  standin::resetScene();
  EXPECT_TRUE(standin::logEntries().empty());
}

TEST(HostLogDeathTest, AnErrorEntryLongerThanTheHostTakesStops) {
  const std::wstring longText(8193, L'x');
  EXPECT_DEATH(GetCOREInterface()->Log()->LogEntry(SYSLOG_ERROR, NO_DIALOG, nullptr, L"%s", longText.c_str()),
               "stand-in host: LogSys::LogEntry");
}

}  // namespace
