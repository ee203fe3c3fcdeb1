// JPEG through libjpeg(-turbo): baseline and progressive, grey or colour. Four-channel (CMYK and
// YCCK) files are turned into RGB with R = (255 − C)(255 − K) / 255 and likewise for G and B,
// rounded; files written with an Adobe marker store CMYK inverted, which the decoder undoes first.
#include <cstdio>

#include <csetjmp>

#include <jpeglib.h>

#include "image_decoders.h"

namespace {

struct QuietError {
  jpeg_error_mgr manager;
  std::jmp_buf jump;
};

void onError(j_common_ptr info) { std::longjmp(reinterpret_cast<QuietError*>(info->err)->jump, 1); }
void onMessage(j_common_ptr, int) {}
void onOutput(j_common_ptr) {}

struct Decompressor {
  jpeg_decompress_struct info{};
  QuietError error{};
  Decompressor() {
    info.err = jpeg_std_error(&error.manager);
    error.manager.error_exit = onError;
    error.manager.emit_message = onMessage;
    error.manager.output_message = onOutput;
  }
  ~Decompressor() { jpeg_destroy_decompress(&info); }
};

std::uint8_t inkToLight(int ink, int black) {
  return static_cast<std::uint8_t>(((255 - ink) * (255 - black) + 127) / 255);
}

// The rows decoded into `raw` (components per pixel as the decoder gives them) and, for CMYK,
// their conversion. Everything the decoder may leave by a jump is owned outside this function.
bool decodeRows(Decompressor& d, const std::uint8_t* bytes, std::size_t size, std::vector<std::uint8_t>& raw) {
  if (setjmp(d.error.jump)) return false;
  jpeg_create_decompress(&d.info);
  jpeg_mem_src(&d.info, bytes, static_cast<unsigned long>(size));
  if (jpeg_read_header(&d.info, TRUE) != JPEG_HEADER_OK) return false;
  const int components = d.info.num_components;
  if (components == 4) d.info.out_color_space = JCS_CMYK;
  else if (components == 1) d.info.out_color_space = JCS_GRAYSCALE;
  else d.info.out_color_space = JCS_RGB;
  if (!plausibleImage(d.info.image_width, d.info.image_height, components == 4 ? 4 : (components == 1 ? 1 : 3), size))
    return false;
  jpeg_start_decompress(&d.info);
  const std::size_t rowBytes = std::size_t{d.info.output_width} * d.info.output_components;
  raw.assign(rowBytes * d.info.output_height, 0);
  while (d.info.output_scanline < d.info.output_height) {
    JSAMPROW row = raw.data() + rowBytes * d.info.output_scanline;
    if (jpeg_read_scanlines(&d.info, &row, 1) != 1) return false;
  }
  jpeg_finish_decompress(&d.info);
  return true;
}

}  // namespace

std::optional<EightBitImage> decodeJpeg(const std::uint8_t* bytes, std::size_t size) {
  Decompressor d;
  std::vector<std::uint8_t> raw;
  if (!decodeRows(d, bytes, size, raw)) return std::nullopt;
  const int components = d.info.output_components;
  if (components != 1 && components != 3 && components != 4) return std::nullopt;
  EightBitImage image = blankImage(d.info.output_width, d.info.output_height, components == 4 ? 3 : components);
  if (components != 4) {
    image.samples = std::move(raw);
    return image;
  }
  const bool inverted = d.info.saw_Adobe_marker != 0;
  for (std::size_t pixel = 0; pixel * 4 < raw.size(); ++pixel) {
    int ink[4];
    for (int c = 0; c < 4; ++c) ink[c] = inverted ? 255 - raw[pixel * 4 + c] : raw[pixel * 4 + c];
    for (int c = 0; c < 3; ++c) image.samples[pixel * 3 + c] = inkToLight(ink[c], ink[3]);
  }
  return image;
}
