#pragma once
// UTF-8 to wide text and back.
#include <cstddef>
#include <string>

namespace hostscene {

// Encodes wide text as UTF-8; a code unit that is no Unicode scalar value (a surrogate, or above
// U+10FFFF) becomes U+FFFD, and `exact` tells whether none was.
std::string encodeUtf8(const wchar_t* text, bool& exact);
std::string encodeUtf8(const wchar_t* text, std::size_t length, bool& exact);

// Decodes UTF-8; each byte of a malformed, overlong or surrogate sequence becomes U+FFFD.
std::wstring decodeUtf8(const std::string& bytes);
// The same for `size` bytes; `exact` tells whether no U+FFFD was put in.
std::wstring decodeUtf8(const char* bytes, std::size_t size, bool& exact);

}  // namespace hostscene
