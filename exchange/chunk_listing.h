#pragma once
// Walks the chunks of a Vuk file without loading their payloads, for tools that explain a file.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace vuk {

struct ChunkInfo {
  std::int64_t offset = 0;  // of the chunk header, from the start of the file
  std::int32_t tag = 0;
  std::int32_t size = 0;
  std::int32_t count = 0;
  std::uint32_t extra = 0;
  const char* name = "";    // from the tag table; "unknown" outside it
};

// Every chunk header up to and including the end chunk, checked as the reader checks them. When
// the reader would refuse the file, the list stops at the refused chunk (included) and `verdict`
// holds one line saying why; otherwise `verdict` is empty.
std::vector<ChunkInfo> listChunks(const char* path, std::string* verdict);
std::vector<ChunkInfo> listChunks(const void* bytes, std::size_t size, std::string* verdict);

}  // namespace vuk
