#pragma once
// The host's strings: WStr (wide, MSTR) and CStr (8-bit, in the system's ANSI code page:
// Windows-1252 unless a test sets UTF-8, see standin/scene.h).
#include <cstddef>
#include <string>
#include "coreexp.h"
#include "maxheap.h"
#include "strbasic.h"

class UtilExport CStr : public MaxHeapOperators {
public:
  CStr();
  CStr(const char* cs);   // null gives the empty string
  CStr(const CStr& other);
  CStr& operator=(const CStr& other);
  ~CStr();

  const char* data() const;

private:
  std::string text;
};

class UtilExport WStr : public MaxHeapOperators {
public:
  WStr();
  WStr(const wchar_t* wcstr);   // null gives the empty string
  WStr(const WStr& other);
  WStr& operator=(const WStr& other);
  ~WStr();

  const wchar_t* data() const;
  operator const wchar_t*() const;

  // Decodes `length` bytes of ANSI code page text, or up to the terminating zero when length is
  // (size_t)-1. A null string gives the empty string.
  static WStr FromACP(const char* string, size_t length = (size_t)-1);
  static WStr FromCStr(const CStr& string);
  // Encodes in the ANSI code page; a character it cannot hold becomes '?' (under UTF-8, a code
  // unit that is no Unicode scalar value becomes U+FFFD).
  CStr ToCStr() const;

private:
  std::wstring text;
};

typedef WStr MSTR;
