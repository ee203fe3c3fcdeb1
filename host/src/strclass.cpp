// The host's strings and the ANSI code page (Windows-1252) that 8-bit text is read in.
#include <strclass.h>

#include <cstring>

namespace {

// Characters of bytes 0x80 to 0x9F. The five bytes that the code page leaves undefined map to the
// code point of the same number.
constexpr wchar_t kHighControls[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

wchar_t decodeByte(unsigned char byte) {
  if (byte >= 0x80 && byte <= 0x9F) return kHighControls[byte - 0x80];
  return static_cast<wchar_t>(byte);
}

char encodeCharacter(wchar_t c) {
  if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) return static_cast<char>(c);
  for (int i = 0; i < 32; ++i) {
    if (kHighControls[i] == c) return static_cast<char>(0x80 + i);
  }
  return '?';
}

}  // namespace

CStr::CStr() = default;
CStr::CStr(const char* cs) : text(cs ? cs : "") {}
CStr::CStr(const CStr& other) = default;
CStr& CStr::operator=(const CStr& other) = default;
CStr::~CStr() = default;
const char* CStr::data() const { return text.c_str(); }

WStr::WStr() = default;
WStr::WStr(const wchar_t* wcstr) : text(wcstr ? wcstr : L"") {}
WStr::WStr(const WStr& other) = default;
WStr& WStr::operator=(const WStr& other) = default;
WStr::~WStr() = default;
const wchar_t* WStr::data() const { return text.c_str(); }
WStr::operator const wchar_t*() const { return text.c_str(); }

WStr WStr::FromACP(const char* string, size_t length) {
  WStr result;
  if (!string) return result;
  if (length == static_cast<size_t>(-1)) length = std::strlen(string);
  result.text.resize(length);
  for (size_t i = 0; i < length; ++i) result.text[i] = decodeByte(static_cast<unsigned char>(string[i]));
  return result;
}

WStr WStr::FromCStr(const CStr& string) { return FromACP(string.data()); }

CStr WStr::ToCStr() const {
  std::string bytes(text.size(), '\0');
  for (size_t i = 0; i < text.size(); ++i) bytes[i] = encodeCharacter(text[i]);
  return CStr(bytes.c_str());
}
