// Writes a torus sculpt of about QUADS quads as a Vuk file, for the import benchmarks:
//   make_torus_sculpt QUADS FILE.vuk
#include <cstdio>
#include <cstdlib>

#include "torus_sculpt.h"
#include "vuk_mesh.h"

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: make_torus_sculpt QUADS FILE.vuk\n");
    return 2;
  }
  const long long quads = std::atoll(argv[1]);
  if (quads < 9 || quads > 40000000) {
    std::fprintf(stderr, "make_torus_sculpt: QUADS must lie between 9 and 40000000\n");
    return 2;
  }
  VukMesh record;
  vuktest::fillTorusSculpt(record, vuktest::torusOfQuads(quads));
  if (record.Write(argv[2]) != 1) {
    std::fprintf(stderr, "make_torus_sculpt: cannot write %s\n", argv[2]);
    return 1;
  }
  return 0;
}
