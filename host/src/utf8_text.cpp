// UTF-8 to wide text and back.
#include "utf8_text.h"

#include <algorithm>
#include <cwchar>
#include <string_view>

namespace hostscene {
namespace {

constexpr wchar_t kReplacement = 0xFFFD;

// The length of the sequence that `lead` starts, 0 for a byte that starts none.
int sequenceLength(unsigned char lead) {
  if (lead < 0x80) return 1;
  if (lead >= 0xC2 && lead <= 0xDF) return 2;
  if (lead >= 0xE0 && lead <= 0xEF) return 3;
  if (lead >= 0xF0 && lead <= 0xF4) return 4;
  return 0;
}

// The code point of the sequence at bytes[i] of `length` bytes, or -1 when it is malformed.
long decodeSequence(std::string_view bytes, std::size_t i, int length) {
  if (i + static_cast<std::size_t>(length) > bytes.size()) return -1;
  static constexpr unsigned char kLeadMask[5] = {0, 0x7F, 0x1F, 0x0F, 0x07};
  long code = static_cast<unsigned char>(bytes[i]) & kLeadMask[length];
  for (int k = 1; k < length; ++k) {
    const unsigned char next = static_cast<unsigned char>(bytes[i + static_cast<std::size_t>(k)]);
    if ((next & 0xC0) != 0x80) return -1;
    code = (code << 6) | (next & 0x3F);
  }
  static constexpr long kSmallest[5] = {0, 0, 0x80, 0x800, 0x10000};
  if (code < kSmallest[length] || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return -1;
  return code;
}

void appendSequence(std::string& out, unsigned long code) {
  if (code < 0x80) {
    out += static_cast<char>(code);
  } else if (code < 0x800) {
    out += static_cast<char>(0xC0 | (code >> 6));
    out += static_cast<char>(0x80 | (code & 0x3F));
  } else if (code < 0x10000) {
    out += static_cast<char>(0xE0 | (code >> 12));
    out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (code & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (code >> 18));
    out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (code & 0x3F));
  }
}

// Appends text[0, count) to out; code units that are no Unicode scalar value become U+FFFD and
// clear `exact`.
void appendEncoded(std::string& out, const wchar_t* text, std::size_t count, bool& exact) {
  for (std::size_t i = 0; i < count; ++i) {
    unsigned long code = static_cast<unsigned long>(text[i]);
    if (code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) {
      code = kReplacement;
      exact = false;
    }
    appendSequence(out, code);
  }
}

}  // namespace

std::string encodeUtf8(const wchar_t* text, bool& exact) { return encodeUtf8(text, std::wcslen(text), exact); }

std::string encodeUtf8(const wchar_t* text, std::size_t length, bool& exact) {
  exact = true;
  std::string out;
  out.reserve(length);
  // A script is nearly all ASCII: each block is narrowed whole, in a loop without branches, and
  // taken as it is when none of its characters needed more than a byte.
  constexpr std::size_t kBlock = 4096;
  char block[kBlock];
  for (std::size_t start = 0; start < length; start += kBlock) {
    const std::size_t count = (std::min)(kBlock, length - start);
    unsigned long seen = 0;
    for (std::size_t i = 0; i < count; ++i) {
      const auto code = static_cast<unsigned long>(text[start + i]);
      seen |= code;
      block[i] = static_cast<char>(code);
    }
    if (seen < 0x80) {
      out.append(block, count);
    } else {
      appendEncoded(out, text + start, count, exact);
    }
  }
  return out;
}

std::wstring decodeUtf8(const std::string& bytes) {
  bool exact = true;
  return decodeUtf8(bytes.data(), bytes.size(), exact);
}

std::wstring decodeUtf8(const char* data, std::size_t size, bool& exact) {
  exact = true;
  const std::string_view bytes(data, size);
  std::wstring text;
  text.reserve(bytes.size());
  std::size_t i = 0;
  while (i < bytes.size()) {
    const int length = sequenceLength(static_cast<unsigned char>(bytes[i]));
    const long code = length == 0 ? -1 : decodeSequence(bytes, i, length);
    if (code < 0) {
      text += kReplacement;
      exact = false;
      ++i;
    } else {
      text += static_cast<wchar_t>(code);
      i += static_cast<std::size_t>(length);
    }
  }
  return text;
}

}  // namespace hostscene
