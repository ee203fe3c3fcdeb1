// PNG through libpng. Palettes become RGB, transparency chunks an alpha channel, grey of 1, 2 or 4
// bits is scaled to 8 bits by libpng's expansion (a 2-bit 1 becomes 85), and 16-bit samples keep
// their high byte.
//
// Before libpng sees the file, its chunks are walked here: every length must stay inside the
// file, and the image data there is must be able to inflate (at deflate's strongest, 1032 to 1)
// to the filtered rows the header claims, so a cut or lying file is refused before the picture
// is allocated. Text, colour profile and other metadata chunks are dropped unread, and libpng's
// own limits bound the rest. The walk reads only the chunks' headers, from where they lie; libpng
// then reads the file in order, a MiB at a time.
#include <png.h>

#include <cstring>

#include "byte_order.h"
#include "image_decoders.h"

namespace {

struct StreamInput {
  ByteStream stream;
  std::string error;  // libpng's message, when it gave up
};

struct PngReadState {
  png_structp png = nullptr;
  png_infop info = nullptr;
  PngReadState(const PngReadState&) = delete;
  PngReadState& operator=(const PngReadState&) = delete;
  explicit PngReadState(StreamInput* input);
  ~PngReadState() { png_destroy_read_struct(&png, info != nullptr ? &info : nullptr, nullptr); }
};

// Errors keep libpng's message and jump back to the reading step that is running; warnings are
// dropped.
void onError(png_structp png, png_const_charp message) {
  static_cast<StreamInput*>(png_get_error_ptr(png))->error = message != nullptr ? message : "";
  png_longjmp(png, 1);
}
void onWarning(png_structp, png_const_charp) {}

void readFromStream(png_structp png, png_bytep data, png_size_t length) {
  auto* input = static_cast<StreamInput*>(png_get_io_ptr(png));
  if (!input->stream.read(data, length)) png_error(png, "the file ends early");
}

PngReadState::PngReadState(StreamInput* input)
    : png(png_create_read_struct(PNG_LIBPNG_VER_STRING, input, onError, onWarning)),
      info(png != nullptr ? png_create_info_struct(png) : nullptr) {}

// "IDAT " for a chunk type of four letters, else nothing.
std::string chunkName(const std::uint8_t* type) {
  for (int i = 0; i < 4; ++i)
    if (!((type[i] >= 'A' && type[i] <= 'Z') || (type[i] >= 'a' && type[i] <= 'z'))) return std::string();
  return std::string(reinterpret_cast<const char*>(type), 4) + " ";
}

// The bytes of image data (IDAT) in the file, found by walking its chunks; false, with the
// reason, when a chunk runs past the end of the file before the image data is over.
bool imageDataBytes(const RandomAccessBytes& bytes, std::uint64_t& found, std::string& reason) {
  constexpr std::uint64_t signatureBytes = 8, frameBytes = 12;  // length, type and checksum
  const std::uint64_t size = bytes.size();
  std::uint64_t at = signatureBytes;
  found = 0;
  std::uint8_t frame[8];
  while (at + frameBytes <= size) {
    if (!bytes.readAllAt(at, frame, sizeof frame)) {
      reason = "its chunks cannot be read";
      return false;
    }
    const std::uint32_t length = big32(frame);
    const bool data = std::memcmp(frame + 4, "IDAT", 4) == 0;
    if (length > size - at - frameBytes) {
      reason = "its " + chunkName(frame + 4) + "chunk of " + byteWords(length) +
               " runs past the end of the file (it is cut short)";
      return false;
    }
    if (data) found += length;
    else if (found > 0 || std::memcmp(frame + 4, "IEND", 4) == 0) return true;  // the image data is over
    at += frameBytes + length;
  }
  if (found == 0) reason = "it ends before its image data";
  return found > 0;
}

// The metadata chunks that nothing here uses are dropped unread (some inflate), and libpng bounds
// what it keeps of the rest.
void limitChunks(png_structp png) {
  static const png_byte unused[] = "iCCP\0iTXt\0tEXt\0zTXt\0sPLT\0eXIf\0";
  png_set_keep_unknown_chunks(png, PNG_HANDLE_CHUNK_NEVER, unused, static_cast<int>(sizeof unused / 5));
  png_set_keep_unknown_chunks(png, PNG_HANDLE_CHUNK_NEVER, nullptr, 0);  // and every unknown one
  png_set_user_limits(png, static_cast<png_uint_32>(maxPictureSide), static_cast<png_uint_32>(maxPictureSide));
  png_set_chunk_cache_max(png, 128);
  png_set_chunk_malloc_max(png, static_cast<png_alloc_size_t>(maxMetadataBytes));
}

// The two steps that libpng may leave by a jump hold nothing that needs destroying.
bool readHeader(png_structp png, png_infop info, StreamInput* input) {
  if (setjmp(png_jmpbuf(png))) return false;
  png_set_read_fn(png, input, readFromStream);
  limitChunks(png);
  png_read_info(png, info);
  return true;
}

bool setTransforms(png_structp png, png_infop info) {
  if (setjmp(png_jmpbuf(png))) return false;
  png_set_palette_to_rgb(png);
  png_set_expand_gray_1_2_4_to_8(png);
  if (png_get_valid(png, info, PNG_INFO_tRNS)) png_set_tRNS_to_alpha(png);
  png_set_strip_16(png);
  png_set_interlace_handling(png);
  png_read_update_info(png, info);
  return true;
}

bool readRows(png_structp png, png_bytepp rows) {
  if (setjmp(png_jmpbuf(png))) return false;
  png_read_image(png, rows);
  return true;
}

// The claim of the header: the filtered rows that the image data must inflate to, at the file's
// own depth (a filter byte a row, and at least that for interlaced passes).
DecodeClaim claimOf(png_structp png, png_infop info, std::uint64_t dataBytes) {
  const std::uint64_t width = png_get_image_width(png, info), height = png_get_image_height(png, info);
  const std::uint64_t bitsPerPixel = std::uint64_t{png_get_bit_depth(png, info)} * png_get_channels(png, info);
  DecodeClaim claim;
  claim.width = width;
  claim.height = height;
  claim.channels = png_get_channels(png, info);
  claim.leastDataBytes = leastBytes(height * (1 + (width * bitsPerPixel + 7) / 8), deflateExpansion);
  claim.dataBytes = dataBytes;
  claim.strongest = "its filtered rows deflated at 1032 to 1";
  claim.workingBytes = height * sizeof(png_bytep) + ByteStream::bufferBytes;
  return claim;
}

}  // namespace

std::optional<EightBitImage> decodePngFrom(const RandomAccessBytes& bytes, std::string& reason) {
  std::uint64_t dataBytes = 0;
  if (!imageDataBytes(bytes, dataBytes, reason)) return std::nullopt;
  StreamInput input{ByteStream(bytes, 0), {}};
  PngReadState state(&input);
  if (state.info == nullptr) return refusal(reason, "there is not enough memory to decode it");
  if (!readHeader(state.png, state.info, &input)) return refusal(reason, "its header cannot be read: " + input.error);
  DecodeClaim claim = claimOf(state.png, state.info, dataBytes);
  if (!setTransforms(state.png, state.info)) return refusal(reason, "its header cannot be read: " + input.error);
  claim.channels = png_get_channels(state.png, state.info);
  if (!withinBudget(claim, reason)) return std::nullopt;
  const std::uint32_t width = png_get_image_width(state.png, state.info);
  const std::uint32_t height = png_get_image_height(state.png, state.info);
  const std::size_t rowBytes = png_get_rowbytes(state.png, state.info);
  if (rowBytes != std::size_t{width} * static_cast<std::size_t>(claim.channels))
    return refusal(reason, "its rows do not come out as 8-bit samples");
  EightBitImage image = unfilledImage(width, height, claim.channels);
  std::vector<png_bytep> rows(height);
  for (std::uint32_t y = 0; y < height; ++y) rows[y] = image.samples.data() + y * rowBytes;
  if (!readRows(state.png, rows.data())) return refusal(reason, "its image data cannot be read: " + input.error);
  return image;
}
