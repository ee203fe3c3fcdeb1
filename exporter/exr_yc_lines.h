#pragma once
// The lines of an OpenEXR picture stored as luminance and chroma with chroma sampled every second
// pixel and line, turned into the 8-bit RGB (or RGBA) lines of the picture as they arrive, top to
// bottom. Only a window of lines around the one being written is held (see workingBytes).
#include <array>
#include <cstdint>
#include <vector>

#include "source_image.h"

class YcLines {
 public:
  // A picture of `width` × `height` pixels (at least 1 each) written into `image`, which has 3
  // channels, or 4 with `alpha`; `weights` are the luminance weights of red, green and blue.
  YcLines(int width, int height, bool alpha, const std::array<double, 3>& weights, EightBitImage& image);

  // What a picture `width` wide holds while it works.
  static std::uint64_t workingBytes(std::uint64_t width, bool alpha);

  // The next line: its luminance and alpha (null without) at every pixel and, on the picture's
  // even lines (the first is line 0), its chroma at every even pixel, (width + 1) / 2 samples of
  // each (null on odd lines). Writes every line of the picture that is then known.
  void addLine(const float* luminance, const float* alpha, const float* redChroma, const float* blueChroma);
  int linesAdded() const { return added_; }
  // Writes the lines that are left; after the picture's last line was added.
  void finish();

 private:
  struct Rgb {
    float r, g, b;
  };
  float* luminanceOf(int line);
  float* alphaOf(int line);
  float* chromaOf(int evenLine);  // red then blue chroma, each at every pixel
  int chromaLineFor(int line) const;
  int luminanceLineFor(int line) const;
  const Rgb* rgbOf(int line);
  void writeLine(int line);

  int width_, height_;
  bool alpha_;
  std::array<float, 3> weights_;
  EightBitImage& image_;
  int added_ = 0, written_ = 0;
  std::vector<float> luminance_, alphas_, chroma_;  // rings of lines
  std::vector<Rgb> rgb_;                           // three lines of RGB, by line modulo 3
  int rgbLine_[3];                                 // the line each holds
  std::vector<float> chromaSum_;                   // the chroma of an odd line, as it is summed
};
