#pragma once
// Progress of long work, shown as one updating line on a terminal and not at all elsewhere.
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <cstdio>
#include <mutex>
#include <string>
#include <thread>

class Progress {
public:
  // Shown on stderr when stderr is a terminal.
  Progress(std::string label, std::int64_t total);
  // Shown on `out` when `shown` says so (for tests).
  Progress(std::string label, std::int64_t total, std::FILE* out, bool shown);
  ~Progress();
  Progress(const Progress&) = delete;
  Progress& operator=(const Progress&) = delete;

  // Work done so far, out of the total; the line changes only when the percentage does.
  void update(std::int64_t done);

private:
  std::string label_;
  std::int64_t total_;
  std::FILE* out_;
  bool shown_;
  int lastPercent_ = -1;
};

// Work that has no measure vukhost can see (a module running): its label and the seconds gone,
// redrawn a few times a second by a thread of its own that only writes the line. Shown like
// Progress, and cleared when the work ends.
class ActivityLine {
public:
  explicit ActivityLine(std::string label);
  ActivityLine(std::string label, std::FILE* out, bool shown, std::chrono::milliseconds period);
  ~ActivityLine();
  ActivityLine(const ActivityLine&) = delete;
  ActivityLine& operator=(const ActivityLine&) = delete;

private:
  void tick();

  std::string label_;
  std::FILE* out_;
  std::chrono::milliseconds period_;
  std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();
  std::mutex mutex_;
  std::condition_variable wake_;
  bool done_ = false;
  std::thread ticker_;
};

// True when stderr is a terminal.
bool progressOnTerminal();
