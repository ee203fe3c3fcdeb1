#include "chunk_tags.h"

#include <iterator>

namespace vuk {
namespace {

constexpr ChunkTag kChunkTags[] = {
    {kEndTag, "end", 0, ChunkKind::End},
    {kObjectNameTag, "objectName", 0, ChunkKind::Text},
    {kSecondaryNameTag, "secondaryName", 0, ChunkKind::Text},
    {kFormatFlagsTag, "formatFlags", 4, ChunkKind::Flags},
    {kVerticesTag, "vertices", 12, ChunkKind::Array},
    {kVertexExtraTag, "unused 24-byte elements", 24, ChunkKind::Skipped},
    {kFacesTag, "faces", 16, ChunkKind::Array},
    {kQuadFacesTag, "quad faces", 16, ChunkKind::Array},
    {kTriangleFacesTag, "triangle faces", 12, ChunkKind::Array},
    {kQuadUvsTag, "uvs (4 corners)", 32, ChunkKind::Array},
    {kTriangleUvsTag, "uvs (3 corners)", 24, ChunkKind::Array},
    {kVertexBytesTag, "unused 1-byte elements", 1, ChunkKind::Skipped},
    {kVertexMaskTag, "vertexMask", 2, ChunkKind::Array},
    {kVertexColorsTag, "vertexColors", 4, ChunkKind::Array},
    {kPolygroupsTag, "polygroups", 2, ChunkKind::Array},
    {kFaceCreaseFlagsTag, "faceCreaseFlags", 1, ChunkKind::Array},
    {kTexturePathTag, "texturePath", 0, ChunkKind::Text},
    {kNormalMapPathTag, "normalMapPath", 0, ChunkKind::Text},
    {kDisplacementMapPathTag, "displacementMapPath", 0, ChunkKind::Text},
};

constexpr ChunkTag kUnknownTag = {-1, "unknown", 0, ChunkKind::Unknown};

}  // namespace

const ChunkTag& findChunkTag(std::int32_t tag) noexcept {
  for (const ChunkTag& entry : kChunkTags) {
    if (entry.tag == tag) return entry;
  }
  return kUnknownTag;
}

const ChunkTag* chunkTagsBegin() noexcept { return std::begin(kChunkTags); }
const ChunkTag* chunkTagsEnd() noexcept { return std::end(kChunkTags); }

std::int64_t textFillBytes(std::int64_t length) noexcept { return (4 - (length + 1) % 4) % 4; }

}  // namespace vuk
