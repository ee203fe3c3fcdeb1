#include "script_effects.h"

#include <algorithm>

namespace {

const std::string setScriptStart = "k = #{";
const std::string setNameStart = "; $.Faces[\"";
const std::string creaseScriptStart = "$.EditablePoly.SetSelection #Edge #{";
const std::string normalMapStart = "$.material.bumpMap.normal_map = Bitmaptexture fileName:\"";

bool startsWith(const std::string& text, const std::string& start) { return text.compare(0, start.size(), start) == 0; }

// The numbers of the list that starts at `at` and runs to its '}', less one (scripts count from 1).
std::vector<std::uint32_t> numberList(const std::string& script, std::size_t at) {
  std::vector<std::uint32_t> numbers;
  std::uint64_t number = 0;
  bool inNumber = false;
  const auto take = [&] {
    if (inNumber && number > 0) numbers.push_back(static_cast<std::uint32_t>(number - 1));
    number = 0;
    inNumber = false;
  };
  for (; at < script.size() && script[at] != '}'; ++at) {
    const char c = script[at];
    if (c >= '0' && c <= '9') {
      number = std::min<std::uint64_t>(number * 10 + static_cast<unsigned>(c - '0'), UINT32_MAX);
      inNumber = true;
    } else {
      take();
    }
  }
  take();
  return numbers;
}

// The script string that starts at `at`, its escapes undone, up to its closing quote.
std::string quotedText(const std::string& script, std::size_t at) {
  std::string text;
  for (; at < script.size() && script[at] != '"'; ++at) {
    if (script[at] == '\\' && at + 1 < script.size()) ++at;
    text += script[at];
  }
  return text;
}

}  // namespace

std::vector<FaceSelectionSet> faceSelectionSets(const std::vector<std::string>& scripts) {
  std::vector<FaceSelectionSet> sets;
  for (const std::string& script : scripts) {
    if (!startsWith(script, setScriptStart)) continue;
    const std::size_t name = script.rfind(setNameStart);
    if (name == std::string::npos) continue;
    sets.push_back({quotedText(script, name + setNameStart.size()), numberList(script, setScriptStart.size())});
  }
  return sets;
}

std::vector<std::uint32_t> creasedEdgeNumbers(const std::vector<std::string>& scripts) {
  std::vector<std::uint32_t> numbers;
  for (const std::string& script : scripts) {
    if (!startsWith(script, creaseScriptStart)) continue;
    const std::vector<std::uint32_t> more = numberList(script, creaseScriptStart.size());
    numbers.insert(numbers.end(), more.begin(), more.end());
  }
  return numbers;
}

std::optional<std::string> normalMapFile(const std::vector<std::string>& scripts) {
  std::optional<std::string> file;
  for (const std::string& script : scripts) {
    if (startsWith(script, normalMapStart)) file = quotedText(script, normalMapStart.size());
  }
  return file;
}
