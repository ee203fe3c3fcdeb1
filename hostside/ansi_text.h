#pragma once
// The one conversion between the host's wide texts and 8-bit texts in the system's ANSI code
// page, which is the encoding of every text a Vuk file carries (the object name and the texture
// paths): both modules and the outside application on the same machine read them so.
#include <cstddef>
#include <optional>
#include <string>

// The text in the ANSI code page, exactly; nothing when a character has no form there.
std::optional<std::string> toAnsiText(const wchar_t* wide);

// The text in the ANSI code page with every character it has no form for turned into '?', as
// the system's own conversion does, cut at a character boundary to at most maxBytes bytes.
std::string toAnsiTextReplacing(const wchar_t* wide, std::size_t maxBytes);

// ANSI code page text as wide text. A byte sequence that the code page does not define becomes
// U+FFFD.
std::wstring fromAnsiText(const char* text);
