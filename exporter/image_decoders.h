#pragma once
// The decoders behind decodeSourceImage and readSourceImage, one per format, each reading the
// bytes where they lie (the file itself, or memory), never the whole file at once. Each answers
// nothing for a file that it cannot read, with `reason` saying what in the file it cannot read
// (a few words, without the format's name, which decodeSourceImage puts in front). None prints
// anything. Each fills a DecodeClaim from the header and asks withinBudget before it allocates
// the picture.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "decode_budget.h"
#include "source_bytes.h"
#include "source_image.h"

std::optional<EightBitImage> decodePngFrom(const RandomAccessBytes& bytes, std::string& reason);
std::optional<EightBitImage> decodeJpegFrom(const RandomAccessBytes& bytes, std::string& reason);
std::optional<EightBitImage> decodeTiffFrom(const RandomAccessBytes& bytes, std::string& reason);
std::optional<EightBitImage> decodeBmpFrom(const RandomAccessBytes& bytes, std::string& reason);
std::optional<EightBitImage> decodePnmFrom(const RandomAccessBytes& bytes, std::string& reason);
std::optional<EightBitImage> decodeTgaFrom(const RandomAccessBytes& bytes, std::string& reason);
std::optional<EightBitImage> decodePsdFrom(const RandomAccessBytes& bytes, std::string& reason);
std::optional<EightBitImage> decodeHdrFrom(const RandomAccessBytes& bytes, std::string& reason);
std::optional<EightBitImage> decodeDdsFrom(const RandomAccessBytes& bytes, std::string& reason);
std::optional<EightBitImage> decodeGifFrom(const RandomAccessBytes& bytes, std::string& reason);
std::optional<EightBitImage> decodeSgiFrom(const RandomAccessBytes& bytes, std::string& reason);
std::optional<EightBitImage> decodeExrFrom(const RandomAccessBytes& bytes, std::string& reason);

// For `return refusal(reason, "its data ends early");`.
inline std::nullopt_t refusal(std::string& reason, std::string why) {
  reason = std::move(why);
  return std::nullopt;
}
// For `return refuse(reason, "its header is cut short");` in a step that answers true or false.
inline bool refuse(std::string& reason, std::string why) {
  reason = std::move(why);
  return false;
}

// The claim of a picture whose data is known only to lie within the file's `fileBytes`: one-bit
// samples at deflate's strongest, widened to 8 bits (the bound every decoder used before it knew
// its format's own).
DecodeClaim simpleClaim(std::uint64_t width, std::uint64_t height, int channels, std::size_t fileBytes);

// An image of that shape with every sample zero, for decoders that leave some samples unwritten.
EightBitImage blankImage(std::uint32_t width, std::uint32_t height, int channels);
// An image of that shape whose samples are not written yet: for decoders that write every one.
EightBitImage unfilledImage(std::uint32_t width, std::uint32_t height, int channels);

// The 8-bit rules, shared by the decoders. 16- and 32-bit integer samples keep their high byte;
// samples of other depths (1 to 15 bits) are scaled from 0 … 2^n − 1 to 0 … 255, rounded to the
// nearest; a floating-point sample is clamped to 0 … 1 and scaled to 0 … 255, rounded to the
// nearest (not-a-number gives 0).
std::uint8_t scaledSample(std::uint32_t value, unsigned bits);
std::uint8_t floatSample(double value);

// The one CMYK rule of every decoder: a colour's ink and the black ink (each 0 none … 255 full)
// give the light of that colour, (255 − ink)(255 − black) / 255, rounded.
std::uint8_t inkToLight(int ink, int black);
