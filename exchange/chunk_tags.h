#pragma once
// The one table of chunk tags of the Vuk file: what each tag carries, how large its elements are
// and how the writer and the reader treat it.
#include <cstddef>
#include <cstdint>

namespace vuk {

enum ChunkTagValue : std::int32_t {
  kEndTag = 0,
  kObjectNameTag = 1,
  kSecondaryNameTag = 2,
  kFormatFlagsTag = 5001,
  kVerticesTag = 10001,
  kVertexExtraTag = 10002,
  kFacesTag = 20001,
  kQuadFacesTag = 20002,
  kTriangleFacesTag = 20003,
  kQuadUvsTag = 25001,
  kTriangleUvsTag = 25002,
  kVertexBytesTag = 30001,
  kVertexMaskTag = 30002,
  kVertexColorsTag = 35001,
  kPolygroupsTag = 40001,
  kFaceCreaseFlagsTag = 40002,
  kTexturePathTag = 45001,
  kNormalMapPathTag = 50001,
  kDisplacementMapPathTag = 55001,
};

enum class ChunkKind {
  End,      // no payload; ends the file
  Text,     // a zero-terminated text, filled with zero bytes to a multiple of 4
  Array,    // count elements of elementSize bytes
  Flags,    // one 4-byte value whatever the count says
  Skipped,  // elements of a known size that the record does not keep
  Unknown,  // a tag outside the table; passed over by its size
};

struct ChunkTag {
  std::int32_t tag;
  const char* name;
  std::int32_t elementSize;  // bytes per element; 0 for end, text and unknown chunks
  ChunkKind kind;
};

// The entry of a tag; tags outside the table answer an Unknown entry named "unknown".
const ChunkTag& findChunkTag(std::int32_t tag) noexcept;

// Every tag of the table, in increasing order.
const ChunkTag* chunkTagsBegin() noexcept;
const ChunkTag* chunkTagsEnd() noexcept;

// Zero bytes that follow a text of `length` characters and its terminator.
std::int64_t textFillBytes(std::int64_t length) noexcept;

}  // namespace vuk
