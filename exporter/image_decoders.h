#pragma once
// The decoders behind decodeSourceImage, one per format, each from bytes in memory. Each answers
// nothing for a damaged or unsupported file, and none prints anything.
#include <cstddef>
#include <cstdint>
#include <optional>

#include "source_image.h"

std::optional<EightBitImage> decodePng(const std::uint8_t* bytes, std::size_t size);
std::optional<EightBitImage> decodeJpeg(const std::uint8_t* bytes, std::size_t size);
std::optional<EightBitImage> decodeTiff(const std::uint8_t* bytes, std::size_t size);
std::optional<EightBitImage> decodeBmp(const std::uint8_t* bytes, std::size_t size);
std::optional<EightBitImage> decodePnm(const std::uint8_t* bytes, std::size_t size);
std::optional<EightBitImage> decodeTga(const std::uint8_t* bytes, std::size_t size);
std::optional<EightBitImage> decodePsd(const std::uint8_t* bytes, std::size_t size);
std::optional<EightBitImage> decodeHdr(const std::uint8_t* bytes, std::size_t size);
std::optional<EightBitImage> decodeExr(const std::uint8_t* bytes, std::size_t size);

// Whether a width × height × channels image of 8-bit samples may come out of `fileBytes` bytes:
// both sides at least 1 and at most 65535, and no more than the strongest compression of any
// of the formats (deflate, about 1032 to 1, of one-bit samples that widen 8 times) could pack
// into the file.
bool plausibleImage(std::uint64_t width, std::uint64_t height, int channels, std::size_t fileBytes);

// An empty image of that shape, samples zeroed.
EightBitImage blankImage(std::uint32_t width, std::uint32_t height, int channels);

// The 8-bit rules, shared by the decoders. 16- and 32-bit integer samples keep their high byte;
// samples of other depths (1 to 15 bits) are scaled from 0 … 2^n − 1 to 0 … 255, rounded to the
// nearest; a floating-point sample is clamped to 0 … 1 and scaled to 0 … 255, rounded to the
// nearest (not-a-number gives 0).
std::uint8_t scaledSample(std::uint32_t value, unsigned bits);
std::uint8_t floatSample(double value);
