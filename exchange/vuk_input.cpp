#include <sys/stat.h>

#include <cstring>
#include <system_error>

#include "file_name.h"
#include "verdict.h"
#include "vuk_file.h"

namespace vuk {

VukInput::VukInput(VukFile file, std::int64_t size) noexcept
    : file_(std::move(file)), size_(size) {}

VukInput::VukInput(const void* bytes, std::int64_t size) noexcept
    : memory_(static_cast<const unsigned char*>(bytes)), size_(size) {}

bool VukInput::read(void* destination, std::int64_t bytes) noexcept {
  if (bytes < 0 || bytes > left()) return false;
  if (bytes == 0) return true;
  const auto length = static_cast<std::size_t>(bytes);
  if (file_) {
    if (std::fread(destination, 1, length, file_.get()) != length) {
      position_ = size_;  // where the file stands is no longer known; nothing more is read
      return false;
    }
  } else {
    std::memcpy(destination, memory_ + position_, length);
  }
  position_ += bytes;
  return true;
}

bool VukInput::skip(std::int64_t bytes) noexcept {
  if (bytes < 0 || bytes > left()) return false;
  if (bytes == 0) return true;
  // Every position stays below 2 GiB, which a long holds on every platform.
  if (file_ && std::fseek(file_.get(), static_cast<long>(bytes), SEEK_CUR) != 0) {
    position_ = size_;
    return false;
  }
  position_ += bytes;
  return true;
}

namespace {

unsigned char asciiLower(unsigned char byte) noexcept {
  return byte >= 'A' && byte <= 'Z' ? static_cast<unsigned char>(byte - 'A' + 'a') : byte;
}

}  // namespace

bool headerMagicMatches(const unsigned char* header) noexcept {
  for (int i = 0; i < 4; ++i) {
    const unsigned char byte = asciiLower(header[i]);
    if (byte == 0) return true;
    if (byte != asciiLower(static_cast<unsigned char>(kMagic[i]))) return false;
  }
  return true;
}

namespace {

template <typename... Pieces>
std::nullopt_t noInput(std::string* verdict, const Pieces&... pieces) {
  refuse(verdict, pieces...);
  return std::nullopt;
}

std::optional<VukInput> checkHeader(VukInput input, std::string* verdict) {
  unsigned char header[kFileHeaderBytes];
  if (!input.read(header, kFileHeaderBytes)) {
    return noInput(verdict, "file header: the file holds ", input.left(), " bytes, fewer than ",
                   kFileHeaderBytes);
  }
  if (!headerMagicMatches(header)) {
    return noInput(verdict, "file header: the file does not begin with the magic ", kMagic);
  }
  return input;
}

bool sizeFits(std::uint64_t size, std::string* verdict) {
  if (size <= static_cast<std::uint64_t>(kMaxFileBytes)) return true;
  return refuse(verdict, "file of ", size, " bytes: a Vuk file stays below 2 GiB");
}

// The length of an open file, or -1 when it cannot be measured. Windows measures with its 64-bit
// calls, since a long there has 32 bits and std::ftell fails on a file of 2 GiB or more.
std::int64_t fileLength(std::FILE* file) noexcept {
#ifdef _WIN32
  if (_fseeki64(file, 0, SEEK_END) != 0) return -1;
  const std::int64_t length = _ftelli64(file);
#else
  if (std::fseek(file, 0, SEEK_END) != 0) return -1;
  const std::int64_t length = std::ftell(file);
#endif
  if (length < 0 || std::fseek(file, 0, SEEK_SET) != 0) return -1;
  return length;
}

// Why an opened name cannot be read as a Vuk file though it opened (a folder opens for reading on
// POSIX systems and measures as a huge file), or null for a plain file. A status that cannot be
// had is left to the measuring that follows.
const char* notPlainFile(std::FILE* file) noexcept {
#ifdef _WIN32
  struct _stat64 status {};
  if (_fstat64(_fileno(file), &status) != 0) return nullptr;
  const unsigned kind = status.st_mode & _S_IFMT;
  if (kind == _S_IFREG) return nullptr;
  return kind == _S_IFDIR ? "it is a folder, not a file" : "it is not a plain file";
#else
  struct stat status {};
  if (::fstat(::fileno(file), &status) != 0) return nullptr;
  if (S_ISREG(status.st_mode)) return nullptr;
  return S_ISDIR(status.st_mode) ? "it is a folder, not a file" : "it is not a plain file";
#endif
}

}  // namespace

std::optional<VukInput> OpenForRead(const char* path, std::string* verdict) {
  if (path == nullptr) return noInput(verdict, "no file name");
  VukFile file(openFile(path, "rb"));
  if (!file) {
    // Windows opens no folder at all; it is told apart from a name that is not there.
    std::error_code ignored;
    if (std::filesystem::is_directory(nativePath(path), ignored)) {
      return noInput(verdict, "cannot open ", path, ": it is a folder, not a file");
    }
    return noInput(verdict, "cannot open ", path);
  }
  if (const char* what = notPlainFile(file.get())) return noInput(verdict, "cannot open ", path, ": ", what);
  const std::int64_t length = fileLength(file.get());
  if (length < 0) {
    return noInput(verdict, "cannot measure ", path, " (a Vuk file stays below 2 GiB)");
  }
  if (!sizeFits(static_cast<std::uint64_t>(length), verdict)) return std::nullopt;
  return checkHeader(VukInput(std::move(file), length), verdict);
}

std::optional<VukInput> OpenForRead(const void* bytes, std::size_t size, std::string* verdict) {
  if (!sizeFits(size, verdict)) return std::nullopt;
  if (bytes == nullptr && size != 0) return noInput(verdict, "no bytes");
  return checkHeader(VukInput(bytes, static_cast<std::int64_t>(size)), verdict);
}

}  // namespace vuk
