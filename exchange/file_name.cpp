#include "file_name.h"

#include <cwchar>
#include <system_error>

namespace vuk {
namespace {

void appendUtf8(std::string& out, char32_t code) {
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

bool isHighSurrogate(char32_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
bool isLowSurrogate(char32_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }

constexpr char32_t replacement = 0xFFFD;

void appendWide(std::wstring& out, char32_t code) {
  if (sizeof(wchar_t) == 2 && code >= 0x10000) {
    out += static_cast<wchar_t>(0xD800 + ((code - 0x10000) >> 10));
    out += static_cast<wchar_t>(0xDC00 + ((code - 0x10000) & 0x3FF));
  } else {
    out += static_cast<wchar_t>(code);
  }
}

// The character whose UTF-8 form starts at `at`, which moves past what was read: past the whole
// character, or past its first byte when the bytes there are no character.
char32_t nextCharacter(const std::string& text, std::size_t& at) {
  const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
  const unsigned char lead = byte(at++);
  if (lead < 0x80) return lead;
  int length = 0;
  char32_t code = 0;
  if (lead >= 0xC2 && lead <= 0xDF) length = 1, code = lead & 0x1F;
  else if (lead >= 0xE0 && lead <= 0xEF) length = 2, code = lead & 0x0F;
  else if (lead >= 0xF0 && lead <= 0xF4) length = 3, code = lead & 0x07;
  else return replacement;
  if (at + static_cast<std::size_t>(length) > text.size()) return replacement;
  for (int i = 0; i < length; ++i) {
    if ((byte(at + static_cast<std::size_t>(i)) & 0xC0) != 0x80) return replacement;
    code = (code << 6) | (byte(at + static_cast<std::size_t>(i)) & 0x3F);
  }
  const char32_t least = length == 1 ? 0x80 : length == 2 ? 0x800 : 0x10000;
  if (code < least || code > 0x10FFFF || isHighSurrogate(code) || isLowSurrogate(code)) return replacement;
  at += static_cast<std::size_t>(length);
  return code;
}

}  // namespace

std::optional<std::string> fileNameOf(const wchar_t* wide) {
  if (wide == nullptr) return std::nullopt;
  std::string name;
  for (const wchar_t* p = wide; *p != L'\0'; ++p) {
    char32_t code = static_cast<char32_t>(*p);
    // Two units of a wide text of 16-bit units stand for one character beyond U+FFFF.
    if (sizeof(wchar_t) == 2 && isHighSurrogate(code) && isLowSurrogate(static_cast<char32_t>(p[1]))) {
      code = 0x10000 + ((code - 0xD800) << 10) + (static_cast<char32_t>(*++p) - 0xDC00);
    } else if (isHighSurrogate(code) || isLowSurrogate(code) || code > 0x10FFFF) {
      return std::nullopt;
    }
    appendUtf8(name, code);
  }
  return name;
}

std::wstring wideTextOf(const std::string& utf8) {
  std::wstring wide;
  wide.reserve(utf8.size());
  for (std::size_t at = 0; at < utf8.size();) appendWide(wide, nextCharacter(utf8, at));
  return wide;
}

std::filesystem::path nativePath(const std::string& fileName) {
#ifdef _WIN32
  return std::filesystem::path(wideTextOf(fileName));
#else
  return std::filesystem::path(fileName);
#endif
}

std::FILE* openFile(const std::string& fileName, const char* mode) {
#ifdef _WIN32
  try {
    const std::wstring wideMode(mode, mode + std::char_traits<char>::length(mode));
    return _wfopen(nativePath(fileName).c_str(), wideMode.c_str());
  } catch (...) {  // no memory for the wide name
    return nullptr;
  }
#else
  return std::fopen(fileName.c_str(), mode);
#endif
}

bool removeFile(const std::string& fileName) noexcept {
  try {
    std::error_code error;
    return std::filesystem::remove(nativePath(fileName), error);
  } catch (...) {
    return false;
  }
}

}  // namespace vuk
