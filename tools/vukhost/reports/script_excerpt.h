#pragma once
// A script command as the text report shows it. Commands longer than head and tail together are
// shown cut in the middle, with their length: the start says what the command does, the end names
// the selection set or crease value.
#include <cstddef>
#include <string>

struct ScriptExcerpt {
  std::string head;        // UTF-8; the whole command when it is not cut
  std::string tail;        // UTF-8; empty when the command is not cut
  std::size_t length = 0;  // of the whole command in UTF-8, in bytes
  bool cut = false;
};

// The excerpt of a script command in UTF-8; both cuts fall between characters.
ScriptExcerpt scriptExcerpt(const std::string& script);
