#include "record_loading.h"

#include <cstdio>
#include <optional>
#include <vector>

#include "chunk_listing.h"
#include "chunk_tags.h"
#include "vuk_file.h"

namespace {

std::optional<std::vector<unsigned char>> readWholeFile(const char* path) {
  const vuk::VukFile file(std::fopen(path, "rb"));
  if (!file || std::fseek(file.get(), 0, SEEK_END) != 0) return std::nullopt;
  const long size = std::ftell(file.get());
  if (size < 0 || size > vuk::kMaxFileBytes || std::fseek(file.get(), 0, SEEK_SET) != 0) {
    return std::nullopt;
  }
  std::vector<unsigned char> bytes(static_cast<std::size_t>(size));
  if (std::fread(bytes.data(), 1, bytes.size(), file.get()) != bytes.size()) return std::nullopt;
  return bytes;
}

// The values a chunk puts into its array. A chunk of count 0 leaves the array as it was, so only
// chunks with elements change what the array holds.
void countValues(const vuk::ChunkInfo& chunk, RecordArrayCounts& counts) {
  if (chunk.count <= 0) return;
  const std::int64_t bytes = std::int64_t{chunk.count} * vuk::findChunkTag(chunk.tag).elementSize;
  switch (chunk.tag) {
    case vuk::kVerticesTag: counts.vertices = bytes / 4; break;
    case vuk::kFacesTag:
    case vuk::kQuadFacesTag:
    case vuk::kTriangleFacesTag: counts.faces = bytes / 4; break;
    case vuk::kQuadUvsTag:
    case vuk::kTriangleUvsTag: counts.uvs = bytes / 4; break;
    case vuk::kVertexColorsTag: counts.vertexColors = chunk.count; break;
    case vuk::kPolygroupsTag: counts.polygroups = chunk.count; break;
    case vuk::kFaceCreaseFlagsTag: counts.faceCreaseFlags = chunk.count; break;
    default: break;
  }
}

}  // namespace

bool loadRecord(const char* path, VukMesh& record, RecordArrayCounts& counts) {
  const std::optional<std::vector<unsigned char>> bytes = readWholeFile(path);
  if (!bytes || bytes->empty()) return false;
  if (vuk::readVukBytes(record, bytes->data(), bytes->size(), nullptr) != 1) return false;
  std::string verdict;
  const std::vector<vuk::ChunkInfo> chunks =
      vuk::listChunks(bytes->data(), bytes->size(), &verdict);
  if (!verdict.empty()) return false;
  counts = RecordArrayCounts{};
  for (const vuk::ChunkInfo& chunk : chunks) countValues(chunk, counts);
  return true;
}
