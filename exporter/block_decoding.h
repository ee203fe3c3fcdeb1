#pragma once
// The block-compressed texture formats of DDS files: each block codes 4 × 4 texels, and each
// decoder writes them as 16 RGBA texels, rows top to bottom, into `texels` (64 bytes).
//
// 8-bit rules: colours of BC1, BC2 and BC3 are worked out from the 5- and 6-bit endpoints in
// their own precision and rounded once to 0 … 255 (an endpoint v of n bits is 255·v/(2^n − 1),
// a blend of two is the blend of those values, each rounded to the nearest); 4-bit alpha of BC2
// is 17·a; BC3 alpha, BC4 and BC5 blend 8-bit endpoints and round. Signed BC4 and BC5 channels
// (−1 … 1) are carried to 0 … 255 as 255·(v + 1)/2, rounded, the way a normal map stores them.
// BC7 follows its format's own integer rules (endpoints widened by repeating their bits,
// 6-bit blend weights). A BC7 block of the reserved mode decodes as transparent black.
#include <cstdint>

void decodeBc1Block(const std::uint8_t* block, std::uint8_t* texels);
void decodeBc2Block(const std::uint8_t* block, std::uint8_t* texels);
void decodeBc3Block(const std::uint8_t* block, std::uint8_t* texels);
// One channel: the grey level goes to red, green and blue alike, alpha is 255.
void decodeBc4Block(const std::uint8_t* block, bool isSigned, std::uint8_t* texels);
// Two channels into red and green; blue is 0 and alpha 255.
void decodeBc5Block(const std::uint8_t* block, bool isSigned, std::uint8_t* texels);
void decodeBc7Block(const std::uint8_t* block, std::uint8_t* texels);
