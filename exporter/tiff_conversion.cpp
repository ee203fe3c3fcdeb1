#include "tiff_conversion.h"

#include <CImg.h>
#include <tiffio.h>

#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

#include "source_image.h"

using cimg_library::CImg;

namespace {

// From interleaved rows to the image library's one plane per channel.
CImg<unsigned char> fromInterleaved(const EightBitImage& source) {
  CImg<unsigned char> image(source.width, source.height, 1, source.channels);
  const std::uint8_t* sample = source.samples.data();
  for (std::uint32_t y = 0; y < source.height; ++y)
    for (std::uint32_t x = 0; x < source.width; ++x)
      for (int c = 0; c < source.channels; ++c) image(x, y, 0, c) = *sample++;
  return image;
}

// The TIFF is built in memory, where writes cannot fail, and only then written out: the image
// library leaks its strip buffer and the open TIFF when a write fails half-way (a full disk).
struct MemoryTiff {
  std::vector<std::uint8_t> bytes;
  std::uint64_t position = 0;
};

tmsize_t readProc(thandle_t handle, void* data, tmsize_t length) {
  auto* file = static_cast<MemoryTiff*>(handle);
  if (length <= 0 || file->position >= file->bytes.size()) return 0;
  const std::uint64_t count = (std::min)(static_cast<std::uint64_t>(length), file->bytes.size() - file->position);
  std::memcpy(data, file->bytes.data() + file->position, static_cast<std::size_t>(count));
  file->position += count;
  return static_cast<tmsize_t>(count);
}
tmsize_t writeProc(thandle_t handle, void* data, tmsize_t length) {
  auto* file = static_cast<MemoryTiff*>(handle);
  if (length <= 0) return 0;
  const std::uint64_t end = file->position + static_cast<std::uint64_t>(length);
  if (end > file->bytes.size()) file->bytes.resize(static_cast<std::size_t>(end));
  std::memcpy(file->bytes.data() + file->position, data, static_cast<std::size_t>(length));
  file->position = end;
  return length;
}
toff_t seekProc(thandle_t handle, toff_t offset, int whence) {
  auto* file = static_cast<MemoryTiff*>(handle);
  std::uint64_t base = 0;
  if (whence == SEEK_CUR) base = file->position;
  else if (whence == SEEK_END) base = file->bytes.size();
  file->position = base + offset;
  return file->position;
}
int closeProc(thandle_t) { return 0; }
toff_t sizeProc(thandle_t handle) { return static_cast<MemoryTiff*>(handle)->bytes.size(); }
int mapProc(thandle_t, void**, toff_t*) { return 0; }
void unmapProc(thandle_t, void*, toff_t) {}
int quietHandler(TIFF*, void*, const char*, const char*, va_list) { return 1; }

struct TiffCloser {
  void operator()(TIFF* tiff) const { TIFFClose(tiff); }
};
struct OptionsFree {
  void operator()(TIFFOpenOptions* options) const { TIFFOpenOptionsFree(options); }
};
struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};

// An uncompressed TIFF of the image's 8-bit samples, one page; BigTIFF when the classic offsets
// would not reach.
bool encodeTiff(const CImg<unsigned char>& image, MemoryTiff& out) {
  const std::unique_ptr<TIFFOpenOptions, OptionsFree> options(TIFFOpenOptionsAlloc());
  if (!options) return false;
  TIFFOpenOptionsSetErrorHandlerExtR(options.get(), quietHandler, nullptr);
  TIFFOpenOptionsSetWarningHandlerExtR(options.get(), quietHandler, nullptr);
  const bool big = image.size() >= (std::size_t{1} << 31);
  std::unique_ptr<TIFF, TiffCloser> tiff(TIFFClientOpenExt("texture", big ? "w8m" : "wm", &out, readProc, writeProc,
                                                           seekProc, closeProc, sizeProc, mapProc, unmapProc,
                                                           options.get()));
  if (!tiff) return false;
  image._save_tiff(tiff.get(), 0, 0, 0, nullptr, nullptr);
  tiff.reset();  // closing writes the directory
  return !out.bytes.empty();
}

bool writeWhole(const std::string& path, const std::vector<std::uint8_t>& bytes) {
  std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "wb"));
  if (!file) return false;
  const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file.get()) == bytes.size();
  return std::fclose(file.release()) == 0 && written;
}

// libtiff prints its errors and warnings on stderr unless told otherwise; a module prints
// nothing, so while a conversion runs they are dropped (the failure still reaches us through the
// image library) and the host's own handlers come back afterwards.
class QuietTiff {
 public:
  QuietTiff() : error_(TIFFSetErrorHandler(nullptr)), warning_(TIFFSetWarningHandler(nullptr)) {}
  ~QuietTiff() {
    TIFFSetErrorHandler(error_);
    TIFFSetWarningHandler(warning_);
  }
  QuietTiff(const QuietTiff&) = delete;
  QuietTiff& operator=(const QuietTiff&) = delete;

 private:
  TIFFErrorHandler error_;
  TIFFErrorHandler warning_;
};

}  // namespace

bool convertImageToTiff(const std::string& sourcePath, const std::string& tiffPath, std::string* reason) {
  try {
    const std::optional<EightBitImage> source = readSourceImage(sourcePath, reason);
    if (!source) return false;
    const QuietTiff quiet;
    cimg_library::cimg::exception_mode(0U);
    MemoryTiff tiff;
    if (encodeTiff(fromInterleaved(*source), tiff) && writeWhole(tiffPath, tiff.bytes)) return true;
  } catch (...) {  // the image library's input-output error, or memory
  }
  if (reason != nullptr) *reason = "cannot write the TIFF";
  return false;
}
