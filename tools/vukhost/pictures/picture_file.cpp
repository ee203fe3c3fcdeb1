#include "picture_file.h"

#include <png.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

#include "owned_file.h"

namespace {

// libpng reports through these: errors jump back to the writing step, warnings are dropped, and
// nothing reaches the terminal.
void onPngError(png_structp png, png_const_charp) { png_longjmp(png, 1); }
void onPngWarning(png_structp, png_const_charp) {}

struct PngWriteState {
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, onPngError, onPngWarning);
  png_infop info = png != nullptr ? png_create_info_struct(png) : nullptr;
  PngWriteState() = default;
  PngWriteState(const PngWriteState&) = delete;
  PngWriteState& operator=(const PngWriteState&) = delete;
  ~PngWriteState() { png_destroy_write_struct(&png, info != nullptr ? &info : nullptr); }
};

// Writes the rows; the only step libpng may leave by a jump, holding nothing that needs destroying.
bool writePngRows(png_structp png, png_infop info, std::FILE* file, const std::vector<png_bytep>& rows, int width,
                  int height) {
  if (setjmp(png_jmpbuf(png))) return false;
  png_init_io(png, file);
  png_set_IHDR(png, info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height), 8, PNG_COLOR_TYPE_RGB,
               PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_write_info(png, info);
  png_write_image(png, const_cast<png_bytepp>(rows.data()));
  png_write_end(png, nullptr);
  return true;
}

// Writes the canvas's own pixels, row by row, into `path`, and syncs it.
bool writePng(const RasterCanvas& canvas, const std::string& path) {
  const int width = canvas.width(), height = canvas.height();
  std::vector<png_bytep> rows(static_cast<std::size_t>(height));
  auto* pixels = const_cast<png_bytep>(canvas.pixels().data());
  for (int y = 0; y < height; ++y) rows[static_cast<std::size_t>(y)] = pixels + 3 * static_cast<std::size_t>(y) * width;
  const OwnedFile file(std::fopen(path.c_str(), "wb"));
  PngWriteState state;
  if (!file || state.png == nullptr || state.info == nullptr) return false;
  if (!writePngRows(state.png, state.info, file.get(), rows, width, height)) return false;
  return std::fflush(file.get()) == 0 && ::fsync(::fileno(file.get())) == 0;
}

}  // namespace

bool writePicturePng(const RasterCanvas& canvas, const std::string& path, std::string& error) {
  errno = 0;
  const std::string temporary = path + ".tmp-" + std::to_string(::getpid());
  if (!writePng(canvas, temporary)) {
    error = "cannot write " + path + (errno != 0 ? std::string(": ") + std::strerror(errno) : std::string());
    std::remove(temporary.c_str());
    return false;
  }
  if (std::rename(temporary.c_str(), path.c_str()) != 0) {
    error = "cannot write " + path + ": " + std::strerror(errno);
    std::remove(temporary.c_str());
    return false;
  }
  return true;
}
