// OpenEXR through the library's RGBA interface, from memory and on the calling thread. Half
// (and other) samples are clamped 0 … 1 and scaled by floatSample; a file with only a luminance
// channel gives grey, one with an alpha channel keeps it.
#include <ImfIO.h>
#include <ImfRgbaFile.h>

#include <cstdint>
#include <cstring>
#include <stdexcept>
#include <exception>

#include "image_decoders.h"

namespace {

class MemoryStream : public Imf::IStream {
 public:
  MemoryStream(const std::uint8_t* bytes, std::size_t size) : Imf::IStream("source"), bytes_(bytes), size_(size) {}

  bool read(char c[], int n) override {
    if (n < 0 || static_cast<std::uint64_t>(n) > size_ - (std::min)(position_, std::uint64_t{size_}))
      throw std::runtime_error("short file");
    std::memcpy(c, bytes_ + position_, static_cast<std::size_t>(n));
    position_ += static_cast<std::uint64_t>(n);
    return position_ < size_;
  }
  std::uint64_t tellg() override { return position_; }
  void seekg(std::uint64_t position) override { position_ = position; }

 private:
  const std::uint8_t* bytes_;
  std::size_t size_;
  std::uint64_t position_ = 0;
};

int channelsOf(Imf::RgbaChannels present) {
  const bool colour = (present & Imf::WRITE_RGB) != 0;
  const bool alpha = (present & Imf::WRITE_A) != 0;
  return (colour ? 3 : 1) + (alpha ? 1 : 0);
}

std::optional<EightBitImage> readPixels(Imf::RgbaInputFile& file, std::size_t size) {
  const Imath::Box2i window = file.dataWindow();
  const std::int64_t width = std::int64_t{window.max.x} - window.min.x + 1;
  const std::int64_t height = std::int64_t{window.max.y} - window.min.y + 1;
  const int channels = channelsOf(file.channels());
  if (width < 1 || height < 1 || !plausibleImage(width, height, 4, size)) return std::nullopt;
  std::vector<Imf::Rgba> pixels(static_cast<std::size_t>(width * height));
  // The frame buffer is addressed by data-window coordinates, whose origin may lie anywhere.
  const std::int64_t origin = -(std::int64_t{window.min.y} * width + window.min.x);
  const auto base = reinterpret_cast<std::intptr_t>(pixels.data()) +
                    static_cast<std::intptr_t>(origin * static_cast<std::int64_t>(sizeof(Imf::Rgba)));
  file.setFrameBuffer(reinterpret_cast<Imf::Rgba*>(base), 1, static_cast<std::size_t>(width));
  file.readPixels(window.min.y, window.max.y);
  EightBitImage image = blankImage(static_cast<std::uint32_t>(width), static_cast<std::uint32_t>(height), channels);
  std::uint8_t* out = image.samples.data();
  for (const Imf::Rgba& pixel : pixels) {
    *out++ = floatSample(pixel.r);
    if (channels >= 3) {
      *out++ = floatSample(pixel.g);
      *out++ = floatSample(pixel.b);
    }
    if (channels % 2 == 0) *out++ = floatSample(pixel.a);
  }
  return image;
}

}  // namespace

std::optional<EightBitImage> decodeExr(const std::uint8_t* bytes, std::size_t size) {
  try {
    MemoryStream stream(bytes, size);
    Imf::RgbaInputFile file(stream, 0);
    return readPixels(file, size);
  } catch (...) {  // the library reports every damaged file by an exception
    return std::nullopt;
  }
}
