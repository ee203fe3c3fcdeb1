#include "exif_orientation.h"

#include <cstring>
#include <vector>

namespace {

constexpr std::uint16_t orientationTag = 0x0112;
constexpr std::uint16_t shortType = 3;

class ExifReader {
 public:
  ExifReader(const std::uint8_t* tiff, std::size_t size, bool bigEndian) : tiff_(tiff), size_(size), big_(bigEndian) {}
  bool has(std::uint64_t at, std::uint64_t count) const { return at <= size_ && count <= size_ - at; }
  std::uint32_t read(std::size_t at, int bytes) const {
    std::uint32_t value = 0;
    for (int i = 0; i < bytes; ++i) {
      const std::uint32_t byte = tiff_[at + static_cast<std::size_t>(big_ ? i : bytes - 1 - i)];
      value = (value << 8) | byte;
    }
    return value;
  }

 private:
  const std::uint8_t* tiff_;
  std::size_t size_;
  bool big_;
};

// The orientation in the first directory of the TIFF structure inside an Exif block.
int orientationOf(const std::uint8_t* tiff, std::size_t size) {
  if (size < 8) return 1;
  const bool big = std::memcmp(tiff, "MM\0*", 4) == 0;
  if (!big && std::memcmp(tiff, "II*\0", 4) != 0) return 1;
  const ExifReader reader(tiff, size, big);
  const std::uint32_t directory = reader.read(4, 4);
  if (!reader.has(directory, 2)) return 1;
  const std::uint32_t entries = reader.read(directory, 2);
  for (std::uint32_t i = 0; i < entries; ++i) {
    const std::uint64_t entry = std::uint64_t{directory} + 2 + std::uint64_t{i} * 12;
    if (!reader.has(entry, 12)) return 1;
    const auto at = static_cast<std::size_t>(entry);
    if (reader.read(at, 2) != orientationTag) continue;
    if (reader.read(at + 2, 2) != shortType || reader.read(at + 4, 4) != 1) return 1;
    const std::uint32_t value = reader.read(at + 8, 2);
    return value >= 1 && value <= 8 ? static_cast<int>(value) : 1;
  }
  return 1;
}

}  // namespace

int exifOrientation(const RandomAccessBytes& bytes) {
  const std::uint64_t size = bytes.size();
  std::uint8_t marker[4];
  if (!bytes.readAllAt(0, marker, 2) || marker[0] != 0xFF || marker[1] != 0xD8) return 1;
  std::uint64_t at = 2;
  while (at + 4 <= size) {
    if (!bytes.readAllAt(at, marker, 4) || marker[0] != 0xFF) return 1;
    const std::uint8_t kind = marker[1];
    if (kind == 0xFF) {  // fill byte
      ++at;
      continue;
    }
    if (kind == 0xD8 || kind == 0x01 || (kind >= 0xD0 && kind <= 0xD7)) {  // no length
      at += 2;
      continue;
    }
    if (kind == 0xDA || kind == 0xD9) return 1;  // the scan (or the end) comes first
    const std::size_t length = static_cast<std::size_t>(marker[2] << 8 | marker[3]);
    if (length < 2 || length > size - at - 2) return 1;
    const std::size_t payloadBytes = length - 2;
    if (kind == 0xE1 && payloadBytes >= 6) {
      std::vector<std::uint8_t> payload(payloadBytes);
      if (!bytes.readAllAt(at + 4, payload.data(), payloadBytes)) return 1;
      if (std::memcmp(payload.data(), "Exif\0\0", 6) == 0) return orientationOf(payload.data() + 6, payloadBytes - 6);
    }
    at += 2 + length;
  }
  return 1;
}
