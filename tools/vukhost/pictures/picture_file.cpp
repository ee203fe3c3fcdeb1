#include "picture_file.h"

#include <CImg.h>
#include <png.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <vector>

using cimg_library::CImg;

namespace {

CImg<unsigned char> planarCopy(const RasterCanvas& canvas) {
  CImg<unsigned char> image(canvas.width(), canvas.height(), 1, 3);
  const std::uint8_t* rgb = canvas.pixels().data();
  const std::size_t plane = static_cast<std::size_t>(canvas.width()) * canvas.height();
  unsigned char* out = image.data();
  for (std::size_t i = 0; i < plane; ++i) {
    out[i] = rgb[3 * i];
    out[plane + i] = rgb[3 * i + 1];
    out[2 * plane + i] = rgb[3 * i + 2];
  }
  return image;
}

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};

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

// Writes the rows of `rgb` (interleaved, `width` by `height`); the only step libpng may leave by a
// jump, holding nothing that needs destroying.
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

bool writePng(const CImg<unsigned char>& image, const std::string& path) {
  const int width = image.width(), height = image.height();
  std::vector<unsigned char> rgb(static_cast<std::size_t>(width) * height * 3);
  cimg_forXYC(image, x, y, c) rgb[3 * (static_cast<std::size_t>(y) * width + x) + c] = image(x, y, 0, c);
  std::vector<png_bytep> rows(static_cast<std::size_t>(height));
  for (int y = 0; y < height; ++y) rows[static_cast<std::size_t>(y)] = rgb.data() + 3 * static_cast<std::size_t>(y) * width;
  const std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "wb"));
  PngWriteState state;
  if (!file || state.png == nullptr || state.info == nullptr) return false;
  if (!writePngRows(state.png, state.info, file.get(), rows, width, height)) return false;
  return std::fflush(file.get()) == 0 && ::fsync(::fileno(file.get())) == 0;
}


}  // namespace

bool writePicturePng(const RasterCanvas& canvas, int legendHeight, const std::string& legend, const std::string& path,
                     std::string& error) {
  cimg_library::cimg::exception_mode(0);  // errors come back as exceptions only, never printed
  errno = 0;
  const std::string temporary = path + ".tmp-" + std::to_string(::getpid());
  try {
    CImg<unsigned char> image = planarCopy(canvas);
    const unsigned char ink[3] = {230, 230, 230};
    const int fontHeight = 13;
    image.draw_text(6, canvas.height() - legendHeight + (legendHeight - fontHeight) / 2, "%s", ink, 0, 1.0f,
                    fontHeight, legend.c_str());
    if (!writePng(image, temporary)) {
      error = "cannot write " + path + (errno != 0 ? std::string(": ") + std::strerror(errno) : std::string());
      std::remove(temporary.c_str());
      return false;
    }
  } catch (const cimg_library::CImgException&) {
    std::remove(temporary.c_str());
    error = "cannot draw the legend of " + path;
    return false;
  }
  if (std::rename(temporary.c_str(), path.c_str()) != 0) {
    error = "cannot write " + path + ": " + std::strerror(errno);
    std::remove(temporary.c_str());
    return false;
  }
  return true;
}
