#include "wide_text.h"

#include "file_name.h"

#include <clocale>
#include <cstdlib>
#include <cstring>
#include <cwchar>

void useUserLocale() {
  const char* chosen = std::setlocale(LC_ALL, "");
  if (chosen == nullptr || std::strcmp(chosen, "C") == 0 || std::strcmp(chosen, "POSIX") == 0) {
    if (std::setlocale(LC_ALL, "C.UTF-8") == nullptr) std::setlocale(LC_ALL, "C");
  }
}

std::optional<std::wstring> widenArgument(const std::string& argument) {
  std::mbstate_t state{};
  const char* source = argument.c_str();
  std::size_t length = std::mbsrtowcs(nullptr, &source, 0, &state);
  if (length == static_cast<std::size_t>(-1)) return std::nullopt;
  std::wstring wide(length, L'\0');
  state = std::mbstate_t{};
  source = argument.c_str();
  std::mbsrtowcs(wide.data(), &source, length, &state);
  return wide;
}

namespace {

void appendUtf8(std::string& out, char32_t c) {
  if (c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) c = 0xFFFD;
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (c >> 18));
    out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

}  // namespace

std::string toUtf8(const std::wstring& text) {
  std::string out;
  out.reserve(text.size());
  for (wchar_t c : text) appendUtf8(out, static_cast<char32_t>(c));
  return out;
}

std::string toUtf8(const wchar_t* text) { return text == nullptr ? std::string() : toUtf8(std::wstring(text)); }

std::wstring fromUtf8(const std::string& text) { return vuk::wideTextOf(text); }

std::string printable(const std::string& text) {
  static const char digits[] = "0123456789ABCDEF";
  const auto escape = [](std::string& out, unsigned char byte) {
    out += "\\x";
    out += digits[byte >> 4];
    out += digits[byte & 0xF];
  };
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    const auto byte = static_cast<unsigned char>(text[i]);
    const auto next = i + 1 < text.size() ? static_cast<unsigned char>(text[i + 1]) : 0;
    if (byte < 0x20 || byte == 0x7F) {
      escape(out, byte);
    } else if (byte == 0xC2 && next >= 0x80 && next <= 0x9F) {  // U+0080 to U+009F
      escape(out, next);
      ++i;
    } else {
      out += text[i];
    }
  }
  return out;
}
