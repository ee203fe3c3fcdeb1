#pragma once
// The in-memory mesh record that both modules share. Every array is laid out exactly like the
// payload of the chunk that carries it, so writing and reading move whole arrays at once.
#include <cstddef>
#include <cstdint>

struct VukMesh {
  // Texts: 8-bit, zero-terminated. A null pointer means the field is absent.
  char* objectName = nullptr;
  char* secondaryName = nullptr;
  char* texturePath = nullptr;
  char* normalMapPath = nullptr;
  char* displacementMapPath = nullptr;
  std::uint8_t* faceCreaseFlags = nullptr;  // faceCount bytes, four 2-bit edge fields each
  std::uint16_t* vertexMask = nullptr;      // vertexCount values
  std::int16_t* polygroups = nullptr;       // faceCount ids
  std::uint32_t formatFlags = 0;
  std::int32_t vertexCount = 0;
  std::int32_t faceCount = 0;
  std::int32_t faceChunkTag = 0;            // 20001, 20002 (4 indices a face) or 20003 (3)
  std::int32_t* faces = nullptr;
  std::int32_t uvChunkTag = 0;              // 25001 (4 corners a face) or 25002 (3)
  std::uint32_t* vertexColors = nullptr;    // vertexCount words: red 16-23, green 8-15, blue 0-7
  float* uvs = nullptr;
  float* vertices = nullptr;                // vertexCount (x, y, z) triples, +Y up
  float displacementAmount = 1.0f;

  VukMesh() = default;
  ~VukMesh() { Clear(); }
  VukMesh(const VukMesh&) = delete;
  VukMesh& operator=(const VukMesh&) = delete;

  // Releases every array and text and returns the record to its initial state.
  void Clear();
  // Stores the record at the 8-bit path. Answers 1 on success, 0 on failure; a failure leaves any
  // file that was at the path untouched. The file is written beside the target under a temporary
  // name and renamed over it once complete. Refused: a faceChunkTag other than 20001, 20002 or
  // 20003, uvs without a uvChunkTag of 25001 or 25002, a negative count, a missing array for a
  // count above 0, and a chunk too large for the format's 32-bit size.
  int Write(const char* path) const;
  // Empties the record and fills it from the file at the 8-bit path. Answers 1 when the end chunk
  // was reached, 0 otherwise (the record then keeps what was read before the failure). Every chunk
  // is checked against the bytes left in the file before anything is allocated for it; texts are
  // always stored zero-terminated; a count and its array change together.
  int Read(const char* path);
};

// The one place where the record's arrays and texts are allocated and released. Answers null when
// the heap refuses; the block is zero-filled.
void* vukAllocate(std::size_t bytes) noexcept;
void vukRelease(void* block) noexcept;

template <typename T>
T* vukAllocateArray(std::size_t count) noexcept {
  if (count > SIZE_MAX / sizeof(T)) return nullptr;
  return static_cast<T*>(vukAllocate(count * sizeof(T)));
}
