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
  const std::wstring setName = escapedSetName(importName, groupId);
  std::wstring script;
  script.reserve(triangleList.size() + 2 * setName.size() + 64);
  script += L"k = #{";
  appendAscii(script, triangleList);
  script += L"}; appendSubSelSet \" ";
  script += setName;
  script += L"\"; $.Faces[\"";
  script += setName;
  script += L"\"] = k";
  return script;
}

std::wstring polyConversionScript(std::wstring_view importName) {
  std::wstring script = L"obj = getnodebyname \"";
  appendEscaped(script, importName);
  script += L"\"; if obj != undefined then select obj; macros.run \"Modifier Stack\" "
            L"\"Convert_to_Poly\"";
  return script;
}

std::wstring creaseScript(std::string_view edgeList) {
  std::wstring script = L"$.EditablePoly.SetSelection #Edge #{";
  script.reserve(script.size() + edgeList.size() + 48);
  appendAscii(script, edgeList);
  script += L"};  $.EditablePoly.setEdgeData 1 0.77 ";
  return script;
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
    scripts.push_back(selectionSetScript(numberList(entry->second), importName, entry->first));
  }
  return scripts;
}

std::vector<std::wstring> creaseScripts(const std::vector<std::int32_t>& creaseEdgeList,
                                        std::wstring_view importName) {
  if (creaseEdgeList.empty()) return {};
  return {polyConversionScript(importName), creaseScript(numberList(creaseEdgeList))};
}
