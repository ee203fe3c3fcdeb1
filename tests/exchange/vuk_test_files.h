#pragma once
// Helpers for the exchange tests: whole-file bytes, a little-endian byte builder for hand-made
// files, and a record with every field filled; the temporary folder and record arrays are shared.
#include <cstdint>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "record_arrays.h"
#include "temp_folder.h"
#include "vuk_mesh.h"

namespace vuktest {

using Bytes = std::vector<unsigned char>;

inline Bytes readFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void writeFile(const std::string& path, const Bytes& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

// Builds file bytes value by value, little-endian, independently of the writer under test.
class ByteBuilder {
 public:
  ByteBuilder& u32(std::uint32_t value) {
    for (int shift = 0; shift < 32; shift += 8) bytes_.push_back((value >> shift) & 0xFF);
    return *this;
  }
  ByteBuilder& i32(std::int32_t value) { return u32(static_cast<std::uint32_t>(value)); }
  ByteBuilder& f32(float value) {
    std::uint32_t bits;
    std::memcpy(&bits, &value, 4);
    return u32(bits);
  }
  ByteBuilder& u16(std::uint16_t value) {
    bytes_.push_back(value & 0xFF);
    bytes_.push_back(value >> 8);
    return *this;
  }
  ByteBuilder& raw(const std::string& text) {
    bytes_.insert(bytes_.end(), text.begin(), text.end());
    return *this;
  }
  ByteBuilder& zeros(std::size_t count) {
    bytes_.insert(bytes_.end(), count, 0);
    return *this;
  }
  // The 32-byte file header with the given magic and the writer's text.
  ByteBuilder& fileHeader(const std::string& magic = "Vukb") {
    raw(magic).raw("Exported by Vuk SDK");
    return zeros(32 - 4 - 19);
  }
  ByteBuilder& chunk(std::int32_t tag, std::int32_t size, std::int32_t count,
                     std::uint32_t extra = 0) {
    return i32(tag).i32(size).i32(count).u32(extra);
  }
  // A text chunk as the writer lays it out: text, zero, fill to a multiple of 4.
  ByteBuilder& textChunk(std::int32_t tag, const std::string& text, std::uint32_t extra = 0) {
    const std::size_t fill = (4 - (text.size() + 1) % 4) % 4;
    chunk(tag, static_cast<std::int32_t>(16 + text.size() + 1 + fill), 1, extra);
    return raw(text).zeros(1 + fill);
  }
  ByteBuilder& endChunk() { return chunk(0, 0, 0); }
  const Bytes& bytes() const { return bytes_; }
  std::size_t size() const { return bytes_.size(); }

 private:
  Bytes bytes_;
};

// Every field present: 4 vertices, a quad and a triangle in the 20001 layout, UVs in 25001.
inline void fillRecord(VukMesh& mesh) {
  mesh.Clear();
  mesh.objectName = copyText("Head");
  mesh.secondaryName = copyText("");
  mesh.texturePath = copyText("C:\\maps\\head_TXTR.tif");
  mesh.normalMapPath = copyText("C:\\maps\\head_NM.tif");
  mesh.displacementMapPath = copyText("C:\\maps\\head_DM.tif");
  mesh.displacementAmount = 0.75f;
  mesh.formatFlags = 0x01020304u;
  mesh.vertexCount = 4;
  mesh.vertices = copyArray<float>({0, 0, 0, 1, 0, 0, 1, 1, 0, 0, 1, 0.5f});
  mesh.faceCount = 2;
  mesh.faceChunkTag = 20001;
  mesh.faces = copyArray<std::int32_t>({0, 1, 2, 3, 0, 2, 3, -1});
  mesh.uvChunkTag = 25001;
  mesh.uvs = copyArray<float>({0, 0, 1, 0, 1, 1, 0, 1, 0, 0, 1, 1, 0, 1, 0, 0});
  mesh.vertexMask = copyArray<std::uint16_t>({1, 2, 0xFFFF, 0});
  mesh.vertexColors = copyArray<std::uint32_t>({0xFF0000, 0x00FF00, 0x0000FF, 0x808080});
  mesh.polygroups = copyArray<std::int16_t>({7, -3});
  mesh.faceCreaseFlags = copyArray<std::uint8_t>({0xC3, 0x01});
}

}  // namespace vuktest
