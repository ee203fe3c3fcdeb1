#include "script_excerpt.h"

#include <algorithm>

#include "wide_text.h"

namespace {

const std::size_t shownHead = 100;
const std::size_t shownTail = 100;

bool continuationByte(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }

}  // namespace

ScriptExcerpt scriptExcerpt(const std::wstring& script) {
  ScriptExcerpt excerpt;
  excerpt.length = utf8Length(script);
  if (excerpt.length <= shownHead + shownTail) {
    excerpt.head = toUtf8(script);
    return excerpt;
  }
  excerpt.cut = true;
  // Every character takes one byte at least, so the bytes shown lie within as many characters
  // from either end, and each converted end holds as many bytes as are shown at least.
  excerpt.head = toUtf8(script.substr(0, (std::min)(script.size(), shownHead)));
  std::size_t headEnd = shownHead;
  while (headEnd > 0 && headEnd < excerpt.head.size() && continuationByte(excerpt.head[headEnd])) --headEnd;
  excerpt.head.resize(headEnd);
  excerpt.tail = toUtf8(script.substr(script.size() - (std::min)(script.size(), shownTail)));
  std::size_t tailStart = excerpt.tail.size() - shownTail;
  while (tailStart < excerpt.tail.size() && continuationByte(excerpt.tail[tailStart])) ++tailStart;
  excerpt.tail.erase(0, tailStart);
  return excerpt;
}
