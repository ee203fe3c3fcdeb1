#include "progress.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <thread>

namespace {

// What was written to `out`, which is then closed.
std::string textOf(std::FILE* out) {
  std::rewind(out);
  std::string text;
  for (int c; (c = std::fgetc(out)) != EOF;) text += static_cast<char>(c);
  std::fclose(out);
  return text;
}

std::string shownText(bool shown) {
  std::FILE* out = std::tmpfile();
  {
    Progress progress("work", 200, out, shown);
    progress.update(1);   // still 0%: nothing new
    progress.update(100);
    progress.update(101);  // still 50%
    progress.update(500);  // past the end shows 100%
  }
  return textOf(out);
}

TEST(Progress, ShowsEachNewPercentageAndClearsItsLine) {
  const std::string text = shownText(true);
  EXPECT_EQ(text.find("\rwork   0%\rwork  50%\rwork 100%\r"), 0u) << text;
  EXPECT_EQ(text.back(), '\r');
}

TEST(Progress, WritesNothingWhenNotShown) { EXPECT_EQ(shownText(false), ""); }

std::string activityText(bool shown) {
  std::FILE* out = std::tmpfile();
  {
    ActivityLine activity("importing a.vuk", out, shown, std::chrono::milliseconds(5));
    std::this_thread::sleep_for(std::chrono::milliseconds(60));
  }
  return textOf(out);
}

TEST(ActivityLine, MovesWhileTheWorkRunsAndClearsItsLine) {
  const std::string text = activityText(true);
  EXPECT_EQ(text.rfind("\rimporting a.vuk    0.0 s", 0), 0u) << text;
  std::size_t redraws = 0;
  for (std::size_t at = 0; (at = text.find("\rimporting", at)) != std::string::npos; ++at) ++redraws;
  EXPECT_GE(redraws, 2u) << "the seconds move: " << text;
  EXPECT_EQ(text.back(), '\r');
  EXPECT_EQ(activityText(false), "");
}

}  // namespace
