// GIF: the first frame only, drawn on the logical screen as a viewer first shows it. The frame's
// colour table (or the global one) gives RGB; the transparent index of the graphic control block
// that comes before the frame becomes alpha 0, and so does every pixel of the screen that the
// frame does not cover (a viewer shows the page through there, not the background colour). A
// picture with neither is RGB. Interlaced frames are put back in row order; indices past the end
// of the colour table are black. Later frames, comments and application blocks are not read.
//
// The pixels are LZW codes of 2 to 12 bits, lowest bit first, in blocks of up to 255 bytes; a
// frame whose codes end before its last pixel, or name a string not yet made, is refused. The
// file is read in order, a sub-block at a time.
#include <algorithm>
#include <cstring>
#include <memory>
#include <string>

#include "byte_order.h"
#include "image_decoders.h"

namespace {

// Pixels that one byte of LZW data can stand for at most: a 12-bit code names a string of up to
// 4096 pixels.
constexpr std::uint64_t lzwExpansion = 4096 * 8 / 12 + 1;
constexpr unsigned maxCodes = 4096;

class GifInput {
 public:
  explicit GifInput(const RandomAccessBytes& bytes) : stream_(bytes, 0) {}
  // The next `count` bytes (at most a MiB), valid until the next call; null at the end of the file.
  const std::uint8_t* take(std::size_t count) { return stream_.take(count); }
  // The next byte, or -1 at the end of the file.
  int next() {
    const std::uint8_t* at = stream_.take(1);
    return at != nullptr ? *at : -1;
  }
  int peek() {
    const std::uint8_t* at = stream_.look(1);
    return at != nullptr ? *at : -1;
  }
  std::uint64_t left() const { return stream_.left(); }
  // Passes over a chain of sub-blocks up to its empty block.
  bool skipBlocks() {
    for (;;) {
      const int length = next();
      if (length < 0) return false;
      if (length == 0) return true;
      if (take(static_cast<std::size_t>(length)) == nullptr) return false;
    }
  }

 private:
  ByteStream stream_;
};

struct Frame {
  std::uint32_t left = 0, top = 0, width = 0, height = 0;
  bool interlaced = false;
  std::uint8_t colours[256 * 3] = {};  // RGB triples
  unsigned colourCount = 0;            // 0: no colour table
  int transparent = -1;
};

// Passes over the extensions before the first frame (keeping the transparent index of the last
// graphic control block) and reads the frame's descriptor and colour table.
bool reachFirstFrame(GifInput& input, Frame& frame, std::string& reason) {
  for (;;) {
    const int kind = input.next();
    if (kind < 0) return refuse(reason, "it ends before its first frame");
    if (kind == 0x3B) return refuse(reason, "it holds no frame");
    if (kind == 0x21) {
      const int label = input.next();
      if (label < 0) return refuse(reason, "an extension block is cut short");
      if (label == 0xF9 && input.peek() == 4) {
        const std::uint8_t* control = input.take(5);
        if (control != nullptr) frame.transparent = (control[1] & 1u) != 0 ? control[4] : -1;
        else return refuse(reason, "an extension block is cut short");
      }
      if (!input.skipBlocks()) return refuse(reason, "an extension block is cut short");
      continue;
    }
    if (kind != 0x2C) return refuse(reason, "a block before its first frame is damaged");
    const std::uint8_t* descriptor = input.take(9);
    if (descriptor == nullptr) return refuse(reason, "its first frame's descriptor is cut short");
    frame.left = little16(descriptor), frame.top = little16(descriptor + 2);
    frame.width = little16(descriptor + 4), frame.height = little16(descriptor + 6);
    frame.interlaced = (descriptor[8] & 0x40u) != 0;
    if ((descriptor[8] & 0x80u) != 0) {
      const unsigned count = 2u << (descriptor[8] & 7u);
      const std::uint8_t* colours = input.take(count * 3);
      if (colours == nullptr) return refuse(reason, "its first frame's colour table is cut short");
      std::copy_n(colours, count * 3, frame.colours);
      frame.colourCount = count;
    }
    return true;
  }
}

// The picture row of the frame's n-th stored row: interlaced frames store every 8th row from 0,
// every 8th from 4, every 4th from 2, then every 2nd from 1.
std::uint32_t frameRow(std::uint32_t index, std::uint32_t rows, bool interlaced) {
  if (!interlaced) return index;
  const std::uint32_t starts[4] = {0, 4, 2, 1}, steps[4] = {8, 8, 4, 2};
  for (int pass = 0; pass < 4; ++pass) {
    const std::uint32_t inPass = rows > starts[pass] ? (rows - starts[pass] + steps[pass] - 1) / steps[pass] : 0;
    if (index < inPass) return starts[pass] + index * steps[pass];
    index -= inPass;
  }
  return rows;  // not reached
}

// The frame's indices, pixel by pixel in stored order, handed to `put`.
class LzwDecoder {
 public:
  explicit LzwDecoder(unsigned rootBits) : rootBits_(rootBits) { reset(); }

  // Decodes the sub-blocks that follow; false when they are damaged or end before `pixels`.
  template <typename Put>
  bool decode(GifInput& input, std::uint64_t pixels, Put put, std::string& reason) {
    std::uint64_t done = 0;
    std::uint32_t held = 0;
    unsigned heldBits = 0;
    std::uint8_t block[255];
    std::size_t blockAt = 0, blockEnd = 0;
    const unsigned clear = 1u << rootBits_, end = clear + 1;
    while (done < pixels) {
      while (heldBits < width_) {  // the next byte of the sub-blocks
        if (blockAt == blockEnd) {
          const int length = input.next();
          const std::uint8_t* data = length > 0 ? input.take(static_cast<std::size_t>(length)) : nullptr;
          if (data == nullptr)
            return refuse(reason, "its first frame's data ends after " + std::to_string(done) + " of " +
                                      std::to_string(pixels) + " pixels");
          std::copy_n(data, length, block);
          blockAt = 0;
          blockEnd = static_cast<std::size_t>(length);
        }
        held |= std::uint32_t{block[blockAt++]} << heldBits;
        heldBits += 8;
      }
      const unsigned code = held & ((1u << width_) - 1);
      held >>= width_;
      heldBits -= width_;
      if (code == clear) {
        reset();
        continue;
      }
      if (code == end || code > next_ || (code == next_ && previous_ < 0))
        return refuse(reason, code == end ? "its first frame's data ends after " + std::to_string(done) + " of " +
                                                std::to_string(pixels) + " pixels"
                                          : "its first frame's LZW data is damaged");
      // A code not made yet is the previous string and its own first pixel.
      const unsigned first = code == next_ ? firstOf(static_cast<unsigned>(previous_)) : firstOf(code);
      if (previous_ >= 0 && next_ < maxCodes) {
        prefix_[next_] = static_cast<std::uint16_t>(previous_);
        suffix_[next_] = static_cast<std::uint8_t>(first);
        length_[next_] = static_cast<std::uint16_t>(length_[previous_] + 1);
        ++next_;
        if (next_ == (1u << width_) && width_ < 12) ++width_;
      }
      done += emit(code, pixels - done, put);
      previous_ = static_cast<int>(code);
    }
    return true;
  }

 private:
  void reset() {
    width_ = rootBits_ + 1;
    next_ = (1u << rootBits_) + 2;
    previous_ = -1;
    for (unsigned i = 0; i < (1u << rootBits_); ++i) prefix_[i] = 0, suffix_[i] = static_cast<std::uint8_t>(i), length_[i] = 1;
  }
  unsigned firstOf(unsigned code) const {
    while (length_[code] > 1) code = prefix_[code];
    return suffix_[code];
  }
  // The string of `code`, first pixel first, at most `room` of it.
  template <typename Put>
  std::uint64_t emit(unsigned code, std::uint64_t room, Put put) {
    const unsigned length = length_[code];
    std::uint8_t* out = stack_ + length;
    for (unsigned c = code; out > stack_; c = prefix_[c]) *--out = suffix_[c];
    const std::uint64_t count = (std::min)(std::uint64_t{length}, room);
    for (std::uint64_t i = 0; i < count; ++i) put(stack_[i]);
    return count;
  }

  unsigned rootBits_, width_ = 0, next_ = 0;
  int previous_ = -1;
  std::uint16_t prefix_[maxCodes] = {};
  std::uint8_t suffix_[maxCodes] = {};
  std::uint16_t length_[maxCodes] = {};
  std::uint8_t stack_[maxCodes + 1] = {};
};

}  // namespace

std::optional<EightBitImage> decodeGifFrom(const RandomAccessBytes& bytes, std::string& reason) {
  GifInput input(bytes);
  const std::uint8_t* header = input.take(13);
  if (header == nullptr || (std::memcmp(header, "GIF87a", 6) != 0 && std::memcmp(header, "GIF89a", 6) != 0))
    return refusal(reason, "its header is cut short");
  std::uint8_t screen[7];
  std::copy_n(header + 6, 7, screen);
  Frame frame;
  if ((screen[4] & 0x80u) != 0) {  // the global colour table
    const unsigned count = 2u << (screen[4] & 7u);
    const std::uint8_t* colours = input.take(count * 3);
    if (colours == nullptr) return refusal(reason, "its colour table is cut short");
    std::copy_n(colours, count * 3, frame.colours);
    frame.colourCount = count;
  }
  if (!reachFirstFrame(input, frame, reason)) return std::nullopt;
  if (frame.colourCount == 0) return refusal(reason, "its first frame has no colour table");
  if (frame.width < 1 || frame.height < 1) return refusal(reason, "its first frame has no pixels");
  const int rootBits = input.next();
  if (rootBits < 1 || rootBits > 8) return refusal(reason, "its first frame's LZW code size is damaged");
  // A screen of no size is the frame's own.
  const bool ownScreen = little16(screen) < 1 || little16(screen + 2) < 1;
  const std::uint32_t width = ownScreen ? frame.width : little16(screen);
  const std::uint32_t height = ownScreen ? frame.height : little16(screen + 2);
  const std::uint32_t left = ownScreen ? 0 : frame.left, top = ownScreen ? 0 : frame.top;
  const bool covers = left == 0 && top == 0 && frame.width >= width && frame.height >= height;
  const int channels = frame.transparent >= 0 || !covers ? 4 : 3;
  // The screen outside the frame counts as data too: a tiny frame may not claim a huge page.
  DecodeClaim claim = simpleClaim(width, height, channels, input.left());
  const std::uint64_t framePixels = std::uint64_t{frame.width} * frame.height;
  claim.leastDataBytes = leastBytes((std::max)(std::uint64_t{width} * height, framePixels), lzwExpansion);
  claim.strongest = "LZW codes of 4096 pixels in 12 bits";
  claim.workingBytes = ByteStream::bufferBytes;
  if (!withinBudget(claim, reason)) return std::nullopt;
  EightBitImage image = blankImage(width, height, channels);  // transparent black where the frame is not
  std::uint64_t at = 0;
  const Frame& f = frame;
  const auto put = [&](std::uint8_t index) {
    const auto x = static_cast<std::uint32_t>(at % f.width) + left;
    const std::uint32_t y = frameRow(static_cast<std::uint32_t>(at / f.width), f.height, f.interlaced) + top;
    ++at;
    if (x >= width || y >= height || index == f.transparent) return;
    std::uint8_t* out = &image.samples[(std::size_t{y} * width + x) * static_cast<std::size_t>(channels)];
    if (index < f.colourCount) std::copy_n(f.colours + index * 3, 3, out);
    if (channels == 4) out[3] = 255;
  };
  const auto lzw = std::make_unique<LzwDecoder>(static_cast<unsigned>(rootBits));  // its tables take 24 KiB
  if (!lzw->decode(input, framePixels, put, reason)) return std::nullopt;
  return image;
}
