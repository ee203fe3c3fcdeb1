#include "decode_budget.h"

#include <algorithm>
#include <cstdio>

namespace {

constexpr const char* channelWords[] = {"", "grey", "grey and alpha", "RGB", "RGBA"};

// a × b, or the largest value when it would not fit.
std::uint64_t times(std::uint64_t a, std::uint64_t b) {
  if (a != 0 && b > UINT64_MAX / a) return UINT64_MAX;
  return a * b;
}

}  // namespace

std::string pictureWords(std::uint64_t width, std::uint64_t height, int channels) {
  const char* kind = channels >= 1 && channels <= 4 ? channelWords[channels] : "?";
  return std::to_string(width) + " x " + std::to_string(height) + " " + kind;
}

std::string byteWords(std::uint64_t bytes) {
  const char* units[] = {"bytes", "KiB", "MiB", "GiB", "TiB", "PiB", "EiB"};
  double value = static_cast<double>(bytes);
  int unit = 0;
  while (value >= 1024 && unit < 6) {
    value /= 1024;
    ++unit;
  }
  if (unit == 0) return std::to_string(bytes) + " bytes";
  char text[32];
  std::snprintf(text, sizeof text, "%.1f %s", value, units[unit]);
  return text;
}

bool withinBudget(const DecodeClaim& claim, std::string& reason) {
  const std::string picture = "a " + pictureWords(claim.width, claim.height, claim.channels) + " picture";
  if (claim.channels < 1 || claim.channels > 4) {
    reason = "it has " + std::to_string(claim.channels) + " channels; at most 4 are read";
    return false;
  }
  if (claim.width < 1 || claim.height < 1 || claim.width > maxPictureSide || claim.height > maxPictureSide) {
    reason = picture + " is outside the sides read, 1 to " + std::to_string(maxPictureSide);
    return false;
  }
  const std::uint64_t pictureBytes = claim.width * claim.height * static_cast<std::uint64_t>(claim.channels);
  if (pictureBytes > maxPictureBytes) {
    reason = picture + " takes " + byteWords(pictureBytes) + "; its TIFF can hold at most " + byteWords(maxPictureBytes);
    return false;
  }
  if (claim.leastDataBytes > claim.dataBytes) {
    reason = picture + " needs at least " + byteWords(claim.leastDataBytes) + " of data (" + claim.strongest +
             "), but the file holds " + byteWords(claim.dataBytes) + ": it is cut short or claims too much";
    return false;
  }
  const std::uint64_t workingLimit = pictureBytes / 4 + fixedWorkingBytes;
  if (claim.workingBytes > workingLimit) {
    reason = picture + " takes " + byteWords(claim.workingBytes) + " to decode besides the picture; at most " +
             byteWords(workingLimit) + " is allowed";
    return false;
  }
  return true;
}

std::uint64_t leastJpegBytes(std::uint64_t blocks, bool arithmetic, bool progressive) {
  const std::uint64_t sixtyFourths = arithmetic ? 1 : (progressive ? 64 : 128);  // of a bit, per block
  return leastBytes(times(blocks, sixtyFourths), 8 * 64);
}

const char* leastJpegWords(bool arithmetic, bool progressive) {
  if (arithmetic) return "a 64th of a bit for each 8 x 8 block, arithmetic coded";
  return progressive ? "a bit for each 8 x 8 block" : "two bits for each 8 x 8 block";
}

std::uint64_t largestAllocation(std::uint64_t fileBytes, std::uint64_t mostExpansion) {
  return std::clamp(times(fileBytes, mostExpansion), std::uint64_t{16} << 20, maxPictureBytes);
}
