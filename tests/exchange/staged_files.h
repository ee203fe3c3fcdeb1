#pragma once
// Small files written, read back and staged in a file transaction, for the transaction's tests.
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include "file_transaction.h"

namespace vuktest {

inline void put(const std::string& path, const std::string& text) { std::ofstream(path, std::ios::binary) << text; }

inline std::string get(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

// Stages `text` for each target in turn; false at the first that cannot be staged.
inline bool stageAll(vuk::FileTransaction& transaction, const std::vector<std::string>& targets,
                     const std::string& text) {
  for (const std::string& target : targets) {
    const std::optional<std::string> temporary = transaction.stage(target);
    if (!temporary) return false;
    put(*temporary, text + " for " + std::filesystem::path(target).filename().string());
  }
  return true;
}

}  // namespace vuktest
