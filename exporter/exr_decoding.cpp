// OpenEXR through the library's C core, which checks every header value and reads the file where
// it lies, on the calling thread. The first part, scan lines or tiles (of a mip- or rip-mapped file the
// full-resolution level): R, G and B, or Y alone for grey, or luminance and chroma (Y, RY, BY,
// chroma sampled every second pixel and line, as the format's RGBA writer stores "YC" images),
// with A when present, each of half, float or unsigned samples, clamped 0 … 1 by floatSample.
// Deep files are refused.
//
// Cost: the chunk table is walked first, each chunk's data checked to lie inside the file and to
// be able to decode to the samples it claims (at its compression's strongest), before the
// 8-bit picture is allocated. Then each chunk is decoded into floats of that chunk alone and
// written into the picture; nothing of the whole window is held but the picture itself and, of
// subsampled chroma, a window of about 30 lines (exr_yc_lines.h).
//
// YC to RGB: R = (RY + 1)·Y, B = (BY + 1)·Y, G = (Y − R·wr − B·wb)/wg, with the luminance weights
// w of the file's chromaticities (Rec. 709 when it names none), and grey Y where RY and BY are
// both 0. Chroma sampled every second pixel and line (only scan-line files may hold it) comes
// back at every pixel through the format's reconstruction filter, in YcLines; chroma sampled at
// every pixel is converted pixel by pixel.
#include <OpenEXR/openexr.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <limits>
#include <vector>

#include "byte_order.h"
#include "exr_yc_lines.h"
#include "image_decoders.h"

namespace {

int64_t readAt(exr_const_context_t, void* user, void* buffer, uint64_t count, uint64_t offset,
               exr_stream_error_func_ptr_t) {
  const auto* bytes = static_cast<const RandomAccessBytes*>(user);
  if (offset >= bytes->size()) return 0;
  const uint64_t length = (std::min)(count, bytes->size() - offset);
  if (length > std::numeric_limits<std::size_t>::max()) return -1;
  return static_cast<int64_t>(bytes->readAt(offset, buffer, static_cast<std::size_t>(length)));
}
int64_t sizeOf(exr_const_context_t, void* user) {
  return static_cast<int64_t>(static_cast<const RandomAccessBytes*>(user)->size());
}
void quiet(exr_const_context_t, exr_result_t, const char*) {}

struct Context {
  exr_context_t handle = nullptr;
  ~Context() { exr_finish(&handle); }
};

struct Decoder {
  exr_decode_pipeline_t pipeline = EXR_DECODE_PIPELINE_INITIALIZER;
  exr_const_context_t context;
  bool started = false;
  explicit Decoder(exr_const_context_t c) : context(c) {}
  ~Decoder() {
    if (started) exr_decoding_destroy(context, &pipeline);
  }
};

// No renderer writes more channels than this; the library sorts the channel list as it reads it,
// in time that grows with the square of its length (20000 channels took seconds), so longer
// lists are refused before the library reads the header.
constexpr std::size_t maxChannels = 4096;

// The length of the first header's channel list, counted straight from the file: the
// attributes (name, type, size, value) after the magic and version words, up to the empty name.
// 0 when the header cannot be walked; the library then says what is wrong with it. Of a longer
// list the first 4 MiB are counted: more entries than maxChannels, as each is at most 272 bytes.
std::size_t channelCount(const RandomAccessBytes& bytes) {
  std::uint64_t at = 8;
  std::vector<char> text(256);  // names and types are shorter than this
  const auto readText = [&](std::string& into) {
    const std::size_t got = bytes.readAt(at, text.data(), text.size());
    const void* end = std::memchr(text.data(), 0, got);
    if (end == nullptr) return false;
    into.assign(text.data(), static_cast<std::size_t>(static_cast<const char*>(end) - text.data()));
    at += into.size() + 1;
    return true;
  };
  std::string name, type;
  for (;;) {
    if (!readText(name) || name.empty() || !readText(type)) return 0;
    std::uint8_t size[4];
    if (bytes.readAt(at, size, 4) != 4) return 0;
    const std::uint32_t length = little32(size);
    at += 4;
    if (length > bytes.size() - (std::min)(at, bytes.size())) return 0;
    if (name == "channels" && type == "chlist") {
      // Each entry is a name of at most 255 bytes, its end and 16 bytes of type and sampling.
      std::vector<std::uint8_t> list((std::min)(std::size_t{length}, std::size_t{4} << 20));
      list.resize(bytes.readAt(at, list.data(), list.size()));
      std::size_t count = 0, entry = 0;
      while (entry < list.size() && list[entry] != 0) {
        const void* nul = std::memchr(list.data() + entry, 0, list.size() - entry);
        if (nul == nullptr) break;
        entry = static_cast<std::size_t>(static_cast<const std::uint8_t*>(nul) - list.data()) + 1 + 16;
        ++count;
      }
      return count;
    }
    at += length;
  }
}

bool failed(std::string& reason, std::string why) {
  reason = std::move(why);
  return false;
}

// The channels that are kept, by their place among a pixel's floats.
enum Slot { red, green, blue, alpha, luminance, redChroma, blueChroma, slotCount, unused = -1 };

int slotOf(const char* name) {
  static const char* const names[slotCount] = {"R", "G", "B", "A", "Y", "RY", "BY"};
  for (int s = 0; s < slotCount; ++s)
    if (std::strcmp(name, names[s]) == 0) return s;
  return unused;
}

struct Shape {
  int width = 0, height = 0, channels = 0;
  int minX = 0, minY = 0;
  bool has[slotCount] = {};
  bool rgb = false, yc = false;
  int chromaSampling = 1;  // of a YC picture: 2 when its chroma is sampled every second pixel and line
  bool tiled = false;
  int tileWidth = 0, tileHeight = 0, linesPerChunk = 0;
  exr_compression_t compression = EXR_COMPRESSION_NONE;
  std::array<double, 3> weights{0.2126, 0.7152, 0.0722};
};

// The luminance weights of the file's primaries: the Y row of its RGB to XYZ matrix, solved from
// the primaries and the white point by Cramer's rule.
void readWeights(exr_const_context_t context, Shape& shape) {
  exr_attr_chromaticities_t c{};
  if (exr_attr_get_chromaticities(context, 0, "chromaticities", &c) != EXR_ERR_SUCCESS) return;
  const double xy[4][2] = {{c.red_x, c.red_y}, {c.green_x, c.green_y}, {c.blue_x, c.blue_y}, {c.white_x, c.white_y}};
  for (const auto& p : xy)
    if (!(p[1] > 1e-6)) return;
  double m[3][3], w[3];
  for (int i = 0; i < 3; ++i) {
    m[0][i] = xy[i][0] / xy[i][1];
    m[1][i] = 1;
    m[2][i] = (1 - xy[i][0] - xy[i][1]) / xy[i][1];
  }
  w[0] = xy[3][0] / xy[3][1];
  w[1] = 1;
  w[2] = (1 - xy[3][0] - xy[3][1]) / xy[3][1];
  const auto det = [](const double a[3][3]) {
    return a[0][0] * (a[1][1] * a[2][2] - a[1][2] * a[2][1]) - a[0][1] * (a[1][0] * a[2][2] - a[1][2] * a[2][0]) +
           a[0][2] * (a[1][0] * a[2][1] - a[1][1] * a[2][0]);
  };
  const double d = det(m);
  if (!(std::abs(d) > 1e-12)) return;
  for (int i = 0; i < 3; ++i) {
    double a[3][3];
    std::memcpy(a, m, sizeof a);
    for (int r = 0; r < 3; ++r) a[r][i] = w[r];
    shape.weights[i] = det(a) / d;
  }
  if (!(shape.weights[1] > 1e-6)) shape.weights = {0.2126, 0.7152, 0.0722};
}

bool readChannels(const exr_attr_chlist_t& list, Shape& shape, std::string& reason) {
  for (int c = 0; c < list.num_channels; ++c) {
    const exr_attr_chlist_entry_t& entry = list.entries[c];
    const int slot = slotOf(entry.name.str);
    if (slot == unused) continue;
    const bool chroma = slot == redChroma || slot == blueChroma;
    const int sampling = chroma ? 2 : 1;
    if (entry.x_sampling != sampling && !(chroma && entry.x_sampling == 1)) {
      reason = std::string("its channel ") + entry.name.str + " is sampled every " + std::to_string(entry.x_sampling) +
               " pixels, which is not read";
      return false;
    }
    if (entry.x_sampling != entry.y_sampling) {
      reason = std::string("its channel ") + entry.name.str + " is sampled unevenly";
      return false;
    }
    if (chroma && shape.has[redChroma + blueChroma - slot] && entry.x_sampling != shape.chromaSampling)
      return failed(reason, "its chroma channels are sampled differently");
    if (chroma) shape.chromaSampling = entry.x_sampling;
    shape.has[slot] = true;
  }
  shape.rgb = shape.has[red] && shape.has[green] && shape.has[blue];
  shape.yc = !shape.rgb && shape.has[luminance] && shape.has[redChroma] && shape.has[blueChroma];
  if (!shape.rgb && !shape.has[luminance]) {
    reason = "it has neither R, G and B channels nor a Y channel";
    return false;
  }
  shape.channels = (shape.rgb || shape.yc ? 3 : 1) + (shape.has[alpha] ? 1 : 0);
  return true;
}

bool readShape(exr_const_context_t context, Shape& shape, std::string& reason) {
  exr_storage_t storage{};
  exr_attr_box2i_t window{};
  const exr_attr_chlist_t* list = nullptr;
  if (exr_get_storage(context, 0, &storage) != EXR_ERR_SUCCESS || exr_get_data_window(context, 0, &window) != EXR_ERR_SUCCESS ||
      exr_get_channels(context, 0, &list) != EXR_ERR_SUCCESS || list == nullptr ||
      exr_get_compression(context, 0, &shape.compression) != EXR_ERR_SUCCESS)
    return failed(reason, "its header is incomplete");
  if (storage == EXR_STORAGE_DEEP_SCANLINE || storage == EXR_STORAGE_DEEP_TILED)
    return failed(reason, "it holds deep data, which is not read");
  if (!readChannels(*list, shape, reason)) return false;
  shape.minX = window.min.x;
  shape.minY = window.min.y;
  shape.width = static_cast<int>(std::int64_t{window.max.x} - window.min.x + 1);
  shape.height = static_cast<int>(std::int64_t{window.max.y} - window.min.y + 1);
  shape.tiled = storage == EXR_STORAGE_TILED;
  if (shape.tiled) {
    if (exr_get_tile_sizes(context, 0, 0, 0, &shape.tileWidth, &shape.tileHeight) != EXR_ERR_SUCCESS ||
        shape.tileWidth < 1 || shape.tileHeight < 1)
      return failed(reason, "its tile description is damaged");
  } else if (exr_get_scanlines_per_chunk(context, 0, &shape.linesPerChunk) != EXR_ERR_SUCCESS || shape.linesPerChunk < 1) {
    return failed(reason, "its compression is unknown");
  }
  if (shape.yc && shape.chromaSampling == 2) {
    if (shape.tiled) return failed(reason, "its tiles hold subsampled chroma, which tiles may not");
    if (shape.minX % 2 != 0 || shape.minY % 2 != 0)
      return failed(reason, "its subsampled chroma does not start at its first pixel");
  }
  if (shape.yc) readWeights(context, shape);
  return true;
}

// The strongest each compression packs, as decoded bytes per byte of the chunk.
std::uint64_t strongestOf(exr_compression_t compression) {
  switch (compression) {
    case EXR_COMPRESSION_NONE: return 1;
    case EXR_COMPRESSION_RLE: return 64;                 // a run of 128 bytes in two
    case EXR_COMPRESSION_B44: case EXR_COMPRESSION_B44A: return 11;  // 32 bytes of a flat block in 3
    case EXR_COMPRESSION_ZIPS: case EXR_COMPRESSION_ZIP: return deflateExpansion;
    case EXR_COMPRESSION_PXR24: return deflateExpansion * 2;  // 24 bits kept of 32, then deflate
    default: return deflateExpansion * 8;                // PIZ's and DWA's runs and zeroed blocks
  }
}

// One chunk, scan lines (index, 0) or a tile (x, y) of level 0.
struct ChunkPlace {
  int x, y;
};

std::vector<ChunkPlace> chunksOf(const Shape& shape) {
  std::vector<ChunkPlace> places;
  if (shape.tiled) {
    const int across = (shape.width + shape.tileWidth - 1) / shape.tileWidth;
    const int down = (shape.height + shape.tileHeight - 1) / shape.tileHeight;
    places.reserve(static_cast<std::size_t>(across) * down);
    for (int y = 0; y < down; ++y)
      for (int x = 0; x < across; ++x) places.push_back({x, y});
  } else {
    for (std::int64_t y = shape.minY; y <= std::int64_t{shape.minY} + shape.height - 1; y += shape.linesPerChunk)
      places.push_back({0, static_cast<int>(y)});
  }
  return places;
}

exr_result_t chunkInfo(exr_const_context_t context, const Shape& shape, ChunkPlace place, exr_chunk_info_t& chunk) {
  if (shape.tiled) return exr_read_tile_chunk_info(context, 0, place.x, place.y, 0, 0, &chunk);
  return exr_read_scanline_chunk_info(context, 0, place.y, &chunk);
}

// Walks the chunk table: every chunk inside the file, and what they decode to within reach of
// the data they hold. Fills the claim and the largest chunk's samples for the working buffers.
bool checkChunks(exr_const_context_t context, const Shape& shape, const std::vector<ChunkPlace>& places,
                 std::uint64_t fileBytes, DecodeClaim& claim, std::uint64_t& largestUnpacked, std::string& reason) {
  std::uint64_t packed = 0, unpacked = 0;
  largestUnpacked = 0;
  for (const ChunkPlace place : places) {
    exr_chunk_info_t chunk{};
    if (chunkInfo(context, shape, place, chunk) != EXR_ERR_SUCCESS || chunk.data_offset > fileBytes ||
        chunk.packed_size > fileBytes - chunk.data_offset)
      return failed(reason, "its chunk table names a chunk outside the file (it is cut short or lies)");
    packed += chunk.packed_size;
    unpacked += chunk.unpacked_size;
    largestUnpacked = (std::max)(largestUnpacked, chunk.unpacked_size);
  }
  claim.width = static_cast<std::uint64_t>(shape.width);
  claim.height = static_cast<std::uint64_t>(shape.height);
  claim.channels = shape.channels;
  claim.leastDataBytes = leastBytes(unpacked, strongestOf(shape.compression));
  claim.dataBytes = (std::min)(packed, fileBytes);
  claim.strongest = "its compression at its strongest";
  return true;
}

// Per chunk: one plane of floats per kept channel, and one shared by every channel that is not
// kept, each with as many lines as the chunk (a channel sampled every second line fills every
// second one). unpackChunk writes them.
struct ChunkPlanes {
  std::vector<float> floats;
  std::size_t at[slotCount] = {};
  std::int32_t width[slotCount] = {}, lines[slotCount] = {}, xSampling[slotCount] = {}, ySampling[slotCount] = {};
  int firstY = 0;  // the chunk's first line, in the file's coordinates
};

void setDestination(exr_coding_channel_info_t& channel, float* destination, std::int32_t lineFloats) {
  channel.decode_to_ptr = reinterpret_cast<uint8_t*>(destination);
  channel.user_pixel_stride = sizeof(float);
  channel.user_line_stride = lineFloats * static_cast<int32_t>(sizeof(float));
  channel.user_data_type = EXR_PIXEL_FLOAT;
  channel.user_bytes_per_element = sizeof(float);
}

bool placePlanes(exr_decode_pipeline_t& pipeline, std::int32_t chunkLines, ChunkPlanes& planes) {
  std::size_t total = 0, discard = 1;
  for (int16_t c = 0; c < pipeline.channel_count; ++c) {
    const exr_coding_channel_info_t& channel = pipeline.channels[c];
    if (channel.width < 0 || channel.height < 0 || channel.x_samples < 1 || channel.y_samples < 1) return false;
    const std::int32_t lines = chunkLines;
    const std::size_t samples = static_cast<std::size_t>(channel.width) * lines;
    const int slot = slotOf(channel.channel_name);
    if (slot == unused) {
      discard = (std::max)(discard, samples);
      continue;
    }
    planes.at[slot] = total;
    planes.width[slot] = channel.width;
    planes.lines[slot] = lines;
    planes.xSampling[slot] = channel.x_samples;
    planes.ySampling[slot] = channel.y_samples;
    total += samples;
  }
  planes.floats.resize(total + discard);
  for (int16_t c = 0; c < pipeline.channel_count; ++c) {
    exr_coding_channel_info_t& channel = pipeline.channels[c];
    const int slot = slotOf(channel.channel_name);
    setDestination(channel, planes.floats.data() + (slot == unused ? total : planes.at[slot]), channel.width);
  }
  return true;
}

float halfToFloat(std::uint16_t half) {
  const std::uint32_t sign = std::uint32_t{half & 0x8000u} << 16;
  std::uint32_t exponent = (half >> 10) & 0x1Fu, mantissa = half & 0x3FFu, bits = 0;
  if (exponent == 0x1F) {
    bits = sign | 0x7F800000u | (mantissa << 13);  // infinity and not-a-number
  } else if (exponent != 0) {
    bits = sign | ((exponent + 112) << 23) | (mantissa << 13);
  } else if (mantissa != 0) {  // subnormal: normalise it
    exponent = 113;
    while ((mantissa & 0x400u) == 0) {
      mantissa <<= 1;
      --exponent;
    }
    bits = sign | (exponent << 23) | ((mantissa & 0x3FFu) << 13);
  } else {
    bits = sign;
  }
  float value;
  std::memcpy(&value, &bits, 4);
  return value;
}

float sampleFloat(const std::uint8_t* at, std::uint16_t type) {
  if (type == EXR_PIXEL_HALF) return halfToFloat(static_cast<std::uint16_t>(little16(at)));
  const std::uint32_t bits = little32(at);
  if (type == EXR_PIXEL_UINT) return static_cast<float>(bits);
  float value;
  std::memcpy(&value, &bits, 4);
  return value;
}

// The sample of a kept channel at pixel (x, y) of the chunk.
float sampleOf(const ChunkPlanes& planes, int slot, int x, int y) {
  return planes.floats[planes.at[slot] + static_cast<std::size_t>(y) * planes.width[slot] + x];
}

void writePixels(const Shape& shape, const ChunkPlanes& planes, int left, int top, int width, int height,
                 EightBitImage& image) {
  for (int y = 0; y < height; ++y) {
    std::uint8_t* out = image.samples.data() + (static_cast<std::size_t>(top + y) * image.width + left) * image.channels;
    for (int x = 0; x < width; ++x) {
      if (shape.rgb) {
        for (int s = red; s <= blue; ++s) *out++ = floatSample(sampleOf(planes, s, x, y));
      } else if (shape.yc) {
        const double l = sampleOf(planes, luminance, x, y);
        const double ry = sampleOf(planes, redChroma, x, y);
        const double by = sampleOf(planes, blueChroma, x, y);
        const double r = ry == 0 && by == 0 ? l : (ry + 1) * l;
        const double b = ry == 0 && by == 0 ? l : (by + 1) * l;
        const double g = ry == 0 && by == 0 ? l : (l - r * shape.weights[0] - b * shape.weights[2]) / shape.weights[1];
        *out++ = floatSample(r);
        *out++ = floatSample(g);
        *out++ = floatSample(b);
      } else {
        *out++ = floatSample(sampleOf(planes, luminance, x, y));
      }
      if (shape.has[alpha]) *out++ = floatSample(sampleOf(planes, alpha, x, y));
    }
  }
}

// The chunk's decompressed bytes into the planes: line by line, each channel's samples of that
// line in the order of the channel list (little-endian), a subsampled channel only on the lines
// its sampling divides. The library's own unpacker is not used: it puts the second line of a
// subsampled channel where the next channel belongs and runs past the end of the buffers.
exr_result_t unpackChunk(exr_decode_pipeline_t* pipeline) {
  const auto* planes = static_cast<const ChunkPlanes*>(pipeline->decoding_user_data);
  const void* data = pipeline->unpacked_buffer != nullptr ? pipeline->unpacked_buffer : pipeline->packed_buffer;
  if (data == nullptr) return EXR_ERR_CORRUPT_CHUNK;
  const auto* in = static_cast<const std::uint8_t*>(data);
  std::uint64_t left = pipeline->chunk.unpacked_size;
  for (std::int32_t y = 0; y < pipeline->chunk.height; ++y) {
    for (int16_t c = 0; c < pipeline->channel_count; ++c) {
      const exr_coding_channel_info_t& channel = pipeline->channels[c];
      if (channel.y_samples > 1 && (planes->firstY + y) % channel.y_samples != 0) continue;
      const std::uint64_t bytes = std::uint64_t{static_cast<std::uint32_t>(channel.width)} * channel.bytes_per_element;
      if (bytes > left || (channel.bytes_per_element != 2 && channel.bytes_per_element != 4)) return EXR_ERR_CORRUPT_CHUNK;
      float* out = reinterpret_cast<float*>(channel.decode_to_ptr) + std::int64_t{y} * channel.width;
      for (std::int32_t x = 0; x < channel.width; ++x)
        out[x] = sampleFloat(in + static_cast<std::size_t>(x) * channel.bytes_per_element, channel.data_type);
      in += bytes;
      left -= bytes;
    }
  }
  return EXR_ERR_SUCCESS;
}

// Hands the chunk's lines to `yc`, which has had every line above them.
bool addLines(const ChunkPlanes& planes, int top, int lines, int width, bool hasAlpha, YcLines& yc) {
  const std::int32_t chromaWidth = (width + 1) / 2;
  if (planes.width[luminance] != width || planes.width[redChroma] != chromaWidth || planes.width[blueChroma] != chromaWidth ||
      (hasAlpha && planes.width[alpha] != width) || top != yc.linesAdded())
    return false;
  const auto line = [&](int slot, int y) { return planes.floats.data() + planes.at[slot] + static_cast<std::size_t>(y) * planes.width[slot]; };
  for (int y = 0; y < lines; ++y) {
    const bool chroma = (top + y) % 2 == 0;
    yc.addLine(line(luminance, y), hasAlpha ? line(alpha, y) : nullptr, chroma ? line(redChroma, y) : nullptr,
               chroma ? line(blueChroma, y) : nullptr);
  }
  return true;
}

// Decodes one chunk and writes its pixels into the picture, or hands its lines to `yc`.
bool decodeChunk(exr_const_context_t context, const Shape& shape, ChunkPlace place, ChunkPlanes& planes,
                 EightBitImage& image, YcLines* yc) {
  exr_chunk_info_t chunk{};
  if (chunkInfo(context, shape, place, chunk) != EXR_ERR_SUCCESS) return false;
  const std::int64_t left = shape.tiled ? std::int64_t{place.x} * shape.tileWidth : 0;
  const std::int64_t top = shape.tiled ? std::int64_t{place.y} * shape.tileHeight : std::int64_t{chunk.start_y} - shape.minY;
  const std::int64_t width = shape.tiled ? chunk.width : shape.width;
  if (left < 0 || top < 0 || width < 1 || chunk.height < 1 || left + width > shape.width || top + chunk.height > shape.height)
    return false;
  Decoder decoder(context);
  if (exr_decoding_initialize(context, 0, &chunk, &decoder.pipeline) != EXR_ERR_SUCCESS) return false;
  decoder.started = true;
  if (!placePlanes(decoder.pipeline, chunk.height, planes)) return false;
  for (int s = 0; s < slotCount; ++s)
    if (planes.width[s] > width || planes.lines[s] > chunk.height) return false;
  planes.firstY = static_cast<int>(shape.minY + top);
  if (exr_decoding_choose_default_routines(context, 0, &decoder.pipeline) != EXR_ERR_SUCCESS) return false;
  decoder.pipeline.unpack_and_convert_fn = unpackChunk;
  decoder.pipeline.decoding_user_data = &planes;
  if (exr_decoding_run(context, 0, &decoder.pipeline) != EXR_ERR_SUCCESS) return false;
  if (yc != nullptr) return addLines(planes, static_cast<int>(top), chunk.height, static_cast<int>(width), shape.has[alpha], *yc);
  writePixels(shape, planes, static_cast<int>(left), static_cast<int>(top), static_cast<int>(width), chunk.height, image);
  return true;
}

}  // namespace

std::optional<EightBitImage> decodeExrFrom(const RandomAccessBytes& bytes, std::string& reason) {
  exr_context_initializer_t init = EXR_DEFAULT_CONTEXT_INITIALIZER;
  init.user_data = const_cast<RandomAccessBytes*>(&bytes);
  init.read_fn = readAt;
  init.size_fn = sizeOf;
  init.error_handler_fn = quiet;
  init.max_image_width = static_cast<int>(maxPictureSide);
  init.max_image_height = static_cast<int>(maxPictureSide);
  init.max_tile_width = static_cast<int>(maxPictureSide);
  init.max_tile_height = static_cast<int>(maxPictureSide);
  const std::size_t channels = channelCount(bytes);
  if (channels > maxChannels)
    return refusal(reason, "it has " + std::to_string(channels) + " channels; at most " + std::to_string(maxChannels) + " are read");
  Context context;
  if (exr_start_read(&context.handle, "source", &init) != EXR_ERR_SUCCESS) return refusal(reason, "its header is damaged");
  Shape shape;
  if (!readShape(context.handle, shape, reason)) return std::nullopt;
  const std::vector<ChunkPlace> places = chunksOf(shape);
  DecodeClaim claim;
  std::uint64_t largestUnpacked = 0;
  if (!checkChunks(context.handle, shape, places, bytes.size(), claim, largestUnpacked, reason)) return std::nullopt;
  // The library's packed and unpacked buffers of a chunk, the floats of its kept channels and the
  // window of subsampled chroma.
  const bool subsampled = shape.yc && shape.chromaSampling == 2;
  claim.workingBytes = largestUnpacked * 2 + largestUnpacked * 4 / 2 +
                       (subsampled ? YcLines::workingBytes(static_cast<std::uint64_t>(shape.width), shape.has[alpha]) : 0);
  if (!withinBudget(claim, reason)) return std::nullopt;
  EightBitImage image = unfilledImage(static_cast<std::uint32_t>(shape.width), static_cast<std::uint32_t>(shape.height),
                                      shape.channels);
  ChunkPlanes planes;
  std::optional<YcLines> yc;
  if (subsampled) yc.emplace(shape.width, shape.height, shape.has[alpha], shape.weights, image);
  for (const ChunkPlace place : places)
    if (!decodeChunk(context.handle, shape, place, planes, image, yc ? &*yc : nullptr))
      return refusal(reason, "a chunk is damaged (" + std::string(shape.tiled ? "tile " + std::to_string(place.x) + ", " +
                                                                               std::to_string(place.y)
                                                                         : "line " + std::to_string(place.y)) +
                                 ")");
  if (yc) yc->finish();
  return image;
}
