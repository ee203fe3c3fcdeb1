#include "script_excerpt.h"

namespace {

const std::size_t shownHead = 100;
const std::size_t shownTail = 100;

bool continuationByte(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }

}  // namespace

ScriptExcerpt scriptExcerpt(const std::string& script) {
  ScriptExcerpt excerpt;
  excerpt.length = script.size();
  if (script.size() <= shownHead + shownTail) {
    excerpt.head = script;
    return excerpt;
  }
  excerpt.cut = true;
  std::size_t headEnd = shownHead, tailStart = script.size() - shownTail;
  while (headEnd > 0 && continuationByte(script[headEnd])) --headEnd;
  while (tailStart < script.size() && continuationByte(script[tailStart])) ++tailStart;
  excerpt.head = script.substr(0, headEnd);
  excerpt.tail = script.substr(tailStart);
  return excerpt;
}
