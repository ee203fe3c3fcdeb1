#pragma once
// The Vuk file: its 32-byte header, the 16-byte chunk header, and the steps that write and read
// chunks. A file is a header, then chunks, then an end chunk of tag 0 and size 0. Values are
// little-endian; arrays travel byte for byte as the record holds them. Paths are file names in
// UTF-8 (file_name.h).
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <optional>
#include <string>

#include "vuk_mesh.h"

namespace vuk {

constexpr int kFileHeaderBytes = 32;
constexpr int kChunkHeaderBytes = 16;
constexpr char kMagic[] = "Vukb";
constexpr char kHeaderText[] = "Exported by Vuk SDK";
// File positions are signed 32-bit in the format, so a file stays below 2 GiB.
constexpr std::int64_t kMaxFileBytes = INT32_MAX;

struct VukChunkHeader {
  std::int32_t tag = 0;
  std::int32_t size = 0;   // 16 + payload + fill; 0 for the end chunk
  std::int32_t count = 0;  // elements; 1 for text chunks and chunk 5001
  std::uint32_t extra = 0; // bits of displacementAmount in chunk 55001, else 0
};
static_assert(sizeof(VukChunkHeader) == kChunkHeaderBytes, "chunk header is 16 bytes");

struct FileCloser {
  void operator()(std::FILE* file) const noexcept { std::fclose(file); }
};
using VukFile = std::unique_ptr<std::FILE, FileCloser>;

// ---- Writing ----

enum class CreateMode { Truncate, NewOnly };

// Creates the file (NewOnly: fails when it exists) and writes the 32-byte header holding the magic
// and at most 27 characters of `text`. Answers null on failure.
VukFile OpenForWrite(const char* path, const char* text, CreateMode mode = CreateMode::Truncate);

// Writes one chunk: header, payload from `data` in one piece, zero fill after texts. For text tags
// `data` is a zero-terminated text; for array tags `count` elements. Refuses a negative count, a
// missing payload and a chunk too large for the 32-bit size field.
bool WriteChunk(std::FILE* file, std::int32_t tag, std::int32_t count, const void* data,
                std::uint32_t extra);

// The bytes a chunk takes in the file, header, payload and fill (16 for the end chunk), or -1 when
// WriteChunk would refuse it.
std::int64_t chunkFileBytes(std::int32_t tag, std::int32_t count, const void* data) noexcept;

// Writes the whole file for `mesh` at exactly `path` (created or truncated), with no temporary:
// for a path staged in a FileTransaction. False when a layout tag is invalid or a write fails;
// `reason`, when given, then says why.
bool writeVukFileAt(const VukMesh& mesh, const char* path, std::string* reason = nullptr);

// ---- Reading ----

// A source of file bytes, either an open file or a block in memory, that knows how many bytes
// are left so that no payload is asked for beyond them.
class VukInput {
 public:
  VukInput(VukFile file, std::int64_t size) noexcept;
  VukInput(const void* bytes, std::int64_t size) noexcept;

  // Reads `bytes` bytes in one piece; false when fewer are left or the read falls short.
  bool read(void* destination, std::int64_t bytes) noexcept;
  // Moves forward; false when fewer bytes are left or the move fails.
  bool skip(std::int64_t bytes) noexcept;
  std::int64_t position() const noexcept { return position_; }
  std::int64_t left() const noexcept { return size_ - position_; }

 private:
  VukFile file_;
  const unsigned char* memory_ = nullptr;
  std::int64_t size_ = 0;
  std::int64_t position_ = 0;
};

// Opens the file (or takes the bytes), refuses one of 2 GiB or more, checks the header and
// answers the input positioned at byte 32. `verdict`, when given, receives why it was refused.
std::optional<VukInput> OpenForRead(const char* path, std::string* verdict = nullptr);
std::optional<VukInput> OpenForRead(const void* bytes, std::size_t size,
                                    std::string* verdict = nullptr);

// The 32 header bytes pass when their first four agree with the magic, ASCII case ignored, up
// to the first zero byte among them.
bool headerMagicMatches(const unsigned char* header) noexcept;

bool ReadChunkHeader(VukInput& input, VukChunkHeader& header) noexcept;
// Bytes of a known chunk's payload that the record keeps: count × element size for arrays, 4 for
// chunk 5001, size − 16 for texts, 0 otherwise.
std::int64_t keptPayloadBytes(const VukChunkHeader& header) noexcept;
// Reads the kept payload into `destination` and moves past the rest of the chunk.
bool ReadChunkPayload(VukInput& input, const VukChunkHeader& header, void* destination) noexcept;
// Moves past the chunk's payload.
bool SkipChunk(VukInput& input, const VukChunkHeader& header) noexcept;

// Checks a chunk header (read at `offset`, with `left` bytes after it) before anything is
// allocated for it: size below 16, negative count, payload beyond the file, size smaller than
// the count implies. Answers false and, when `verdict` is given, one line saying why.
bool checkChunk(const VukChunkHeader& header, std::int64_t offset, std::int64_t left,
                std::string* verdict);

// Fills the record from a file or from bytes in memory, as VukMesh::Read does; on 0 `verdict`,
// when given, says why the file was refused. Each array holds exactly what its chunk carried.
int readVukFile(VukMesh& mesh, const char* path, std::string* verdict);
int readVukBytes(VukMesh& mesh, const void* bytes, std::size_t size, std::string* verdict);

}  // namespace vuk
