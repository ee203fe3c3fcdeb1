#include "progress.h"

#include <unistd.h>

#include <utility>

bool progressOnTerminal() { return isatty(STDERR_FILENO) == 1; }

Progress::Progress(std::string label, std::int64_t total)
    : Progress(std::move(label), total, stderr, progressOnTerminal()) {}

Progress::Progress(std::string label, std::int64_t total, std::FILE* out, bool shown)
    : label_(std::move(label)), total_(total), out_(out), shown_(shown) {
  update(0);
}

Progress::~Progress() {
  if (shown_ && lastPercent_ >= 0) {
    std::fprintf(out_, "\r%*s\r", static_cast<int>(label_.size()) + 6, "");
    std::fflush(out_);
  }
}

void Progress::update(std::int64_t done) {
  if (!shown_) return;
  int percent = 100;
  if (total_ > 0 && done < total_) percent = static_cast<int>(done < 0 ? 0 : done * 100 / total_);
  if (percent == lastPercent_) return;
  lastPercent_ = percent;
  std::fprintf(out_, "\r%s %3d%%", label_.c_str(), percent);
  std::fflush(out_);
}
