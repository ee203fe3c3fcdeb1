// The floor of a whole import, as a process to time beside `vukhost import`: reads the Vuk file
// into one block, then writes a block the size of the host mesh arrays an import of it fills
// (every face taken as a quad, one texture vertex per vertex), once.
//   import_floor FILE.vuk
#include <cstdint>
#include <cstdio>
#include <cstring>

#include "machine_floors.h"

namespace {

// The vertex and face counts from the chunk headers of the block; false when the walk fails.
bool countsOf(const unsigned char* bytes, std::size_t size, std::int64_t& vertices,
              std::int64_t& faces) {
  std::size_t at = 32;
  while (at + 16 <= size) {
    std::int32_t header[3];
    std::memcpy(header, bytes + at, sizeof header);
    if (header[0] == 0) return true;
    if (header[0] == 10001) vertices = header[2];
    if (header[0] >= 20001 && header[0] <= 20003) faces = header[2];
    if (header[1] < 16) return false;
    at += static_cast<std::size_t>(header[1]);
  }
  return false;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: import_floor FILE.vuk\n");
    return 2;
  }
  const auto [file, size] = floors::readWholeFile(argv[1]);
  std::int64_t vertices = 0, faces = 0;
  if (!file || !countsOf(file.get(), size, vertices, faces)) {
    std::fprintf(stderr, "import_floor: cannot read %s\n", argv[1]);
    return 1;
  }
  const floors::Block mesh = floors::writeFreshBlock(floors::hostMeshBytes(vertices, 2 * faces,
                                                                           vertices));
  return mesh ? 0 : 1;
}
