#include "scene_scripts.h"

#include <algorithm>
#include <charconv>

namespace {

void appendAscii(std::wstring& out, std::string_view text) {
  out.append(text.begin(), text.end());
}

void appendEscaped(std::wstring& out, std::wstring_view text) {
  for (const wchar_t c : text) {
    if (c == L'\\' || c == L'"') out.push_back(L'\\');
    out.push_back(c);
  }
}

std::string decimal(std::int64_t value) {
  char digits[24];
  auto* const end = std::to_chars(digits, digits + sizeof digits, value).ptr;
  return std::string(digits, end);
}

// The name of a polygroup's selection set, escaped for a script string.
std::wstring escapedSetName(std::wstring_view importName, std::int32_t groupId) {
  std::wstring name = escapeScriptString(importName);
  name += L"_set_";
  appendAscii(name, decimal(groupId));
  return name;
}

// How many characters the decimal form of value takes, its minus sign included.
std::size_t decimalLength(std::int64_t value) {
  std::size_t length = 1;
  if (value < 0) {
    ++length;
    value = -value;
  }
  for (std::int64_t limit = 10; value >= limit && length < 20; limit *= 10) ++length;
  return length;
}

// The length of numberList(numbers), worked out without making it.
std::size_t numberListLength(const std::vector<std::int32_t>& numbers) {
  std::size_t length = numbers.empty() ? 0 : numbers.size() - 1;  // the commas
  for (const std::int32_t n : numbers) length += decimalLength(std::int64_t{n} + 1);
  return length;
}

// The decimal digits of a number, kept so that the next number, the common case in a list of
// triangles or edges, costs one increment of the last digits.
class DecimalDigits {
 public:
  void set(std::int64_t value) {
    if (value == value_ + 1 && value_ >= 0) {
      increment();
    } else {
      begin_ = std::to_chars(digits_, digits_ + sizeof digits_, value).ptr - digits_;
      std::rotate(digits_, digits_ + begin_, digits_ + sizeof digits_);
      begin_ = sizeof digits_ - begin_;
    }
    value_ = value;
  }
  const char* begin() const { return digits_ + begin_; }
  const char* end() const { return digits_ + sizeof digits_; }

 private:
  // Adds one to a non-negative number, carrying into a new leading digit when all are nines.
  void increment() {
    std::size_t at = sizeof digits_;
    while (at > begin_ && digits_[at - 1] == '9') digits_[--at] = '0';
    if (at > begin_) {
      ++digits_[at - 1];
    } else {
      digits_[--begin_] = '1';
    }
  }

  char digits_[24] = {};
  std::size_t begin_ = sizeof digits_;  // the digits are digits_[begin_, 24)
  std::int64_t value_ = -2;             // none yet
};

// Appends numberList(numbers) as wide characters, a block at a time, so that the script's memory
// is written once.
void appendNumberList(const std::vector<std::int32_t>& numbers, std::wstring& out) {
  constexpr std::size_t kBlock = 2048;
  wchar_t block[kBlock + 32];
  std::size_t used = 0;
  DecimalDigits digits;
  bool first = true;
  for (const std::int32_t n : numbers) {
    if (!first) block[used++] = L',';
    first = false;
    digits.set(std::int64_t{n} + 1);
    for (const char* d = digits.begin(); d != digits.end(); ++d) block[used++] = static_cast<wchar_t>(*d);
    if (used >= kBlock) {
      out.append(block, used);
      used = 0;
    }
  }
  out.append(block, used);
}

// The tail of a polygroup's selection-set command, after its triangle list.
std::wstring setTail(std::wstring_view importName, std::int32_t groupId) {
  const std::wstring setName = escapedSetName(importName, groupId);
  std::wstring tail = L"}; appendSubSelSet \" ";
  tail += setName;
  tail += L"\"; $.Faces[\"";
  tail += setName;
  tail += L"\"] = k";
  return tail;
}

const wchar_t* const kSetHead = L"k = #{";
const wchar_t* const kCreaseHead = L"$.EditablePoly.SetSelection #Edge #{";
const wchar_t* const kCreaseTail = L"};  $.EditablePoly.setEdgeData 1 0.77 ";

}  // namespace

std::wstring escapeScriptString(std::wstring_view text) {
  std::wstring out;
  out.reserve(text.size());
  appendEscaped(out, text);
  return out;
}

std::string numberList(const std::vector<std::int32_t>& numbers) {
  std::string out;
  out.reserve(numbers.size() * 8);
  char digits[24];
  for (const std::int32_t n : numbers) {
    auto* const end = std::to_chars(digits, digits + sizeof digits, std::int64_t{n} + 1).ptr;
    out.append(digits, end);
    out.push_back(',');
  }
  if (!out.empty()) out.pop_back();
  return out;
}

const wchar_t* displayGammaScript() {
  return L"IDisplayGamma.colorCorrectionMode = #none;";
}

const wchar_t* bumpMapScript() {
  return L"$.material.bumpMapEnable = on; $.material.bumpMapAmount = 100; "
         L"$.material.bumpMap = Normal_Bump ();";
}

std::wstring normalMapScript(std::wstring_view path) {
  std::wstring script = L"$.material.bumpMap.normal_map = Bitmaptexture fileName:\"";
  appendEscaped(script, path);
  script += L"\"; $.material.bumpMap.normal_map.alphaSource = 2; "
            L"$.material.bumpMap.flipgreen = on;";
  return script;
}

std::wstring selectionSetScript(std::string_view triangleList, std::wstring_view importName,
                                std::int32_t groupId) {
  std::wstring script = kSetHead;
  appendAscii(script, triangleList);
  return script + setTail(importName, groupId);
}

std::wstring polyConversionScript(std::wstring_view importName) {
  std::wstring script = L"obj = getnodebyname \"";
  appendEscaped(script, importName);
  script += L"\"; if obj != undefined then select obj; macros.run \"Modifier Stack\" "
            L"\"Convert_to_Poly\"";
  return script;
}

std::wstring creaseScript(std::string_view edgeList) {
  std::wstring script = kCreaseHead;
  appendAscii(script, edgeList);
  return script + kCreaseTail;
}

SceneScripts::SceneScripts(GroupFaceTable groups, std::vector<std::int32_t> creaseEdges,
                           std::wstring_view importName) {
  std::vector<std::int32_t> groupIds;
  groupIds.reserve(groups.size());
  for (const auto& entry : groups) groupIds.push_back(entry.first);
  std::sort(groupIds.begin(), groupIds.end());
  for (const std::int32_t id : groupIds) addListScript(kSetHead, std::move(groups[id]), setTail(importName, id));
  if (!creaseEdges.empty()) {
    scripts_.push_back({polyConversionScript(importName), kNoList, {}});
    addListScript(kCreaseHead, std::move(creaseEdges), kCreaseTail);
  }
  std::size_t longest = 0;
  for (const Script& script : scripts_) {
    const std::size_t listLength = script.list == kNoList ? 0 : numberListLength(lists_[script.list]);
    longest = (std::max)(longest, script.head.size() + listLength + script.tail.size());
  }
  buffer_.reserve(longest);
}

void SceneScripts::addListScript(std::wstring head, std::vector<std::int32_t> numbers, std::wstring tail) {
  lists_.push_back(std::move(numbers));
  scripts_.push_back({std::move(head), lists_.size() - 1, std::move(tail)});
}

const std::wstring& SceneScripts::text(std::size_t i) {
  const Script& script = scripts_[i];
  buffer_.assign(script.head);
  if (script.list != kNoList) appendNumberList(lists_[script.list], buffer_);
  buffer_.append(script.tail);
  return buffer_;
}
