#pragma once
// Wide host texts to 8-bit texts in the multibyte encoding of the current C locale, always with
// the real converted length.
#include <cstddef>
#include <optional>
#include <string>

// The whole text converted, or nothing when a character has no 8-bit form in the current locale.
std::optional<std::string> toNarrowText(const wchar_t* wide);

// The longest leading part of the text whose 8-bit form fits in maxBytes, cut at a character
// boundary; conversion also stops before the first character that has no 8-bit form.
std::string toNarrowTextCut(const wchar_t* wide, std::size_t maxBytes);

// The 8-bit text less its last `count` characters (whole multibyte characters, not bytes). A text
// of fewer than `count` characters stays whole.
std::string withoutLastCharacters(const std::string& text, std::size_t count);
