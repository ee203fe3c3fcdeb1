// The host's strings and the system's ANSI code page that 8-bit text is read in.
#include <strclass.h>

#include <cstring>

#include "code_page.h"


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
  bool exact = true;
  result.text = hostscene::decodeCodePage(hostscene::ansiCodePage(), string, length, exact);
  return result;
}

WStr WStr::FromCStr(const CStr& string) { return FromACP(string.data()); }

CStr WStr::ToCStr() const {
  bool exact = true;
  const std::string bytes = hostscene::encodeCodePage(hostscene::ansiCodePage(), text.data(), text.size(), '?', exact);
  return CStr(bytes.c_str());
}
