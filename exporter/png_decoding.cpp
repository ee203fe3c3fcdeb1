#include "png_reading.h"

#include <png.h>

#include <cstdio>
#include <filesystem>
#include <memory>
#include <system_error>

namespace {

// Deflate never expands data by more than about 1032 to 1: a decoded image larger than that
// multiple of the file cannot be in the file.
constexpr std::uintmax_t maxDeflateRatio = 1032;

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
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

PngReadState::PngReadState()
    : png(png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, onError, onWarning)),
      info(png != nullptr ? png_create_info_struct(png) : nullptr) {}

// The two steps that libpng may leave by a jump hold nothing that needs destroying.
bool readHeader(png_structp png, png_infop info, std::FILE* file) {
  if (setjmp(png_jmpbuf(png))) return false;
  png_init_io(png, file);
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

bool plausibleSize(std::uintmax_t decodedBytes, const std::string& path) {
  std::error_code error;
  const std::uintmax_t fileBytes = std::filesystem::file_size(path, error);
  return !error && decodedBytes / maxDeflateRatio <= fileBytes;
}

}  // namespace

std::optional<EightBitImage> readPngImage(const std::string& path) {
  const std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "rb"));
  if (!file) return std::nullopt;
  PngReadState state;
  if (state.info == nullptr || !readHeader(state.png, state.info, file.get())) return std::nullopt;
  EightBitImage image;
  image.width = png_get_image_width(state.png, state.info);
  image.height = png_get_image_height(state.png, state.info);
  image.channels = png_get_channels(state.png, state.info);
  const std::size_t rowBytes = png_get_rowbytes(state.png, state.info);
  const std::uintmax_t decodedBytes = static_cast<std::uintmax_t>(rowBytes + 1) * image.height;
  if (rowBytes != static_cast<std::size_t>(image.width) * image.channels || !plausibleSize(decodedBytes, path))
    return std::nullopt;
  image.samples.resize(rowBytes * image.height);
  std::vector<png_bytep> rows(image.height);
  for (std::uint32_t y = 0; y < image.height; ++y) rows[y] = image.samples.data() + y * rowBytes;
  if (!readRows(state.png, rows.data())) return std::nullopt;
  return image;
}
