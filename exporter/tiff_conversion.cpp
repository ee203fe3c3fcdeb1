#include "tiff_conversion.h"

#include <tiffio.h>

#include <new>

#include "source_image.h"
#include "tiff_writing.h"

namespace {

// libtiff prints its errors and warnings on stderr unless told otherwise; a module prints
// nothing, so while a conversion runs the process-wide handlers are dropped (the writer has
// quiet handlers of its own for its file) and the host's own come back afterwards.
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
  const QuietTiff quiet;
  std::string why;
  try {
    const std::optional<EightBitImage> source = readSourceImage(sourcePath, &why);
    if (source && writeTiff(*source, tiffPath, why)) return true;
  } catch (const std::bad_alloc&) {
    why = "there is not enough memory to convert it";
  }
  if (reason != nullptr) *reason = why;
  return false;
}
