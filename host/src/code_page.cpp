// The system's ANSI code page and the two code pages the stand-in knows.
#include "code_page.h"

#include "utf8_text.h"

namespace hostscene {
namespace {

// Characters of bytes 0x80 to 0x9F. The five bytes that the code page leaves undefined map to the
// code point of the same number.
constexpr wchar_t kHighControls[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

wchar_t decode1252(unsigned char byte) {
  if (byte >= 0x80 && byte <= 0x9F) return kHighControls[byte - 0x80];
  return static_cast<wchar_t>(byte);
}

// The byte of a character, or -1 when Windows-1252 lacks it.
int encode1252(wchar_t c) {
  if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) return static_cast<int>(c);
  for (int i = 0; i < 32; ++i) {
    if (kHighControls[i] == c) return 0x80 + i;
  }
  return -1;
}

}  // namespace

unsigned& ansiCodePage() {
  static unsigned codePage = kWindows1252;
  return codePage;
}

std::wstring decodeCodePage(unsigned codePage, const char* bytes, std::size_t length, bool& exact) {
  if (codePage == kUtf8CodePage) return decodeUtf8(bytes, length, exact);
  exact = true;
  std::wstring text(length, L'\0');
  for (std::size_t i = 0; i < length; ++i) text[i] = decode1252(static_cast<unsigned char>(bytes[i]));
  return text;
}

std::string encodeCodePage(unsigned codePage, const wchar_t* text, std::size_t length, char defaultChar,
                           bool& exact) {
  if (codePage == kUtf8CodePage) return encodeUtf8(text, length, exact);
  exact = true;
  std::string bytes(length, '\0');
  for (std::size_t i = 0; i < length; ++i) {
    const int byte = encode1252(text[i]);
    if (byte < 0) exact = false;
    bytes[i] = byte < 0 ? defaultChar : static_cast<char>(byte);
  }
  return bytes;
}

}  // namespace hostscene
