#include "chunk_listing.h"

#include "chunk_walk.h"
#include "vuk_file.h"

namespace vuk {
namespace {

std::vector<ChunkInfo> walkAll(std::optional<VukInput> input, std::string* verdict) {
  std::vector<ChunkInfo> chunks;
  if (!input) return chunks;
  const auto seen = [&](const VukChunkHeader& header, std::int64_t offset) {
    chunks.push_back({offset, header.tag, header.size, header.count, header.extra,
                      findChunkTag(header.tag).name});
  };
  const auto pass = [&](const VukChunkHeader& header, std::int64_t offset) {
    if (SkipChunk(*input, header)) return true;
    return refuse(verdict, "chunk ", header.tag, " at offset ", offset, ": read failed");
  };
  if (walkChunks(*input, verdict, seen, pass) && verdict != nullptr) verdict->clear();
  return chunks;
}

}  // namespace

std::vector<ChunkInfo> listChunks(const char* path, std::string* verdict) {
  return walkAll(OpenForRead(path, verdict), verdict);
}

std::vector<ChunkInfo> listChunks(const void* bytes, std::size_t size, std::string* verdict) {
  return walkAll(OpenForRead(bytes, size, verdict), verdict);
}

}  // namespace vuk
