#pragma once
// The host script commands that the import runs, as plain texts. Nothing here talks to the host:
// the command step hands these texts to the script engine one by one.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "group_face_table.h"

// Escapes text for use between the double quotes of a script string: each backslash and each
// double quote gets a backslash in front, every other character stays as it is.
std::wstring escapeScriptString(std::wstring_view text);

// Writes each number plus one (scripts count from 1) in decimal, separated by commas, no blanks.
std::string numberList(const std::vector<std::int32_t>& numbers);

// Switches the host's display gamma correction off.
const wchar_t* displayGammaScript();

// Gives the selected node's material a normal bump map, switched on at amount 100.
const wchar_t* bumpMapScript();
// Loads the file at path as the normal map of that bump map, alpha source 2, green flipped.
std::wstring normalMapScript(std::wstring_view path);

// Makes the named face selection set importName_set_<groupId> from a number list of triangles.
std::wstring selectionSetScript(std::string_view triangleList, std::wstring_view importName,
                                std::int32_t groupId);

// Selects the node called importName and converts the selection to an editable poly.
std::wstring polyConversionScript(std::wstring_view importName);
// Selects the listed edges of the editable poly and gives them the crease value 0.77.
std::wstring creaseScript(std::string_view edgeList);

// The script commands run once the node is in the scene: one selection-set command per polygroup
// in increasing order of group id, then, when an edge is creased, the poly conversion and the
// crease command. Everything that can fail is done here: each text is written out only when it
// is asked for, into one buffer reserved at the longest text's size, so handing the texts out
// allocates nothing, and lists of millions of numbers take their memory once, not once a script.
class SceneScripts {
 public:
  SceneScripts(GroupFaceTable groups, std::vector<std::int32_t> creaseEdges, std::wstring_view importName);
  std::size_t size() const { return scripts_.size(); }
  // The text of script i, 0 <= i < size(); it stays as it is until the next call.
  const std::wstring& text(std::size_t i);

 private:
  struct Script {
    std::wstring head;
    std::size_t list = kNoList;  // the number list between head and tail, in lists_
    std::wstring tail;
  };
  static constexpr std::size_t kNoList = static_cast<std::size_t>(-1);

  void addListScript(std::wstring head, std::vector<std::int32_t> numbers, std::wstring tail);

  std::vector<std::vector<std::int32_t>> lists_;
  std::vector<Script> scripts_;
  std::wstring buffer_;
};
