#pragma once
// IEEE 754 half precision (1 sign, 5 exponent, 10 fraction bits) widened to a float exactly:
// subnormals, infinities and not-a-number included.
#include <cmath>
#include <cstdint>

inline float halfToFloat(std::uint16_t bits) {
  const int exponent = (bits >> 10) & 31;
  const int fraction = bits & 1023;
  const float sign = (bits & 0x8000u) != 0 ? -1.0f : 1.0f;
  if (exponent == 31) return fraction == 0 ? sign * INFINITY : NAN;
  if (exponent == 0) return sign * std::ldexp(static_cast<float>(fraction), -24);
  return sign * std::ldexp(static_cast<float>(fraction + 1024), exponent - 25);
}
