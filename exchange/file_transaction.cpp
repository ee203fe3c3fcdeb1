#include "file_transaction.h"

#include "file_name.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <random>
#include <set>

#ifdef _WIN32
#define WIN32_LEAN_AND_MEAN
#define NOMINMAX
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace vuk {
namespace {

constexpr int maxLinkHops = 40;
constexpr int maxNameAttempts = 64;

#ifdef _WIN32
constexpr const char* separators = "\\/";
#else
constexpr const char* separators = "/";
#endif

std::string joined(const std::string& folder, const std::string& leaf) {
  if (folder.empty()) return leaf;
  const char last = folder.back();
  return std::strchr(separators, last) != nullptr ? folder + leaf : folder + separators[0] + leaf;
}

// ---- The few calls that differ between the platforms ----

#ifdef _WIN32

// The system's words for the last error of this thread, with its number.
std::string systemReasonWin() {
  const DWORD error = GetLastError();
  char* text = nullptr;
  const DWORD length = FormatMessageA(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error,
      MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US), reinterpret_cast<char*>(&text), 0, nullptr);
  std::string words(text != nullptr ? text : "", length);
  LocalFree(text);
  while (!words.empty() && std::strchr(" .\r\n", words.back()) != nullptr) words.pop_back();
  const std::string number = "system error " + std::to_string(error);
  return words.empty() ? number : words + " (" + number + ")";
}

// Whether the last call failed because something of that name is there already (a folder
// refuses a file of its name with "access denied").
bool nameTaken(const std::string& path) {
  const DWORD error = GetLastError();
  if (error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS) return true;
  if (error != ERROR_ACCESS_DENIED) return false;
  const bool there = GetFileAttributesW(nativePath(path).c_str()) != INVALID_FILE_ATTRIBUTES;
  SetLastError(error);
  return there;
}

// Creates the file only when no file of that name exists (a dangling link included).
bool createNew(const std::string& path, bool& exists, std::string& reason) {
  HANDLE file = CreateFileW(nativePath(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    exists = nameTaken(path);
    reason = systemReasonWin();
    return false;
  }
  CloseHandle(file);
  return true;
}

bool syncFile(const std::string& path, int /*mode*/, std::string& reason) {
  HANDLE file = CreateFileW(nativePath(path).c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    reason = systemReasonWin();
    return false;
  }
  const bool flushed = FlushFileBuffers(file) != 0;
  if (!flushed) reason = systemReasonWin();
  CloseHandle(file);
  return flushed;
}

// Answers whether a file is there; -1 when it is there but cannot be replaced: not a plain file,
// read-only, or open in a program that does not let it be replaced. Such a file is refused before
// any target is touched (a backup link to a file held open could not be removed again).
int existingMode(const std::string& path, std::string& reason) {
  const std::filesystem::path name = nativePath(path);
  const DWORD attributes = GetFileAttributesW(name.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return 0;
  if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
    reason = "it is a folder";
    return -1;
  }
  if (attributes & FILE_ATTRIBUTE_READONLY) {
    reason = "it is read-only";
    return -1;
  }
  HANDLE file = CreateFileW(name.c_str(), DELETE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    reason = "it is open in another program: " + systemReasonWin();
    return -1;
  }
  CloseHandle(file);
  return 1;
}

// A second name `link` for the file `existing`; `exists` tells whether that name was taken.
bool linkTo(const std::string& existing, const std::string& link, bool& exists) {
  if (CreateHardLinkW(nativePath(link).c_str(), nativePath(existing).c_str(), nullptr) != 0) return true;
  exists = nameTaken(link);
  return false;
}

bool replaceWith(const std::string& from, const std::string& to, std::string& reason) {
  if (MoveFileExW(nativePath(from).c_str(), nativePath(to).c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    return true;
  }
  reason = systemReasonWin();
  return false;
}

// The replacing call above is written through; NTFS offers no folder sync of its own.
void syncFolder(const std::string&) noexcept {}

std::string linkTarget(const std::string&) { return std::string(); }

#else

std::string systemReason() { return std::strerror(errno); }

bool createNew(const std::string& path, bool& exists, std::string& reason) {
  const int file = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
  if (file < 0) {
    exists = errno == EEXIST;
    reason = systemReason();
    return false;
  }
  ::close(file);
  return true;
}

// Flushes the file to the disk, after giving it `mode` when that is not negative.
bool syncFile(const std::string& path, int mode, std::string& reason) {
  const int file = ::open(path.c_str(), O_WRONLY | O_CLOEXEC | O_NOFOLLOW);
  if (file < 0) {
    reason = systemReason();
    return false;
  }
  bool synced = (mode < 0 || ::fchmod(file, static_cast<mode_t>(mode)) == 0) && ::fsync(file) == 0;
  if (!synced) reason = systemReason();
  if (::close(file) != 0 && synced) {
    reason = systemReason();
    synced = false;
  }
  return synced;
}

// The permission bits of the file at `path`, 0 when there is none yet (its temporary keeps the
// default ones), -1 when something that is not a plain file is there.
int existingMode(const std::string& path, std::string& reason) {
  struct stat status {};
  if (::stat(path.c_str(), &status) != 0) return errno == ENOENT ? 0 : (reason = systemReason(), -1);
  if (!S_ISREG(status.st_mode)) {
    reason = S_ISDIR(status.st_mode) ? "it is a folder" : "it is not a plain file";
    return -1;
  }
  return static_cast<int>(status.st_mode & 07777) | 0x10000;  // the high bit says "there"
}

bool linkTo(const std::string& existing, const std::string& link, bool& exists) {
  if (::link(existing.c_str(), link.c_str()) == 0) return true;
  exists = errno == EEXIST;
  return false;
}

bool replaceWith(const std::string& from, const std::string& to, std::string& reason) {
  if (std::rename(from.c_str(), to.c_str()) == 0) return true;
  reason = systemReason();
  return false;
}

// Makes the renames in a folder durable. A folder that cannot be opened or synced (some network
// file systems) is left as the system keeps it: the files themselves are already on disk.
void syncFolder(const std::string& folder) noexcept {
  const int handle = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (handle < 0) return;
  ::fsync(handle);
  ::close(handle);
}

// What the link at `path` points to, or "" when `path` is not a link.
std::string linkTarget(const std::string& path) {
  struct stat status {};
  if (::lstat(path.c_str(), &status) != 0 || !S_ISLNK(status.st_mode)) return std::string();
  std::string target(4096, '\0');
  const ssize_t length = ::readlink(path.c_str(), &target[0], target.size());
  if (length <= 0 || static_cast<std::size_t>(length) >= target.size()) return std::string();
  target.resize(static_cast<std::size_t>(length));
  return target;
}

#endif

unsigned long long freshSeed() {
  std::random_device device;
  return (static_cast<unsigned long long>(device()) << 32) ^ device();
}

}  // namespace

std::string folderOf(const std::string& path) {
  const std::size_t cut = path.find_last_of(separators);
  return cut == std::string::npos ? std::string() : path.substr(0, cut + 1);
}

std::string resolveLinks(const std::string& path) {
  std::string current = path;
  for (int hop = 0; hop < maxLinkHops; ++hop) {
    const std::string target = linkTarget(current);
    if (target.empty()) return current;
    current = std::strchr(separators, target[0]) != nullptr ? target : joined(folderOf(current), target);
  }
  return current;  // a loop of links: the rename then replaces the last link looked at
}

std::string temporaryNameIn(const std::string& folder, unsigned long long unique) {
  char leaf[32];
  std::snprintf(leaf, sizeof leaf, ".vuk%016llx.tmp", unique);
  return joined(folder, leaf);
}

FileTransaction::~FileTransaction() { removeLeftovers(); }

std::optional<std::string> FileTransaction::stage(const std::string& target) {
  if (serial_ == 0) serial_ = freshSeed() | 1;
  Staged file;
  file.target = resolveLinks(target);
  const std::string folder = folderOf(file.target);
  std::string reason;
  for (int attempt = 0; attempt < maxNameAttempts; ++attempt) {
    // A stale temporary of an earlier export only costs another name.
    serial_ = serial_ * 6364136223846793005ULL + 1442695040888963407ULL;
    const std::string name = temporaryNameIn(folder, serial_);
    bool exists = false;
    if (createNew(name, exists, reason)) {
      file.temporary = name;
      staged_.push_back(file);
      failure_.clear();
      return name;
    }
    if (!exists) break;
  }
  failure_ = "cannot create a file beside " + file.target + ": " + reason;
  return std::nullopt;
}

bool FileTransaction::prepare(Staged& file) {
  std::string reason;
  const int mode = existingMode(file.target, reason);
  if (mode < 0) {
    failure_ = "cannot replace " + file.target + ": " + reason;
    return false;
  }
  file.targetExisted = mode != 0;
  if (!syncFile(file.temporary, file.targetExisted ? (mode & 07777) : -1, reason)) {
    failure_ = "cannot write " + file.target + ": " + reason;
    return false;
  }
  if (!file.targetExisted) return true;
  // A second name for the old contents, to put them back if a later rename fails. A file system
  // without hard links goes without it.
  for (int attempt = 0; attempt < maxNameAttempts && file.backup.empty(); ++attempt) {
    serial_ = serial_ * 6364136223846793005ULL + 1442695040888963407ULL;
    const std::string name = temporaryNameIn(folderOf(file.target), serial_);
    bool exists = false;
    if (linkTo(file.target, name, exists)) file.backup = name;
    else if (!exists) break;
  }
  return true;
}

bool FileTransaction::renameAll() {
  for (std::size_t i = 0; i < staged_.size(); ++i) {
    std::string reason;
    if (!replaceWith(staged_[i].temporary, staged_[i].target, reason)) {
      failure_ = "cannot replace " + staged_[i].target + ": " + reason;
      rollBack(i);
      return false;
    }
    staged_[i].temporary.clear();
  }
  return true;
}

// Puts back the old contents of the first `renamed` targets.
void FileTransaction::rollBack(std::size_t renamed) {
  for (std::size_t i = 0; i < renamed; ++i) {
    Staged& file = staged_[i];
    std::string ignored;
    if (!file.backup.empty()) {
      // Put back, or else kept where it is: then it is the only copy of the old contents.
      replaceWith(file.backup, file.target, ignored);
      file.backup.clear();
    } else if (!file.targetExisted) {
      removeFile(file.target);
    }
  }
}

bool FileTransaction::commit() {
  bool done = !staged_.empty();
  if (!done) failure_ = "nothing to write";
  for (Staged& file : staged_) {
    if (done && !prepare(file)) done = false;
  }
  if (done) done = renameAll();
  if (done) {
    std::set<std::string> folders;
    for (const Staged& file : staged_) folders.insert(folderOf(file.target));
    for (const std::string& folder : folders) syncFolder(folder);
    failure_.clear();
  }
  removeLeftovers();
  return done;
}

void FileTransaction::removeLeftovers() noexcept {
  for (Staged& file : staged_) {
    if (!file.temporary.empty()) removeFile(file.temporary);
    if (!file.backup.empty()) removeFile(file.backup);
  }
  staged_.clear();
}

}  // namespace vuk
