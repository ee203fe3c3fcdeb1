#pragma once
// The loop shared by the reader and the chunk listing: read a header, stop at the end chunk,
// check the header before anything acts on it, then let the caller take or pass the chunk.
#include <string>

#include "chunk_tags.h"
#include "verdict.h"
#include "vuk_file.h"

namespace vuk {

// `seen(header, offset)` is told of every whole header, the end chunk and a refused one
// included. `take(header, offset)` acts on each checked chunk other than the end chunk and
// answers false (having filled `verdict`) when it cannot. Answers true when the end chunk was
// reached.
template <typename Seen, typename Take>
bool walkChunks(VukInput& input, std::string* verdict, Seen&& seen, Take&& take) {
  for (;;) {
    const std::int64_t offset = input.position();
    VukChunkHeader header;
    if (!ReadChunkHeader(input, header)) {
      if (input.left() == 0) return refuse(verdict, "offset ", offset, ": no end chunk");
      return refuse(verdict, "offset ", offset, ": ", input.left(),
                    " bytes left, too few for a chunk header");
    }
    seen(header, offset);
    if (header.tag == kEndTag) return true;
    if (!checkChunk(header, offset, input.left(), verdict)) return false;
    if (!take(header, offset)) return false;
  }
}

}  // namespace vuk
