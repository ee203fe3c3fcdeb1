#pragma once
// The in-memory mesh record that both modules share. Every array is laid out exactly like the
// payload of the chunk that carries it, so writing and reading move whole arrays at once, and
// every array owns its block together with its length.
#include <cstdint>

#include "record_array.h"

struct VukMesh {
  // Texts: 8-bit, zero-terminated. An absent text has no block.
  RecordText objectName;
  RecordText secondaryName;
  RecordText texturePath;
  RecordText normalMapPath;
  RecordText displacementMapPath;
  RecordArray<std::uint8_t> faceCreaseFlags;  // faceCount bytes, four 2-bit edge fields each
  RecordArray<std::uint16_t> vertexMask;      // vertexCount values
  RecordArray<std::int16_t> polygroups;       // faceCount ids
  std::uint32_t formatFlags = 0;
  std::int32_t vertexCount = 0;
  std::int32_t faceCount = 0;
  std::int32_t faceChunkTag = 0;              // 20001, 20002 (4 indices a face) or 20003 (3)
  RecordArray<std::int32_t> faces;
  std::int32_t uvChunkTag = 0;                // 25001 (4 corners a face) or 25002 (3)
  RecordArray<std::uint32_t> vertexColors;    // vertexCount words: red 16-23, green 8-15, blue 0-7
  RecordArray<float> uvs;
  RecordArray<float> vertices;                // vertexCount (x, y, z) triples, +Y up
  float displacementAmount = 1.0f;

  VukMesh() = default;
  VukMesh(VukMesh&&) = default;
  VukMesh& operator=(VukMesh&&) = default;

  // Releases every array and text and returns the record to its initial state.
  void Clear() { *this = VukMesh(); }
  // Stores the record at the 8-bit path. Answers 1 on success, 0 on failure; a failure leaves any
  // file that was at the path untouched. The file is written beside the target under a temporary
  // name and renamed over it once complete. Refused: a faceChunkTag other than 20001, 20002 or
  // 20003, uvs without a uvChunkTag of 25001 or 25002, a negative count, an array shorter than
  // its count asks, and a chunk too large for the format's 32-bit size.
  int Write(const char* path) const;
  // Empties the record and fills it from the file at the 8-bit path. Answers 1 when the end chunk
  // was reached, 0 otherwise (the record then keeps what was read before the failure). Every chunk
  // is checked against the bytes left in the file before anything is allocated for it; texts are
  // always stored zero-terminated; a count and its array change together.
  int Read(const char* path);
};
