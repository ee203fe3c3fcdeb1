// OpenEXR through the library's C core, which checks every header value and chunk against the
// file and reads from memory on the calling thread. Scan-line images of the first part only:
// R, G and B (or Y alone for grey), with A when present, each of half, float or unsigned samples
// decoded to float and clamped 0 … 1 by floatSample. Tiled and deep files are refused.
#include <OpenEXR/openexr.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "image_decoders.h"

namespace {

struct MemoryFile {
  const std::uint8_t* bytes;
  std::size_t size;
};

int64_t readAt(exr_const_context_t, void* user, void* buffer, uint64_t count, uint64_t offset,
               exr_stream_error_func_ptr_t) {
  const auto* file = static_cast<const MemoryFile*>(user);
  if (offset >= file->size) return 0;
  const uint64_t length = (std::min)(count, static_cast<uint64_t>(file->size - offset));
  std::memcpy(buffer, file->bytes + offset, static_cast<std::size_t>(length));
  return static_cast<int64_t>(length);
}
int64_t sizeOf(exr_const_context_t, void* user) { return static_cast<int64_t>(static_cast<const MemoryFile*>(user)->size); }
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

// Where each channel of the file goes among the four floats of a pixel (-1: not kept).
int slotOf(const char* name) {
  if (std::strcmp(name, "R") == 0 || std::strcmp(name, "Y") == 0) return 0;
  if (std::strcmp(name, "G") == 0) return 1;
  if (std::strcmp(name, "B") == 0) return 2;
  if (std::strcmp(name, "A") == 0) return 3;
  return -1;
}

struct Shape {
  int width = 0, height = 0, channels = 0;
  bool colour = false, alpha = false;
};

bool shapeOf(exr_const_context_t context, Shape& shape) {
  exr_storage_t storage{};
  exr_attr_box2i_t window{};
  const exr_attr_chlist_t* list = nullptr;
  if (exr_get_storage(context, 0, &storage) != EXR_ERR_SUCCESS || storage != EXR_STORAGE_SCANLINE ||
      exr_get_data_window(context, 0, &window) != EXR_ERR_SUCCESS ||
      exr_get_channels(context, 0, &list) != EXR_ERR_SUCCESS || list == nullptr)
    return false;
  bool grey = false;
  for (int c = 0; c < list->num_channels; ++c) {
    const exr_attr_chlist_entry_t& entry = list->entries[c];
    if (slotOf(entry.name.str) < 0) continue;
    if (entry.x_sampling != 1 || entry.y_sampling != 1) return false;
    grey = grey || std::strcmp(entry.name.str, "Y") == 0;
    shape.colour = shape.colour || std::strcmp(entry.name.str, "G") == 0;
    shape.alpha = shape.alpha || std::strcmp(entry.name.str, "A") == 0;
  }
  if (!grey && !shape.colour) return false;
  shape.width = window.max.x - window.min.x + 1;
  shape.height = window.max.y - window.min.y + 1;
  shape.channels = (shape.colour ? 3 : 1) + (shape.alpha ? 1 : 0);
  return shape.width > 0 && shape.height > 0;
}

// Where a kept channel of a chunk goes: its plane among `pixels`, at the chunk's first row.
float* keptDestination(int slot, std::int64_t row, const Shape& shape, std::vector<float>& pixels) {
  const std::size_t plane = static_cast<std::size_t>(slot) * shape.width * shape.height;
  return &pixels[plane + static_cast<std::size_t>(row) * shape.width];
}

// Every channel gets somewhere to go, the ones not kept a scratch plane that they all share: a
// null pointer is meant to skip a channel, but some of the library's unpackers write through
// every channel's pointer all the same (an RGB file with a depth channel took the host down).
void setDestination(exr_coding_channel_info_t& channel, float* destination, std::int32_t lineFloats) {
  channel.decode_to_ptr = reinterpret_cast<uint8_t*>(destination);
  channel.user_pixel_stride = sizeof(float);
  channel.user_line_stride = lineFloats * static_cast<int32_t>(sizeof(float));
  channel.user_data_type = EXR_PIXEL_FLOAT;
  channel.user_bytes_per_element = sizeof(float);
}

// Decodes one chunk of scan lines into `pixels` (one plane of floats per kept channel, rows of the
// data window). Planes rather than interleaved pixels: the library's fast path for four
// interleaved channels puts them in the wrong places.
bool decodeChunk(exr_const_context_t context, int y, int firstY, const Shape& shape, std::vector<float>& pixels,
                 std::vector<float>& scratch) {
  exr_chunk_info_t chunk{};
  if (exr_read_scanline_chunk_info(context, 0, y, &chunk) != EXR_ERR_SUCCESS) return false;
  Decoder decoder(context);
  if (exr_decoding_initialize(context, 0, &chunk, &decoder.pipeline) != EXR_ERR_SUCCESS) return false;
  decoder.started = true;
  const std::int64_t row = std::int64_t{chunk.start_y} - firstY;
  if (row < 0 || row + chunk.height > shape.height) return false;
  std::size_t scratchFloats = 1;
  for (int16_t c = 0; c < decoder.pipeline.channel_count; ++c) {
    const exr_coding_channel_info_t& channel = decoder.pipeline.channels[c];
    if (channel.width < 0 || channel.height < 0 || channel.width > shape.width || channel.height > chunk.height)
      return false;
    if (slotOf(channel.channel_name) < 0)
      scratchFloats = (std::max)(scratchFloats, static_cast<std::size_t>(channel.width) * channel.height);
  }
  if (scratch.size() < scratchFloats) scratch.resize(scratchFloats);
  for (int16_t c = 0; c < decoder.pipeline.channel_count; ++c) {
    exr_coding_channel_info_t& channel = decoder.pipeline.channels[c];
    const int slot = slotOf(channel.channel_name);
    if (slot < 0)
      setDestination(channel, scratch.data(), channel.width);
    else
      setDestination(channel, keptDestination(slot, row, shape, pixels), shape.width);
  }
  return exr_decoding_choose_default_routines(context, 0, &decoder.pipeline) == EXR_ERR_SUCCESS &&
         exr_decoding_run(context, 0, &decoder.pipeline) == EXR_ERR_SUCCESS;
}

}  // namespace

std::optional<EightBitImage> decodeExr(const std::uint8_t* bytes, std::size_t size, std::string& reason) {
  MemoryFile file{bytes, size};
  exr_context_initializer_t init = EXR_DEFAULT_CONTEXT_INITIALIZER;
  init.user_data = &file;
  init.read_fn = readAt;
  init.size_fn = sizeOf;
  init.error_handler_fn = quiet;
  init.max_image_width = 65535;
  init.max_image_height = 65535;
  Context context;
  if (exr_start_read(&context.handle, "source", &init) != EXR_ERR_SUCCESS) return refusal(reason, "its header is damaged");
  Shape shape;
  exr_attr_box2i_t window{};
  int32_t linesPerChunk = 0;
  if (!shapeOf(context.handle, shape) || exr_get_data_window(context.handle, 0, &window) != EXR_ERR_SUCCESS ||
      exr_get_scanlines_per_chunk(context.handle, 0, &linesPerChunk) != EXR_ERR_SUCCESS || linesPerChunk < 1)
    return refusal(reason, "its first part is not a scan-line image of RGB or Y channels");
  if (!withinBudget(simpleClaim(static_cast<std::uint64_t>(shape.width), static_cast<std::uint64_t>(shape.height), 4, size), reason))
    return std::nullopt;
  std::vector<float> pixels(static_cast<std::size_t>(shape.width) * shape.height * 4, 0.0f);
  std::vector<float> scratch;
  for (std::int64_t y = window.min.y; y <= window.max.y; y += linesPerChunk)
    if (!decodeChunk(context.handle, static_cast<int>(y), window.min.y, shape, pixels, scratch))
      return refusal(reason, "the chunk of line " + std::to_string(y) + " is damaged or missing");
  EightBitImage image = blankImage(static_cast<std::uint32_t>(shape.width), static_cast<std::uint32_t>(shape.height), shape.channels);
  std::uint8_t* out = image.samples.data();
  const std::size_t area = static_cast<std::size_t>(shape.width) * shape.height;
  for (std::size_t p = 0; p < area; ++p) {
    for (int c = 0; c < (shape.colour ? 3 : 1); ++c) *out++ = floatSample(pixels[c * area + p]);
    if (shape.alpha) *out++ = floatSample(pixels[3 * area + p]);
  }
  return image;
}
