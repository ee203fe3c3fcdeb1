#include "ansi_text.h"

#include <windows.h>

#include <climits>
#include <cstring>
#include <cwchar>

namespace {

// Converts `length` wide characters. Exact: nothing when a character is lost. The system's call
// takes different arguments for UTF-8, which has no default character and no best fit.
std::optional<std::string> narrowed(const wchar_t* wide, std::size_t length, bool exact) {
  if (length == 0) return std::string();
  if (length > INT_MAX / 4) return std::nullopt;
  const bool utf8 = GetACP() == CP_UTF8;
  const DWORD flags = utf8 ? (exact ? WC_ERR_INVALID_CHARS : 0) : WC_NO_BEST_FIT_CHARS;
  BOOL usedDefault = FALSE;
  BOOL* lost = utf8 ? nullptr : &usedDefault;
  const int count = static_cast<int>(length);
  const int size = WideCharToMultiByte(CP_ACP, flags, wide, count, nullptr, 0, nullptr, lost);
  if (size <= 0) return std::nullopt;
  std::string text(static_cast<std::size_t>(size), '\0');
  if (WideCharToMultiByte(CP_ACP, flags, wide, count, &text[0], size, nullptr, lost) != size) return std::nullopt;
  if (exact && usedDefault) return std::nullopt;
  return text;
}

}  // namespace

std::optional<std::string> toAnsiText(const wchar_t* wide) {
  if (wide == nullptr) return std::string();
  return narrowed(wide, std::wcslen(wide), true);
}

std::string toAnsiTextReplacing(const wchar_t* wide, std::size_t maxBytes) {
  if (wide == nullptr) return std::string();
  // Every character takes a byte at least, so no more than maxBytes of them can fit; fewer are
  // tried until the text fits.
  for (std::size_t length = (std::min)(std::wcslen(wide), maxBytes); length > 0; --length) {
    std::optional<std::string> text = narrowed(wide, length, false);
    if (text && text->size() <= maxBytes) return *text;
  }
  return std::string();
}

std::wstring fromAnsiText(const char* text) {
  if (text == nullptr) return std::wstring();
  const std::size_t length = std::strlen(text);
  if (length == 0 || length > INT_MAX) return std::wstring();
  const int count = static_cast<int>(length);
  const int size = MultiByteToWideChar(CP_ACP, 0, text, count, nullptr, 0);
  if (size <= 0) return std::wstring();
  std::wstring wide(static_cast<std::size_t>(size), L'\0');
  MultiByteToWideChar(CP_ACP, 0, text, count, &wide[0], size);
  return wide;
}
