// Feeds arbitrary bytes to the Vuk reader and the chunk listing. Beyond the sanitizers' checks it
// holds them to agree: a file the reader refuses is one the listing explains, and the reverse.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "chunk_listing.h"
#include "vuk_file.h"
#include "vuk_mesh.h"

namespace {

// Every text the reader stores is terminated inside its block.
std::size_t touchTexts(const VukMesh& mesh) {
  std::size_t total = 0;
  for (const char* text : {mesh.objectName.data(), mesh.secondaryName.data(), mesh.texturePath.data(),
                           mesh.normalMapPath.data(), mesh.displacementMapPath.data()}) {
    if (text != nullptr) total += std::strlen(text);
  }
  return total;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  VukMesh mesh;
  std::string readVerdict;
  const int result = vuk::readVukBytes(mesh, data, size, &readVerdict);
  touchTexts(mesh);
  std::string listVerdict;
  vuk::listChunks(data, size, &listVerdict);
  if ((result == 1) != listVerdict.empty() || (result == 0) == readVerdict.empty() ||
      readVerdict != listVerdict) {
    std::abort();
  }
  mesh.Clear();
  return 0;
}
