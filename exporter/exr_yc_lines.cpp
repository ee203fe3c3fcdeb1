// Luminance and subsampled chroma back to RGB, as the format's own RGBA reader shows such a
// picture (to within the rounding of its half-float steps):
//
// 1. Each even line's chroma comes back at every pixel: even pixels keep their sample, an odd
//    pixel x takes the windowed low-pass filter of 27 taps over the samples around it,
//    Σ c_k · (C[x − k] + C[x + k]) for k = 1, 3, … 13, with c = 0.627123, −0.186077, 0.087929,
//    −0.043159, 0.019597, −0.007540, 0.002128.
// 2. An odd line's chroma is the same filter run down the column over the even lines around it.
// 3. R = (RY + 1)·Y, B = (BY + 1)·Y, G = (Y − R·wr − B·wb) / wg, with the luminance weights of the
//    file's primaries; grey Y where RY and BY are both 0.
// 4. The filter's ringing can leave a pixel more saturated than its neighbours: where a pixel's
//    saturation s = 1 − min/max of its R, G and B exceeds both the mean m of its four diagonal
//    neighbours' (at most 1) and 1 − (1 − m) / 4, it is pulled towards its brightest component to
//    that saturation and scaled back to its luminance.
//
// Beyond the picture's edges the filter takes the nearest sample that holds chroma: the first
// line or column, and the last even line or column. (The library refuses subsampled chroma over
// odd sides; over even ones that is the last line or column but one, which the format's reader
// takes too.)
// The neighbours of step 4 beyond the top are the line above worked out as an odd line from the
// first, and beyond the bottom the line above the last, as that reader has them; beyond the sides
// the edge pixel's own.
//
// A line is written once the 14 below it are in; the rings hold 16 lines of luminance and alpha
// and 16 even lines of chroma, so a picture of any height costs about 30 of its lines in floats.
#include "exr_yc_lines.h"

#include <algorithm>
#include <cmath>

#include "image_decoders.h"

namespace {

constexpr int taps = 7;  // on each side, at odd distances 1, 3, … 13
constexpr float filter[taps] = {0.627123f, -0.186077f, 0.087929f, -0.043159f, 0.019597f, -0.007540f, 0.002128f};
constexpr int reach = 2 * taps;      // a line is written once the lines this far below it are in
constexpr int lumaRing = reach + 2;  // the line above the one written up to the last added
constexpr int chromaRing = 16;       // even lines: 2 · 16 cover the 29 from 14 above to 14 below

float saturation(float r, float g, float b) {
  const float most = (std::max)(r, (std::max)(g, b)), least = (std::min)(r, (std::min)(g, b));
  return most > 0 ? 1 - least / most : 0;
}

}  // namespace

YcLines::YcLines(int width, int height, bool alpha, const std::array<double, 3>& weights, EightBitImage& image)
    : width_(width), height_(height), alpha_(alpha),
      weights_{static_cast<float>(weights[0]), static_cast<float>(weights[1]), static_cast<float>(weights[2])},
      image_(image), rgbLine_{-2, -2, -2} {
  const auto w = static_cast<std::size_t>(width);
  luminance_.resize(w * lumaRing);
  if (alpha_) alphas_.resize(w * lumaRing);
  chroma_.resize(w * 2 * chromaRing);
  rgb_.resize(w * 3);
  chromaSum_.resize(w * 2);
}

std::uint64_t YcLines::workingBytes(std::uint64_t width, bool alpha) {
  return width * sizeof(float) * (lumaRing * (alpha ? 2 : 1) + 2 * chromaRing + 3 * 3 + 2);
}

float* YcLines::luminanceOf(int line) { return luminance_.data() + static_cast<std::size_t>(line % lumaRing) * width_; }
float* YcLines::alphaOf(int line) { return alphas_.data() + static_cast<std::size_t>(line % lumaRing) * width_; }
float* YcLines::chromaOf(int evenLine) {
  return chroma_.data() + static_cast<std::size_t>((evenLine / 2) % chromaRing) * 2 * width_;
}

// The even line whose chroma stands for `line` (even, perhaps outside the picture).
int YcLines::chromaLineFor(int line) const { return line < 0 ? 0 : (std::min)(line, (height_ - 1) & ~1); }
// The line whose luminance stands for `line`, one line outside the picture at most.
int YcLines::luminanceLineFor(int line) const {
  return line < 0 ? 0 : line < height_ ? line : (std::max)(0, height_ - 2);
}

void YcLines::addLine(const float* luminance, const float* alpha, const float* redChroma, const float* blueChroma) {
  const int line = added_++;
  std::copy(luminance, luminance + width_, luminanceOf(line));
  if (alpha_) std::copy(alpha, alpha + width_, alphaOf(line));
  if (line % 2 == 0) {
    float* red = chromaOf(line);
    float* blue = red + width_;
    const int lastEven = (width_ - 1) & ~1;
    for (int x = 0; x < width_; x += 2) {
      red[x] = redChroma[x / 2];
      blue[x] = blueChroma[x / 2];
    }
    for (int x = 1; x < width_; x += 2) {
      float r = 0, b = 0;
      for (int t = 0; t < taps; ++t) {
        const int before = (std::max)(0, x - 2 * t - 1) / 2, after = (std::min)(lastEven, x + 2 * t + 1) / 2;
        r += filter[t] * (redChroma[before] + redChroma[after]);
        b += filter[t] * (blueChroma[before] + blueChroma[after]);
      }
      red[x] = r;
      blue[x] = b;
    }
  }
  while (written_ < height_ && written_ + reach <= line) writeLine(written_++);
}

void YcLines::finish() {
  while (written_ < height_ && written_ < added_) writeLine(written_++);
}

// The RGB of `line` (from −1 to the picture's height), before the saturation of step 4 is mended.
const YcLines::Rgb* YcLines::rgbOf(int line) {
  const int slot = (line + 3) % 3;
  Rgb* out = rgb_.data() + static_cast<std::size_t>(slot) * width_;
  if (rgbLine_[slot] == line) return out;
  rgbLine_[slot] = line;
  const float* red = chromaSum_.data();
  if (line % 2 == 0) {
    red = chromaOf(chromaLineFor(line));
  } else {
    std::fill(chromaSum_.begin(), chromaSum_.end(), 0.0f);
    for (int t = 0; t < taps; ++t) {
      const float* above = chromaOf(chromaLineFor(line - 2 * t - 1));
      const float* below = chromaOf(chromaLineFor(line + 2 * t + 1));
      for (int i = 0; i < 2 * width_; ++i) chromaSum_[i] += filter[t] * (above[i] + below[i]);
    }
  }
  const float* blue = red + width_;
  const float* luminance = luminanceOf(luminanceLineFor(line));
  for (int x = 0; x < width_; ++x) {
    const float y = luminance[x];
    if (red[x] == 0 && blue[x] == 0) {
      out[x] = {y, y, y};
    } else {
      const float r = (red[x] + 1) * y, b = (blue[x] + 1) * y;
      out[x] = {r, (y - r * weights_[0] - b * weights_[2]) / weights_[1], b};
    }
  }
  return out;
}

void YcLines::writeLine(int line) {
  const Rgb* above = rgbOf(line - 1);
  const Rgb* below = rgbOf(line + 1);
  const Rgb* here = rgbOf(line);
  const float* alpha = alpha_ ? alphaOf(line) : nullptr;
  std::uint8_t* out = image_.samples.data() + static_cast<std::size_t>(line) * width_ * image_.channels;
  const auto saturationAt = [&](const Rgb* row, int x) {
    const Rgb& p = row[(std::min)((std::max)(x, 0), width_ - 1)];
    return saturation(p.r, p.g, p.b);
  };
  for (int x = 0; x < width_; ++x) {
    Rgb p = here[x];
    const float s = saturation(p.r, p.g, p.b);
    const float mean = (std::min)(1.0f, 0.25f * (saturationAt(above, x - 1) + saturationAt(above, x + 1) +
                                                 saturationAt(below, x - 1) + saturationAt(below, x + 1)));
    const float most = (std::min)(1.0f, 1 - (1 - mean) * 0.25f);
    if (s > mean && s > most) {
      const float f = most / s, top = (std::max)(p.r, (std::max)(p.g, p.b));
      const Rgb pulled{(std::max)(top - (top - p.r) * f, 0.0f), (std::max)(top - (top - p.g) * f, 0.0f),
                       (std::max)(top - (top - p.b) * f, 0.0f)};
      const float before = p.r * weights_[0] + p.g * weights_[1] + p.b * weights_[2];
      const float after = pulled.r * weights_[0] + pulled.g * weights_[1] + pulled.b * weights_[2];
      const float scale = after > 0 ? before / after : 1.0f;
      p = {pulled.r * scale, pulled.g * scale, pulled.b * scale};
    }
    *out++ = floatSample(p.r);
    *out++ = floatSample(p.g);
    *out++ = floatSample(p.b);
    if (alpha != nullptr) *out++ = floatSample(alpha[x]);
  }
}
