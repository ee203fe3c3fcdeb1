// GIF: the first frame only, drawn on the logical screen as a viewer first shows it. The frame's
// colour table (or the global one) gives RGB; the transparent index of the graphic control block
// that comes before the frame becomes alpha 0, and so does every pixel of the screen that the
// frame does not cover (a viewer shows the page through there, not the background colour). A
// picture with neither is RGB. Interlaced frames are put back in row order; indices past the end
// of the colour table are black. Later frames, comments and application blocks are not read.
//
// The pixels are LZW codes of 2 to 12 bits, lowest bit first, in blocks of up to 255 bytes; a
// frame whose codes end before its last pixel, or name a string not yet made, is refused.
#include <algorithm>
#include <cstring>
#include <memory>
#include <string>

#include "image_decoders.h"

namespace {

// Pixels that one byte of LZW data can stand for at most: a 12-bit code names a string of up to
// 4096 pixels.
constexpr std::uint64_t lzwExpansion = 4096 * 8 / 12 + 1;
constexpr unsigned maxCodes = 4096;

std::uint32_t little16(const std::uint8_t* at) { return at[0] | (at[1] << 8u); }

bool refuse(std::string& reason, std::string why) {
  reason = std::move(why);
  return false;
}

class GifInput {
 public:
  GifInput(const std::uint8_t* bytes, std::size_t size) : bytes_(bytes), size_(size) {}
  bool has(std::size_t count) const { return count <= size_ - at_; }
  const std::uint8_t* take(std::size_t count) {
    const std::uint8_t* here = bytes_ + at_;
    at_ += count;
    return here;
  }
  std::size_t at() const { return at_; }
  // Passes over a chain of sub-blocks up to its empty block.
  bool skipBlocks() {
    for (;;) {
      if (!has(1)) return false;
      const std::size_t length = *take(1);
      if (length == 0) return true;
      if (!has(length)) return false;
      take(length);
    }
  }

 private:
  const std::uint8_t* bytes_;
  std::size_t size_;
  std::size_t at_ = 0;
};

struct Frame {
  std::uint32_t left = 0, top = 0, width = 0, height = 0;
  bool interlaced = false;
  const std::uint8_t* colours = nullptr;  // RGB triples
  unsigned colourCount = 0;
  int transparent = -1;
};

// Passes over the extensions before the first frame (keeping the transparent index of the last
// graphic control block) and reads the frame's descriptor and colour table.
bool reachFirstFrame(GifInput& input, Frame& frame, std::string& reason) {
  for (;;) {
    if (!input.has(1)) return refuse(reason, "it ends before its first frame");
    const std::uint8_t kind = *input.take(1);
    if (kind == 0x3B) return refuse(reason, "it holds no frame");
    if (kind == 0x21) {
      if (!input.has(1)) return refuse(reason, "an extension block is cut short");
      const std::uint8_t label = *input.take(1);
      if (label == 0xF9 && input.has(5) && input.take(0)[0] == 4) {
        const std::uint8_t* control = input.take(5);
        frame.transparent = (control[1] & 1u) != 0 ? control[4] : -1;
      }
      if (!input.skipBlocks()) return refuse(reason, "an extension block is cut short");
      continue;
    }
    if (kind != 0x2C) return refuse(reason, "a block before its first frame is damaged");
    if (!input.has(9)) return refuse(reason, "its first frame's descriptor is cut short");
    const std::uint8_t* descriptor = input.take(9);
    frame.left = little16(descriptor), frame.top = little16(descriptor + 2);
    frame.width = little16(descriptor + 4), frame.height = little16(descriptor + 6);
    frame.interlaced = (descriptor[8] & 0x40u) != 0;
    if ((descriptor[8] & 0x80u) != 0) {
      const unsigned count = 2u << (descriptor[8] & 7u);
      if (!input.has(count * 3)) return refuse(reason, "its first frame's colour table is cut short");
      frame.colours = input.take(count * 3);
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
    std::size_t blockLeft = 0;
    const unsigned clear = 1u << rootBits_, end = clear + 1;
    while (done < pixels) {
      while (heldBits < width_) {  // the next byte of the sub-blocks
        if (blockLeft == 0) {
          if (!input.has(1) || (blockLeft = *input.take(1)) == 0 || !input.has(blockLeft))
            return refuse(reason, "its first frame's data ends after " + std::to_string(done) + " of " +
                                      std::to_string(pixels) + " pixels");
        }
        held |= std::uint32_t{*input.take(1)} << heldBits;
        heldBits += 8;
        --blockLeft;
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

std::optional<EightBitImage> decodeGif(const std::uint8_t* bytes, std::size_t size, std::string& reason) {
  GifInput input(bytes, size);
  if (!input.has(13) || (std::memcmp(bytes, "GIF87a", 6) != 0 && std::memcmp(bytes, "GIF89a", 6) != 0))
    return refusal(reason, "its header is cut short");
  const std::uint8_t* screen = input.take(13) + 6;
  Frame frame;
  if ((screen[4] & 0x80u) != 0) {  // the global colour table
    const unsigned count = 2u << (screen[4] & 7u);
    if (!input.has(count * 3)) return refusal(reason, "its colour table is cut short");
    frame.colours = input.take(count * 3);
    frame.colourCount = count;
  }
  if (!reachFirstFrame(input, frame, reason)) return std::nullopt;
  if (frame.colours == nullptr) return refusal(reason, "its first frame has no colour table");
  if (frame.width < 1 || frame.height < 1) return refusal(reason, "its first frame has no pixels");
  if (!input.has(1) || input.take(0)[0] < 1 || input.take(0)[0] > 8)
    return refusal(reason, "its first frame's LZW code size is damaged");
  const unsigned rootBits = *input.take(1);
  // A screen of no size is the frame's own.
  const bool ownScreen = little16(screen) < 1 || little16(screen + 2) < 1;
  const std::uint32_t width = ownScreen ? frame.width : little16(screen);
  const std::uint32_t height = ownScreen ? frame.height : little16(screen + 2);
  const std::uint32_t left = ownScreen ? 0 : frame.left, top = ownScreen ? 0 : frame.top;
  const bool covers = left == 0 && top == 0 && frame.width >= width && frame.height >= height;
  const int channels = frame.transparent >= 0 || !covers ? 4 : 3;
  // The screen outside the frame counts as data too: a tiny frame may not claim a huge page.
  DecodeClaim claim = simpleClaim(width, height, channels, size - input.at());
  const std::uint64_t framePixels = std::uint64_t{frame.width} * frame.height;
  claim.leastDataBytes = leastBytes((std::max)(std::uint64_t{width} * height, framePixels), lzwExpansion);
  claim.strongest = "LZW codes of 4096 pixels in 12 bits";
  if (!withinBudget(claim, reason)) return std::nullopt;
  EightBitImage image = blankImage(width, height, channels);  // transparent black where the frame is not
  std::uint64_t at = 0;
  const auto put = [&](std::uint8_t index) {
    const auto x = static_cast<std::uint32_t>(at % frame.width) + left;
    const std::uint32_t y = frameRow(static_cast<std::uint32_t>(at / frame.width), frame.height, frame.interlaced) + top;
    ++at;
    if (x >= width || y >= height || index == frame.transparent) return;
    std::uint8_t* out = &image.samples[(std::size_t{y} * width + x) * static_cast<std::size_t>(channels)];
    if (index < frame.colourCount) std::copy_n(frame.colours + index * 3, 3, out);
    if (channels == 4) out[3] = 255;
  };
  const auto lzw = std::make_unique<LzwDecoder>(rootBits);  // its tables take 24 KiB
  if (!lzw->decode(input, framePixels, put, reason)) return std::nullopt;
  return image;
}
