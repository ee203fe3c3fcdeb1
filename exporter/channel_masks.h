#pragma once
// A channel stored under a bit mask of a little-endian pixel (BMP bit fields, DDS pixel formats),
// brought to 8 bits by the rule of scaledSample: a channel of n bits (5, 6, 10 …) is scaled
// 255·v/(2^n − 1) and rounded; 16 bits keep their high byte. A zero mask reads as 0.
#include <cstdint>

#include "image_decoders.h"

struct MaskedChannel {
  std::uint32_t mask = 0;
  unsigned shift = 0;
  unsigned bits = 0;
};

// Whether the mask's bits lie next to each other (a zero mask does).
inline bool contiguousMask(std::uint32_t mask) {
  if (mask == 0) return true;
  while ((mask & 1u) == 0) mask >>= 1;
  return (mask & (mask + 1)) == 0;
}

inline MaskedChannel maskedChannel(std::uint32_t mask) {
  MaskedChannel channel;
  channel.mask = mask;
  if (mask == 0) return channel;
  while (((mask >> channel.shift) & 1u) == 0) ++channel.shift;
  while (channel.shift + channel.bits < 32 && ((mask >> (channel.shift + channel.bits)) & 1u) != 0) ++channel.bits;
  return channel;
}

inline std::uint8_t maskedSample(std::uint32_t pixel, const MaskedChannel& channel) {
  if (channel.bits == 0) return 0;
  const std::uint32_t value = (pixel & channel.mask) >> channel.shift;
  // Wider than 16 bits (and not 32): the top 16 bits hold every bit that survives.
  if (channel.bits > 16 && channel.bits < 32) return scaledSample(value >> (channel.bits - 16), 16);
  return scaledSample(value, channel.bits);
}
