// JPEG through libjpeg(-turbo): baseline and progressive, Huffman or arithmetic coded, grey or
// colour. Four-channel (CMYK and YCCK) files are turned into RGB by inkToLight; files written
// with an Adobe marker store CMYK inverted, which the decoder undoes first. Rows are decoded
// straight into the picture (CMYK a row at a time through one row of four samples).
//
// Cost: from the header, every 8 × 8 block of every component must take some of the file
// (leastJpegBytes). A progressive file costs a pass over its coefficients per scan, so no more
// than maxJpegScans scans are read, counted by libjpeg's progress monitor. A file whose data ends
// early is refused rather than filled with grey. libjpeg reads the file in order, a MiB at a time.
#include <cstdio>

#include <csetjmp>

#include <jpeglib.h>

#include "exif_orientation.h"
#include "image_decoders.h"

namespace {

struct QuietError {
  jpeg_error_mgr manager;
  std::jmp_buf jump;
  std::string message;
};

// The file, read in order, as libjpeg's source. When libjpeg asks for more than there is, the
// source notes that the data ended early and hands it an end-of-image marker, so decoding stops.
struct StreamSource {
  jpeg_source_mgr manager;
  ByteStream* stream = nullptr;
  bool endedEarly = false;
};

const JOCTET endOfImage[2] = {0xFF, JPEG_EOI};

void noAction(j_decompress_ptr) {}
boolean fillBuffer(j_decompress_ptr info) {
  auto* source = reinterpret_cast<StreamSource*>(info->src);
  std::size_t count = 0;
  const std::uint8_t* data = source->endedEarly ? nullptr : source->stream->takeSome(ByteStream::bufferBytes, count);
  if (count == 0) {
    source->endedEarly = true;
    data = endOfImage;
    count = 2;
  }
  info->src->next_input_byte = data;
  info->src->bytes_in_buffer = count;
  return TRUE;
}
void skipBytes(j_decompress_ptr info, long count) {
  if (count <= 0) return;
  if (static_cast<std::size_t>(count) > info->src->bytes_in_buffer) {
    auto* source = reinterpret_cast<StreamSource*>(info->src);
    const std::uint64_t beyond = static_cast<std::uint64_t>(count) - info->src->bytes_in_buffer;
    info->src->bytes_in_buffer = 0;
    if (source->endedEarly || !source->stream->skip(beyond)) fillBuffer(info);  // past the end
    return;
  }
  info->src->next_input_byte += count;
  info->src->bytes_in_buffer -= static_cast<std::size_t>(count);
}

struct ScanLimit {
  jpeg_progress_mgr manager;
  bool exceeded = false;
};

QuietError& errorOf(j_common_ptr info) { return *reinterpret_cast<QuietError*>(info->err); }

void onError(j_common_ptr info) {
  char text[JMSG_LENGTH_MAX];
  (*info->err->format_message)(info, text);
  errorOf(info).message = text;
  std::longjmp(errorOf(info).jump, 1);
}
void onMessage(j_common_ptr, int) {}
void onOutput(j_common_ptr) {}

void onProgress(j_common_ptr info) {
  auto* d = reinterpret_cast<j_decompress_ptr>(info);
  auto* limit = reinterpret_cast<ScanLimit*>(info->progress);
  if (d->input_scan_number > maxJpegScans) {
    limit->exceeded = true;
    std::longjmp(errorOf(info).jump, 1);
  }
}

struct Decompressor {
  jpeg_decompress_struct info{};
  QuietError error{};
  ScanLimit scans{};
  StreamSource source{};
  explicit Decompressor(ByteStream& stream) {
    source.stream = &stream;
    source.manager.next_input_byte = nullptr;
    source.manager.bytes_in_buffer = 0;
    source.manager.init_source = noAction;
    source.manager.fill_input_buffer = fillBuffer;
    source.manager.skip_input_data = skipBytes;
    source.manager.resync_to_restart = jpeg_resync_to_restart;
    source.manager.term_source = noAction;
    info.err = jpeg_std_error(&error.manager);
    error.manager.error_exit = onError;
    error.manager.emit_message = onMessage;
    error.manager.output_message = onOutput;
    scans.manager.progress_monitor = onProgress;
  }
  ~Decompressor() { jpeg_destroy_decompress(&info); }
};

// The claim of the header (after jpeg_read_header): the picture, and the bits its blocks need.
DecodeClaim claimOf(const jpeg_decompress_struct& info, std::uint64_t size) {
  std::uint64_t blocks = 0;
  for (int c = 0; c < info.num_components; ++c)
    blocks += std::uint64_t{info.comp_info[c].width_in_blocks} * info.comp_info[c].height_in_blocks;
  DecodeClaim claim;
  claim.width = info.image_width;
  claim.height = info.image_height;
  claim.channels = info.num_components == 1 ? 1 : 3;
  claim.leastDataBytes = leastJpegBytes(blocks, info.arith_code, info.progressive_mode);
  claim.dataBytes = size;
  claim.strongest = leastJpegWords(info.arith_code, info.progressive_mode);
  claim.workingBytes = ByteStream::bufferBytes;
  return claim;
}

// The picture's rows. Everything the decoder may leave by a jump is owned outside this function.
bool decodeRows(Decompressor& d, EightBitImage& image, std::vector<std::uint8_t>& inkRow) {
  jpeg_start_decompress(&d.info);  // a progressive file is read whole here, scan by scan
  if (d.source.endedEarly) return false;
  const int components = d.info.output_components;
  image = unfilledImage(d.info.output_width, d.info.output_height, components == 4 ? 3 : components);
  const std::size_t rowBytes = std::size_t{image.width} * image.channels;
  if (components == 4) inkRow.resize(std::size_t{image.width} * 4);
  const bool inverted = d.info.saw_Adobe_marker != 0;
  while (d.info.output_scanline < d.info.output_height) {
    std::uint8_t* out = image.samples.data() + rowBytes * d.info.output_scanline;
    JSAMPROW row = components == 4 ? inkRow.data() : out;
    if (jpeg_read_scanlines(&d.info, &row, 1) != 1 || d.source.endedEarly) return false;
    if (components != 4) continue;
    for (std::uint32_t x = 0; x < image.width; ++x) {
      int ink[4];
      for (int c = 0; c < 4; ++c) ink[c] = inverted ? 255 - inkRow[x * 4 + c] : inkRow[x * 4 + c];
      for (int c = 0; c < 3; ++c) out[x * 3 + c] = inkToLight(ink[c], ink[3]);
    }
  }
  jpeg_finish_decompress(&d.info);
  return !d.source.endedEarly;
}

// Reads the header and checks its claim, then decodes. Nothing here owns memory across a jump.
bool decode(Decompressor& d, std::uint64_t size, EightBitImage& image,
            std::vector<std::uint8_t>& inkRow, std::string& reason) {
  if (setjmp(d.error.jump)) {
    if (d.scans.exceeded)
      reason = "it has more than " + std::to_string(maxJpegScans) + " scans, out of proportion to any picture";
    else
      reason = "its data cannot be read: " + d.error.message;
    return false;
  }
  jpeg_create_decompress(&d.info);
  d.info.progress = &d.scans.manager;
  d.info.src = &d.source.manager;
  if (jpeg_read_header(&d.info, TRUE) != JPEG_HEADER_OK) {
    reason = "it holds no image";
    return false;
  }
  if (d.info.num_components != 1 && d.info.num_components != 3 && d.info.num_components != 4) {
    reason = std::to_string(d.info.num_components) + " components are not read";
    return false;
  }
  if (d.info.num_components == 4) d.info.out_color_space = JCS_CMYK;
  else if (d.info.num_components == 1) d.info.out_color_space = JCS_GRAYSCALE;
  else d.info.out_color_space = JCS_RGB;
  if (!withinBudget(claimOf(d.info, size), reason)) return false;
  if (decodeRows(d, image, inkRow)) return true;
  reason = "its data ends early";
  return false;
}

}  // namespace

std::optional<EightBitImage> decodeJpegFrom(const RandomAccessBytes& bytes, std::string& reason) {
  ByteStream stream(bytes, 0);
  Decompressor d(stream);
  EightBitImage image;
  std::vector<std::uint8_t> inkRow;
  if (!decode(d, bytes.size(), image, inkRow, reason)) return std::nullopt;
  image.orientation = exifOrientation(bytes);
  return image;
}
