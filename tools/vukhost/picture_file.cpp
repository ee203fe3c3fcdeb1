#include "picture_file.h"

#include <CImg.h>
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>

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

bool syncFile(const std::string& path) {
  const int fd = ::open(path.c_str(), O_RDONLY);
  if (fd < 0) return false;
  const bool synced = ::fsync(fd) == 0;
  return ::close(fd) == 0 && synced;
}

}  // namespace

bool writePicturePng(const RasterCanvas& canvas, int legendHeight, const std::string& legend, const std::string& path,
                     std::string& error) {
  cimg_library::cimg::exception_mode(0);  // errors come back as exceptions only, never printed
  const std::string temporary = path + ".tmp-" + std::to_string(::getpid());
  try {
    CImg<unsigned char> image = planarCopy(canvas);
    const unsigned char ink[3] = {230, 230, 230};
    const int fontHeight = 13;
    image.draw_text(6, canvas.height() - legendHeight + (legendHeight - fontHeight) / 2, "%s", ink, 0, 1.0f,
                    fontHeight, legend.c_str());
    image.save_png(temporary.c_str());
  } catch (const cimg_library::CImgException&) {
    std::remove(temporary.c_str());
    error = "cannot write " + path;
    return false;
  }
  if (!syncFile(temporary) || std::rename(temporary.c_str(), path.c_str()) != 0) {
    error = "cannot write " + path + ": " + std::strerror(errno);
    std::remove(temporary.c_str());
    return false;
  }
  return true;
}
