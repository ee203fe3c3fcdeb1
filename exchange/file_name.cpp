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

std::filesystem::path nativePath(const std::string& fileName) { return std::filesystem::u8path(fileName); }

std::FILE* openFile(const std::string& fileName, const char* mode) {
#ifdef _WIN32
  try {
    const std::wstring wideMode(mode, mode + std::char_traits<char>::length(mode));
    return _wfopen(nativePath(fileName).c_str(), wideMode.c_str());
  } catch (...) {  // a name that is not UTF-8 names no file
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
