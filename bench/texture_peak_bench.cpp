// The peak memory of a texture map's conversion beside the TIFF it writes. Writes a source of
// SIDE × SIDE RGBA pixels (16384 by default) a row at a time, then converts it to TIFF in a child
// process, the exporter's own path from source file to TIFF, and prints the child's peak
// resident memory (getrusage's maxrss), the TIFF's size and the bound the export keeps to: 1.25
// times the TIFF and 64 MiB (the mesh is left out: there is none here), and for a progressive
// JPEG its coefficients, two bytes each.
//   texture_peak_bench [FOLDER] [SIDE] [FORMAT]   FOLDER: where the two files go (the temporary
//   folder); FORMAT: one of writeLargeSource's (large_sources.h), png by default
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "large_sources.h"
#include "tiff_conversion.h"

namespace {

double mebibytes(std::uintmax_t bytes) { return static_cast<double>(bytes) / (1 << 20); }

// A progressive JPEG's decoder holds every coefficient, two bytes each, beside the picture: for
// the 4:2:0 file that writeLargeSource writes, the luma blocks and a quarter of them twice over,
// whole MCUs of 16 x 16 pixels.
std::uintmax_t coefficientBytes(const std::string& format, std::uint32_t side) {
  if (format != "jpeg-progressive") return 0;
  const std::uintmax_t mcus = (std::uintmax_t{side} + 15) / 16;
  return (4 + 1 + 1) * mcus * mcus * 64 * 2;
}

}  // namespace

int main(int argc, char** argv) {
  const std::filesystem::path folder = argc > 1 ? argv[1] : std::filesystem::temp_directory_path().string();
  const std::uint32_t side = argc > 2 ? static_cast<std::uint32_t>(std::strtoul(argv[2], nullptr, 10)) : 16384;
  const std::string format = argc > 3 ? argv[3] : "png";
  const std::string source = (folder / ("texture_peak_bench." + format)).string();
  const std::string tiff = (folder / "texture_peak_bench.tif").string();
  if (!writeLargeSource(format, source, side)) {
    std::fprintf(stderr, "texture_peak_bench: cannot write %s\n", source.c_str());
    return 1;
  }
  const auto start = std::chrono::steady_clock::now();
  const pid_t child = fork();
  if (child == 0) {
    std::string reason;
    const bool converted = convertImageToTiff(source, tiff, &reason);
    if (!converted) std::fprintf(stderr, "texture_peak_bench: %s\n", reason.c_str());
    _exit(converted ? 0 : 1);
  }
  int status = 0;
  waitpid(child, &status, 0);
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  struct rusage usage {};
  getrusage(RUSAGE_CHILDREN, &usage);
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) return 1;
  const std::uintmax_t sourceBytes = std::filesystem::file_size(source);
  const std::uintmax_t tiffBytes = std::filesystem::file_size(tiff);
  const double peak = static_cast<double>(usage.ru_maxrss) / 1024;  // maxrss is in KiB
  const double coefficients = mebibytes(coefficientBytes(format, side));
  const double bound = 1.25 * mebibytes(tiffBytes) + 64 + coefficients;
  std::printf("%u x %u RGBA %s of %.2f MiB to TIFF in %.2f s\n", side, side, format.c_str(), mebibytes(sourceBytes), seconds);
  std::printf("peak %.1f MiB  TIFF %.1f MiB  peak/TIFF %.3f  bound (1.25 x TIFF + 64 MiB%s) %.1f MiB: %s\n", peak,
              mebibytes(tiffBytes), peak / mebibytes(tiffBytes), coefficients > 0 ? " + coefficients" : "", bound,
              peak <= bound ? "within" : "EXCEEDED");
  std::filesystem::remove(source);
  std::filesystem::remove(tiff);
  return peak <= bound ? 0 : 2;
}
