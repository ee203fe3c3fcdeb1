// PNG through libpng. Palettes become RGB, transparency chunks an alpha channel, grey of 1, 2 or 4
// bits is scaled to 8 bits by libpng's expansion (a 2-bit 1 becomes 85), and 16-bit samples keep
// their high byte.
#include <png.h>

#include <cstring>

#include "image_decoders.h"

namespace {

struct MemoryInput {
  const std::uint8_t* bytes;
  std::size_t size;
  std::size_t position = 0;
};

struct PngReadState {
  png_structp png = nullptr;
  png_infop info = nullptr;
  PngReadState(const PngReadState&) = delete;
  PngReadState& operator=(const PngReadState&) = delete;
  PngReadState();
  ~PngReadState() { png_destroy_read_struct(&png, info != nullptr ? &info : nullptr, nullptr); }
};

// Errors jump back to the reading step that is running; warnings are dropped.
void onError(png_structp png, png_const_charp) { png_longjmp(png, 1); }
void onWarning(png_structp, png_const_charp) {}

void readFromMemory(png_structp png, png_bytep data, png_size_t length) {
  auto* input = static_cast<MemoryInput*>(png_get_io_ptr(png));
  if (length > input->size - input->position) png_error(png, "short file");
  std::memcpy(data, input->bytes + input->position, length);
  input->position += length;
}

PngReadState::PngReadState()
    : png(png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, onError, onWarning)),
      info(png != nullptr ? png_create_info_struct(png) : nullptr) {}

// The two steps that libpng may leave by a jump hold nothing that needs destroying.
bool readHeader(png_structp png, png_infop info, MemoryInput* input) {
  if (setjmp(png_jmpbuf(png))) return false;
  png_set_read_fn(png, input, readFromMemory);
  png_set_user_limits(png, 65535, 65535);
  png_read_info(png, info);
  png_set_palette_to_rgb(png);
  png_set_expand_gray_1_2_4_to_8(png);
  if (png_get_valid(png, info, PNG_INFO_tRNS)) png_set_tRNS_to_alpha(png);
  png_set_strip_16(png);
  png_set_interlace_handling(png);
  png_read_update_info(png, info);
  return true;
}

bool readRows(png_structp png, png_bytepp rows) {
  if (setjmp(png_jmpbuf(png))) return false;
  png_read_image(png, rows);
  return true;
}

}  // namespace

std::optional<EightBitImage> decodePng(const std::uint8_t* bytes, std::size_t size) {
  MemoryInput input{bytes, size};
  PngReadState state;
  if (state.info == nullptr || !readHeader(state.png, state.info, &input)) return std::nullopt;
  const std::uint32_t width = png_get_image_width(state.png, state.info);
  const std::uint32_t height = png_get_image_height(state.png, state.info);
  const int channels = png_get_channels(state.png, state.info);
  const std::size_t rowBytes = png_get_rowbytes(state.png, state.info);
  if (!plausibleImage(width, height, channels, size) || rowBytes != std::size_t{width} * channels)
    return std::nullopt;
  EightBitImage image = blankImage(width, height, channels);
  std::vector<png_bytep> rows(height);
  for (std::uint32_t y = 0; y < height; ++y) rows[y] = image.samples.data() + y * rowBytes;
  if (!readRows(state.png, rows.data())) return std::nullopt;
  return image;
}
