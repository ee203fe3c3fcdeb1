#pragma once
// Builds the one-line reason for a refused file, only when the caller asked for it.
#include <cstdint>
#include <string>
#include <type_traits>

namespace vuk {

inline void appendPiece(std::string& text, const char* piece) { text += piece; }
inline void appendPiece(std::string& text, const std::string& piece) { text += piece; }
template <typename Number, typename = std::enable_if_t<std::is_integral_v<Number>>>
void appendPiece(std::string& text, Number piece) {
  text += std::to_string(piece);
}

// Sets *verdict to the pieces run together, when verdict is given; answers false so that a
// refusal reads `return refuse(verdict, ...)`.
template <typename... Pieces>
bool refuse(std::string* verdict, const Pieces&... pieces) {
  if (verdict != nullptr) {
    verdict->clear();
    (appendPiece(*verdict, pieces), ...);
  }
  return false;
}

}  // namespace vuk
