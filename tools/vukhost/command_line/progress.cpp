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

ActivityLine::ActivityLine(std::string label)
    : ActivityLine(std::move(label), stderr, progressOnTerminal(), std::chrono::milliseconds(200)) {}

ActivityLine::ActivityLine(std::string label, std::FILE* out, bool shown, std::chrono::milliseconds period)
    : label_(std::move(label)), out_(out), period_(period) {
  if (shown) ticker_ = std::thread(&ActivityLine::tick, this);
}

ActivityLine::~ActivityLine() {
  if (!ticker_.joinable()) return;
  {
    const std::lock_guard<std::mutex> lock(mutex_);
    done_ = true;
  }
  wake_.notify_one();
  ticker_.join();
  std::fprintf(out_, "\r%*s\r", static_cast<int>(label_.size()) + 12, "");
  std::fflush(out_);
}

void ActivityLine::tick() {
  std::unique_lock<std::mutex> lock(mutex_);
  do {
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start_).count();
    std::fprintf(out_, "\r%s %6.1f s", label_.c_str(), seconds);
    std::fflush(out_);
  } while (!wake_.wait_for(lock, period_, [this] { return done_; }));
}
