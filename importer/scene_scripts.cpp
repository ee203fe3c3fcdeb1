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

// A script made once at its exact size: head, a list of `listLength` characters that appendList
// adds, tail.
template <typename AppendList>
std::wstring scriptAround(std::wstring_view head, std::size_t listLength, AppendList&& appendList,
                          std::wstring_view tail) {
  std::wstring script;
  script.reserve(head.size() + listLength + tail.size());
  script.append(head);
  appendList(script);
  script.append(tail);
  return script;
}

// k = #{<list>}; appendSubSelSet " <set>"; $.Faces["<set>"] = k
template <typename AppendList>
std::wstring setScript(std::wstring_view importName, std::int32_t groupId, std::size_t listLength,
                       AppendList&& appendList) {
  const std::wstring setName = escapedSetName(importName, groupId);
  std::wstring tail = L"}; appendSubSelSet \" ";
  tail += setName;
  tail += L"\"; $.Faces[\"";
  tail += setName;
  tail += L"\"] = k";
  return scriptAround(L"k = #{", listLength, appendList, tail);
}

template <typename AppendList>
std::wstring creaseScriptOf(std::size_t listLength, AppendList&& appendList) {
  return scriptAround(L"$.EditablePoly.SetSelection #Edge #{", listLength, appendList,
                      L"};  $.EditablePoly.setEdgeData 1 0.77 ");
}

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
  return setScript(
      importName, groupId, triangleList.size(),
      [&](std::wstring& out) { out.append(triangleList.begin(), triangleList.end()); });
}

std::wstring polyConversionScript(std::wstring_view importName) {
  std::wstring script = L"obj = getnodebyname \"";
  appendEscaped(script, importName);
  script += L"\"; if obj != undefined then select obj; macros.run \"Modifier Stack\" "
            L"\"Convert_to_Poly\"";
  return script;
}

std::wstring creaseScript(std::string_view edgeList) {
  return creaseScriptOf(edgeList.size(),
                        [&](std::wstring& out) { out.append(edgeList.begin(), edgeList.end()); });
}

std::vector<std::wstring> selectionSetScripts(const GroupFaceTable& groups,
                                              std::wstring_view importName) {
  std::vector<const GroupFaceTable::value_type*> entries;
  entries.reserve(groups.size());
  for (const auto& entry : groups) entries.push_back(&entry);
  std::sort(entries.begin(), entries.end(),
            [](const auto* x, const auto* y) { return x->first < y->first; });
  std::vector<std::wstring> scripts;
  scripts.reserve(entries.size());
  for (const auto* entry : entries) {
    const std::vector<std::int32_t>& triangles = entry->second;
    scripts.push_back(setScript(importName, entry->first, numberListLength(triangles),
                                [&](std::wstring& out) { appendNumberList(triangles, out); }));
  }
  return scripts;
}

std::vector<std::wstring> creaseScripts(const std::vector<std::int32_t>& creaseEdgeList,
                                        std::wstring_view importName) {
  if (creaseEdgeList.empty()) return {};
  std::wstring crease = creaseScriptOf(numberListLength(creaseEdgeList), [&](std::wstring& out) {
    appendNumberList(creaseEdgeList, out);
  });
  return {polyConversionScript(importName), std::move(crease)};
}
