#pragma once
// Numbers as the image formats store them, read from bytes already known to be there.
#include <cstdint>

inline std::uint32_t little16(const std::uint8_t* at) { return at[0] | (at[1] << 8u); }
inline std::uint32_t little32(const std::uint8_t* at) {
  return at[0] | (at[1] << 8u) | (at[2] << 16u) | (std::uint32_t{at[3]} << 24u);
}
inline std::uint32_t big32(const std::uint8_t* at) {
  return (std::uint32_t{at[0]} << 24) | (std::uint32_t{at[1]} << 16) | (std::uint32_t{at[2]} << 8) | at[3];
}
