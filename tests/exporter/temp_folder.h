#pragma once
// A fresh, empty folder for one test, removed with everything in it afterwards.
#include <atomic>
#include <chrono>
#include <filesystem>
#include <string>
#include <system_error>

#include <unistd.h>

class TempFolder {
public:
  TempFolder() {
    static std::atomic<unsigned> serial{0};
    const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
    path_ = std::filesystem::temp_directory_path() /
            ("vuk_export_" + std::to_string(::getpid()) + "_" + std::to_string(stamp) + "_" +
             std::to_string(serial++));
    std::filesystem::create_directories(path_);
  }
  ~TempFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  std::string file(const std::string& leaf) const { return (path_ / leaf).string(); }
  std::wstring wideFile(const std::string& leaf) const { return (path_ / leaf).wstring(); }
  const std::filesystem::path& path() const { return path_; }

private:
  std::filesystem::path path_;
};
