#pragma once
// The system's ANSI code page: Windows-1252 unless a test or tool sets UTF-8 (65001). WStr's
// FromACP and ToCStr and the Windows conversion calls all go through here.
#include <cstddef>
#include <string>

namespace hostscene {

constexpr unsigned kWindows1252 = 1252;
constexpr unsigned kUtf8CodePage = 65001;

unsigned& ansiCodePage();

// `length` bytes of text in `codePage` as wide text; `exact` is false when a malformed UTF-8
// sequence became U+FFFD. Every Windows-1252 byte has a character.
std::wstring decodeCodePage(unsigned codePage, const char* bytes, std::size_t length, bool& exact);

// `length` wide characters in `codePage`. Windows-1252: a character it lacks becomes
// `defaultChar` and clears `exact`. UTF-8: a code unit that is no Unicode scalar value becomes
// U+FFFD and clears `exact`.
std::string encodeCodePage(unsigned codePage, const wchar_t* text, std::size_t length, char defaultChar,
                           bool& exact);

}  // namespace hostscene
