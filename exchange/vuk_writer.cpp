// Stores a VukMesh as a Vuk file. The file is written under a temporary name beside the target and
// renamed over it only when every chunk is on disk, so a failed write leaves the old file as it
// was.
#include <cerrno>
#include <cstring>
#include <string>

#include "chunk_tags.h"
#include "file_name.h"
#include "file_transaction.h"
#include "verdict.h"
#include "vuk_file.h"

namespace vuk {
namespace {

// What the C runtime says of the call that just failed.
std::string systemReason() { return errno != 0 ? std::strerror(errno) : "the system gave no reason"; }

bool writeBytes(std::FILE* file, const void* data, std::int64_t bytes) noexcept {
  const auto length = static_cast<std::size_t>(bytes);
  return bytes == 0 || std::fwrite(data, 1, length, file) == length;
}

struct ChunkLayout {
  std::int64_t payload = -1;  // -1: the chunk cannot be written
  std::int64_t fill = 0;
};

ChunkLayout layoutChunk(std::int32_t tag, std::int32_t count, const void* data) noexcept {
  if (count < 0) return {};
  const ChunkTag& entry = findChunkTag(tag);
  ChunkLayout layout{0, 0};
  switch (entry.kind) {
    case ChunkKind::Text:
      if (data == nullptr) return {};
      layout.payload = static_cast<std::int64_t>(std::strlen(static_cast<const char*>(data))) + 1;
      layout.fill = textFillBytes(layout.payload - 1);
      break;
    case ChunkKind::Flags:
      layout.payload = entry.elementSize;
      break;
    case ChunkKind::Array:
    case ChunkKind::Skipped:
      layout.payload = std::int64_t{count} * entry.elementSize;
      break;
    case ChunkKind::End:
    case ChunkKind::Unknown:
      break;
  }
  if (layout.payload > 0 && data == nullptr) return {};
  if (kChunkHeaderBytes + layout.payload + layout.fill > INT32_MAX) return {};
  return layout;
}

}  // namespace

VukFile OpenForWrite(const char* path, const char* text, CreateMode mode) {
  if (path == nullptr || text == nullptr) return nullptr;
  VukFile file(openFile(path, mode == CreateMode::NewOnly ? "wbx" : "wb"));
  if (!file) return nullptr;
  char header[kFileHeaderBytes] = {};
  std::memcpy(header, kMagic, 4);
  const std::size_t room = kFileHeaderBytes - 5;  // byte 31 stays zero
  const std::size_t length = std::strlen(text);
  std::memcpy(header + 4, text, length < room ? length : room);
  if (writeBytes(file.get(), header, kFileHeaderBytes)) return file;
  file.reset();
  if (mode == CreateMode::NewOnly) std::remove(path);  // the file was made by this call
  return nullptr;
}

std::int64_t chunkFileBytes(std::int32_t tag, std::int32_t count, const void* data) noexcept {
  const ChunkLayout layout = layoutChunk(tag, count, data);
  return layout.payload < 0 ? -1 : kChunkHeaderBytes + layout.payload + layout.fill;
}

bool WriteChunk(std::FILE* file, std::int32_t tag, std::int32_t count, const void* data,
                std::uint32_t extra) {
  const ChunkLayout layout = layoutChunk(tag, count, data);
  if (file == nullptr || layout.payload < 0) return false;
  VukChunkHeader header;
  header.tag = tag;
  header.size = tag == kEndTag
                    ? 0
                    : static_cast<std::int32_t>(kChunkHeaderBytes + layout.payload + layout.fill);
  header.count = count;
  header.extra = extra;
  static constexpr unsigned char kZeros[3] = {};
  return writeBytes(file, &header, kChunkHeaderBytes) &&
         writeBytes(file, data, layout.payload) && writeBytes(file, kZeros, layout.fill);
}

namespace {

bool writeText(std::FILE* file, std::int32_t tag, const RecordText& text, std::uint32_t extra = 0) {
  return !text || WriteChunk(file, tag, 1, text.data(), extra);
}

// An array chunk of `count` elements from `array`, refused when the array holds fewer bytes.
template <typename T>
bool writeArray(std::FILE* file, std::int32_t tag, std::int32_t count, const RecordArray<T>& array) {
  const std::int64_t needed = count < 0 ? 0 : std::int64_t{count} * findChunkTag(tag).elementSize;
  if (static_cast<std::uint64_t>(needed) > array.size() * sizeof(T)) return false;
  return WriteChunk(file, tag, count, array.data(), 0);
}

template <typename T>
bool writeOptional(std::FILE* file, std::int32_t tag, std::int32_t count, const RecordArray<T>& array) {
  return !array || writeArray(file, tag, count, array);
}

std::uint32_t floatBits(float value) noexcept {
  std::uint32_t bits = 0;
  std::memcpy(&bits, &value, sizeof bits);
  return bits;
}

// The chunks in their fixed order: crease flags last, right before the end chunk.
bool writeChunks(std::FILE* file, const VukMesh& mesh) {
  return writeText(file, kObjectNameTag, mesh.objectName) &&
         writeText(file, kSecondaryNameTag, mesh.secondaryName) &&
         WriteChunk(file, kFormatFlagsTag, 1, &mesh.formatFlags, 0) &&
         writeArray(file, kVerticesTag, mesh.vertexCount, mesh.vertices) &&
         writeArray(file, mesh.faceChunkTag, mesh.faceCount, mesh.faces) &&
         writeOptional(file, mesh.uvChunkTag, mesh.faceCount, mesh.uvs) &&
         writeOptional(file, kVertexMaskTag, mesh.vertexCount, mesh.vertexMask) &&
         writeOptional(file, kVertexColorsTag, mesh.vertexCount, mesh.vertexColors) &&
         writeOptional(file, kPolygroupsTag, mesh.faceCount, mesh.polygroups) &&
         writeText(file, kTexturePathTag, mesh.texturePath) &&
         writeText(file, kNormalMapPathTag, mesh.normalMapPath) &&
         writeText(file, kDisplacementMapPathTag, mesh.displacementMapPath,
                   floatBits(mesh.displacementAmount)) &&
         writeOptional(file, kFaceCreaseFlagsTag, mesh.faceCount, mesh.faceCreaseFlags) &&
         WriteChunk(file, kEndTag, 0, nullptr, 0);
}

// A face or UV chunk under any other tag would be misread, or end the file early under tag 0.
bool layoutTagsValid(const VukMesh& mesh) noexcept {
  const std::int32_t faceTag = mesh.faceChunkTag;
  const bool facesValid =
      faceTag == kFacesTag || faceTag == kQuadFacesTag || faceTag == kTriangleFacesTag;
  const bool uvsValid = mesh.uvs == nullptr || mesh.uvChunkTag == kQuadUvsTag ||
                        mesh.uvChunkTag == kTriangleUvsTag;
  return facesValid && uvsValid;
}

}  // namespace

bool writeVukFileAt(const VukMesh& mesh, const char* path, std::string* reason) {
  if (path == nullptr) return refuse(reason, "no file name");
  if (!layoutTagsValid(mesh)) return refuse(reason, "the record's face or UV layout is not one a Vuk file has");
  errno = 0;
  VukFile file = OpenForWrite(path, kHeaderText);
  if (!file) return refuse(reason, "cannot create it: ", systemReason());
  if (!writeChunks(file.get(), mesh)) return refuse(reason, "a write failed: ", systemReason());
  if (std::fclose(file.release()) != 0) return refuse(reason, "a write failed: ", systemReason());
  return true;
}

}  // namespace vuk

int VukMesh::Write(const char* path) const {
  try {
    if (path == nullptr) return 0;
    vuk::FileTransaction transaction;
    const std::optional<std::string> temporary = transaction.stage(path);
    return temporary && vuk::writeVukFileAt(*this, temporary->c_str()) && transaction.commit() ? 1 : 0;
  } catch (...) {  // a name that cannot be built fails the write
    return 0;
  }
}
