#pragma once
// Progress of long work, shown as one updating line on a terminal and not at all elsewhere.
#include <cstdint>
#include <cstdio>
#include <string>

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

// True when stderr is a terminal.
bool progressOnTerminal();
