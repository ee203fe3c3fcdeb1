#pragma once
// What the machine can do at best with the bytes of an import or an export, the floors that the
// benchmarks put each measured path beside: a raw read of a whole file into one block, one write
// of a block the size of the host mesh's arrays, and a raw atomic replace of a file (one write per
// array into a new file beside it, sync, rename).
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace floors {

struct FreeBlock {
  void operator()(void* block) const { std::free(block); }
};
using Block = std::unique_ptr<unsigned char[], FreeBlock>;

inline Block allocateBlock(std::size_t bytes) {
  return Block(static_cast<unsigned char*>(std::malloc(bytes == 0 ? 1 : bytes)));
}

// The whole file in one block allocated to fit, read with one call per gigabyte; empty on failure.
inline std::pair<Block, std::size_t> readWholeFile(const char* path) {
  const int fd = ::open(path, O_RDONLY);
  if (fd < 0) return {nullptr, 0};
  struct stat info {};
  if (::fstat(fd, &info) != 0) {
    ::close(fd);
    return {nullptr, 0};
  }
  const auto size = static_cast<std::size_t>(info.st_size);
  Block block = allocateBlock(size);
  std::size_t done = 0;
  while (block && done < size) {
    const ssize_t got = ::read(fd, block.get() + done, size - done);
    if (got <= 0) break;
    done += static_cast<std::size_t>(got);
  }
  ::close(fd);
  if (done != size) return {nullptr, 0};
  return {std::move(block), size};
}

// A fresh block of `bytes`, written once: the least a builder of that much output must do.
inline Block writeFreshBlock(std::size_t bytes) {
  Block block = allocateBlock(bytes);
  if (block) {
    std::memset(block.get(), 0x5A, bytes);
    asm volatile("" : : "r"(block.get()) : "memory");  // the writes must happen
  }
  return block;
}

// The bytes of the host mesh arrays an import fills: vertices and colours (12 bytes each),
// triangles (20), texture and colour triangles (12 each), texture vertices (12).
inline std::size_t hostMeshBytes(std::int64_t vertices, std::int64_t triangles,
                                 std::int64_t textureVertices) {
  return static_cast<std::size_t>(vertices * 24 + triangles * (20 + 12 + 12) +
                                  textureVertices * 12);
}

struct Span {
  const void* data;
  std::size_t bytes;
};

// Writes the spans one call each into a new file beside path, syncs it and renames it over path.
inline bool atomicReplace(const std::string& path, const std::vector<Span>& spans) {
  const std::string temporary = path + ".floor-tmp";
  const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  if (fd < 0) return false;
  bool ok = true;
  for (const Span& span : spans) {
    const auto* p = static_cast<const unsigned char*>(span.data);
    std::size_t done = 0;
    while (ok && done < span.bytes) {
      const ssize_t put = ::write(fd, p + done, span.bytes - done);
      ok = put > 0;
      if (ok) done += static_cast<std::size_t>(put);
    }
  }
  ok = ::fsync(fd) == 0 && ok;
  ok = ::close(fd) == 0 && ok;
  if (ok) ok = std::rename(temporary.c_str(), path.c_str()) == 0;
  if (!ok) ::unlink(temporary.c_str());
  return ok;
}

}  // namespace floors
