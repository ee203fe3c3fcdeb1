#include "source_image.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <memory>
#include <new>

#include "file_name.h"
#include "image_decoders.h"

#ifdef _WIN32
#define WIN32_LEAN_AND_MEAN
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

// A source file opened for reading, whose bytes are read where they lie.
class SourceFile final : public RandomAccessBytes {
 public:
#ifdef _WIN32
  using Handle = HANDLE;
#else
  using Handle = int;
#endif
  SourceFile(Handle handle, std::uint64_t size) : handle_(handle), size_(size) {}
  SourceFile(const SourceFile&) = delete;
  SourceFile& operator=(const SourceFile&) = delete;
  ~SourceFile() override;
  std::uint64_t size() const override { return size_; }
  std::size_t readAt(std::uint64_t offset, void* data, std::size_t length) const override;

 private:
  Handle handle_;
  std::uint64_t size_;
};

#ifdef _WIN32

SourceFile::~SourceFile() { CloseHandle(handle_); }

std::size_t SourceFile::readAt(std::uint64_t offset, void* data, std::size_t length) const {
  std::size_t done = 0;
  while (done < length) {
    OVERLAPPED at{};  // on a handle opened for plain reads, only the offset to read from
    at.Offset = static_cast<DWORD>(offset + done);
    at.OffsetHigh = static_cast<DWORD>((offset + done) >> 32);
    const DWORD want = static_cast<DWORD>((std::min)(length - done, std::size_t{1} << 24));
    DWORD got = 0;
    if (!ReadFile(handle_, static_cast<char*>(data) + done, want, &got, &at) || got == 0) break;
    done += got;
  }
  return done;
}

std::unique_ptr<SourceFile> openSourceFile(const std::string& path, std::string& reason) {
  // A folder cannot be opened without backup semantics, so only files (and devices) come here.
  // Others may read the file meanwhile, but not write it.
  HANDLE file = CreateFileW(vuk::nativePath(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    reason = "cannot open it";
    return nullptr;
  }
  LARGE_INTEGER size{};
  if (GetFileType(file) != FILE_TYPE_DISK || !GetFileSizeEx(file, &size)) {
    CloseHandle(file);
    reason = "it is not a plain file";
    return nullptr;
  }
  return std::make_unique<SourceFile>(file, static_cast<std::uint64_t>(size.QuadPart));
}

#else

SourceFile::~SourceFile() { ::close(handle_); }

std::size_t SourceFile::readAt(std::uint64_t offset, void* data, std::size_t length) const {
  std::size_t done = 0;
  while (done < length) {
    const ssize_t got = ::pread(handle_, static_cast<char*>(data) + done, length - done, static_cast<off_t>(offset + done));
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) break;
    done += static_cast<std::size_t>(got);
  }
  return done;
}

// Opens without blocking, so a FIFO with no writer or a device is seen for what it is first.
std::unique_ptr<SourceFile> openSourceFile(const std::string& path, std::string& reason) {
  const int file = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (file < 0) {
    reason = std::string("cannot open it: ") + std::strerror(errno);
    return nullptr;
  }
  struct stat status {};
  if (::fstat(file, &status) != 0 || !S_ISREG(status.st_mode)) {
    ::close(file);
    reason = "it is not a plain file";
    return nullptr;
  }
  return std::make_unique<SourceFile>(file, static_cast<std::uint64_t>(status.st_size));
}

#endif

bool startsWith(const std::uint8_t* bytes, std::size_t size, const char* magic, std::size_t length) {
  return size >= length && std::memcmp(bytes, magic, length) == 0;
}

using Decoder = std::optional<EightBitImage> (*)(const RandomAccessBytes&, std::string&);

struct Format {
  const char* name;
  Decoder decode;  // null: a format that is told apart but not read
};

// The format, told by the first bytes (16 are enough), and its decoder, which reads the file where
// it lies. TGA has no signature and is the fallback.
Format formatOf(const std::uint8_t* b, std::size_t n) {
  if (startsWith(b, n, "\x89PNG\r\n\x1A\n", 8)) return {"PNG", decodePngFrom};
  if (startsWith(b, n, "\xFF\xD8\xFF", 3)) return {"JPEG", decodeJpegFrom};
  if (startsWith(b, n, "II*\0", 4) || startsWith(b, n, "MM\0*", 4) || startsWith(b, n, "II+\0", 4) ||
      startsWith(b, n, "MM\0+", 4))
    return {"TIFF", decodeTiffFrom};
  if (startsWith(b, n, "BM", 2)) return {"BMP", decodeBmpFrom};
  if (n >= 2 && b[0] == 'P' && b[1] >= '1' && b[1] <= '6') return {"PNM", decodePnmFrom};
  if (startsWith(b, n, "8BPS", 4)) return {"PSD", decodePsdFrom};
  if (startsWith(b, n, "v/1\x01", 4)) return {"OpenEXR", decodeExrFrom};
  if (startsWith(b, n, "#?RADIANCE", 10) || startsWith(b, n, "#?RGBE", 6)) return {"Radiance HDR", decodeHdrFrom};
  if (startsWith(b, n, "GIF87a", 6) || startsWith(b, n, "GIF89a", 6)) return {"GIF", decodeGifFrom};
  if (startsWith(b, n, "DDS ", 4)) return {"DDS", decodeDdsFrom};
  if (startsWith(b, n, "\x01\xDA", 2)) return {"SGI", decodeSgiFrom};
  if (startsWith(b, n, "BA", 2)) return {"OS/2 bitmap array", decodeBmpFrom};
  if (startsWith(b, n, "RIFF", 4) && n >= 12 && std::memcmp(b + 8, "WEBP", 4) == 0) return {"WebP", nullptr};
  if (startsWith(b, n, "\0\0\0\x0CjP  ", 8) || startsWith(b, n, "\xFF\x4F\xFF\x51", 4)) return {"JPEG 2000", nullptr};
  if (n >= 12 && std::memcmp(b + 4, "ftyp", 4) == 0) return {"HEIF/AVIF", nullptr};
  return {"TGA", decodeTgaFrom};
}

}  // namespace

DecodeClaim simpleClaim(std::uint64_t width, std::uint64_t height, int channels, std::size_t fileBytes) {
  DecodeClaim claim;
  claim.width = width;
  claim.height = height;
  claim.channels = channels;
  const std::uint64_t side = maxPictureSide + 1;  // larger sides are refused all the same
  const std::uint64_t pictureBytes = (std::min)(width, side) * (std::min)(height, side) * static_cast<std::uint64_t>(channels & 7);
  claim.leastDataBytes = leastBytes(pictureBytes, deflateExpansion * 8);
  claim.dataBytes = fileBytes;
  claim.strongest = "one-bit samples deflated at 1032 to 1";
  return claim;
}

EightBitImage blankImage(std::uint32_t width, std::uint32_t height, int channels) {
  EightBitImage image;
  image.width = width;
  image.height = height;
  image.channels = channels;
  image.samples.assign(std::size_t{width} * height * static_cast<std::size_t>(channels), 0);
  return image;
}

EightBitImage unfilledImage(std::uint32_t width, std::uint32_t height, int channels) {
  EightBitImage image;
  image.width = width;
  image.height = height;
  image.channels = channels;
  image.samples.resize(std::size_t{width} * height * static_cast<std::size_t>(channels));
  return image;
}

std::uint8_t scaledSample(std::uint32_t value, unsigned bits) {
  if (bits == 32) return static_cast<std::uint8_t>(value >> 24);
  if (bits == 16) return static_cast<std::uint8_t>(value >> 8);
  if (bits == 8) return static_cast<std::uint8_t>(value);
  const std::uint32_t top = (std::uint32_t{1} << bits) - 1;
  const std::uint32_t clamped = (std::min)(value, top);
  return static_cast<std::uint8_t>((clamped * 255 + top / 2) / top);
}

std::uint8_t inkToLight(int ink, int black) {
  return static_cast<std::uint8_t>(((255 - ink) * (255 - black) + 127) / 255);
}

std::uint8_t floatSample(double value) {
  if (!(value > 0)) return 0;  // negative, zero and not-a-number
  if (value >= 1) return 255;
  return static_cast<std::uint8_t>(std::lround(value * 255));
}

namespace {

// Runs `decode` for `format`, which no exception leaves; a failure's reason names the format.
template <typename Decode>
std::optional<EightBitImage> decodeAs(const Format& format, Decode decode, std::string* reason) {
  std::optional<EightBitImage> image;
  std::string why;
  if (format.decode == nullptr) {
    why = "this format is not read";
  } else {
    try {
      image = decode(why);
    } catch (const std::bad_alloc&) {
      image.reset();
      why = "there is not enough memory to decode it";
    } catch (...) {  // a decoder's own error
      image.reset();
      if (why.empty()) why = "its decoder failed";
    }
  }
  if (image || reason == nullptr) return image;
  if (why.empty()) why = "it is damaged";
  // TGA has no signature: a file that is no TGA either is only known not to be the others.
  if (std::strcmp(format.name, "TGA") == 0)
    *reason = "not an image of a format read here (PNG, JPEG, TIFF, BMP, PNM, PSD, OpenEXR, Radiance HDR, DDS, GIF, SGI), "
              "nor a readable TGA image: " + why;
  else
    *reason = std::string(format.name) + " image: " + why;
  return image;
}

// Both entry points tell the format by the first bytes and read from where the bytes lie.
std::optional<EightBitImage> decodeFrom(const RandomAccessBytes& bytes, std::string* reason) {
  std::uint8_t head[16] = {};
  const Format format = formatOf(head, bytes.readAt(0, head, sizeof head));
  return decodeAs(format, [&](std::string& why) { return format.decode(bytes, why); }, reason);
}

}  // namespace

std::optional<EightBitImage> decodeSourceImage(const std::uint8_t* bytes, std::size_t size,
                                               std::string* reason) {
  return decodeFrom(MemoryBytes(bytes, size), reason);
}

std::optional<EightBitImage> readSourceImage(const std::string& path, std::string* reason) {
  std::string why;
  const std::unique_ptr<SourceFile> file = openSourceFile(path, why);
  if (file) return decodeFrom(*file, reason);
  if (reason != nullptr) *reason = why;
  return std::nullopt;
}
