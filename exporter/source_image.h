#pragma once
// A texture map's source image read in-process into 8-bit samples, by a decoder made for its
// format and told by its first bytes whatever its name. Host-free: the export reads through it,
// and vukhost runs it again to say why an export failed.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <memory>
#include <string>
#include <vector>

// Storage whose growth leaves new elements as they are, so a picture's samples are written once,
// by its decoder, and never zeroed first.
template <typename T>
struct UnfilledAllocator : std::allocator<T> {
  template <typename U>
  struct rebind {
    using other = UnfilledAllocator<U>;
  };
  UnfilledAllocator() = default;
  template <typename U>
  UnfilledAllocator(const UnfilledAllocator<U>&) noexcept {}
  template <typename U>
  void construct(U* at) noexcept {
    ::new (static_cast<void*>(at)) U;
  }
  template <typename U, typename... Arguments>
  void construct(U* at, Arguments&&... arguments) {
    ::new (static_cast<void*>(at)) U(std::forward<Arguments>(arguments)...);
  }
};

using SampleBuffer = std::vector<std::uint8_t, UnfilledAllocator<std::uint8_t>>;

struct EightBitImage {
  std::uint32_t width = 0;
  std::uint32_t height = 0;
  int channels = 0;       // 1 grey, 2 grey and alpha, 3 RGB, 4 RGBA
  SampleBuffer samples;   // the stored rows, first to last, samples interleaved
  // How the stored rows are to be shown, as the EXIF and TIFF Orientation value says: 1 as they
  // are (first row on top, first column on the left), 2 to 8 mirrored and turned. Decoders set it
  // and never turn the rows themselves; the TIFF writer applies it, swapping width and height
  // for 5 to 8.
  int orientation = 1;
};

// Reads the file where its bytes lie, a little at a time, never the whole file at once (a FIFO, a
// device or a folder is refused at once, without waiting for data); the file is closed before it
// returns, so the image may come from the very file that the export replaces. Nothing when the
// file cannot be read or decoded; `reason`, when given, then says why: the format told by the
// file's first bytes and what in the file cannot be read. `path` is a file name in UTF-8
// (file_name.h).
std::optional<EightBitImage> readSourceImage(const std::string& path, std::string* reason = nullptr);

// The same for bytes already in memory: PNG, JPEG, TIFF (first page), BMP (and OS/2 bitmap
// arrays), PNM, TGA, PSD, OpenEXR, Radiance HDR, DDS, GIF (first frame) or SGI. Every
// decoder bounds the image by what `size` bytes can hold.
std::optional<EightBitImage> decodeSourceImage(const std::uint8_t* bytes, std::size_t size,
                                               std::string* reason = nullptr);
