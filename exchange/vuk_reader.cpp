// Fills a VukMesh from a Vuk file. Every chunk is checked against the bytes left before anything is
// allocated for it, so a file never makes the reader ask for more memory than it holds.
#include <cstring>
#include <utility>

#include "chunk_tags.h"
#include "chunk_walk.h"
#include "verdict.h"
#include "vuk_file.h"

namespace vuk {

bool ReadChunkHeader(VukInput& input, VukChunkHeader& header) noexcept {
  return input.read(&header, kChunkHeaderBytes);
}

bool ReadChunkPayload(VukInput& input, const VukChunkHeader& header, void* destination) noexcept {
  const std::int64_t kept = keptPayloadBytes(header);
  const std::int64_t rest = std::int64_t{header.size} - kChunkHeaderBytes - kept;
  if (kept < 0 || rest < 0) return false;
  return input.read(destination, kept) && input.skip(rest);
}

bool SkipChunk(VukInput& input, const VukChunkHeader& header) noexcept {
  return input.skip(std::int64_t{header.size} - kChunkHeaderBytes);
}

namespace {

enum class Outcome { Taken, OutOfMemory, ReadFailed };

// Allocates `elements` values for the chunk's kept payload, reads it and stores the block in
// `field` in place of what was there; on failure the field keeps its value.
template <typename T>
Outcome readBlock(VukInput& input, const VukChunkHeader& header, std::size_t elements,
                  RecordArray<T>& field) noexcept {
  RecordArray<T> block = RecordArray<T>::unfilled(elements);
  if (!block) return Outcome::OutOfMemory;
  if (!ReadChunkPayload(input, header, block.data())) return Outcome::ReadFailed;
  field = std::move(block);
  return Outcome::Taken;
}

// A text chunk of size 16 leaves the field as it was. The text is stored with one zero byte more
// than the chunk holds, so it is terminated even when the file's bytes are not.
Outcome takeText(VukInput& input, const VukChunkHeader& header, RecordText& field) noexcept {
  const std::int64_t length = keptPayloadBytes(header);
  if (length == 0) return Outcome::Taken;
  const auto bytes = static_cast<std::size_t>(length);
  RecordText text = RecordText::unfilled(bytes + 1);
  if (!text) return Outcome::OutOfMemory;
  if (!ReadChunkPayload(input, header, text.data())) return Outcome::ReadFailed;
  text[bytes] = '\0';
  field = std::move(text);
  return Outcome::Taken;
}

// An array chunk of count 0 leaves the field as it was and is passed over by its size.
template <typename T>
Outcome takeArray(VukInput& input, const VukChunkHeader& header, RecordArray<T>& field) noexcept {
  if (header.count == 0) return SkipChunk(input, header) ? Outcome::Taken : Outcome::ReadFailed;
  const auto bytes = static_cast<std::size_t>(keptPayloadBytes(header));
  return readBlock(input, header, bytes / sizeof(T), field);
}

Outcome takeFormatFlags(VukInput& input, const VukChunkHeader& header, VukMesh& mesh) noexcept {
  std::uint32_t flags = 0;
  if (!ReadChunkPayload(input, header, &flags)) return Outcome::ReadFailed;
  mesh.formatFlags = flags;
  return Outcome::Taken;
}

// Counts and layout tags change together with the array they describe.
template <typename T>
Outcome takeCounted(VukInput& input, const VukChunkHeader& header, RecordArray<T>& field,
                    std::int32_t& count) noexcept {
  const Outcome outcome = takeArray(input, header, field);
  if (outcome == Outcome::Taken) count = header.count;
  return outcome;
}

Outcome takeFaces(VukInput& input, const VukChunkHeader& header, VukMesh& mesh) noexcept {
  const Outcome outcome = takeCounted(input, header, mesh.faces, mesh.faceCount);
  if (outcome == Outcome::Taken) mesh.faceChunkTag = header.tag;
  return outcome;
}

Outcome takeUvs(VukInput& input, const VukChunkHeader& header, VukMesh& mesh) noexcept {
  const Outcome outcome = takeArray(input, header, mesh.uvs);
  if (outcome == Outcome::Taken) mesh.uvChunkTag = header.tag;
  return outcome;
}

Outcome takeDisplacement(VukInput& input, const VukChunkHeader& header, VukMesh& mesh) noexcept {
  std::memcpy(&mesh.displacementAmount, &header.extra, sizeof mesh.displacementAmount);
  return takeText(input, header, mesh.displacementMapPath);
}

Outcome takeChunk(VukInput& input, const VukChunkHeader& header, VukMesh& mesh) noexcept {
  switch (header.tag) {
    case kObjectNameTag: return takeText(input, header, mesh.objectName);
    case kSecondaryNameTag: return takeText(input, header, mesh.secondaryName);
    case kTexturePathTag: return takeText(input, header, mesh.texturePath);
    case kNormalMapPathTag: return takeText(input, header, mesh.normalMapPath);
    case kDisplacementMapPathTag: return takeDisplacement(input, header, mesh);
    case kFormatFlagsTag: return takeFormatFlags(input, header, mesh);
    case kVerticesTag: return takeCounted(input, header, mesh.vertices, mesh.vertexCount);
    case kFacesTag:
    case kQuadFacesTag:
    case kTriangleFacesTag: return takeFaces(input, header, mesh);
    case kQuadUvsTag:
    case kTriangleUvsTag: return takeUvs(input, header, mesh);
    case kVertexMaskTag: return takeArray(input, header, mesh.vertexMask);
    case kVertexColorsTag: return takeArray(input, header, mesh.vertexColors);
    case kPolygroupsTag: return takeArray(input, header, mesh.polygroups);
    case kFaceCreaseFlagsTag: return takeArray(input, header, mesh.faceCreaseFlags);
    default: return SkipChunk(input, header) ? Outcome::Taken : Outcome::ReadFailed;
  }
}

int readChunks(VukMesh& mesh, VukInput& input, std::string* verdict) {
  const auto seen = [](const VukChunkHeader&, std::int64_t) {};
  const auto take = [&](const VukChunkHeader& header, std::int64_t offset) {
    switch (takeChunk(input, header, mesh)) {
      case Outcome::Taken: return true;
      case Outcome::OutOfMemory:
        return refuse(verdict, "chunk ", header.tag, " at offset ", offset,
                      ": out of memory for ", keptPayloadBytes(header), " bytes");
      case Outcome::ReadFailed: break;
    }
    return refuse(verdict, "chunk ", header.tag, " at offset ", offset, ": read failed");
  };
  return walkChunks(input, verdict, seen, take) ? 1 : 0;
}

}  // namespace

int readVukFile(VukMesh& mesh, const char* path, std::string* verdict) {
  mesh.Clear();
  std::optional<VukInput> input = OpenForRead(path, verdict);
  return input ? readChunks(mesh, *input, verdict) : 0;
}

int readVukBytes(VukMesh& mesh, const void* bytes, std::size_t size, std::string* verdict) {
  mesh.Clear();
  std::optional<VukInput> input = OpenForRead(bytes, size, verdict);
  return input ? readChunks(mesh, *input, verdict) : 0;
}

}  // namespace vuk

int VukMesh::Read(const char* path) {
  try {
    return vuk::readVukFile(*this, path, nullptr);
  } catch (...) {  // nothing throws without a verdict to build; kept so that nothing ever escapes
    return 0;
  }
}
