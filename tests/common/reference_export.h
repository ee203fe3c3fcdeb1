#pragma once
// The export's file as it was made before it was streamed: a whole record filled from the poly
// mesh array by array, then stored by the record's own writer. Kept only as the reference that
// the streamed export's bytes are held against (by the tests and by bench/export-vs-floor).
#include <cstdint>
#include <string>

#include "geometry_extraction.h"
#include "vuk_file.h"
#include "vuk_mesh.h"

namespace reference {

// The record of `geometry` with the texts of `texts`.
inline VukMesh exportRecord(const ExportGeometry& geometry, const VukMesh& texts) {
  VukMesh record;
  for (RecordText VukMesh::*text : {&VukMesh::objectName, &VukMesh::secondaryName, &VukMesh::texturePath,
                                    &VukMesh::normalMapPath, &VukMesh::displacementMapPath}) {
    if (texts.*text) record.*text = recordText((texts.*text).data());
  }
  record.displacementAmount = texts.displacementAmount;
  record.formatFlags = texts.formatFlags;
  const auto v = static_cast<std::size_t>(geometry.vertexCount);
  const auto f = static_cast<std::size_t>(geometry.faceCount);
  record.vertexCount = geometry.vertexCount;
  record.vertices = RecordArray<float>::make(3 * v);
  for (std::size_t i = 0; i < v; ++i) storeVertex(geometry, static_cast<int>(i), record.vertices.data() + 3 * i);
  if (geometry.colours != nullptr) {
    record.vertexColors = RecordArray<std::uint32_t>::make(v);
    for (std::size_t i = 0; i < v; ++i) record.vertexColors[i] = vertexColour(geometry, static_cast<int>(i));
  }
  record.faceCount = geometry.faceCount;
  record.faceChunkTag = 20001;
  record.faces = RecordArray<std::int32_t>::make(4 * f);
  for (std::size_t i = 0; i < f; ++i) storeFace(geometry, static_cast<int>(i), record.faces.data() + 4 * i);
  if (geometry.uvs != nullptr) {
    record.uvChunkTag = 25001;
    record.uvs = RecordArray<float>::make(8 * f);
    for (std::size_t i = 0; i < f; ++i) storeFaceUvs(geometry, static_cast<int>(i), record.uvs.data() + 8 * i);
  }
  if (geometry.crease != nullptr) {
    record.faceCreaseFlags = RecordArray<std::uint8_t>::make(f);
    for (std::size_t i = 0; i < f; ++i) record.faceCreaseFlags[i] = faceCreaseByte(geometry, static_cast<int>(i));
  }
  return record;
}

// Writes the reference file at `path`.
inline bool writeReferenceFile(const ExportGeometry& geometry, const VukMesh& texts, const std::string& path) {
  return vuk::writeVukFileAt(exportRecord(geometry, texts), path.c_str());
}

}  // namespace reference
