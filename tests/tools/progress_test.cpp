#include "progress.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

namespace {

std::string shownText(bool shown) {
  std::FILE* out = std::tmpfile();
  {
    Progress progress("work", 200, out, shown);
    progress.update(1);   // still 0%: nothing new
    progress.update(100);
    progress.update(101);  // still 50%
    progress.update(500);  // past the end shows 100%
  }
  std::rewind(out);
  std::string text;
  for (int c; (c = std::fgetc(out)) != EOF;) text += static_cast<char>(c);
  std::fclose(out);
  return text;
}

TEST(Progress, ShowsEachNewPercentageAndClearsItsLine) {
  const std::string text = shownText(true);
  EXPECT_EQ(text.find("\rwork   0%\rwork  50%\rwork 100%\r"), 0u) << text;
  EXPECT_EQ(text.back(), '\r');
}

TEST(Progress, WritesNothingWhenNotShown) { EXPECT_EQ(shownText(false), ""); }

}  // namespace
