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

// One selection-set command per polygroup, in increasing order of group id.
std::vector<std::wstring> selectionSetScripts(const GroupFaceTable& groups,
                                              std::wstring_view importName);
// The poly conversion and the crease command, or nothing when no edge is creased.
std::vector<std::wstring> creaseScripts(const std::vector<std::int32_t>& creaseEdgeList,
                                        std::wstring_view importName);
