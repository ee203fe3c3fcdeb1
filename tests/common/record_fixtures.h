#pragma once
// Small records and files for the tests of the record, its check and the importer.
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <string>
#include <vector>

#include "record_arrays.h"
#include "vuk_mesh.h"

namespace fixtures {

using vuktest::copyArray;
using vuktest::copyText;

// Vertices as (x, y, z) triples; vertexCount follows.
inline void setVertices(VukMesh& record, std::initializer_list<float> xyz) {
  record.vertices = copyArray(xyz);
  record.vertexCount = static_cast<std::int32_t>(xyz.size() / 3);
}

// Faces of four indices (-1 fourth for a triangle), or of three with tag 20003.
inline void setFaces(VukMesh& record, std::initializer_list<std::int32_t> indices,
                     std::int32_t tag = 20001) {
  record.faces = copyArray(indices);
  record.faceChunkTag = tag;
  record.faceCount = static_cast<std::int32_t>(indices.size() / (tag == 20003 ? 3 : 4));
}

inline void setUvs(VukMesh& record, std::initializer_list<float> uvs, std::int32_t tag = 25001) {
  record.uvs = copyArray(uvs);
  record.uvChunkTag = tag;
}

// A unit square in the file's frame (y up): vertices 0 to 3 and one quad 0-1-2-3.
inline void unitQuad(VukMesh& record) {
  setVertices(record, {0, 0, 0, 1, 0, 0, 1, 0, 1, 0, 0, 1});
  setFaces(record, {0, 1, 2, 3});
}

// Writes a Vuk file by hand, chunk by chunk, for files the writer would never make.
class ChunkFile {
 public:
  ChunkFile() {
    bytes_.assign(32, 0);
    std::memcpy(bytes_.data(), "Vukb", 4);
  }

  template <typename T>
  ChunkFile& array(std::int32_t tag, std::int32_t count, std::initializer_list<T> values) {
    header(tag, static_cast<std::int32_t>(16 + values.size() * sizeof(T)), count, 0);
    for (const T& value : values) append(&value, sizeof value);
    return *this;
  }

  ChunkFile& text(std::int32_t tag, const std::string& text, float extra = 0.0f) {
    std::uint32_t bits = 0;
    std::memcpy(&bits, &extra, sizeof bits);
    const std::size_t padded = (text.size() + 1 + 3) / 4 * 4;
    header(tag, static_cast<std::int32_t>(16 + padded), 1, bits);
    std::string payload = text;
    payload.resize(padded, '\0');
    append(payload.data(), payload.size());
    return *this;
  }

  // Writes the file, with an end chunk unless told otherwise.
  void save(const std::filesystem::path& path, bool withEnd = true) const {
    std::vector<unsigned char> out = bytes_;
    if (withEnd) out.resize(out.size() + 16, 0);
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(out.data()), static_cast<std::streamsize>(out.size()));
  }

 private:
  void header(std::int32_t tag, std::int32_t size, std::int32_t count, std::uint32_t extra) {
    append(&tag, 4);
    append(&size, 4);
    append(&count, 4);
    append(&extra, 4);
  }
  void append(const void* data, std::size_t size) {
    const auto* p = static_cast<const unsigned char*>(data);
    bytes_.insert(bytes_.end(), p, p + size);
  }

  std::vector<unsigned char> bytes_;
};

}  // namespace fixtures
