#pragma once
// A fresh, empty folder under the system's temporary folder for one test, removed with everything
// in it when the object goes.
#include <unistd.h>

#include <atomic>
#include <filesystem>
#include <random>
#include <string>
#include <system_error>
#include <vector>

namespace vuktest {

class TempFolder {
 public:
  TempFolder() {
    static std::atomic<unsigned> serial{0};
    std::random_device random;
    const auto base = std::filesystem::temp_directory_path();
    do {  // a name no one holds yet, so the folder starts empty
      path_ = base / ("vuk_test_" + std::to_string(::getpid()) + "_" + std::to_string(serial++) + "_" +
                      std::to_string(random()));
    } while (!std::filesystem::create_directory(path_));
  }
  ~TempFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  const std::filesystem::path& path() const { return path_; }
  // The path of `leaf` inside the folder.
  std::string file(const std::string& leaf) const { return (path_ / leaf).string(); }
  std::wstring wideFile(const std::string& leaf) const { return (path_ / leaf).wstring(); }
  // The names of the entries in the folder, in no particular order.
  std::vector<std::string> names() const {
    std::vector<std::string> found;
    for (const auto& entry : std::filesystem::directory_iterator(path_)) {
      found.push_back(entry.path().filename().string());
    }
    return found;
  }

 private:
  std::filesystem::path path_;
};

}  // namespace vuktest
