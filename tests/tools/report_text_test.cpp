#include "report_text.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "wide_text.h"

namespace {

std::string reportText(const ImportReport& report) {
  char* buffer = nullptr;
  std::size_t size = 0;
  std::FILE* out = open_memstream(&buffer, &size);
  printReportText(report, out);
  std::fclose(out);
  std::string text(buffer, size);
  std::free(buffer);
  return text;
}

TEST(ReportText, LongScriptsShowTheirStartAndEndCutBetweenCharacters) {
  ImportReport report;
  const std::string euro = "\xE2\x82\xAC";  // three bytes
  // The head's cut and the tail's start both fall inside a euro sign.
  const std::string script = std::string(99, 'a') + euro + std::string(200, 'b') + euro + std::string(95, 'c') + "END";
  // Characters of four bytes, and one that is not Unicode and shows as U+FFFD, at the tail's cut.
  std::wstring wide(150, L'\U0001F600');
  wide[125] = static_cast<wchar_t>(0xD800);
  report.scriptExcerpts = {scriptExcerpt("short"), scriptExcerpt(script), scriptExcerpt(toUtf8(wide))};
  const std::string text = reportText(report);
  EXPECT_NE(text.find("  1. short\n"), std::string::npos) << text;
  const std::string expected = "  2. " + std::string(99, 'a') + " ... " + std::string(95, 'c') + "END (" +
                               std::to_string(script.size()) + " characters)\n";
  EXPECT_NE(text.find(expected), std::string::npos) << text;
  std::string emoji25;
  for (int i = 0; i < 25; ++i) emoji25 += "\xF0\x9F\x98\x80";
  const std::string expectedWide =
      "  3. " + emoji25 + " ... \xEF\xBF\xBD" + emoji25.substr(4) + " (599 characters)\n";
  EXPECT_NE(text.find(expectedWide), std::string::npos) << text;
}

}  // namespace
