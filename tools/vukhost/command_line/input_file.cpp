#include "input_file.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

std::string unreadableInput(const std::string& path) {
  struct stat status {};
  if (::stat(path.c_str(), &status) != 0) return "cannot read " + path + ": " + std::strerror(errno);
  if (S_ISDIR(status.st_mode)) return "cannot read " + path + ": it is a folder, not a file";
  if (!S_ISREG(status.st_mode)) return "cannot read " + path + ": it is not a plain file";
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (file == nullptr) return "cannot read " + path + ": " + std::strerror(errno);
  std::fclose(file);
  return "";
}
