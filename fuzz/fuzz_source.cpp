// Arbitrary bytes decoded as a texture map's source image. A decoded image must hold exactly
// width × height × channels samples, every one of them written, whatever the bytes claimed.
#include <cstdint>
#include <cstdlib>

#include "source_image.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::optional<EightBitImage> image = decodeSourceImage(data, size);
  if (!image) return 0;
  const std::size_t expected = std::size_t{image->width} * image->height * static_cast<std::size_t>(image->channels);
  if (image->width < 1 || image->height < 1 || image->channels < 1 || image->channels > 4 ||
      image->samples.size() != expected)
    std::abort();
  // Reading every sample lets the sanitizers see any that came from freed or foreign memory.
  volatile unsigned sum = 0;
  for (const std::uint8_t sample : image->samples) sum = sum + sample;
  return 0;
}
