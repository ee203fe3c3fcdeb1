#include "chunk_tags.h"
#include "verdict.h"
#include "vuk_file.h"

namespace vuk {

std::int64_t keptPayloadBytes(const VukChunkHeader& header) noexcept {
  const ChunkTag& entry = findChunkTag(header.tag);
  switch (entry.kind) {
    case ChunkKind::Array:
      return header.count < 0 ? -1 : std::int64_t{header.count} * entry.elementSize;
    case ChunkKind::Flags:
      return entry.elementSize;
    case ChunkKind::Text:
      return std::int64_t{header.size} - kChunkHeaderBytes;
    case ChunkKind::End:
    case ChunkKind::Skipped:
    case ChunkKind::Unknown:
      break;
  }
  return 0;
}

namespace {

bool keepsPayload(ChunkKind kind) noexcept {
  return kind == ChunkKind::Array || kind == ChunkKind::Flags || kind == ChunkKind::Text;
}

}  // namespace

bool checkChunk(const VukChunkHeader& header, std::int64_t offset, std::int64_t left,
                std::string* verdict) {
  const ChunkKind kind = findChunkTag(header.tag).kind;
  if (kind == ChunkKind::End) return true;
  const char* at = " at offset ";
  if (header.size < kChunkHeaderBytes) {
    return refuse(verdict, "chunk ", header.tag, at, offset, ": size ", header.size,
                  " is below 16");
  }
  if (keepsPayload(kind) && header.count < 0) {
    return refuse(verdict, "chunk ", header.tag, at, offset, ": negative count ", header.count);
  }
  const std::int64_t kept = keptPayloadBytes(header);
  const std::int64_t payload = std::int64_t{header.size} - kChunkHeaderBytes;
  if (kept > left) {
    return refuse(verdict, "chunk ", header.tag, at, offset, ": payload of ", kept,
                  " bytes exceeds the ", left, " bytes left");
  }
  if (payload < kept) {
    return refuse(verdict, "chunk ", header.tag, at, offset, ": size ", header.size, " holds ",
                  payload, " payload bytes, its count of ", header.count, " needs ", kept);
  }
  if (payload > left) {
    return refuse(verdict, "chunk ", header.tag, at, offset, ": payload of ", payload,
                  " bytes exceeds the ", left, " bytes left");
  }
  return true;
}

}  // namespace vuk
