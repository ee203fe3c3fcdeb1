#pragma once
// A whole file read into one string, byte for byte.
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace vuktest {

// Empty when the file cannot be read.
inline std::string fileText(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

}  // namespace vuktest
