// TGA and BMP through stb_image, compiled here with only those two readers,
// from memory, with no file access and no messages. Images are checked against the file's size
// from their headers before anything is decoded.
//
// 8-bit rules: TGA and BMP samples are 8-bit (5-bit TGA colours are decoded in tga_decoding.cpp),
// or widened by the reader (BMP bit fields by repeating their bits, which is 255·v/(2^n − 1)
// rounded for fields of up to 8 bits). Radiance HDR has a reader of its own (hdr_decoding.cpp).
#define STB_IMAGE_STATIC
#define STB_IMAGE_IMPLEMENTATION
#define STBI_NO_STDIO
#define STBI_FAILURE_USERMSG
#define STBI_ONLY_TGA
#define STBI_ONLY_BMP
#define STBI_MAX_DIMENSIONS 65535
#if defined(__GNUC__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wunused-function"
#pragma GCC diagnostic ignored "-Wsign-compare"
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#pragma GCC diagnostic ignored "-Wimplicit-fallthrough"
#pragma GCC diagnostic ignored "-Wunused-parameter"
#elif defined(_MSC_VER)
#pragma warning(push, 0)
#endif
#include <stb_image.h>
#if defined(__GNUC__)
#pragma GCC diagnostic pop
#elif defined(_MSC_VER)
#pragma warning(pop)
#endif

#include <climits>
#include <cstring>
#include <memory>

#include "image_decoders.h"

namespace {

struct StbFree {
  void operator()(void* data) const { stbi_image_free(data); }
};

int byteCount(std::size_t size) { return static_cast<int>((std::min)(size, std::size_t{INT_MAX})); }

// What stb_image said of the file it could not read.
std::string stbReason() {
  const char* said = stbi_failure_reason();
  return said != nullptr ? said : "it is damaged";
}

// The shape the file announces, when it is one stb_image reads and the file can hold it.
bool announcedShape(const std::uint8_t* bytes, std::size_t size, int& width, int& height, int& channels,
                    std::string& reason) {
  if (size > INT_MAX) {
    reason = "it is larger than 2 GiB";
    return false;
  }
  if (!stbi_info_from_memory(bytes, byteCount(size), &width, &height, &channels)) {
    reason = stbReason();
    return false;
  }
  return withinBudget(simpleClaim(static_cast<std::uint64_t>(width), static_cast<std::uint64_t>(height), channels, size),
                      reason);
}

std::optional<EightBitImage> decodeEightBit(const std::uint8_t* bytes, std::size_t size, std::string& reason) {
  int width = 0, height = 0, channels = 0;
  if (!announcedShape(bytes, size, width, height, channels, reason)) return std::nullopt;
  const std::unique_ptr<stbi_uc, StbFree> pixels(
      stbi_load_from_memory(bytes, byteCount(size), &width, &height, &channels, 0));
  if (!pixels) return refusal(reason, stbReason());
  if (channels < 1 || channels > 4) return refusal(reason, std::to_string(channels) + " channels are not read");
  EightBitImage image = blankImage(static_cast<std::uint32_t>(width), static_cast<std::uint32_t>(height), channels);
  std::memcpy(image.samples.data(), pixels.get(), image.samples.size());
  return image;
}

}  // namespace

std::optional<EightBitImage> decodeStbTga(const std::uint8_t* bytes, std::size_t size, std::string& reason) {
  return decodeEightBit(bytes, size, reason);
}

std::optional<EightBitImage> decodeStbBmp(const std::uint8_t* bytes, std::size_t size, std::string& reason) {
  return decodeEightBit(bytes, size, reason);
}
