#pragma once
// UTF-8 to wide text.
#include <string>

namespace hostscene {

// Decodes UTF-8; each byte of a malformed, overlong or surrogate sequence becomes U+FFFD.
std::wstring decodeUtf8(const std::string& bytes);

}  // namespace hostscene
