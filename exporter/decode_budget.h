#pragma once
// What a decode may cost, worked out from a file's header before anything large is allocated.
// Every decoder fills a DecodeClaim as soon as it knows the picture's shape and asks
// withinBudget before it allocates the picture or any buffer that grows with it.
#include <cstdint>
#include <string>

struct DecodeClaim {
  std::uint64_t width = 0, height = 0;
  int channels = 0;                // of the 8-bit picture that comes out, 1 to 4
  std::uint64_t leastDataBytes = 0;  // the fewest bytes that can hold the claimed pixel data
  std::uint64_t dataBytes = 0;     // the bytes of the file that are there to hold it
  const char* strongest = "";      // the compression that leastDataBytes assumes, for the reason
  std::uint64_t workingBytes = 0;  // what the decoder holds besides the picture while it decodes
};

// The strongest compressions the decoders meet, as decoded bytes per byte of data.
constexpr std::uint64_t deflateExpansion = 1032;  // zlib's own bound, a run of one byte

// The fewest bytes of a JPEG stream of `blocks` 8 × 8 blocks (of all its components): at least two
// bits a block (its DC and end-of-block codes) when it is sequential and Huffman coded, one when
// progressive (its DC code in the first scan), and a 64th of a bit where arithmetic coding packs
// blocks that are all zero. The words name the bound in a reason.
std::uint64_t leastJpegBytes(std::uint64_t blocks, bool arithmetic, bool progressive);
const char* leastJpegWords(bool arithmetic, bool progressive);
// A progressive JPEG costs a pass over all its coefficients per scan. Encoders write up to a dozen
// scans (libjpeg's progressive script writes 10 for colour, 6 for grey); a stream with ten times
// as many is out of proportion to any picture it holds, and is not read.
constexpr int maxJpegScans = 100;

// The fewest bytes that `decodedBytes` can be packed into at `mostExpansion` to 1.
constexpr std::uint64_t leastBytes(std::uint64_t decodedBytes, std::uint64_t mostExpansion) {
  return decodedBytes / mostExpansion + (decodedBytes % mostExpansion != 0 ? 1 : 0);
}

// The largest side any decoder reads, the 8-bit picture that a classic TIFF (4 GiB of 32-bit
// offsets, less room for its directory and strip tables) can hold, and what a decoder may hold
// beside the picture: a quarter of it and 48 MiB, which keeps an export within the mesh, 1.25
// times its TIFF and 64 MiB.
constexpr std::uint64_t maxPictureSide = 65535;
constexpr std::uint64_t maxPictureBytes = (std::uint64_t{4} << 30) - (std::uint64_t{16} << 20);
constexpr std::uint64_t fixedWorkingBytes = std::uint64_t{48} << 20;
// Text, colour profiles and other metadata that a decoder may inflate, each at most.
constexpr std::uint64_t maxMetadataBytes = std::uint64_t{8} << 20;

// True when the claim may be decoded; else false with `reason` naming the picture's size and the
// limit that it exceeds: a side, the TIFF, the data the file holds, or the working memory.
bool withinBudget(const DecodeClaim& claim, std::string& reason);

// The largest single allocation that a library decoding `fileBytes` bytes at `mostExpansion` to 1
// needs: what the file can decode to (at least 16 MiB, for tables), never more than a picture.
std::uint64_t largestAllocation(std::uint64_t fileBytes, std::uint64_t mostExpansion);

// "16384 x 16384 RGBA" and "1.0 GiB": the words of the reasons.
std::string pictureWords(std::uint64_t width, std::uint64_t height, int channels);
std::string byteWords(std::uint64_t bytes);
