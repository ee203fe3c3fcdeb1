#include "text_conversion.h"

#include <climits>
#include <cstdlib>
#include <cwchar>
#include <vector>

std::optional<std::string> toNarrowText(const wchar_t* wide) {
  if (wide == nullptr) return std::string();
  const std::size_t length = std::wcstombs(nullptr, wide, 0);
  if (length == static_cast<std::size_t>(-1)) return std::nullopt;
  std::string narrow(length, '\0');
  // The string holds length + 1 bytes with its terminator, so the conversion's own zero fits.
  if (std::wcstombs(narrow.data(), wide, length + 1) != length) return std::nullopt;
  return narrow;
}

std::string toNarrowTextCut(const wchar_t* wide, std::size_t maxBytes) {
  std::string narrow;
  if (wide == nullptr) return narrow;
  std::mbstate_t state{};
  char character[MB_LEN_MAX];
  for (const wchar_t* p = wide; *p != L'\0'; ++p) {
    const std::size_t bytes = std::wcrtomb(character, *p, &state);
    if (bytes == static_cast<std::size_t>(-1)) break;
    if (narrow.size() + bytes > maxBytes) break;
    narrow.append(character, bytes);
  }
  return narrow;
}

std::string withoutLastCharacters(const std::string& text, std::size_t count) {
  // Start offsets of every character, walked from the front as multibyte text must be.
  std::vector<std::size_t> starts;
  std::mbstate_t state{};
  std::size_t offset = 0;
  while (offset < text.size()) {
    starts.push_back(offset);
    const std::size_t bytes = std::mbrlen(text.data() + offset, text.size() - offset, &state);
    const bool invalid = bytes == static_cast<std::size_t>(-1) || bytes == static_cast<std::size_t>(-2);
    if (invalid) state = std::mbstate_t{};
    offset += (invalid || bytes == 0) ? 1 : bytes;
  }
  if (starts.size() < count) return text;
  return text.substr(0, starts[starts.size() - count]);
}
