#include "export_file_writer.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>

#include "chunk_tags.h"
#include "verdict.h"
#include "vuk_file.h"

namespace {

using vuk::VukChunkHeader;

// Where one chunk goes: its first byte in the file and its header; absent chunks have no place.
struct Placed {
  std::int64_t at = -1;
  VukChunkHeader header;
  bool present() const { return at >= 0; }
  std::int64_t payloadAt() const { return at + vuk::kChunkHeaderBytes; }
};

// The places of every chunk, in the file's chunk order, worked out from the counts alone.
struct FilePlan {
  Placed objectName, secondaryName, formatFlags, vertices, faces, uvs, colours;
  Placed texturePath, normalMapPath, displacementMapPath, crease, end;
  bool fits = true;  // false when a chunk is too large for the format's 32-bit size
};

std::string systemReason() { return errno != 0 ? std::strerror(errno) : "the system gave no reason"; }

std::uint32_t floatBits(float value) {
  std::uint32_t bits = 0;
  std::memcpy(&bits, &value, sizeof bits);
  return bits;
}

class Planner {
 public:
  explicit Planner(FilePlan& plan) : plan_(plan) {}
  void place(Placed& chunk, std::int32_t tag, std::int32_t count, const void* data, std::uint32_t extra = 0) {
    const std::int64_t bytes = vuk::chunkFileBytes(tag, count, data);
    if (bytes < 0) {
      plan_.fits = false;
      return;
    }
    chunk.at = next_;
    chunk.header = {tag, tag == vuk::kEndTag ? 0 : static_cast<std::int32_t>(bytes), count, extra};
    next_ += bytes;
  }
  void text(Placed& chunk, std::int32_t tag, const RecordText& text, std::uint32_t extra = 0) {
    if (text) place(chunk, tag, 1, text.data(), extra);
  }

 private:
  FilePlan& plan_;
  std::int64_t next_ = vuk::kFileHeaderBytes;
};

// Array chunks are placed with a stand-in payload pointer: only their counts decide their size.
FilePlan planFile(const ExportGeometry& g, const VukMesh& texts) {
  FilePlan plan;
  Planner planner(plan);
  const void* some = &plan;
  planner.text(plan.objectName, vuk::kObjectNameTag, texts.objectName);
  planner.text(plan.secondaryName, vuk::kSecondaryNameTag, texts.secondaryName);
  planner.place(plan.formatFlags, vuk::kFormatFlagsTag, 1, &texts.formatFlags);
  planner.place(plan.vertices, vuk::kVerticesTag, g.vertexCount, some);
  planner.place(plan.faces, vuk::kFacesTag, g.faceCount, some);
  if (g.uvs != nullptr) planner.place(plan.uvs, vuk::kQuadUvsTag, g.faceCount, some);
  if (g.colours != nullptr) planner.place(plan.colours, vuk::kVertexColorsTag, g.vertexCount, some);
  planner.text(plan.texturePath, vuk::kTexturePathTag, texts.texturePath);
  planner.text(plan.normalMapPath, vuk::kNormalMapPathTag, texts.normalMapPath);
  planner.text(plan.displacementMapPath, vuk::kDisplacementMapPathTag, texts.displacementMapPath,
               floatBits(texts.displacementAmount));
  if (g.crease != nullptr) planner.place(plan.crease, vuk::kFaceCreaseFlagsTag, g.faceCount, some);
  planner.place(plan.end, vuk::kEndTag, 0, nullptr);
  return plan;
}

// Writes at given places of the file, moving only when a write does not follow the last one.
class PlacedFile {
 public:
  explicit PlacedFile(std::FILE* file) : file_(file) {}

  bool put(std::int64_t at, const void* data, std::size_t bytes) {
    if (bytes == 0) return true;
    if (!moveTo(at) || std::fwrite(data, 1, bytes, file_) != bytes) return false;
    position_ = at + static_cast<std::int64_t>(bytes);
    return true;
  }
  bool header(const Placed& chunk) {
    return !chunk.present() || put(chunk.at, &chunk.header, vuk::kChunkHeaderBytes);
  }
  bool text(const Placed& chunk, const RecordText& text) {
    if (!chunk.present()) return true;
    const VukChunkHeader& h = chunk.header;
    if (!moveTo(chunk.at) || !vuk::WriteChunk(file_, h.tag, h.count, text.data(), h.extra)) return false;
    position_ = chunk.at + h.size;
    return true;
  }

 private:
  bool moveTo(std::int64_t at) {
    if (at == position_) return true;
#if defined(_WIN32)
    return _fseeki64(file_, at, SEEK_SET) == 0;
#else
    return fseeko(file_, static_cast<off_t>(at), SEEK_SET) == 0;
#endif
  }

  std::FILE* file_;
  std::int64_t position_ = vuk::kFileHeaderBytes;  // OpenForWrite leaves the file there
};

// The reused buffer, carved for each walk into one part per array it fills. Parts are whole
// 4-byte words, so it keeps a few words beyond its nominal size for the rounding.
class WalkBuffer {
 public:
  explicit WalkBuffer(std::size_t bytes)
      : nominal_((std::max)(bytes, std::size_t{64})), words_(new std::uint32_t[nominal_ / 4 + kSlackWords]) {}
  // How many elements of `elementBytes` fit, at least one.
  std::size_t elementsFor(std::size_t elementBytes) const {
    return (std::max)(nominal_ / elementBytes, std::size_t{1});
  }
  // A part of `words` 4-byte words after the parts taken so far.
  template <typename T>
  T* part(std::size_t& used, std::size_t words) {
    T* start = reinterpret_cast<T*>(words_.get() + used);
    used += words;
    return start;
  }

 private:
  static constexpr std::size_t kSlackWords = 4;
  std::size_t nominal_;
  std::unique_ptr<std::uint32_t[]> words_;  // every part is filled before it is written
};

bool writeVertices(const ExportGeometry& g, const FilePlan& plan, WalkBuffer& buffer, PlacedFile& out) {
  const bool colours = plan.colours.present();
  const std::size_t batch = buffer.elementsFor(12 + (colours ? 4 : 0));
  for (std::size_t first = 0; first < static_cast<std::size_t>(g.vertexCount); first += batch) {
    const std::size_t n = (std::min)(batch, static_cast<std::size_t>(g.vertexCount) - first);
    std::size_t used = 0;
    float* positions = buffer.part<float>(used, 3 * n);
    std::uint32_t* packed = colours ? buffer.part<std::uint32_t>(used, n) : nullptr;
    for (std::size_t j = 0; j < n; ++j) {
      const int i = static_cast<int>(first + j);
      storeVertex(g, i, positions + 3 * j);
      if (colours) packed[j] = vertexColour(g, i);
    }
    if (!out.put(plan.vertices.payloadAt() + 12 * static_cast<std::int64_t>(first), positions, 12 * n)) return false;
    if (colours && !out.put(plan.colours.payloadAt() + 4 * static_cast<std::int64_t>(first), packed, 4 * n)) {
      return false;
    }
  }
  return true;
}

bool writeFaces(const ExportGeometry& g, const FilePlan& plan, WalkBuffer& buffer, PlacedFile& out) {
  const bool uvs = plan.uvs.present(), crease = plan.crease.present();
  const std::size_t batch = buffer.elementsFor(16 + (uvs ? 32 : 0) + (crease ? 1 : 0));
  for (std::size_t first = 0; first < static_cast<std::size_t>(g.faceCount); first += batch) {
    const std::size_t n = (std::min)(batch, static_cast<std::size_t>(g.faceCount) - first);
    std::size_t used = 0;
    std::int32_t* indices = buffer.part<std::int32_t>(used, 4 * n);
    float* pairs = uvs ? buffer.part<float>(used, 8 * n) : nullptr;
    std::uint8_t* flags = crease ? buffer.part<std::uint8_t>(used, (n + 3) / 4) : nullptr;
    for (std::size_t j = 0; j < n; ++j) {
      const int i = static_cast<int>(first + j);
      storeFace(g, i, indices + 4 * j);
      if (uvs) storeFaceUvs(g, i, pairs + 8 * j);
      if (crease) flags[j] = faceCreaseByte(g, i);
    }
    const auto at = static_cast<std::int64_t>(first);
    if (!out.put(plan.faces.payloadAt() + 16 * at, indices, 16 * n)) return false;
    if (uvs && !out.put(plan.uvs.payloadAt() + 32 * at, pairs, 32 * n)) return false;
    if (crease && !out.put(plan.crease.payloadAt() + at, flags, n)) return false;
  }
  return true;
}

bool writeChunks(const ExportGeometry& g, const VukMesh& texts, const FilePlan& plan, std::size_t bufferBytes,
                 std::FILE* file) {
  PlacedFile out(file);
  if (!out.text(plan.objectName, texts.objectName) || !out.text(plan.secondaryName, texts.secondaryName) ||
      !out.put(plan.formatFlags.at, &plan.formatFlags.header, vuk::kChunkHeaderBytes) ||
      !out.put(plan.formatFlags.payloadAt(), &texts.formatFlags, 4)) {
    return false;
  }
  for (const Placed* chunk : {&plan.vertices, &plan.faces, &plan.uvs, &plan.colours, &plan.crease, &plan.end}) {
    if (!out.header(*chunk)) return false;
  }
  WalkBuffer buffer(bufferBytes);
  return writeVertices(g, plan, buffer, out) && writeFaces(g, plan, buffer, out) &&
         out.text(plan.texturePath, texts.texturePath) && out.text(plan.normalMapPath, texts.normalMapPath) &&
         out.text(plan.displacementMapPath, texts.displacementMapPath);
}

}  // namespace

bool writeExportFile(const ExportGeometry& geometry, const VukMesh& texts, const char* path, std::size_t bufferBytes,
                     std::string* reason) {
  if (path == nullptr || geometry.poly == nullptr) return vuk::refuse(reason, "no file name");
  const FilePlan plan = planFile(geometry, texts);
  if (!plan.fits) return vuk::refuse(reason, "a chunk is too large for the Vuk file's 32-bit sizes");
  errno = 0;
  vuk::VukFile file = vuk::OpenForWrite(path, vuk::kHeaderText);
  if (!file) return vuk::refuse(reason, "cannot create it: ", systemReason());
  if (!writeChunks(geometry, texts, plan, bufferBytes, file.get()) || std::fclose(file.release()) != 0) {
    return vuk::refuse(reason, "a write failed: ", systemReason());
  }
  return true;
}
